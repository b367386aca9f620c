// orvel-datagen: builds the console's encrypted data file from the text
// sources under data/, checks those sources, or dumps a data file back to them.
//
//   orvel-datagen build DATADIR DATAFILE   write DATAFILE from the sources
//   orvel-datagen check DATADIR            only check the sources, and list
//                                          the texts still to translate
//   orvel-datagen dump DATAFILE OUTDIR     write the sources of DATAFILE under OUTDIR
//
// Every refusal is printed as "path:line: message"; the exit status is 0 on
// success, 1 when the sources or the file are refused, 2 on a usage error.

#include "DataFileWriter.h"
#include "DataSources.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

void Print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

int Usage()
{
    Print(stderr, QStringLiteral("usage: orvel-datagen build DATADIR DATAFILE\n"
                                 "       orvel-datagen check DATADIR\n"
                                 "       orvel-datagen dump DATAFILE OUTDIR"));
    return 2;
}

bool Read(const QString& dataDir, DataSources& sources)
{
    QStringList errors;
    sources = ReadSources(dataDir, errors);
    for (const QString& error : errors)
        Print(stderr, error);
    if (!errors.isEmpty())
        Print(stderr, QStringLiteral("orvel-datagen: %1 problem(s) in %2, nothing written")
                          .arg(errors.size())
                          .arg(dataDir));
    return errors.isEmpty();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return Usage();
    const QString command = args.first();
    DataSources sources;
    QString error;

    if (command == QLatin1String("check") && args.size() == 2) {
        if (!Read(args[1], sources))
            return 1;
        // Untranslated texts are reported but do not fail the check.
        for (const QString& line : MissingTranslations(sources, args[1] + QLatin1Char('/')))
            Print(stdout, line);
        return 0;
    }

    if (command == QLatin1String("build") && args.size() == 3) {
        if (!Read(args[1], sources))
            return 1;
        if (!WriteDataFile(sources, args[2], error)) {
            Print(stderr, error);
            return 1;
        }
        Print(stdout,
              QStringLiteral(
                  "orvel-datagen: %1 texts, %2 tool tips, %3 menu captions, %4 defaults -> %5")
                  .arg(sources.labels.rows.size())
                  .arg(sources.toolTips.rows.size())
                  .arg(sources.menus.rows.size())
                  .arg(sources.defaults.size())
                  .arg(args[2]));
        return 0;
    }

    if (command == QLatin1String("dump") && args.size() == 3) {
        if (!ReadDataFile(args[1], sources, error) || !WriteSources(sources, args[2], error)) {
            Print(stderr, args[1] + QStringLiteral(": ") + error);
            return 1;
        }
        return 0;
    }
    return Usage();
}
