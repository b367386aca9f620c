#include "config/ConfigClass.h"
#include "config/VersionCorrection.h"
#include "RecordingUi.h"

#include <QTest>

namespace {

// Every field the correction may touch set to a value an older panel does not
// have, and the other fields to values it must keep.
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
    void correction_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("older");
        QTest::newRow("unknown (0)") << 0 << true;
        QTest::newRow("1.01") << 257 << true;
        QTest::newRow("1.02") << 258 << true;
        QTest::newRow("1.03") << 259 << false;
        QTest::newRow("1.04") << 260 << false;
        QTest::newRow("1.06") << 262 << false;
        QTest::newRow("2.00") << 512 << false;
    }
    void correction()
    {
        QFETCH(int, version);
        QFETCH(bool, older);
        RecordingUi ui;
        ConfigClass c = newerRecord();
        CorrigeVersion(c, version);

        ConfigClass expected = newerRecord();
        if (older) {
            for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
                expected.SetInDisturb(ch, 0);
                expected.SetInRepBlock(ch, 0);
                expected.SetInTypeKL(ch, ch % 2 ? 0 : 3);
                expected.SetOutPilot(ch, ch % 3 == 0 ? 2 : 1);
            }
            expected.SetGenParam(21, 0);
            expected.SetGenParam(27, 0);
        }
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
            OlderFirmwareText(QStringLiteral("Panel ###1### < ###2###; again ###1###, ###2###."),
                              panel, console),
            text);
    }
};

QTEST_GUILESS_MAIN(TestVersionCorrection)
#include "tst_versioncorrection.moc"
