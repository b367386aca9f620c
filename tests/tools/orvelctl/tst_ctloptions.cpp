// The command line of orvelctl: what it accepts and what it refuses.
#include "CtlOptions.h"
#include "CtlSession.h"
#include "RecordingUi.h"
#include "settings/IniStore.h"
#include "util/RuntimeError.h"

#include <QTemporaryDir>
#include <QTest>

class TestCtlOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void accepted();
    void refused_data();
    void refused();
    void lineFromIniFile();
    void lineDefaultsWithoutIniFile();
    void commandLineOverridesIniFile();
    void iniValueThatDoesNotConvert();
    void settingsText();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_ini;
};

void TestCtlOptions::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_ini = m_dir->filePath(QStringLiteral("orvel.ini"));
    SetIniFileNameOverride(m_ini);
}

void TestCtlOptions::cleanup()
{
    SetIniFileNameOverride(QString());
    m_dir.reset();
}

void TestCtlOptions::accepted()
{
    ParseResult r = ParseCommandLine({"write",
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
                                      "--allow-older"});
    QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
    const CtlOptions& o = r.options;
    QCOMPARE(o.command, QStringLiteral("write"));
    QCOMPARE(o.file, QStringLiteral("a.orv"));
    QCOMPARE(*o.port, QStringLiteral("/dev/pts/7"));
    QCOMPARE(*o.bauds, 19200);
    QCOMPARE(*o.stops, std::int16_t(2));
    QCOMPARE(*o.parity, QStringLiteral("e"));
    QCOMPARE(*o.halfDuplex, true);
    QCOMPARE(*o.rtsDelayMs, 3);
    QCOMPARE(*o.frameDelayMs, 0);
    QCOMPARE(*o.replyTimeoutMs, 300);
    QCOMPARE(*o.slave, std::uint8_t(64));
    QVERIFY(o.factory && o.validate && o.allowOlder && !o.search);

    r = ParseCommandLine({"buffer", "read", "--format", "csv-fr", "-o", "x.csv", "--search"});
    QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
    QCOMPARE(r.options.subcommand, QStringLiteral("read"));
    QCOMPARE(r.options.format, QStringLiteral("csv-fr"));
    QCOMPARE(r.options.output, QStringLiteral("x.csv"));
    QVERIFY(r.options.search);
    QVERIFY(!r.options.slave);

    r = ParseCommandLine({"--full-duplex", "detect"});
    QVERIFY(r.error.isEmpty());
    QCOMPARE(*r.options.halfDuplex, false);

    r = ParseCommandLine({"new", "-o", "n.orv"});
    QVERIFY(r.error.isEmpty());
    QCOMPARE(r.options.output, QStringLiteral("n.orv"));

    r = ParseCommandLine(
        {"scan", "--from=7", "--to", "9", "--probe-margin", "150", "--search", "--trace"});
    QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
    QCOMPARE(r.options.from, 7);
    QCOMPARE(r.options.to, 9);
    QCOMPARE(*r.options.probeMarginMs, 150);
    QVERIFY(r.options.search && r.options.trace);
    QVERIFY(CtlSession::ResolveLine(r.options).trace);

    r = ParseCommandLine({"dump", "--help"});
    QCOMPARE(r.options.command, QStringLiteral("help"));
}

void TestCtlOptions::refused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("error");
    QTest::newRow("nothing") << QStringList{} << "no command given";
    QTest::newRow("unknown command") << QStringList{"erase"} << "unknown command erase";
    QTest::newRow("unknown option") << QStringList{"detect", "--fast"} << "unknown option --fast";
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
    QTest::newRow("dump without file") << QStringList{"dump"} << "dump needs a configuration file";
    QTest::newRow("write without file")
        << QStringList{"write"} << "write needs a configuration file";
    QTest::newRow("two files") << QStringList{"dump", "a", "b"} << "unexpected argument b";
    QTest::newRow("buffer alone") << QStringList{"buffer"} << "buffer needs read or clear";
    QTest::newRow("buffer erase") << QStringList{"buffer", "erase"} << "buffer needs read or clear";
    QTest::newRow("-o on clear") << QStringList{"buffer", "clear", "-o", "f"}
                                 << "buffer clear takes no -o";
    QTest::newRow("-o on detect") << QStringList{"detect", "-o", "f"} << "detect takes no -o";
    QTest::newRow("factory on read")
        << QStringList{"read", "-o", "f", "--factory"} << "--factory belongs to write and print";
    QTest::newRow("validate on print") << QStringList{"print", "a", "-o", "f", "--validate"}
                                       << "--validate and --allow-older belong to write";
    QTest::newRow("print without -o") << QStringList{"print", "a"} << "print needs -o FILE";
    QTest::newRow("print without file")
        << QStringList{"print", "-o", "f"} << "print needs a configuration file";
    QTest::newRow("line on print")
        << QStringList{"print", "a", "-o", "f", "--port", "2"} << "print does not use the line";
    QTest::newRow("format on clear")
        << QStringList{"buffer", "clear", "--format", "text"} << "--format belongs to buffer read";
    QTest::newRow("bad format") << QStringList{"buffer", "read", "--format", "xml"}
                                << "option --format: xml is not text, csv-fr or csv-en";
    QTest::newRow("line on dump") << QStringList{"dump", "f", "--slave", "3"}
                                  << "dump does not use the line";
    QTest::newRow("range reversed")
        << QStringList{"scan", "--from", "6", "--to", "5"} << "--from 6 is above --to 5";
    QTest::newRow("to 65") << QStringList{"scan", "--to", "65"}
                           << "option --to: 65 is not a number from 1 to 64";
    QTest::newRow("margin 0") << QStringList{"scan", "--probe-margin", "0"}
                              << "option --probe-margin: 0 is not a number from 1 to 10000";
    QTest::newRow("range on detect")
        << QStringList{"detect", "--from", "3"} << "--from, --to and --probe-margin belong to scan";
    QTest::newRow("slave on scan")
        << QStringList{"scan", "--slave", "3"} << "scan takes --from and --to, not --slave";
    QTest::newRow("trace with value")
        << QStringList{"scan", "--trace=1"} << "option --trace takes no value";
}

void TestCtlOptions::refused()
{
    QFETCH(QStringList, args);
    QFETCH(QString, error);
    QCOMPARE(ParseCommandLine(args).error, error);
}

void TestCtlOptions::lineFromIniFile()
{
    SetIniParam("Communication", "Port", "/dev/ttyUSB3");
    SetIniParam("Communication", "Bauds", "19200");
    SetIniParam("Communication", "Stops", "2");
    SetIniParam("Communication", "Parity", "e");
    SetIniParam("Communication", "RTS", "1");
    SetIniParam("Communication", "RtsDelay", "7");
    SetIniParam("Communication", "FrameDelay", "20");
    SetIniParam("Communication", "LastSlave", "12");
    const CtlSession::Line line = CtlSession::ResolveLine(ParseCommandLine({"detect"}).options);
    QCOMPARE(line.port, QStringLiteral("/dev/ttyUSB3"));
    QCOMPARE(line.bauds, 19200);
    QCOMPARE(line.stops, std::int16_t(2));
    QCOMPARE(line.parity, QStringLiteral("e"));
    QCOMPARE(line.link.halfDuplex, true);
    QCOMPARE(line.link.rtsDelayMs, 7);
    QCOMPARE(line.link.frameDelayMs, 20);
    QCOMPARE(line.link.replyTimeoutMs, 2000);
    QCOMPARE(line.slave, std::uint8_t(12));
    QCOMPARE(line.search, false);
}

void TestCtlOptions::lineDefaultsWithoutIniFile()
{
    const CtlSession::Line line = CtlSession::ResolveLine(ParseCommandLine({"detect"}).options);
    QCOMPARE(line.port, QStringLiteral("1"));
    QCOMPARE(line.bauds, 9600);
    QCOMPARE(line.stops, std::int16_t(1));
    QCOMPARE(line.parity, QStringLiteral("n"));
    QCOMPARE(line.link.halfDuplex, false);
    QCOMPARE(line.link.rtsDelayMs, 5);
    QCOMPARE(line.link.frameDelayMs, 50);
    QCOMPARE(line.slave, std::uint8_t(1));
    QVERIFY(!QFile::exists(m_ini)); // reading creates nothing
}

void TestCtlOptions::commandLineOverridesIniFile()
{
    SetIniParam("Communication", "RTS", "1");
    SetIniParam("Communication", "LastSlave", "12");
    SetIniParam("Communication", "Bauds", "19200");
    CtlSession::Line line = CtlSession::ResolveLine(
        ParseCommandLine({"detect", "--full-duplex", "--baud", "4800", "--search"}).options);
    QCOMPARE(line.link.halfDuplex, false);
    QCOMPARE(line.bauds, 4800);
    QCOMPARE(line.slave, std::uint8_t(0)); // search without --slave finds the number
    QCOMPARE(line.search, true);
    line =
        CtlSession::ResolveLine(ParseCommandLine({"detect", "--search", "--slave", "9"}).options);
    QCOMPARE(line.slave, std::uint8_t(9));
    QCOMPARE(line.search, true);
}

void TestCtlOptions::iniValueThatDoesNotConvert()
{
    SetIniParam("Communication", "Bauds", "fast");
    try {
        CtlSession::ResolveLine(ParseCommandLine({"detect"}).options);
        QFAIL("no conversion error");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), int(ErrNo::TypeMismatch));
    }
}

void TestCtlOptions::settingsText()
{
    CtlSession::Line line;
    line.bauds = 19200;
    line.parity = QStringLiteral("o");
    line.stops = 2;
    QCOMPARE(CtlSession::SettingsText(line), QStringLiteral("19200,O,8,2"));
}

QTEST_GUILESS_MAIN(TestCtlOptions)
#include "tst_ctloptions.moc"
