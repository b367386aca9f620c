// The general and factory pages driven by the keyboard: the value each list
// stores and shows, the priority exchange, the numeric fields brought into
// their range, the auto-stop and re-trigger floors, and the slave number that
// the panel number and the caption follow.

#include "PanelTestSupport.h"

#include "config/ConfigClass.h"
#include "editor/UpDownEdit.h"

#include <QRadioButton>

using namespace PanelTest;

namespace {
// GenParam(param), or the factory field for the negative keys.
constexpr int kBrightMin = -1;
constexpr int kSupplyType = -2;

int Value(const ConfigClass& config, int param)
{
    if (param == kBrightMin)
        return config.BrightMin();
    if (param == kSupplyType)
        return config.SupplyType();
    return config.GenParam(param);
}
} // namespace

class tst_GeneralPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(OpenShippedTexts()); }
    void cleanupTestCase() { CloseDataFile(); }

    void listStoresItsValue_data()
    {
        QTest::addColumn<QString>("combo");
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("param");
        QTest::addColumn<int>("stored");
        QTest::newRow("horn relay operation") << "cboGenParam0" << 2 << 0 << 2;
        QTest::newRow("automatic reset") << "cboGenParam1" << 1 << 1 << 1;
        QTest::newRow("flashing") << "cboGenParam3" << 3 << 3 << 3;
        QTest::newRow("reset mode") << "cboGenParam12" << 1 << 12 << 1;
        QTest::newRow("brightness") << "cboGenParam20" << 1 << 20 << 1;
        QTest::newRow("auto-stop on") << "cboGenParam29" << 1 << 29 << 1;
        QTest::newRow("supply voltage, position + 1") << "cboVref" << 4 << 21 << 5;
        QTest::newRow("communication type") << "cboCommType" << 2 << 22 << 2;
        QTest::newRow("baud rate code") << "cboCommSpeed" << 4 << 24 << 255;
        QTest::newRow("1200 baud code") << "cboCommSpeed" << 0 << 24 << 240;
        QTest::newRow("stop bits, position + 1") << "cboCommStops" << 1 << 25 << 2;
        QTest::newRow("control bus") << "cboCtrlBus" << 3 << 26 << 3;
        QTest::newRow("protocol") << "cboCommProtocol" << 1 << 27 << 1;
        QTest::newRow("panel language") << "cboLanguage" << 2 << 28 << 2;
        QTest::newRow("supply type") << "cboTypeAlim" << 2 << kSupplyType << 2;
    }
    void listStoresItsValue()
    {
        QFETCH(QString, combo);
        QFETCH(int, entry);
        QFETCH(int, param);
        QFETCH(int, stored);
        wPanneau panel(true);
        Choose(child<QComboBox>(&panel, combo.toLatin1().constData()), entry);
        QCOMPARE(Value(panel.Config(), param), stored);
        QVERIFY(panel.Modified());
    }

    // What a refresh selects for stored values, out-of-list ones included.
    void refreshShows_data()
    {
        QTest::addColumn<QString>("combo");
        QTest::addColumn<int>("param");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("position");
        QTest::newRow("yes/no above 1") << "cboGenParam1" << 1 << 7 << 1;
        QTest::newRow("no supply voltage") << "cboVref" << 21 << 0 << -1;
        QTest::newRow("220Vac") << "cboVref" << 21 << 7 << 6;
        QTest::newRow("type modulo 3") << "cboCommType" << 22 << 4 << 1;
        QTest::newRow("unknown baud code") << "cboCommSpeed" << 24 << 0 << -1;
        QTest::newRow("9600 baud code") << "cboCommSpeed" << 24 << 254 << 3;
        QTest::newRow("no stop bits") << "cboCommStops" << 25 << 0 << -1;
        QTest::newRow("bus modulo 4") << "cboCtrlBus" << 26 << 5 << 1;
        QTest::newRow("unknown protocol") << "cboCommProtocol" << 27 << 2 << -1;
        QTest::newRow("language modulo 3") << "cboLanguage" << 28 << 4 << 1;
    }
    void refreshShows()
    {
        QFETCH(QString, combo);
        QFETCH(int, param);
        QFETCH(int, value);
        QFETCH(int, position);
        wPanneau panel(false);
        panel.Config().SetGenParam(param, std::uint8_t(value));
        panel.RefreshFields();
        QCOMPARE(child<QComboBox>(&panel, combo.toLatin1().constData())->currentIndex(), position);
        QCOMPARE(panel.Config().GenParam(param), value);
        QVERIFY(!panel.Modified());
    }

    // Priorities 1, 2, 3, 4: choosing 3 for the first horn type gives the
    // third type the first's old priority.
    void priorityExchange()
    {
        wPanneau panel(false);
        child<QComboBox>(&panel, "cboPrioKL0")->setCurrentIndex(2);
        const QList<int> stored{panel.Config().GenParam(7), panel.Config().GenParam(8),
                                panel.Config().GenParam(9), panel.Config().GenParam(10)};
        QCOMPARE(stored, (QList<int>{2, 1, 0, 3}));
        QCOMPARE(child<QComboBox>(&panel, "cboPrioKL2")->currentIndex(), 0);
        QVERIFY(panel.Modified());
    }

    // Typed values beyond a field's range are brought into it, then stored.
    void typedValueBroughtIntoRange_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("param");
        QTest::addColumn<int>("stored");
        QTest::newRow("upper threshold 140") << "txtGenMinMax0"
                                             << "140" << 14 << 130;
        QTest::newRow("upper threshold 120") << "txtGenMinMax0"
                                             << "120" << 14 << 120;
        QTest::newRow("lower threshold 60") << "txtGenMinMax1"
                                            << "60" << 15 << 70;
        QTest::newRow("T1 low 9") << "txtGenMinMax2"
                                  << "9" << 16 << 9;
        QTest::newRow("T2 high 75") << "txtGenMinMax5"
                                    << "75" << 19 << 50;
        QTest::newRow("T1 high 0") << "txtGenMinMax3"
                                   << "0" << 17 << 1;
        QTest::newRow("auto-stop 30 h") << "txtKlxStop0"
                                        << "30" << 30 << 22;
        QTest::newRow("auto-stop 75 min") << "txtKlxStop1"
                                          << "75" << 31 << 59;
        QTest::newRow("slave 70") << "txtCommSlave"
                                  << "70" << 23 << 64;
        QTest::newRow("slave 0") << "txtCommSlave"
                                 << "0" << 23 << 1;
        QTest::newRow("slave 12") << "txtCommSlave"
                                  << "12" << 23 << 12;
        QTest::newRow("brightness 300") << "txtLumMin"
                                        << "300" << kBrightMin << 255;
        QTest::newRow("brightness 42") << "txtLumMin"
                                       << "42" << kBrightMin << 42;
    }
    void typedValueBroughtIntoRange()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(int, param);
        QFETCH(int, stored);
        wPanneau panel(true);
        panel.show();
        auto* edit = child<UpDownEdit>(&panel, field.toLatin1().constData());
        TypeInField(edit, typed);
        QCOMPARE(Value(panel.Config(), param), stored);
        QCOMPARE(edit->Text(), QString::number(stored));
    }

    // 0 h 0 min of auto-stop shows and becomes 0 h 1 min without marking the
    // window modified; hours of 0 raise the minutes' arrow minimum to 1.
    void autoStopMinimum()
    {
        wPanneau panel(false);
        panel.show();
        panel.Config().SetGenParam(31, 0);
        panel.RefreshFields();
        auto* hours = child<UpDownEdit>(&panel, "txtKlxStop0");
        auto* minutes = child<UpDownEdit>(&panel, "txtKlxStop1");
        QCOMPARE(hours->Text(), QStringLiteral("0"));
        QCOMPARE(minutes->Text(), QStringLiteral("1"));
        QCOMPARE(panel.Config().GenParam(31), 1);
        QVERIFY(!panel.Modified());
        QCOMPARE(minutes->ArrowMinimum(), 1);
        TypeInField(hours, QStringLiteral("2"));
        QCOMPARE(minutes->ArrowMinimum(), 0);
        TypeInField(minutes, QStringLiteral("0"));
        QCOMPARE(panel.Config().GenParam(31), 0);
        TypeInField(hours, QStringLiteral("0"));
        QCOMPARE(minutes->ArrowMinimum(), 1);
        QCOMPARE(panel.Config().GenParam(30), 0);
        QCOMPARE(panel.Config().GenParam(31), 1);
    }

    // A re-trigger delay of 0 becomes 20 ms (4 ticks); a part typed beyond
    // its maximum comes down to it.
    void retriggerDelay()
    {
        wPanneau panel(false);
        panel.show();
        UpDownEdit* parts[4];
        for (int i = 0; i < 4; ++i)
            parts[i] = child<UpDownEdit>(&panel, QStringLiteral("txtTempoRel%1").arg(i).toLatin1());
        for (UpDownEdit* part : parts)
            TypeInField(part, QStringLiteral("0"));
        QCOMPARE(parts[3]->Text(), QStringLiteral("20"));
        QCOMPARE(panel.Config().GenTempoRelance(), 4);
        TypeInField(parts[1], QStringLiteral("75"));
        QCOMPARE(parts[1]->Text(), QStringLiteral("59"));
        QCOMPARE(panel.Config().GenTempoRelance(), (59 * 60000 + 20) / 5);
    }

    // 220Vac lowers the upper threshold's maximum to 118 (and a higher value
    // to it); another voltage puts 130 back.
    void highestVoltageLowersUpperThreshold()
    {
        wPanneau panel(false);
        auto* vref = child<QComboBox>(&panel, "cboVref");
        auto* upper = child<UpDownEdit>(&panel, "txtGenMinMax0");
        panel.Config().SetGenParam(14, 125);
        panel.RefreshFields();
        Choose(vref, 6);
        QCOMPARE(upper->ArrowMaximum(), 118);
        QCOMPARE(panel.Config().GenParam(14), 118);
        Choose(vref, 0);
        QCOMPARE(upper->ArrowMaximum(), 130);
        QCOMPARE(panel.Config().GenParam(21), 1);
    }

    // The arrows of the slave number set it, the panel number and the caption.
    void slaveNumberArrows()
    {
        wPanneau panel(false);
        auto* slave = child<UpDownEdit>(&panel, "txtCommSlave");
        slave->setFocus();
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(slave, Qt::Key_Up);
        QCOMPARE(panel.Config().GenParam(23), 5);
        QCOMPARE(panel.Config().ModuleNo(), 5);
        QCOMPARE(child<QLineEdit>(&panel, "txtNo")->text(), QStringLiteral("5"));
        QCOMPARE(panel.windowTitle(), GetText(30101) + QStringLiteral(" 5"));
    }

    void pulseDuration()
    {
        wPanneau panel(false);
        panel.show();
        panel.SelectPage(3);
        QTest::mouseClick(child<QRadioButton>(&panel, "optTempoPulse3"), Qt::LeftButton);
        QCOMPARE(panel.Config().GenParam(32), 3);
        QVERIFY(panel.Modified());
        QVERIFY(panel.HelpLine().isEmpty());
    }
};

QTEST_MAIN(tst_GeneralPage)
#include "tst_generalpage.moc"
