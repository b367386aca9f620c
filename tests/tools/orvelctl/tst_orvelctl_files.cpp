// orvelctl without a panel: its command line and the line it resolves, new,
// dump and print, and everything it refuses, in the INI file's language.
#include "CtlOptions.h"
#include "CtlRunner.h"
#include "CtlSession.h"
#include "HandFile.h"
#include "PdfText.h"
#include "RecordingUi.h"
#include "TestFiles.h"
#include "texts/CipherDb.h"
#include "texts/DataFileKey.h"
#include "util/RuntimeError.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace CtlTexts;

namespace {

// Every field its own value, keys in a stable order, texts escaped, in UTF-8.
const char* const FullDump =
    "{\n"
    "  \"InSecu\": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12],\n"
    "  \"InTempo\": [1000010, 2000013, 3000016, 4000019, 5000022, 6000025, 7000028, 8000031, "
    "9000034, 10000037, 11000040, 12000043],\n"
    "  \"InSequence\": [21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32],\n"
    "  \"InDetect\": [41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52],\n"
    "  \"InRelance\": [61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72],\n"
    "  \"InBlocage\": [81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92],\n"
    "  \"InRedir\": [[2, 3, 4, 5], [3, 4, 5, 6], [4, 5, 6, 7], [5, 6, 7, 8], [6, 7, 8, 9], [7, "
    "8, 9, 10], [8, 9, 10, 11], [9, 10, 11, 12], [10, 11, 12, 0], [11, 12, 0, 1], [12, 0, 1, "
    "2], [0, 1, 2, 3]],\n"
    "  \"InSynth\": [101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112],\n"
    "  \"InTypeKL\": [1, 2, 3, 4, 0, 1, 2, 3, 4, 0, 1, 2],\n"
    "  \"InDisturb\": [121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132],\n"
    "  \"InRepBlock\": [141, 142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 152],\n"
    "  \"OutSecu\": [161, 162, 163, 164, 165, 166, 167, 168, 169, 170, 171, 172],\n"
    "  \"OutPilot\": [1, 2, 3, 4, 5, 0, 1, 2, 3, 4, 5, 0],\n"
    "  \"OutMode\": [1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0],\n"
    "  \"GenParam\": [50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 0, 64, 65, 66, 67, "
    "68, 69, 70, 3, 72, 7, 74, 75, 76, 77, 78, 79, 2, 15, 82],\n"
    "  \"GenTempoRelance\": 123456789,\n"
    "  \"ModuleNo\": 33,\n"
    "  \"ModuleName\": \"Hall B \\\"north\\\"\",\n"
    "  \"ModuleType\": \"Orvel É\",\n"
    "  \"BrightMin\": -200,\n"
    "  \"SupplyType\": 6,\n"
    "  \"CommonType\": 0\n"
    "}\n";

// What a command line asks for and the line it resolves from the options,
// the INI file and the console's defaults, as one text; or its refusal.
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

class TestOrvelctlFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(SetUp(m_ini));
        QFile::remove(m_ini);
        m_ctl = std::make_unique<CtlRunner>(m_ini);
        // The tool prints without a display even where the session names one.
        m_ctl->environment().insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_ctl->environment().remove(QStringLiteral("DISPLAY"));
        QCOMPARE(::mkfifo(QFile::encodeName(path("pipe.orv")).constData(), 0600), 0);
        HandFile damaged("Orvel", "");
        damaged.putLong(241, -7); // a negative text length
        TestFiles::WriteBytes(path("damaged.orv"), damaged.bytes());
        ConfigClass config;
        config.SetModuleName(QStringLiteral("Pump room"));
        config.SetGenParam(24, 255);
        QVERIFY(config.Save(m_config));
    }

    void init() { QFile::remove(m_ini); }

    // The command line (split at spaces) and the INI file's Communication
    // section: what it resolves, or the refusal; parsing creates no INI file.
    void options_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("result");
        auto row = [](const char* args, const QString& result, const char* ini = "") {
            QTest::newRow(args) << args << ini << result;
        };
        row("write a.orv --port /dev/pts/7 --baud=19200 --stops 2 --parity E --half-duplex "
            "--rts-delay 3 --frame-delay 0 --timeout 300 --slave 64 --factory --validate "
            "--allow-older",
            "write  a.orv  text /dev/pts/7 19200,E,8,2 rts=1/3 delay=0/300 slave=64 scan=1-64/0 "
            "factory validate allow-older");
        row("buffer read --format csv-fr -o x.csv --search",
            "buffer read  x.csv csv-fr 1 9600,N,8,1 rts=0/5 delay=50/2000 slave=0 scan=1-64/0 "
            "search");
        row("scan --from=7 --to 9 --probe-margin 150 --search --trace",
            "scan    text 1 9600,N,8,1 rts=0/5 delay=50/2000 slave=0 scan=7-9/150 search trace");
        row("dump --help", "help    text");
        row("new -o n.orv",
            "new   n.orv text /dev/ttyUSB3 19200,E,8,2 rts=1/7 delay=20/2000 slave=12 scan=1-64/0",
            "Port=/dev/ttyUSB3 Bauds=19200 Stops=2 Parity=e RTS=1 RtsDelay=7 FrameDelay=20 "
            "LastSlave=12");
        // A search without --slave finds the number.
        row("detect --full-duplex --baud 4800 --search",
            "detect    text 1 4800,N,8,1 rts=0/5 delay=50/2000 slave=0 scan=1-64/0 search",
            "RTS=1 LastSlave=12 Bauds=19200");
        row("detect --search --slave 9",
            "detect    text 1 9600,N,8,1 rts=0/5 delay=50/2000 slave=9 scan=1-64/0 search",
            "LastSlave=12");
        row("detect", QStringLiteral("detect    text error %1").arg(int(ErrNo::TypeMismatch)),
            "Bauds=fast");
        row("", "no command given");
        row("erase", "unknown command erase");
        row("detect --fast", "unknown option --fast");
        row("detect --slave 0", "option --slave: 0 is not a number from 1 to 64");
        row("detect --slave x", "option --slave: x is not a number from 1 to 64");
        row("detect --stops 3", "option --stops: 3 is not a number from 1 to 2");
        row("detect --parity m", "option --parity: m is not n, e or o");
        row("detect --baud", "option --baud needs a value");
        row("detect --port=", "option --port needs a port number or a device");
        row("detect --search=yes", "option --search takes no value");
        row("new", "new needs -o FILE");
        row("dump", "dump needs a configuration file");
        row("dump a b", "unexpected argument b");
        row("buffer erase", "buffer needs read or clear");
        row("buffer clear -o f", "buffer clear takes no -o");
        row("read -o f --factory", "--factory belongs to write and print");
        row("print a -o f --validate", "--validate and --allow-older belong to write");
        row("print a", "print needs -o FILE");
        row("print a -o f --port 2", "print does not use the line");
        row("buffer clear --format text", "--format belongs to buffer read");
        row("buffer read --format xml", "option --format: xml is not text, csv-fr or csv-en");
        row("scan --from 6 --to 5", "--from 6 is above --to 5");
        row("scan --probe-margin 0", "option --probe-margin: 0 is not a number from 1 to 10000");
        row("detect --from 3", "--from, --to and --probe-margin belong to scan");
        row("scan --slave 3", "scan takes --from and --to, not --slave");
    }

    void options()
    {
        QFETCH(QString, args);
        QFETCH(QString, ini);
        for (const QString& entry : ini.split(' ', Qt::SkipEmptyParts))
            SetIniParam("Communication", entry.section('=', 0, 0), entry.section('=', 1));
        QTEST(described(args.split(' ', Qt::SkipEmptyParts)), "result");
        QCOMPARE(QFile::exists(m_ini), !ini.isEmpty());
    }

    // The file layout is tst_configfile's.
    void dump()
    {
        ConfigClass c = SourceConfig();
        c.SetModuleType("Orvel \u00c9");
        c.SetModuleName("Hall B \"north\"");
        c.SetModuleNo(33);
        QVERIFY(c.Save(path("full.orv")));
        const CtlRun r = m_ctl->run({"dump", path("full.orv")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty(), r.err.constData());
        QCOMPARE(r.out, QByteArray(FullDump));
    }

    // The report of a file in the INI file's language, here with the factory
    // section.
    void print()
    {
        TestFiles::WriteBytes(m_ini, "[General]\nLanguage=Espa\xc3\xb1ol\n");
        const CtlRun r = m_ctl->run({"print", m_config, "-o", path("panel.pdf"), "--factory"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty() && r.out.isEmpty(), r.err.constData());
        const QString text = PdfText::Pages(TestFiles::ReadBytes(path("panel.pdf"))).join('\f');
        QFile::remove(path("panel.pdf"));
        QVERIFY(text.contains("Configuración del panel"));
        QVERIFY(text.contains("Pump room"));
        QVERIFY(text.contains(QRegularExpression("Velocidad \\(baudios\\) {2,}19200\\n")));
        QVERIFY(text.contains("Parámetros de fábrica"));
    }

    // Exit status and the whole of standard error; no file left behind.
    void refused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QByteArray>("ini");
        auto row = [](const QString& name, const QStringList& args, int exit, const QString& err,
                      const QByteArray& ini = {}) {
            QTest::newRow(qPrintable(name)) << args << exit << err << ini;
        };
        const QString missing = path("nowhere.orv");
        const QString noFolder = path("no/such/folder/x");
        const QString pipe = path("pipe.orv");
        const QString noPort = path("no-such-port");
        const QString damaged = "error: Error Nr 62 : Input past end of file\n\n"
                                "Module : ConfigClass\nFunction : Load\n";
        row("usage", {"detect", "--slave", "65"}, 1,
            "orvelctl: option --slave: 65 is not a number from 1 to 64\nTry 'orvelctl --help'.\n");
        row("dump, missing", {"dump", missing}, 2,
            "error: " + missing + ": " + ErrorDescription(53) + '\n');
        // Only a regular file is opened: nothing blocks on a pipe.
        row("dump, named pipe", {"dump", pipe}, 2, "error: " + pipe + ": not a regular file\n");
        row("dump, damaged", {"dump", path("damaged.orv")}, 2, damaged);
        row("new, no folder", {"new", "-o", noFolder}, 2,
            "error: " + noFolder + ": No such file or directory\n");
        row("new, named pipe", {"new", "-o", pipe}, 2, "error: " + pipe + ": not a regular file\n");
        // A missing file is a file error even when the port cannot be opened either.
        row("write, missing", {"write", missing, "--port", noPort}, 2,
            "error: " + missing + ": " + ErrorDescription(53) + '\n');
        row("print, font size 0", {"print", m_config, "-o", path("x.pdf")}, 2,
            "error: Error Nr 380 : Invalid property value\n\nModule : PrintFunctions\n"
            "Function : DoPrint\n",
            "[Print]\nFontSize=0\n");
        row("print, no folder", {"print", m_config, "-o", noFolder}, 2,
            "error: " + noFolder + ": No such file or directory\n");
        // A port that does not exist, said in the INI file's language.
        for (const QString& language : QStringList{QString()} + Languages()) {
            SetCurrentLanguage(language);
            row("no port, " + language, {"detect", "--port", noPort}, 3,
                "warning: " + Lines(10101) + QStringLiteral("\nport: %1 (%1)\n").arg(noPort),
                "[General]\nLanguage=" + language.toUtf8() + "\n");
        }
        SetCurrentLanguage(QString());
    }

    void refused()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        QFETCH(QByteArray, ini);
        if (!ini.isEmpty())
            TestFiles::WriteBytes(m_ini, ini);
        const QDir dir(m_dir.path(), {}, QDir::Name,
                       QDir::AllEntries | QDir::Hidden | QDir::System);
        const QStringList before = dir.entryList();
        const CtlRun r = m_ctl->run(args, 10000);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.errText(), err);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(dir.entryList(), before);
    }

    // A name that is not valid UTF-8 would name another file once decoded: it
    // is refused, and no file is written under another name.
    void nameNotValidUtf8()
    {
        QDir folder(path("names"));
        QVERIFY(folder.mkpath("."));
        // What a lossy decoding of the name would write over.
        TestFiles::WriteBytes(folder.filePath("a\uFFFD.orv"), "not this one");
        // The shell passes the bytes as they are.
        const QString script =
            QStringLiteral("cd '%1' && exec '%2' new -o \"$(printf 'a\\377.orv')\"")
                .arg(folder.path(), CtlRunner::DefaultProgram());
        const CtlRun r = CtlRunner(m_ini, "/bin/sh").run({"-c", script});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.errText(), "orvelctl: argument 3 (a\\xff.orv)"
                              " is not valid in the system's encoding; rename the file or "
                              "give another name\nTry 'orvelctl --help'.\n");
        QCOMPARE(folder.entryList(QDir::Files), QStringList{"a\uFFFD.orv"});
        QCOMPARE(TestFiles::ReadBytes(folder.filePath("a\uFFFD.orv")), "not this one");
    }

    // new saves the data file's defaults; an INI file that cannot be read
    // (here an endless device) is reported once and the command goes on.
    void newWithUnreadableIniFile()
    {
        const CtlRun r = CtlRunner("/dev/zero").run({"new", "-o", path("new.orv")}, 20000);
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.errText(), "error: Error Nr 75 : Path/File access error\n\n"
                              "Module : ZEBfonctions\nFunction : GetIniParam\n");
        ConfigClass expected;
        GetAllDefaults(expected);
        QCOMPARE(TestFiles::ReadBytes(path("new.orv")), expected.ToFileBytes());
    }

    // Without its data file beside it, it refuses every command but help; with
    // a default its data file cannot give, new writes nothing and fails.
    void dataFileBeside()
    {
        QTemporaryDir bin;
        const QString program = bin.filePath("orvelctl");
        QVERIFY(QFile::copy(CtlRunner::DefaultProgram(), program));
        CtlRunner lonely(m_ini, program);
        const CtlRun r = lonely.run({"new", "-o", path("x.orv")});
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.errText(), "orvelctl: Cannot open the Data file.\n");
        QVERIFY(!QFile::exists(path("x.orv")));
        const CtlRun help = lonely.run({"--help"});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.startsWith("Usage: orvelctl COMMAND [OPTIONS]\n"));

        const QString data = bin.filePath("orvel.dat");
        QVERIFY(QFile::copy(ORVEL_BIN_DIR "/orvel.dat", data));
        QFile(data).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        CipherDb db;
        QVERIFY(db.open(data, QByteArray(DataFilePassword), CipherDb::Mode::Create));
        QVERIFY(db.exec("UPDATE \"T_Defaults\" SET \"Valeur\" = 300 WHERE \"Key\" = 593"));
        db.close();
        const CtlRun bad = lonely.run({"new", "-o", path("x.orv")});
        QCOMPARE(bad.exitCode, 2);
        QCOMPARE(bad.errText(), "error: Error Nr 6 : Overflow\n\n"
                                "Module : DataFunctions\nFunction : GetInputDefaults\n");
        QVERIFY(!QFile::exists(path("x.orv")));
    }

    // The command-line tool reaches no window library.
    void linksNoWindowLibrary()
    {
        QProcess ldd;
        ldd.start("ldd", {CtlRunner::DefaultProgram()});
        QVERIFY(ldd.waitForFinished(30000));
        const QString libraries = QString::fromUtf8(ldd.readAllStandardOutput());
        QVERIFY(libraries.contains("libQt6Gui"));
        QVERIFY(!libraries.contains("libQt6Widgets"));
        QVERIFY(!libraries.contains("libQt6PrintSupport"));
    }

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QString m_ini = path("orvel.ini");
    QString m_config = path("panel.cfg");
    std::unique_ptr<CtlRunner> m_ctl;
    RecordingUi m_ui;
};

QTEST_GUILESS_MAIN(TestOrvelctlFiles)
#include "tst_orvelctl_files.moc"
