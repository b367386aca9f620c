// orvelctl without a panel: help, usage errors, new, dump, the data file and
// the language of the messages.
#include "config/ConfigClass.h"
#include "CtlRunner.h"
#include "HandFile.h"
#include "RecordingUi.h"
#include "settings/IniStore.h"
#include "TestFiles.h"
#include "texts/DataFunctions.h"
#include "util/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// Fills every field: input ch's byte fields are 10 ch + k, redirections
// 100 + 4 (ch - 1) + k, delays 70000 ch + 1 (more than 16 bits) and -5 for
// channel 12, outputs 150 + ch, 170 + ch and ch % 3, GenParam(i) = 200 + i
// except 30 and 31 (2 h 15 min).
HandFile fullFile()
{
    HandFile f("Orvel \xc9", "Hall B \"north\"");
    for (int ch = 1; ch <= 12; ++ch) {
        const int r = 15 * (ch - 1);
        f.put(r + 0, 10 * ch + 0);                        // InSecu
        f.putLong(r + 1, ch == 12 ? -5 : 70000 * ch + 1); // InTempo
        f.put(r + 5, 10 * ch + 1);                        // InSequence
        f.put(r + 6, 10 * ch + 2);                        // InDetect
        f.put(r + 7, 10 * ch + 3);                        // InRelance
        f.put(r + 8, 10 * ch + 4);                        // InBlocage
        for (int k = 0; k < 4; ++k)
            f.put(r + 9 + k, 100 + 4 * (ch - 1) + k); // InRedir
        f.put(r + 13, 10 * ch + 5);                   // InSynth
        f.put(r + 14, 10 * ch + 6);                   // InTypeKL
        f.put(180 + 2 * (ch - 1), 150 + ch);          // OutSecu
        f.put(181 + 2 * (ch - 1), 170 + ch);          // OutPilot
        f.put(f.late(248 + ch), 10 * ch + 7);         // InDisturb
        f.put(f.late(260 + ch), 10 * ch + 8);         // InRepBlock
        f.put(f.late(277 + ch), ch % 3);              // OutMode
    }
    f.putLong(204, -123456); // GenTempoRelance
    int offset = 208;
    for (int i = 0; i <= 32; ++i) {
        if (i == 21 || i == 27 || (i >= 29 && i <= 31))
            continue;
        f.put(offset++, 200 + i);
    }
    f.putWord(236, -300);    // BrightMin
    f.put(238, 7);           // SupplyType
    f.put(239, 9);           // CommonType
    f.put(240, 33);          // ModuleNo
    f.put(f.late(273), 221); // GenParam(21)
    f.put(f.late(274), 227); // GenParam(27)
    f.put(f.late(275), 229); // GenParam(29)
    f.put(f.late(276), 2);   // GenParam(30)
    f.put(f.late(277), 15);  // GenParam(31)
    f.put(f.late(290), 199); // GenParam(32), second copy
    return f;
}

QList<int> ints(const QJsonValue& value)
{
    QList<int> list;
    for (const QJsonValue& v : value.toArray())
        list.append(v.toInt());
    return list;
}

QList<int> channelValues(const std::function<int(int)>& f)
{
    QList<int> list;
    for (int ch = 1; ch <= 12; ++ch)
        list.append(f(ch));
    return list;
}

const QStringList PropertyOrder{
    "InSecu",     "InTempo",   "InSequence", "InDetect",        "InRelance",  "InBlocage",
    "InRedir",    "InSynth",   "InTypeKL",   "InDisturb",       "InRepBlock", "OutSecu",
    "OutPilot",   "OutMode",   "GenParam",   "GenTempoRelance", "ModuleNo",   "ModuleName",
    "ModuleType", "BrightMin", "SupplyType", "CommonType"};

} // namespace

class TestOrvelctlFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void help();
    void usageErrors_data();
    void usageErrors();
    void dumpFileBuiltByHand();
    void dumpShortFileKeepsDefaults();
    void dumpZeroHornStop();
    void dumpRefused_data();
    void dumpRefused();
    void dumpDamagedFile();
    void newHoldsDefaults();
    void newRefused_data();
    void newRefused();
    void endlessIniFile();
    void namesNotValidUtf8_data();
    void namesNotValidUtf8();
    void messagesInIniLanguage_data();
    void messagesInIniLanguage();
    void missingDataFile();
    void writeChecksItsFileBeforeThePort();

private:
    QTemporaryDir m_dir;
    QString m_ini;
    std::unique_ptr<CtlRunner> m_ctl;
    RecordingUi m_ui;
};

void TestOrvelctlFiles::initTestCase()
{
    QVERIFY(QFile::exists(CtlRunner::DefaultProgram()));
    QVERIFY(OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")));
    m_ini = m_dir.filePath(QStringLiteral("orvel.ini"));
    m_ctl = std::make_unique<CtlRunner>(m_ini);
    QCOMPARE(
        ::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.orv"))).constData(), 0600),
        0);
}

void TestOrvelctlFiles::init()
{
    QFile::remove(m_ini);
    SetIniFileNameOverride(m_ini);
    SetCurrentLanguage(QString());
}

void TestOrvelctlFiles::help()
{
    const CtlRun r = m_ctl->run({"--help"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.startsWith("Usage: orvelctl COMMAND [OPTIONS]\n"));
    for (const char* word :
         {"new -o FILE", "dump FILE",   "detect",        "read -o FILE", "write FILE",
          "validate",    "buffer read", "buffer clear",  "--port",       "--baud",
          "--stops",     "--parity",    "--half-duplex", "--rts-delay",  "--frame-delay",
          "--slave",     "--search",    "--factory",     "--validate",   "--allow-older",
          "--format",    "Exit status"})
        QVERIFY2(r.out.contains(word), word);
    QVERIFY(r.err.isEmpty());
}

void TestOrvelctlFiles::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing") << QStringList{}
                             << "orvelctl: no command given\nTry 'orvelctl --help'.\n";
    QTest::newRow("unknown") << QStringList{"frobnicate"}
                             << "orvelctl: unknown command frobnicate\nTry 'orvelctl --help'.\n";
    QTest::newRow("slave 65") << QStringList{"detect", "--slave", "65"}
                              << "orvelctl: option --slave: 65 is not a number from 1 to 64\n"
                                 "Try 'orvelctl --help'.\n";
}

void TestOrvelctlFiles::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const CtlRun r = m_ctl->run(args);
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.errText(), message);
    QVERIFY(r.out.isEmpty());
}

void TestOrvelctlFiles::dumpFileBuiltByHand()
{
    const QString path = m_dir.filePath(QStringLiteral("hand.orv"));
    TestFiles::WriteBytes(path, fullFile().bytes());
    const CtlRun r = m_ctl->run({"dump", path});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.isEmpty(), r.err.constData());

    // Keys in the stable order, one per line.
    QStringList keys;
    const QRegularExpression key(QStringLiteral("^  \"(\\w+)\": "),
                                 QRegularExpression::MultilineOption);
    for (auto it = key.globalMatch(QString::fromUtf8(r.out)); it.hasNext();)
        keys.append(it.next().captured(1));
    QCOMPARE(keys, PropertyOrder);
    QVERIFY(r.out.startsWith("{\n"));
    QVERIFY(r.out.endsWith("\n}\n"));

    QJsonParseError error{};
    const QJsonObject o = QJsonDocument::fromJson(r.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(o.size(), PropertyOrder.size());
    QCOMPARE(ints(o["InSecu"]), channelValues([](int ch) { return 10 * ch; }));
    QCOMPARE(ints(o["InTempo"]),
             channelValues([](int ch) { return ch == 12 ? -5 : 70000 * ch + 1; }));
    QCOMPARE(ints(o["InSequence"]), channelValues([](int ch) { return 10 * ch + 1; }));
    QCOMPARE(ints(o["InDetect"]), channelValues([](int ch) { return 10 * ch + 2; }));
    QCOMPARE(ints(o["InRelance"]), channelValues([](int ch) { return 10 * ch + 3; }));
    QCOMPARE(ints(o["InBlocage"]), channelValues([](int ch) { return 10 * ch + 4; }));
    const QJsonArray redirs = o["InRedir"].toArray();
    QCOMPARE(redirs.size(), 12);
    for (int ch = 1; ch <= 12; ++ch) {
        const int b = 100 + 4 * (ch - 1);
        QCOMPARE(ints(redirs[ch - 1]), (QList<int>{b, b + 1, b + 2, b + 3}));
    }
    QCOMPARE(ints(o["InSynth"]), channelValues([](int ch) { return 10 * ch + 5; }));
    QCOMPARE(ints(o["InTypeKL"]), channelValues([](int ch) { return 10 * ch + 6; }));
    QCOMPARE(ints(o["InDisturb"]), channelValues([](int ch) { return 10 * ch + 7; }));
    QCOMPARE(ints(o["InRepBlock"]), channelValues([](int ch) { return 10 * ch + 8; }));
    QCOMPARE(ints(o["OutSecu"]), channelValues([](int ch) { return 150 + ch; }));
    QCOMPARE(ints(o["OutPilot"]), channelValues([](int ch) { return 170 + ch; }));
    QCOMPARE(ints(o["OutMode"]), channelValues([](int ch) { return ch % 3; }));
    QList<int> gen;
    for (int i = 0; i <= 32; ++i)
        gen.append(200 + i);
    gen[30] = 2;
    gen[31] = 15;
    gen[32] = 199; // the tail's copy replaces the one at offset 235
    QCOMPARE(ints(o["GenParam"]), gen);
    QCOMPARE(o["GenTempoRelance"].toInt(), -123456);
    QCOMPARE(o["ModuleNo"].toInt(), 33);
    QCOMPARE(o["ModuleName"].toString(), QStringLiteral("Hall B \"north\""));
    QCOMPARE(o["ModuleType"].toString(), QStringLiteral("Orvel \u00c9"));
    QCOMPARE(o["BrightMin"].toInt(), -300);
    QCOMPARE(o["SupplyType"].toInt(), 7);
    QCOMPARE(o["CommonType"].toInt(), 9);
    // The texts are escaped as JSON wants them and written in UTF-8.
    QVERIFY(r.out.contains("\"ModuleName\": \"Hall B \\\"north\\\"\""));
    QVERIFY(r.out.contains("\"ModuleType\": \"Orvel \xc3\x89\""));
}

// A file without the tail: OutMode keeps the data file's defaults and
// GenParam(32) comes from offset 235.
void TestOrvelctlFiles::dumpShortFileKeepsDefaults()
{
    const QString path = m_dir.filePath(QStringLiteral("short.orv"));
    TestFiles::WriteBytes(path, fullFile().withoutTail());
    const CtlRun r = m_ctl->run({"dump", path});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    ConfigClass defaults;
    GetAllDefaults(defaults);
    QCOMPARE(ints(o["OutMode"]), channelValues([&](int ch) { return defaults.OutMode(ch); }));
    QCOMPARE(ints(o["GenParam"])[32], 232);
    QCOMPARE(ints(o["InSecu"])[0], 10);
}

void TestOrvelctlFiles::dumpZeroHornStop()
{
    HandFile f = fullFile();
    f.put(f.late(276), 0);
    f.put(f.late(277), 0);
    const QString path = m_dir.filePath(QStringLiteral("zero.orv"));
    TestFiles::WriteBytes(path, f.bytes());
    const CtlRun r = m_ctl->run({"dump", path});
    QCOMPARE(r.exitCode, 0);
    const QList<int> gen = ints(QJsonDocument::fromJson(r.out).object()["GenParam"]);
    QCOMPARE(gen[30], 0);
    QCOMPARE(gen[31], 10);
}

void TestOrvelctlFiles::dumpRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("why");
    QTest::newRow("missing") << "nowhere.orv" << ErrorDescription(53);
    QTest::newRow("named pipe") << "pipe.orv"
                                << "not a regular file";
}

// Only a regular file is opened: nothing blocks on a pipe.
void TestOrvelctlFiles::dumpRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, why);
    const QString path = m_dir.filePath(name);
    const CtlRun r = m_ctl->run({"dump", path}, 10000);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.out.isEmpty());
    QCOMPARE(r.errText(), QStringLiteral("error: %1: %2\n").arg(path, why));
}

void TestOrvelctlFiles::dumpDamagedFile()
{
    HandFile f("Orvel", "");
    f.putLong(241, -7); // negative text count
    const QString path = m_dir.filePath(QStringLiteral("damaged.orv"));
    TestFiles::WriteBytes(path, f.bytes());
    const CtlRun r = m_ctl->run({"dump", path});
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.errText().startsWith(QStringLiteral("error: Error Nr ")), r.err.constData());
    QVERIFY(r.errText().contains(QStringLiteral("Module : ConfigClass")));
}

void TestOrvelctlFiles::newHoldsDefaults()
{
    const QString path = m_dir.filePath(QStringLiteral("new.orv"));
    const CtlRun r = m_ctl->run({"new", "-o", path});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.isEmpty());
    QVERIFY(r.err.isEmpty());
    ConfigClass expected;
    GetAllDefaults(expected);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), expected.ToFileBytes());
}

void TestOrvelctlFiles::newRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("why");
    QTest::newRow("missing folder") << "no/such/folder/new.orv"
                                    << "No such file or directory";
    QTest::newRow("named pipe") << "pipe.orv"
                                << "not a regular file";
}

void TestOrvelctlFiles::newRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, why);
    const QString path = m_dir.filePath(name);
    const CtlRun r = m_ctl->run({"new", "-o", path}, 10000);
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.errText(), QStringLiteral("error: %1: %2\n").arg(path, why));
    QVERIFY(!QFileInfo(path).isFile());
}

// An INI file that cannot be read (here an endless device) is reported once
// and the command goes on with the console's defaults.
void TestOrvelctlFiles::endlessIniFile()
{
    CtlRunner runner(QStringLiteral("/dev/zero"));
    const QString out = m_dir.filePath(QStringLiteral("with-bad-ini.orv"));
    const CtlRun r = runner.run({"new", "-o", out}, 20000);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.errText(), QStringLiteral("error: Error Nr 75 : Path/File access error\n\n"
                                         "Module : ZEBfonctions\nFunction : GetIniParam\n"));
    QVERIFY(QFile::exists(out));
}

// A name that is not valid UTF-8 would name another file once decoded: it is
// refused, and no file is written under another name.
void TestOrvelctlFiles::namesNotValidUtf8_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("name"); // as printf takes it
    QTest::addColumn<QString>("message");
    QTest::newRow("dump") << "dump"
                          << "a\\377.orv"
                          << "orvelctl: argument 2 (a\\xff.orv) is not valid in the system's "
                             "encoding; rename the file or give another name\n";
    QTest::newRow("new -o") << "new -o"
                            << "b\\376.orv"
                            << "orvelctl: argument 3 (b\\xfe.orv) is not valid in the system's "
                               "encoding; rename the file or give another name\n";
}

void TestOrvelctlFiles::namesNotValidUtf8()
{
    QFETCH(QString, command);
    QFETCH(QString, name);
    QFETCH(QString, message);
    QDir folder(m_dir.filePath(QStringLiteral("names")));
    QVERIFY(folder.mkpath(QStringLiteral(".")));
    // What a lossy decoding of either name would open or write.
    TestFiles::WriteBytes(folder.filePath(QStringLiteral("a\uFFFD.orv")), "not this one");
    // The shell passes the bytes as they are.
    const QString script = QStringLiteral("cd '%1' && exec '%2' %3 \"$(printf '%4')\"")
                               .arg(folder.path(), CtlRunner::DefaultProgram(), command, name);
    const CtlRun r = CtlRunner(m_ini, QStringLiteral("/bin/sh")).run({"-c", script});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.errText(), message + QStringLiteral("Try 'orvelctl --help'.\n"));
    QCOMPARE(folder.entryList(QDir::Files), QStringList{QStringLiteral("a\uFFFD.orv")});
}

void TestOrvelctlFiles::messagesInIniLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("default") << QString();
    for (const QString& language : Languages())
        QTest::newRow(qPrintable(language)) << language;
}

// A port that does not exist gives text 10101 in the INI file's language.
void TestOrvelctlFiles::messagesInIniLanguage()
{
    QFETCH(QString, language);
    if (!language.isEmpty())
        SetIniParam("General", "Language", language);
    SetCurrentLanguage(language);
    QString expected = GetText(10101);
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString port = m_dir.filePath(QStringLiteral("no-such-port"));
    const CtlRun r = m_ctl->run({"detect", "--port", port});
    QCOMPARE(r.exitCode, 3);
    QVERIFY(!expected.startsWith(QLatin1Char('#')));
    QVERIFY2(r.errText().startsWith(QStringLiteral("warning: ") + expected + QLatin1Char('\n')),
             r.err.constData());
    QVERIFY(r.errText().contains(port));
    QVERIFY(r.out.isEmpty());
}

void TestOrvelctlFiles::missingDataFile()
{
    QTemporaryDir bin;
    const QString program = bin.filePath(QStringLiteral("orvelctl"));
    QVERIFY(QFile::copy(CtlRunner::DefaultProgram(), program));
    CtlRunner lonely(m_ini, program);
    const CtlRun r = lonely.run({"new", "-o", m_dir.filePath(QStringLiteral("x.orv"))});
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.errText(), QStringLiteral("orvelctl: Cannot open the Data file.\n"));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("x.orv"))));
    // Help needs no data file.
    QCOMPARE(lonely.run({"--help"}).exitCode, 0);
}

// A missing file is a file error even when the port cannot be opened either.
void TestOrvelctlFiles::writeChecksItsFileBeforeThePort()
{
    const QString file = m_dir.filePath(QStringLiteral("absent.orv"));
    const CtlRun r =
        m_ctl->run({"write", file, "--port", m_dir.filePath(QStringLiteral("no-port"))});
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.errText(), QStringLiteral("error: %1: %2\n").arg(file, ErrorDescription(53)));
}

QTEST_GUILESS_MAIN(TestOrvelctlFiles)
#include "tst_orvelctl_files.moc"
