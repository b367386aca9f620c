// orvelctl scan against orvel-sim: the panels found, one line each, at their
// speed, slow and faulty panels, and the exit status.
#include "CtlRunner.h"
#include "OrvelSim.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"

#include <QTemporaryDir>
#include <QTest>

class TestOrvelctlScan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")));
        m_ini = m_dir.filePath(QStringLiteral("orvel.ini"));
        SetIniFileNameOverride(m_ini);
        SetIniParam("Communication", "FrameDelay", "0");
    }

    void scan_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");

        QTest::newRow("three panels")
            << QStringList{"-p", "3:1.04", "-p", "17:1.05", "-p", "64:1.06"}
            << QStringList{"--probe-margin", "20"} << 0
            << "slave=3 version=1.04 baud=9600 stops=1\nslave=17 version=1.05 baud=9600 "
               "stops=1\nslave=64 version=1.06 baud=9600 stops=1\n"
            << "";
        QTest::newRow("second speed by search")
            << QStringList{"-p", "9:1.03:4800,N,8,2"}
            << QStringList{"--from", "9", "--to", "9", "--search", "--probe-margin", "20"} << 0
            << "slave=9 version=1.03 baud=4800 stops=2\n"
            << "";
        QTest::newRow("slow panel") << QStringList{"--wire-time", "--turnaround", "80", "-p", "17"}
                                    << QStringList{"--from", "16", "--to", "18"} << 0
                                    << "slave=17 version=1.06 baud=9600 stops=1\n"
                                    << "";
        QTest::newRow("bad CRC")
            << QStringList{"-p", "16", "-p", "17", "--fault", "17=bad-crc"}
            << QStringList{"--from", "16", "--to", "17", "--trace"} << 0
            << "slave=16 version=1.06 baud=9600 stops=1\n"
            // The CRC bytes swapped.
            << "Received  11 03 02 00 11 8B B9  slave 17, reply with 1 word(s), CRC bad\n";
        QTest::newRow("none") << QStringList{"-p", "2:1.06:19200,N,8,1"}
                              << QStringList{"--from", "1", "--to", "3"} << 3 << ""
                              << GetText(10102).section(QStringLiteral("\r\n"), 0, 0);
    }

    void scan()
    {
        QFETCH(QStringList, sim);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        OrvelSim panels;
        QVERIFY(panels.start(sim));
        const CtlRun run =
            CtlRunner(m_ini).run(QStringList{"scan", "--port", panels.device()} + args);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(QString::fromUtf8(run.out), out);
        QVERIFY2(run.errText().contains(err), qPrintable(run.errText()));
    }

private:
    QTemporaryDir m_dir;
    QString m_ini;
};

QTEST_GUILESS_MAIN(TestOrvelctlScan)
#include "tst_orvelctl_scan.moc"
