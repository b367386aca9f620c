#include "config/ConfigClass.h"
#include "RecordingUi.h"

#include <QTest>

class TestConfigClass : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newRecord()
    {
        const ConfigClass c;
        for (int ch = 1; ch <= 12; ++ch) {
            QCOMPARE(int(c.InSecu(ch)), 0);
            QCOMPARE(c.InTempo(ch), 0);
            QCOMPARE(int(c.OutMode(ch)), 0);
            for (int k = 1; k <= 4; ++k)
                QCOMPARE(int(c.InRedir(ch, k)), 0);
        }
        for (int i = 0; i <= 32; ++i)
            QCOMPARE(int(c.GenParam(i)), 0);
        QCOMPARE(c.GenTempoRelance(), 0);
        QCOMPARE(c.ModuleName(), QString());
        QCOMPARE(c.ModuleType(), QStringLiteral("Orvel"));
        QCOMPARE(int(c.ModuleNo()), 0);
        QCOMPARE(int(c.BrightMin()), 0);
    }

    void slaveNumberMirrorsOneWay()
    {
        ConfigClass c;
        c.SetGenParam(23, 7);
        QCOMPARE(int(c.ModuleNo()), 7);
        c.SetModuleNo(9);
        QCOMPARE(int(c.GenParam(23)), 7);
        QCOMPARE(int(c.ModuleNo()), 9);
        c.SetGenParam(22, 5); // no other index mirrors
        QCOMPARE(int(c.ModuleNo()), 9);
    }

    void valuesStoredUnchanged()
    {
        ConfigClass c;
        c.SetInTempo(12, -1);
        c.SetInTempo(1, 16777216);
        c.SetGenTempoRelance(INT32_MIN);
        c.SetInRedir(12, 4, 255);
        c.SetBrightMin(-300);
        QCOMPARE(c.InTempo(12), -1);
        QCOMPARE(c.InTempo(1), 16777216);
        QCOMPARE(c.GenTempoRelance(), INT32_MIN);
        QCOMPARE(int(c.InRedir(12, 4)), 255);
        QCOMPARE(int(c.BrightMin()), -300);
    }

    void badIndexReportedAndNothingStored_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("function");
        QTest::newRow("InRedir(13,1)") << 0 << "InRedir";
        QTest::newRow("InRedir(1,0)") << 1 << "InRedir";
        QTest::newRow("GenParam(33)") << 2 << "GenParam";
        QTest::newRow("GenParam(-1)") << 3 << "GenParam";
        QTest::newRow("InSecu(0)") << 4 << "InSecu";
        QTest::newRow("OutMode(13)") << 5 << "OutMode";
        QTest::newRow("InTempo(13)") << 6 << "InTempo";
    }
    void badIndexReportedAndNothingStored()
    {
        QFETCH(int, which);
        QFETCH(QString, function);
        RecordingUi ui;
        ConfigClass c;
        const ConfigClass before = c;
        switch (which) {
        case 0:
            c.SetInRedir(13, 1, 4);
            break;
        case 1:
            c.SetInRedir(1, 0, 4);
            break;
        case 2:
            c.SetGenParam(33, 4);
            break;
        case 3:
            c.SetGenParam(-1, 4);
            break;
        case 4:
            c.SetInSecu(0, 4);
            break;
        case 5:
            c.SetOutMode(13, 4);
            break;
        case 6:
            c.SetInTempo(13, 4);
            break;
        }
        QVERIFY(c == before);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(
            ui.messages[0].text,
            QStringLiteral(
                "Error Nr 9 : Subscript out of range\r\n\r\nModule : ConfigClass\r\nFunction : ") +
                function);
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
    }

    void badIndexGetReturnsZero()
    {
        RecordingUi ui;
        ConfigClass c;
        c.SetInSecu(1, 3);
        QCOMPARE(int(c.InSecu(13)), 0);
        QCOMPARE(int(c.InRedir(12, 5)), 0);
        QCOMPARE(ui.messages.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestConfigClass)
#include "tst_configclass.moc"
