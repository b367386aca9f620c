// orvel-sim as a program: options, the pseudo-terminal it serves, its line
// settings check, configuration and event list loading, faults, wire time.
#include "link/Detection.h"
#include "link/RegisterMap.h"
#include "link/SerialComCtrl.h"
#include "RecordingUi.h"
#include "SimProcess.h"
#include "TestFiles.h"

#include <QTest>
#include <QThread>

#include <csignal>
#include <memory>
#include <thread>

namespace {
class QuietWindow : public SearchWindow
{
public:
    void ShowSearching() override {}
    bool Cancelled() override { return false; }
    void ShowAttempt(const QString&, std::int32_t, std::int16_t) override {}
    bool Confirm(std::uint8_t, int) override { return true; }
    void Close() override {}
};

struct RunResult
{
    int code = -1;
    QString out;
    QString err;
};

RunResult run(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(ORVEL_BIN_DIR "/orvel-sim"), args);
    RunResult r;
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitCode();
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

LinkOptions quick()
{
    LinkOptions o;
    o.frameDelayMs = 0;
    o.replyTimeoutMs = 1500;
    return o;
}
} // namespace

class TestOrvelSim : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void helpDocumentsEveryOption()
    {
        const RunResult r = run({QStringLiteral("--help")});
        QCOMPARE(r.code, 0);
        for (const char* option :
             {"--panel <slave[:version[:settings]]>", "--config <[slave=]file>",
              "--events <[slave=]file>", "--link <path>", "--wire-time", "--turnaround <ms>",
              "--fault <[slave=]kind[@register][#n]>", "--late-ms <ms>", "--clear-never-falls",
              "--verbose", "no-reply", "bad-crc", "echo", "exception", "wrong-slave", "short-reply",
              "late-reply", "held-reply", "bad-echo"})
            QVERIFY2(r.out.contains(QLatin1String(option)), option);
    }

    void badOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("slave 65") << QStringList{"--panel", "65"} << "orvel-sim: bad panel 65\n";
        QTest::newRow("version 1.07")
            << QStringList{"-p", "3:1.07"} << "orvel-sim: bad version in 3:1.07 (1.02 to 1.06)\n";
        QTest::newRow("settings") << QStringList{"-p", "3:1.05:9600"}
                                  << "orvel-sim: bad line settings in 3:1.05:9600\n";
        QTest::newRow("twice") << QStringList{"-p", "3", "-p", "3"}
                               << "orvel-sim: slave 3 given twice\n";
        QTest::newRow("fault") << QStringList{"--fault", "loud"} << "orvel-sim: bad --fault loud\n";
        QTest::newRow("fault register")
            << QStringList{"--fault", "no-reply@x"} << "orvel-sim: bad --fault no-reply@x\n";
        QTest::newRow("fault count")
            << QStringList{"--fault", "no-reply#0"} << "orvel-sim: bad --fault no-reply#0\n";
        QTest::newRow("fault panel")
            << QStringList{"--fault", "9=echo"} << "orvel-sim: bad --fault 9=echo\n";
        QTest::newRow("config") << QStringList{"--config", "/nonexistent/x.orv"}
                                << "orvel-sim: cannot load the configuration /nonexistent/x.orv\n";
        QTest::newRow("events") << QStringList{"--events", "/nonexistent/e.txt"}
                                << "orvel-sim: /nonexistent/e.txt: No such file or directory\n";
        QTest::newRow("argument") << QStringList{"extra"}
                                  << "orvel-sim: unexpected argument extra\n";
    }

    void badOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const RunResult r = run(args);
        QCOMPARE(r.code, 2);
        QCOMPARE(r.err, message);
        QVERIFY(r.out.isEmpty());
    }

    void servesPanelsOnTheTerminal()
    {
        QTemporaryDir files;
        ConfigClass config;
        config.SetInSecu(4, 44);
        config.SetInTempo(2, 123456);
        config.SetGenParam(5, 55);
        config.SetBrightMin(-7);
        config.SetCommonType(2);
        const QString configPath = files.filePath(QStringLiteral("demo.orv"));
        QVERIFY(config.Save(configPath));
        const QString eventsPath = files.filePath(QStringLiteral("events.txt"));
        TestFiles::WriteBytes(eventsPath, "# demo\n1 2 0 197842\nACK 0 0 12000\n0xD5A0 0x0001\n");
        SimProcess sim({"-p", "5:1.05", "-p", "7:1.02:19200,N,8,2", "--config", "5=" + configPath,
                        "--events", "5=" + eventsPath});
        QVERIFY(sim.running());
        QVERIFY(sim.devicePath.startsWith(QStringLiteral("/dev/")));
        QCOMPARE(QFileInfo(sim.linkPath).symLinkTarget(), sim.devicePath);

        SerialComCtrl port;
        port.SetCommPort(sim.linkPath);
        port.SetPortOpen(true);
        PanelLink link(port, quick());
        QuietWindow window;
        std::int32_t version = 0;
        QCOMPARE(DetectOrvel(link, window, 5, false, version, false), std::uint8_t(5));
        QCOMPARE(version, 261);
        // Slave 7 listens at 19200 baud and 2 stop bits only: the search finds it.
        LinkOptions searching = quick();
        searching.replyTimeoutMs = 400;
        PanelLink searchLink(port, searching);
        QCOMPARE(DetectOrvel(searchLink, window, 7, false, version, false), DetectNone);
        QCOMPARE(DetectOrvel(searchLink, window, 7, true, version, false), std::uint8_t(7));
        QCOMPARE(version, 258);
        QCOMPARE(port.Settings(), QStringLiteral("19200,N,8,2"));

        port.SetSettings(QStringLiteral("9600,N,8,1"));
        ConfigClass read;
        QVERIFY(ReadAll(link, read, 5, 261));
        QCOMPARE(read.InSecu(4), std::uint8_t(44));
        QCOMPARE(read.InTempo(2), 123456);
        QCOMPARE(read.GenParam(5), std::uint8_t(55));
        QCOMPARE(read.BrightMin(), std::int16_t(-7));
        QCOMPARE(read.CommonType(), std::uint8_t(2));
        QCOMPARE(read.GenParam(23), std::uint8_t(5));

        QList<std::int16_t> count(1, 0);
        QVERIFY(LitMots(link, 5, 144, count));
        QCOMPARE(count[0], std::int16_t(3));
        QList<std::int16_t> records(6, 0);
        QVERIFY(LitMots(link, 5, 146, records));
        QCOMPARE(records, (QList<std::int16_t>{0x1203, 0x04D2, -4096, 12000,
                                               static_cast<std::int16_t>(0xD5A0), 1}));
        // The clear sequence empties it.
        QVERIFY(EcritMots(link, 5, 288, {3}));
        QVERIFY(LitMots(link, 5, 144, count));
        QCOMPARE(count[0], std::int16_t(0));
        QVERIFY(EcritMots(link, 5, 289, {0}));

        port.SetPortOpen(false);
        QCOMPARE(sim.stop(), 0);
        QVERIFY(!QFileInfo::exists(sim.linkPath));
    }

    void faultOption_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("no-reply") << "no-reply";
        QTest::newRow("bad-crc") << "bad-crc";
        QTest::newRow("bad-echo") << "bad-echo";
        QTest::newRow("held-reply") << "held-reply";
        QTest::newRow("exception") << "exception";
        QTest::newRow("wrong-slave") << "wrong-slave";
        QTest::newRow("short-reply") << "short-reply";
        QTest::newRow("late-reply") << "late-reply";
    }

    void faultOption()
    {
        QFETCH(QString, fault);
        SimProcess sim({"-p", "2", "-p", "3", "--fault", "2=" + fault, "--late-ms", "800"});
        QVERIFY(sim.running());
        SerialComCtrl port;
        port.SetCommPort(sim.devicePath);
        port.SetPortOpen(true);
        LinkOptions shortWait = quick();
        shortWait.replyTimeoutMs = 400;
        PanelLink faulty(port, shortWait);
        QList<std::int16_t> w(2, 0);
        QVERIFY(!LitMots(faulty, 2, 334, w));
        QTest::qWait(fault == QLatin1String("late-reply") ? 600 : 0);
        PanelLink link(port, quick());
        QVERIFY(LitMots(link, 3, 334, w));
        QCOMPARE(w, (QList<std::int16_t>{1, 6 << 8}));
    }

    // A fault limited to one register, or to the first n requests.
    void faultLimits_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QList<int>>("registers"); // read in turn, one word each
        QTest::addColumn<QList<bool>>("answered");
        QTest::newRow("@334") << "no-reply@334" << QList<int>{1138, 334, 1138, 334}
                              << QList<bool>{true, false, true, false};
        QTest::newRow("#1") << "no-reply#1" << QList<int>{334, 334} << QList<bool>{false, true};
        QTest::newRow("@334#1") << "no-reply@334#1" << QList<int>{1138, 334, 334}
                                << QList<bool>{true, false, true};
    }

    void faultLimits()
    {
        QFETCH(QString, fault);
        QFETCH(QList<int>, registers);
        QFETCH(QList<bool>, answered);
        SimProcess sim({"--fault", fault});
        QVERIFY(sim.running());
        SerialComCtrl port;
        port.SetCommPort(sim.devicePath);
        port.SetPortOpen(true);
        LinkOptions shortWait = quick();
        shortWait.replyTimeoutMs = 300;
        PanelLink link(port, shortWait);
        for (qsizetype i = 0; i < registers.size(); ++i) {
            QList<std::int16_t> w(1, 0);
            QCOMPARE(LitMots(link, 1, std::uint16_t(registers[i]), w), answered[i]);
        }
    }

    void clearNeverFalls()
    {
        QTemporaryDir files;
        const QString eventsPath = files.filePath(QStringLiteral("e.txt"));
        TestFiles::WriteBytes(eventsPath, "3 1 1 100\n");
        SimProcess sim({"--events", eventsPath, "--clear-never-falls"});
        QVERIFY(sim.running());
        SerialComCtrl port;
        port.SetCommPort(sim.devicePath);
        port.SetPortOpen(true);
        PanelLink link(port, quick());
        QVERIFY(EcritMots(link, 1, 288, {1}));
        QList<std::int16_t> count(1, 0);
        QVERIFY(LitMots(link, 1, 144, count));
        QCOMPARE(count[0], std::int16_t(1));
    }

    void adapterUnpluggedAndBack()
    {
        RecordingUi ui;
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ttyPanel"));
        auto sim = std::make_unique<SimProcess>(
            QStringList{"--fault", "late-reply", "--late-ms", "1500"}, link);
        QVERIFY(sim->running());
        SerialComCtrl port;
        port.SetCommPort(link);
        port.SetPortOpen(true);
        PanelLink panelLink(port); // the real 2 s deadline
        // The line goes away while the exchange waits for its reply.
        const qint64 pid = sim->process.processId();
        std::thread unplug([pid] {
            QThread::msleep(300);
            ::kill(static_cast<pid_t>(pid), SIGKILL);
        });
        QList<std::int16_t> w{7, 7};
        QElapsedTimer t;
        t.start();
        const bool ok = LitMots(panelLink, 1, 334, w);
        const qint64 ms = t.elapsed();
        unplug.join();
        QVERIFY(!ok);
        QVERIFY2(ms >= 250 && ms < 1500, qPrintable(QString::number(ms)));
        QCOMPARE(w, (QList<std::int16_t>{7, 7}));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral("Error Nr 8020 : Error reading comm device\r\n\r\n"
                                "Module : CommFunctions\r\nFunction : LitMots"));
        QVERIFY(!port.PortOpen());
        sim.reset();

        // Back under the same name: the port opens again and works.
        SimProcess back({}, link);
        QVERIFY(back.running());
        port.SetPortOpen(true);
        QVERIFY(LitMots(panelLink, 1, 334, w));
        QCOMPARE(w, (QList<std::int16_t>{1, 6 << 8}));
    }

    void wireTimeAtTheLineRate()
    {
        SimProcess sim({"--wire-time", "-p", "1:1.06:2400,N,8,1"});
        QVERIFY(sim.running());
        SerialComCtrl port;
        port.SetCommPort(sim.devicePath);
        port.SetSettings(QStringLiteral("2400,N,8,1"));
        port.SetPortOpen(true);
        PanelLink link(port, quick());
        QList<std::int16_t> w(12, 0);
        QElapsedTimer t;
        t.start();
        QVERIFY(LitMots(link, 1, 593, w)); // 8 + 29 characters of 10 bits: 154 ms
        const qint64 ms = t.elapsed();
        QVERIFY2(ms >= 150 && ms < 600, qPrintable(QString::number(ms)));
    }
};

QTEST_GUILESS_MAIN(TestOrvelSim)
#include "tst_orvelsim.moc"
