#include "config/ConfigClass.h"
#include "config/VersionCorrection.h"
#include "RecordingUi.h"

#include <QTest>

namespace {

// Every field the correction may touch, set to the values an older panel
// does not have, and other fields set to values it must keep.
ConfigClass newerRecord()
{
    ConfigClass c;
    for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
        c.SetInDisturb(ch, std::uint8_t(ch));
        c.SetInRepBlock(ch, std::uint8_t(ch + 1));
        c.SetInTypeKL(ch, ch % 2 ? 4 : 3);      // odd channels: no horn
        c.SetOutPilot(ch, ch % 3 == 0 ? 5 : 1); // every third: driving kind 5
        c.SetOutMode(ch, 1);
        c.SetInSecu(ch, 7);
    }
    for (int i = 0; i < ConfigClass::GenParamCount; ++i)
        c.SetGenParam(i, std::uint8_t(i + 1));
    return c;
}

} // namespace

class TestVersionCorrection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void olderPanelLosesWhatItLacks_data();
    void olderPanelLosesWhatItLacks();
    void fullVersionKeepsEverything_data();
    void fullVersionKeepsEverything();
    void olderFirmwareText_data();
    void olderFirmwareText();
};

void TestVersionCorrection::olderPanelLosesWhatItLacks_data()
{
    QTest::addColumn<int>("version");
    QTest::newRow("1.02") << 258;
    QTest::newRow("1.01") << 257;
    QTest::newRow("unknown (0)") << 0;
}

void TestVersionCorrection::olderPanelLosesWhatItLacks()
{
    QFETCH(int, version);
    RecordingUi ui;
    ConfigClass c = newerRecord();
    CorrigeVersion(c, version);

    ConfigClass expected = newerRecord();
    for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
        expected.SetInDisturb(ch, 0);
        expected.SetInRepBlock(ch, 0);
        expected.SetInTypeKL(ch, ch % 2 ? 0 : 3);
        expected.SetOutPilot(ch, ch % 3 == 0 ? 2 : 1);
    }
    expected.SetGenParam(21, 0);
    expected.SetGenParam(27, 0);
    QVERIFY(c == expected);
    QCOMPARE(c.InTypeKL(1), std::uint8_t(0));
    QCOMPARE(c.InTypeKL(2), std::uint8_t(3));
    QCOMPARE(c.OutPilot(3), std::uint8_t(2));
    QCOMPARE(c.GenParam(21), std::uint8_t(0));
    QCOMPARE(c.GenParam(27), std::uint8_t(0));
    QCOMPARE(c.GenParam(29), std::uint8_t(30)); // not a 1.03 field: kept
    QCOMPARE(c.OutMode(5), std::uint8_t(1));
    QVERIFY(ui.messages.isEmpty());
}

void TestVersionCorrection::fullVersionKeepsEverything_data()
{
    QTest::addColumn<int>("version");
    QTest::newRow("1.03") << 259;
    QTest::newRow("1.04") << 260;
    QTest::newRow("1.06") << 262;
    QTest::newRow("2.00") << 512;
}

void TestVersionCorrection::fullVersionKeepsEverything()
{
    QFETCH(int, version);
    ConfigClass c = newerRecord();
    CorrigeVersion(c, version);
    QVERIFY(c == newerRecord());
}

void TestVersionCorrection::olderFirmwareText_data()
{
    QTest::addColumn<int>("panel");
    QTest::addColumn<int>("console");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.2 / 1.6") << 258 << 262 << "Panel 1.2 < 1.6; again 1.2, 1.6.";
    QTest::newRow("no leading zeros") << 522 << 778 << "Panel 2.10 < 3.10; again 2.10, 3.10.";
    QTest::newRow("version not read") << 0 << 262 << "Panel 0.0 < 1.6; again 0.0, 1.6.";
}

void TestVersionCorrection::olderFirmwareText()
{
    QFETCH(int, panel);
    QFETCH(int, console);
    QFETCH(QString, text);
    QCOMPARE(OlderFirmwareText(QStringLiteral("Panel ###1### < ###2###; again ###1###, ###2###."),
                               panel, console),
             text);
}

QTEST_GUILESS_MAIN(TestVersionCorrection)
#include "tst_versioncorrection.moc"
