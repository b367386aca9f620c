#include "config/ConfigClass.h"
#include "config/VersionCorrection.h"
#include "RecordingUi.h"

#include <QTest>

class TestVersionCorrection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A panel older than 1.03 lacks disturbance, repeat blocking, "no horn"
    // (becomes type 1), driving kind 5 (becomes 2), the supply reference and
    // the second protocol; every other field stays.
    void correction_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("older");
        QTest::newRow("unknown (0)") << 0 << true;
        QTest::newRow("1.02") << 258 << true;
        QTest::newRow("1.03") << 259 << false;
        QTest::newRow("2.00") << 512 << false;
    }
    void correction()
    {
        QFETCH(int, version);
        QFETCH(bool, older);
        ConfigClass c;
        ConfigClass expected;
        for (ConfigClass* r : {&c, &expected}) {
            for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
                const bool horn = ch % 2 == 0;
                const bool kind5 = ch % 3 == 0;
                r->SetInDisturb(ch, r == &expected && older ? 0 : ch);
                r->SetInRepBlock(ch, r == &expected && older ? 0 : ch + 1);
                r->SetInTypeKL(ch, horn ? 3 : r == &expected && older ? 0 : 4);
                r->SetOutPilot(ch, !kind5 ? 1 : r == &expected && older ? 2 : 5);
                r->SetOutMode(ch, 1);
                r->SetInSecu(ch, 7);
            }
            for (int i = 0; i < ConfigClass::GenParamCount; ++i)
                r->SetGenParam(i, (i == 21 || i == 27) && r == &expected && older ? 0 : i + 1);
        }
        RecordingUi ui;
        CorrigeVersion(c, version);
        QCOMPARE(c.ToFileBytes(), expected.ToFileBytes());
        QVERIFY(ui.messages.isEmpty());
    }

    void olderFirmwareText_data()
    {
        QTest::addColumn<int>("panel");
        QTest::addColumn<int>("console");
        QTest::addColumn<QString>("text");
        QTest::newRow("1.2 / 1.6") << 258 << 262 << "Panel 1.2 < 1.6; again 1.2, 1.6.";
        QTest::newRow("no leading zeros") << 522 << 778 << "Panel 2.10 < 3.10; again 2.10, 3.10.";
        QTest::newRow("version not read") << 0 << 262 << "Panel 0.0 < 1.6; again 0.0, 1.6.";
    }
    void olderFirmwareText()
    {
        QFETCH(int, panel);
        QFETCH(int, console);
        QFETCH(QString, text);
        QCOMPARE(
            OlderFirmwareText("Panel ###1### < ###2###; again ###1###, ###2###.", panel, console),
            text);
    }
};

QTEST_GUILESS_MAIN(TestVersionCorrection)
#include "tst_versioncorrection.moc"
