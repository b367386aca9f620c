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
#include <QGuiApplication>

#include <cstdio>
#include <memory>
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
    if (o.command == QLatin1String("scan"))
        return RunScan(o, session);
    if (o.subcommand == QLatin1String("read"))
        return RunBufferRead(o, session);
    return RunBufferClear(o, session);
}

// The report needs the system's fonts, which a GUI application reaches; it
// never opens a window, so it needs no display either. The other commands
// need no GUI at all.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv, bool printing)
{
    if (!printing)
        return std::make_unique<QCoreApplication>(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Its start may warn about the desktop session (no runtime folder when run
    // from a service or as root), which does not concern a report.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    qInstallMessageHandler(previous);
    return app;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    ParseResult parsed = ParseCommandLine(arguments);
    if (parsed.error.isEmpty())
        parsed.error = ArgumentEncodingError(argc, argv);

    const bool printing =
        parsed.error.isEmpty() && parsed.options.command == QLatin1String("print");
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv, printing);
    QCoreApplication::setApplicationName(QStringLiteral("orvelctl"));

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
    else if (printing)
        status = RunPrint(o);
    else
        status = runOnLine(o);

    CloseDataFile();
    InstallUi(nullptr);
    return status;
}
