// orvel-sim serving panels on a pseudo-terminal: what it loads, its faults,
// its refusals (the blocks each firmware lacks: tst_modbuspeer).
#include "config/ConfigClass.h"
#include "link/CommFunctions.h"
#include "link/SerialComCtrl.h"
#include "OrvelSim.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QTest>

class TestOrvelSim : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Exit status 2 and the reason, for options split at spaces.
    void badOptions_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("message");
        auto row = [](const QString& args, const QString& message) {
            QTest::newRow(qPrintable(args)) << args << message;
        };
        row("--panel 65", "bad panel 65");
        row("-p 3:1.07", "bad version in 3:1.07 (1.02 to 1.06)");
        row("-p 3 -p 3", "slave 3 given twice");
        row("--fault loud", "bad --fault loud");
        row("--config /nonexistent/x.orv", "cannot load the configuration /nonexistent/x.orv");
        row("extra", "unexpected argument extra");
        // Event lists: "channel parameter display ticks", "ACK ...", or raw words.
        const QString events = m_dir.filePath("bad-events.txt");
        TestFiles::WriteBytes(events, "ACK 0 0 1\n0xD5A0 0x0001\n1 0 0 1048576\n");
        row("--events " + events, events + ": line 3: 1 0 0 1048576");
        row("--events 3=" + events, "no panel for 3=" + events);
    }

    void badOptions()
    {
        QFETCH(QString, args);
        QFETCH(QString, message);
        QProcess sim;
        sim.start(QStringLiteral(ORVEL_BIN_DIR "/orvel-sim"), args.split(' '));
        QVERIFY(sim.waitForFinished(10000));
        QCOMPARE(sim.exitCode(), 2);
        QCOMPARE(sim.readAllStandardError(), "orvel-sim: " + message.toUtf8() + '\n');
        QVERIFY(sim.readAllStandardOutput().isEmpty());
    }

    // The device and the link to it; the panel's configuration and events
    // loaded; a fault limited to one register or to the first requests; the
    // link gone after SIGTERM.
    void servesTheTerminal()
    {
        ConfigClass config;
        config.SetInSecu(4, 44);
        config.SetCommonType(2);
        QVERIFY(config.Save(m_dir.filePath("demo.orv")));
        TestFiles::WriteBytes(m_dir.filePath("events.txt"), "ACK 0 0 12000\n");
        OrvelSim sim;
        QVERIFY(
            sim.start({"-p", "5:1.05", "--config", "5=" + m_dir.filePath("demo.orv"), "--events",
                       "5=" + m_dir.filePath("events.txt"), "--fault", "5=no-reply@334#2"}));
        QVERIFY(sim.device().startsWith(QStringLiteral("/dev/")));
        QCOMPARE(QFileInfo(sim.link()).symLinkTarget(), sim.device());
        SerialComCtrl port;
        port.SetCommPort(sim.link());
        port.SetPortOpen(true);
        PanelLink link(port, {.frameDelayMs = 0, .replyTimeoutMs = 300});
        QList<std::int16_t> w(4, 0);
        QVERIFY(LitMots(link, 5, 1172, w));
        QCOMPARE(w[3], std::int16_t(2));
        QVERIFY(LitMots(link, 5, 593, w));
        QCOMPARE(w[3], std::int16_t(44));
        QList<std::int16_t> event(2, 0);
        QVERIFY(LitMots(link, 5, 146, event));
        QCOMPARE(event, (QList<std::int16_t>{-4096, 12000}));
        for (bool answered : {false, false, true}) {
            QList<std::int16_t> version(2, 0);
            QCOMPARE(LitMots(link, 5, 334, version), answered);
        }
        port.SetPortOpen(false);
        QCOMPARE(sim.stop(), 0);
        QVERIFY(!QFileInfo::exists(sim.link()));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestOrvelSim)
#include "tst_orvelsim.moc"
