// The panel window as a whole: its caption, the close question, the language
// switch, the transfers with a simulated panel, and a whole configuration set
// through the widgets alone.

#include "PanelTestSupport.h"
#include "SimulatedLine.h"
#include "SimulatedPanel.h"

#include "config/ConfigClass.h"
#include "editor/UpDownEdit.h"
#include "link/CommFunctions.h"

#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QTabWidget>

using namespace PanelTest;

class tst_wPanneau : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(OpenShippedTexts()); }
    void cleanup() { SetCurrentLanguage(QString()); }
    void cleanupTestCase() { CloseDataFile(); }

    void caption_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("slaveText");
        QTest::addColumn<QString>("caption");
        QTest::newRow("new") << ""
                             << "1" << GetText(30101) + " 1";
        QTest::newRow("saved") << "/tmp/a.orv"
                               << "1" << GetText(30100) + " 1";
        QTest::newRow("read from a panel") << "Orvel"
                                           << "7" << GetText(30100) + " 7";
        QTest::newRow("New empties the slave") << ""
                                               << "" << GetText(30101) + " ?";
    }
    void caption()
    {
        QFETCH(QString, path);
        QFETCH(QString, slaveText);
        QFETCH(QString, caption);
        wPanneau panel(false);
        panel.SetPath(path);
        panel.SetSlaveText(slaveText);
        panel.SetCaption();
        QCOMPARE(panel.windowTitle(), caption);
        QCOMPARE(child<QLineEdit>(&panel, "txtNo")->text(), slaveText);
    }

    // Closing a modified window asks (No preselected); No keeps it open and
    // modified. An unmodified window, or a close by the program, asks nothing.
    void closeQuestion_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("byProgram");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("closed");
        QTest::newRow("modified, No") << true << false << int(MsgAnswer::No) << 1 << false;
        QTest::newRow("modified, Yes") << true << false << int(MsgAnswer::Yes) << 1 << true;
        QTest::newRow("not modified") << false << false << int(MsgAnswer::No) << 0 << true;
        QTest::newRow("by the program") << true << true << int(MsgAnswer::No) << 0 << true;
    }
    void closeQuestion()
    {
        QFETCH(bool, modified);
        QFETCH(bool, byProgram);
        QFETCH(int, answer);
        QFETCH(int, questions);
        QFETCH(bool, closed);
        RecordingUi ui;
        auto* panel = new wPanneau(false);
        QPointer<wPanneau> alive(panel);
        panel->show();
        panel->SetModified(modified);
        ui.answerNext(MsgAnswer(answer));
        if (byProgram)
            panel->CloseWithoutQuestion();
        else
            panel->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(ui.messages.size(), questions);
        if (questions) {
            QCOMPARE(ui.messages[0].text, GetText(10111));
            QCOMPARE(ui.messages[0].icon, MsgIcon::Exclamation);
            QCOMPARE(ui.messages[0].buttons, MsgButtons::YesNo);
            QCOMPARE(ui.messages[0].defaultButton, std::optional(MsgAnswer::No));
        }
        QCOMPARE(alive.isNull(), closed);
        if (!closed) {
            QVERIFY(panel->Modified());
            delete panel;
        }
    }

    // A change of language re-labels the window and keeps every selection,
    // the restricted list of the common alarm output included.
    void languageSwitchKeepsSelections()
    {
        wPanneau panel(true);
        panel.Config().SetOutMode(3, 1);
        panel.Config().SetGenParam(3, 2);
        panel.Config().SetGenParam(24, 252);
        panel.Config().SetInDetect(4, 2);
        panel.RefreshFields();
        panel.SetModified(false);
        const ConfigClass before = panel.Config();
        QList<int> positions;
        const QList<QComboBox*> combos = panel.findChildren<QComboBox*>();
        for (QComboBox* combo : combos)
            positions << combo->currentIndex();

        SetCurrentLanguage(QStringLiteral("Français"));
        panel.Nationality();
        QList<int> after;
        for (QComboBox* combo : combos)
            after << combo->currentIndex();
        QCOMPARE(after, positions);
        QVERIFY(panel.Config() == before);
        QVERIFY(!panel.Modified());
        auto* tabs = child<QTabWidget>(&panel, "tbsPages");
        QCOMPARE(tabs->tabText(3), GetCaption(34000));
        QCOMPARE(child<QComboBox>(&panel, "cboGenParam5")->itemText(0), GetCaption(33611));
        QCOMPARE(child<QComboBox>(&panel, "cboGenParam3")->currentText(), GetCaption(33412));
        QCOMPARE(Inputs(panel)->TextMatrix(5, 7), GetCaption(31122));
        QCOMPARE(Inputs(panel)->TextMatrix(0, 2), GetCaption(31152));
        QCOMPARE(child<QLabel>(&panel, "Modified")->text(), GetText(10));
    }

    // The factory page comes and goes with factory access, never twice.
    void factoryPage()
    {
        wPanneau panel(false);
        auto* tabs = child<QTabWidget>(&panel, "tbsPages");
        QCOMPARE(tabs->count(), 3);
        panel.SetFactoryMode(true);
        panel.SetFactoryMode(true);
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(3), GetCaption(34000));
        panel.SelectPage(4);
        QCOMPARE(panel.HelpContextID(), 250);
        panel.SetFactoryMode(false);
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(panel.SelectedPage(), 3);
        QCOMPARE(panel.HelpContextID(), 240);
    }

    // Read: the record is the panel's, the panel number its slave, the path
    // "Orvel". Write: the factory section only in factory mode.
    void transfers_data()
    {
        QTest::addColumn<bool>("factoryMode");
        QTest::newRow("factory access off") << false;
        QTest::newRow("factory access on") << true;
    }
    void transfers()
    {
        QFETCH(bool, factoryMode);
        RecordingUi ui;
        SimulatedLine line;
        SimulatedPanel& simulated = line.addPanel(9, 262);
        ConfigClass onPanel = simulated.config();
        onPanel.SetInTempo(2, 400);
        onPanel.SetOutPilot(5, 3);
        onPanel.SetGenParam(14, 120);
        onPanel.SetBrightMin(77);
        simulated.loadConfig(onPanel);
        LinkOptions options;
        options.frameDelayMs = 0;
        options.replyTimeoutMs = 200;
        PanelLink link(line, options);

        wPanneau panel(factoryMode);
        QVERIFY(panel.ReadOrvel(link, 9, 262));
        QCOMPARE(panel.Config().InTempo(2), 400);
        QCOMPARE(panel.Config().BrightMin(), 77);
        QCOMPARE(panel.Config().ModuleNo(), 9);
        QCOMPARE(panel.Path(), QStringLiteral("Orvel"));
        panel.SetCaption();
        QCOMPARE(panel.windowTitle(), GetText(30100) + QStringLiteral(" 9"));
        QCOMPARE(Inputs(panel)->TextMatrix(3, 5), QStringLiteral("0"));
        QCOMPARE(Inputs(panel)->TextMatrix(3, 4), QStringLiteral("2"));

        panel.Config().SetBrightMin(12);
        panel.Config().SetGenParam(14, 110);
        QVERIFY(panel.WriteOrvel(link, 9, 262));
        QCOMPARE(simulated.config().GenParam(14), 110);
        QCOMPARE(simulated.config().BrightMin(), factoryMode ? 12 : 77);

        line.removePanel(9);
        QVERIFY(!panel.ReadOrvel(link, 9, 262));
        QVERIFY(ui.messages.isEmpty());
    }

    // A whole configuration set through the widgets alone equals the same
    // configuration set through the record, and saves the same bytes.
    void endToEnd()
    {
        RecordingUi ui;
        wPanneau panel(true);
        panel.show();
        ConfigClass expected = panel.Config();

        EditGrid* in = Inputs(panel);
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
            const int row = ch + 1;
            QVERIFY(ChooseInCell(in, row, 1, ch % 2));
            expected.SetInSecu(ch, ch % 2);
            TypeInCell(in, row, 4, QString::number(ch));
            expected.SetInTempo(ch, (ch * 1000 + 100) / 5);
            QVERIFY(ChooseInCell(in, row, 7, ch % 3));
            expected.SetInDetect(ch, ch % 3);
            QVERIFY(ChooseInCell(in, row, 8, 1));
            expected.SetInRelance(ch, 1);
            TypeInCell(in, row, 11, QString::number(13 - ch));
            expected.SetInRedir(ch, 2, 13 - ch);
            QVERIFY(ChooseInCell(in, row, 15, 1 + ch % 4));
            expected.SetInTypeKL(ch, ch % 4);
            QVERIFY(ChooseInCell(in, row, 16, 1));
            expected.SetInDisturb(ch, 1);
        }
        panel.SelectPage(2);
        EditGrid* out = Outputs(panel);
        for (int n = 1; n <= ConfigClass::Channels; ++n) {
            QVERIFY(ChooseInCell(out, n, 1, 1 - n % 2));
            expected.SetOutSecu(n, 1 - n % 2);
            QVERIFY(ChooseInCell(out, n, 3, n % 6));
            expected.SetOutPilot(n, n % 6);
        }
        panel.SelectPage(3);
        Choose(child<QComboBox>(&panel, "cboGenParam3"), 3);
        expected.SetGenParam(3, 3);
        Choose(child<QComboBox>(&panel, "cboGenParam12"), 1);
        expected.SetGenParam(12, 1);
        Choose(child<QComboBox>(&panel, "cboCommSpeed"), 4);
        expected.SetGenParam(24, 255);
        Choose(child<QComboBox>(&panel, "cboVref"), 3);
        expected.SetGenParam(21, 4);
        TypeInField(child<UpDownEdit>(&panel, "txtGenMinMax1"), QStringLiteral("90"));
        expected.SetGenParam(15, 90);
        TypeInField(child<UpDownEdit>(&panel, "txtTempoRel2"), QStringLiteral("30"));
        expected.SetGenTempoRelance((10 * 60000 + 30000) / 5);
        TypeInField(child<UpDownEdit>(&panel, "txtCommSlave"), QStringLiteral("17"));
        expected.SetGenParam(23, 17);
        QTest::mouseClick(child<QRadioButton>(&panel, "optTempoPulse1"), Qt::LeftButton);
        expected.SetGenParam(32, 1);
        panel.SelectPage(4);
        TypeInField(child<UpDownEdit>(&panel, "txtLumMin"), QStringLiteral("200"));
        expected.SetBrightMin(200);
        auto* name = child<QLineEdit>(&panel, "txtName");
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("Boiler room"));
        expected.SetModuleName(QStringLiteral("Boiler room"));

        QVERIFY(ui.messages.isEmpty());
        QVERIFY(panel.Modified());
        QVERIFY(panel.Config() == expected);
        QCOMPARE(panel.Config().ToFileBytes(), expected.ToFileBytes());
    }
};

QTEST_MAIN(tst_wPanneau)
#include "tst_wpanneau.moc"
