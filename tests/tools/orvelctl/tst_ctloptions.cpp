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
        words
            << line.port << CtlSession::SettingsText(line)
            << QStringLiteral("rts=%1/%2").arg(int(line.link.halfDuplex)).arg(line.link.rtsDelayMs)
            << QStringLiteral("delay=%1/%2")
                   .arg(line.link.frameDelayMs)
                   .arg(line.link.replyTimeoutMs)
            << QStringLiteral("slave=%1").arg(line.slave)
            << QStringLiteral("scan=%1-%2/%3")
                   .arg(o.from)
                   .arg(o.to)
                   .arg(o.probeMarginMs.value_or(0));
        const QList<std::pair<bool, const char*>> flags{{line.search, "search"},
                                                        {line.trace, "trace"},
                                                        {o.factory, "factory"},
                                                        {o.validate, "validate"},
                                                        {o.allowOlder, "allow-older"}};
        for (const auto& [on, name] : flags) {
            if (on)
                words << name;
        }
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

    // The INI file's Communication section as "Key=Value" entries.
    void accepted_data()
    {
        QTest::addColumn<QStringList>("ini");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("result");
        QTest::newRow("every write option")
            << QStringList{}
            << QStringList{"write",
                           "a.orv",
                           "--port",
                           "/dev/pts/7",
                           "--baud=19200",
                           "--stops",
                           "2",
                           "--parity",
                           "E",
                           "--half-duplex",
                           "--rts-delay",
                           "3",
                           "--frame-delay",
                           "0",
                           "--timeout",
                           "300",
                           "--slave",
                           "64",
                           "--factory",
                           "--validate",
                           "--allow-older"}
            << "write  a.orv  text /dev/pts/7 19200,E,8,2 rts=1/3 delay=0/300 slave=64 "
               "scan=1-64/0 factory validate allow-older";
        QTest::newRow("buffer read")
            << QStringList{}
            << QStringList{"buffer", "read", "--format", "csv-fr", "-o", "x.csv", "--search"}
            << "buffer read  x.csv csv-fr 1 9600,N,8,1 rts=0/5 delay=50/2000 slave=0 scan=1-64/0 "
               "search";
        QTest::newRow("scan") << QStringList{}
                              << QStringList{"scan",           "--from=7", "--to",     "9",
                                             "--probe-margin", "150",      "--search", "--trace"}
                              << "scan    text 1 9600,N,8,1 rts=0/5 delay=50/2000 slave=0 "
                                 "scan=7-9/150 search trace";
        QTest::newRow("help after a command")
            << QStringList{} << QStringList{"dump", "--help"} << "help    text";
        QTest::newRow("INI file")
            << QStringList{"Port=/dev/ttyUSB3", "Bauds=19200",   "Stops=2",     "Parity=e", "RTS=1",
                           "RtsDelay=7",        "FrameDelay=20", "LastSlave=12"}
            << QStringList{"new", "-o", "n.orv"}
            << "new   n.orv text /dev/ttyUSB3 19200,E,8,2 rts=1/7 delay=20/2000 slave=12 "
               "scan=1-64/0";
        // A search without --slave finds the number.
        QTest::newRow("options over the INI file")
            << QStringList{"RTS=1", "LastSlave=12", "Bauds=19200"}
            << QStringList{"detect", "--full-duplex", "--baud", "4800", "--search"}
            << "detect    text 1 4800,N,8,1 rts=0/5 delay=50/2000 slave=0 scan=1-64/0 search";
        QTest::newRow("search for a slave")
            << QStringList{"LastSlave=12"} << QStringList{"detect", "--search", "--slave", "9"}
            << "detect    text 1 9600,N,8,1 rts=0/5 "
               "delay=50/2000 slave=9 scan=1-64/0 search";
        QTest::newRow("INI value that does not convert")
            << QStringList{"Bauds=fast"} << QStringList{"detect"}
            << QStringLiteral("detect    text error %1").arg(int(ErrNo::TypeMismatch));
    }

    void accepted()
    {
        QFETCH(QStringList, ini);
        QFETCH(QStringList, args);
        QFETCH(QString, result);
        for (const QString& entry : ini)
            SetIniParam("Communication", entry.section('=', 0, 0), entry.section('=', 1));
        QCOMPARE(described(args), result);
        // Reading the settings creates no INI file.
        QCOMPARE(QFile::exists(m_dir->filePath("orvel.ini")), !ini.isEmpty());
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        QTest::newRow("nothing") << QStringList{} << "no command given";
        QTest::newRow("unknown command") << QStringList{"erase"} << "unknown command erase";
        QTest::newRow("unknown option")
            << QStringList{"detect", "--fast"} << "unknown option --fast";
        QTest::newRow("slave 0") << QStringList{"detect", "--slave", "0"}
                                 << "option --slave: 0 is not a number from 1 to 64";
        QTest::newRow("slave 65") << QStringList{"detect", "--slave", "65"}
                                  << "option --slave: 65 is not a number from 1 to 64";
        QTest::newRow("slave text") << QStringList{"detect", "--slave", "x"}
                                    << "option --slave: x is not a number from 1 to 64";
        QTest::newRow("stops 3") << QStringList{"detect", "--stops", "3"}
                                 << "option --stops: 3 is not a number from 1 to 2";
        QTest::newRow("parity") << QStringList{"detect", "--parity", "m"}
                                << "option --parity: m is not n, e or o";
        QTest::newRow("missing value")
            << QStringList{"detect", "--baud"} << "option --baud needs a value";
        QTest::newRow("empty port") << QStringList{"detect", "--port", ""}
                                    << "option --port needs a port number or a device";
        QTest::newRow("flag with value")
            << QStringList{"detect", "--search=yes"} << "option --search takes no value";
        QTest::newRow("new without -o") << QStringList{"new"} << "new needs -o FILE";
        QTest::newRow("read without -o") << QStringList{"read"} << "read needs -o FILE";
        QTest::newRow("dump without file")
            << QStringList{"dump"} << "dump needs a configuration file";
        QTest::newRow("write without file")
            << QStringList{"write"} << "write needs a configuration file";
        QTest::newRow("two files") << QStringList{"dump", "a", "b"} << "unexpected argument b";
        QTest::newRow("buffer alone") << QStringList{"buffer"} << "buffer needs read or clear";
        QTest::newRow("buffer erase")
            << QStringList{"buffer", "erase"} << "buffer needs read or clear";
        QTest::newRow("-o on clear")
            << QStringList{"buffer", "clear", "-o", "f"} << "buffer clear takes no -o";
        QTest::newRow("-o on detect") << QStringList{"detect", "-o", "f"} << "detect takes no -o";
        QTest::newRow("factory on read") << QStringList{"read", "-o", "f", "--factory"}
                                         << "--factory belongs to write and print";
        QTest::newRow("validate on print") << QStringList{"print", "a", "-o", "f", "--validate"}
                                           << "--validate and --allow-older belong to write";
        QTest::newRow("print without -o") << QStringList{"print", "a"} << "print needs -o FILE";
        QTest::newRow("print without file")
            << QStringList{"print", "-o", "f"} << "print needs a configuration file";
        QTest::newRow("line on print")
            << QStringList{"print", "a", "-o", "f", "--port", "2"} << "print does not use the line";
        QTest::newRow("format on clear") << QStringList{"buffer", "clear", "--format", "text"}
                                         << "--format belongs to buffer read";
        QTest::newRow("bad format") << QStringList{"buffer", "read", "--format", "xml"}
                                    << "option --format: xml is not text, csv-fr or csv-en";
        QTest::newRow("line on dump")
            << QStringList{"dump", "f", "--slave", "3"} << "dump does not use the line";
        QTest::newRow("range reversed")
            << QStringList{"scan", "--from", "6", "--to", "5"} << "--from 6 is above --to 5";
        QTest::newRow("to 65") << QStringList{"scan", "--to", "65"}
                               << "option --to: 65 is not a number from 1 to 64";
        QTest::newRow("margin 0") << QStringList{"scan", "--probe-margin", "0"}
                                  << "option --probe-margin: 0 is not a number from 1 to 10000";
        QTest::newRow("range on detect") << QStringList{"detect", "--from", "3"}
                                         << "--from, --to and --probe-margin belong to scan";
        QTest::newRow("slave on scan")
            << QStringList{"scan", "--slave", "3"} << "scan takes --from and --to, not --slave";
        QTest::newRow("trace with value")
            << QStringList{"scan", "--trace=1"} << "option --trace takes no value";
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
