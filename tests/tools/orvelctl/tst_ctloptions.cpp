// The command line of orvelctl: what it takes, the line it resolves from the
// options, the INI file and the console's defaults, and every refusal.
#include "CtlOptions.h"
#include "CtlSession.h"
#include "settings/IniStore.h"
#include "util/RuntimeError.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// What a command line asks for and the line it resolves, as one text.
QString described(const QStringList& args)
{
    const ParseResult r = ParseCommandLine(args);
    if (!r.error.isEmpty())
        return r.error;
    const CtlOptions& o = r.options;
    QStringList words{o.command, o.subcommand, o.file, o.output, o.format};
    if (o.command == QLatin1String("help"))
        return words.join(' ');
    try {
        const CtlSession::Line line = CtlSession::ResolveLine(o);
        const LinkOptions& l = line.link;
        words << line.port << CtlSession::SettingsText(line)
              << QStringLiteral("rts=%1/%2 delay=%3/%4 slave=%5 scan=%6-%7/%8")
                     .arg(int(l.halfDuplex))
                     .arg(l.rtsDelayMs)
                     .arg(l.frameDelayMs)
                     .arg(l.replyTimeoutMs)
                     .arg(line.slave)
                     .arg(o.from)
                     .arg(o.to)
                     .arg(o.probeMarginMs.value_or(0));
        for (const auto& [on, name] : {std::pair{line.search, "search"},
                                       {line.trace, "trace"},
                                       {o.factory, "factory"},
                                       {o.validate, "validate"},
                                       {o.allowOlder, "allow-older"}})
            if (on)
                words << name;
    } catch (const RuntimeError& e) {
        words << QStringLiteral("error %1").arg(e.number());
    }
    return words.join(' ');
}

} // namespace

class TestCtlOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        SetIniFileNameOverride(m_dir->filePath(QStringLiteral("orvel.ini")));
    }

    void cleanupTestCase() { SetIniFileNameOverride(QString()); }

    // The command line and the INI file's Communication section, both split
    // at spaces.
    void accepted_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("result");
        auto row = [](const char* args, const char* ini, const QString& result) {
            QTest::newRow(args) << args << ini << result;
        };
        row("write a.orv --port /dev/pts/7 --baud=19200 --stops 2 --parity E --half-duplex "
            "--rts-delay 3 --frame-delay 0 --timeout 300 --slave 64 --factory --validate "
            "--allow-older",
            "",
            "write  a.orv  text /dev/pts/7 19200,E,8,2 rts=1/3 delay=0/300 slave=64 scan=1-64/0 "
            "factory validate allow-older");
        row("buffer read --format csv-fr -o x.csv --search", "",
            "buffer read  x.csv csv-fr 1 9600,N,8,1 rts=0/5 delay=50/2000 slave=0 scan=1-64/0 "
            "search");
        row("scan --from=7 --to 9 --probe-margin 150 --search --trace", "",
            "scan    text 1 9600,N,8,1 rts=0/5 delay=50/2000 slave=0 scan=7-9/150 search trace");
        row("dump --help", "", "help    text");
        row("new -o n.orv",
            "Port=/dev/ttyUSB3 Bauds=19200 Stops=2 Parity=e RTS=1 RtsDelay=7 FrameDelay=20 "
            "LastSlave=12",
            "new   n.orv text /dev/ttyUSB3 19200,E,8,2 rts=1/7 delay=20/2000 slave=12 scan=1-64/0");
        // A search without --slave finds the number.
        row("detect --full-duplex --baud 4800 --search", "RTS=1 LastSlave=12 Bauds=19200",
            "detect    text 1 4800,N,8,1 rts=0/5 delay=50/2000 slave=0 scan=1-64/0 search");
        row("detect --search --slave 9", "LastSlave=12",
            "detect    text 1 9600,N,8,1 rts=0/5 delay=50/2000 slave=9 scan=1-64/0 search");
        row("detect", "Bauds=fast",
            QStringLiteral("detect    text error %1").arg(int(ErrNo::TypeMismatch)));
    }

    void accepted()
    {
        QFETCH(QString, args);
        QFETCH(QString, ini);
        QFETCH(QString, result);
        for (const QString& entry : ini.split(' ', Qt::SkipEmptyParts))
            SetIniParam("Communication", entry.section('=', 0, 0), entry.section('=', 1));
        QCOMPARE(described(args.split(' ')), result);
        // Reading the settings creates no INI file.
        QCOMPARE(QFile::exists(m_dir->filePath("orvel.ini")), !ini.isEmpty());
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        auto row = [](const QStringList& args, const QString& error) {
            QTest::newRow(qPrintable(args.join(' '))) << args << error;
        };
        row({}, "no command given");
        row({"erase"}, "unknown command erase");
        row({"detect", "--fast"}, "unknown option --fast");
        row({"detect", "--slave", "0"}, "option --slave: 0 is not a number from 1 to 64");
        row({"detect", "--slave", "65"}, "option --slave: 65 is not a number from 1 to 64");
        row({"detect", "--slave", "x"}, "option --slave: x is not a number from 1 to 64");
        row({"detect", "--stops", "3"}, "option --stops: 3 is not a number from 1 to 2");
        row({"detect", "--parity", "m"}, "option --parity: m is not n, e or o");
        row({"detect", "--baud"}, "option --baud needs a value");
        row({"detect", "--port", ""}, "option --port needs a port number or a device");
        row({"detect", "--search=yes"}, "option --search takes no value");
        row({"new"}, "new needs -o FILE");
        row({"read"}, "read needs -o FILE");
        row({"dump"}, "dump needs a configuration file");
        row({"write"}, "write needs a configuration file");
        row({"dump", "a", "b"}, "unexpected argument b");
        row({"buffer"}, "buffer needs read or clear");
        row({"buffer", "erase"}, "buffer needs read or clear");
        row({"buffer", "clear", "-o", "f"}, "buffer clear takes no -o");
        row({"detect", "-o", "f"}, "detect takes no -o");
        row({"read", "-o", "f", "--factory"}, "--factory belongs to write and print");
        row({"print", "a", "-o", "f", "--validate"},
            "--validate and --allow-older belong to write");
        row({"print", "a"}, "print needs -o FILE");
        row({"print", "-o", "f"}, "print needs a configuration file");
        row({"print", "a", "-o", "f", "--port", "2"}, "print does not use the line");
        row({"buffer", "clear", "--format", "text"}, "--format belongs to buffer read");
        row({"buffer", "read", "--format", "xml"},
            "option --format: xml is not text, csv-fr or csv-en");
        row({"dump", "f", "--slave", "3"}, "dump does not use the line");
        row({"scan", "--from", "6", "--to", "5"}, "--from 6 is above --to 5");
        row({"scan", "--to", "65"}, "option --to: 65 is not a number from 1 to 64");
        row({"scan", "--probe-margin", "0"},
            "option --probe-margin: 0 is not a number from 1 to 10000");
        row({"detect", "--from", "3"}, "--from, --to and --probe-margin belong to scan");
        row({"scan", "--slave", "3"}, "scan takes --from and --to, not --slave");
        row({"scan", "--trace=1"}, "option --trace takes no value");
    }

    void refused()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        QCOMPARE(described(args), error);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestCtlOptions)
#include "tst_ctloptions.moc"
