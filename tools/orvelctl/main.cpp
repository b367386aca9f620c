// orvelctl: the console's command-line companion.
#include "Commands.h"
#include "CtlOptions.h"
#include "CtlSession.h"
#include "ExitCode.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"
#include "util/ConsoleUi.h"
#include "util/ErrorHandling.h"

#include <QCoreApplication>

#include <cstdio>
#include <optional>

namespace {

void printError(const QString& text)
{
    std::fprintf(stderr, "orvelctl: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

int runOnLine(const CtlOptions& o)
{
    std::optional<CtlSession::Line> line;
    Trap("orvelctl.ReadSettings", [&] { line = CtlSession::ResolveLine(o); });
    if (!line)
        return ExitFile; // a value of the INI file that does not convert (reported)

    // The port opens at detection, once the command has what it needs.
    CtlSession session(*line);
    if (o.command == QLatin1String("detect"))
        return RunDetect(o, session);
    if (o.command == QLatin1String("read"))
        return RunRead(o, session);
    if (o.command == QLatin1String("write"))
        return RunWrite(o, session);
    if (o.command == QLatin1String("validate"))
        return RunValidate(o, session);
    if (o.subcommand == QLatin1String("read"))
        return RunBufferRead(o, session);
    return RunBufferClear(o, session);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvelctl"));

    ParseResult parsed = ParseCommandLine(app.arguments().mid(1));
    if (parsed.error.isEmpty())
        parsed.error = ArgumentEncodingError(argc, argv);
    if (!parsed.error.isEmpty()) {
        printError(parsed.error);
        std::fprintf(stderr, "Try 'orvelctl --help'.\n");
        return ExitUsage;
    }
    const CtlOptions& o = parsed.options;
    if (o.command == QLatin1String("help")) {
        std::fputs(UsageText().toLocal8Bit().constData(), stdout);
        return ExitSuccess;
    }

    ConsoleUi console;
    InstallUi(&console);
    if (!OpenDataFile(DataFileName())) {
        printError(QStringLiteral("Cannot open the Data file."));
        return ExitFile;
    }
    SetTextLookup([](int tag) { return GetText(tag); });
    SetCurrentLanguage(GetIniParam(QStringLiteral("General"), QStringLiteral("Language")));

    int status = ExitSuccess;
    if (o.command == QLatin1String("new"))
        status = RunNew(o);
    else if (o.command == QLatin1String("dump"))
        status = RunDump(o);
    else
        status = runOnLine(o);

    CloseDataFile();
    InstallUi(nullptr);
    return status;
}
