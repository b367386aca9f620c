// The Edit commands and the resets to defaults on the active panel window:
// which are offered on which page, line and page copies between windows, the
// confirmations, the beeps, the reset caption naming the page, and factory
// access adding and removing the factory page of every window.

#include "RecordingUi.h"
#include "ShellTestSupport.h"

#include "editor/EditGrid.h"
#include "editor/wPanneau.h"
#include "shell/wMain.h"

#include "texts/DataFunctions.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>

using namespace ShellTest;

namespace {
std::unique_ptr<wMain> NewWindow()
{
    auto window = std::make_unique<wMain>(SimulatedPort()());
    window->SetProgramFolder(BinDir());
    window->Nationality();
    return window;
}

wPanneau* OpenPanel(wMain& window, int page)
{
    window.mnuFileNew_Click();
    wPanneau* panel = window.ActivePanel();
    panel->SelectPage(page);
    return panel;
}

// Opens the item's menu, as the user does, then chooses the item.
void Trigger(wMain& window, const char* name)
{
    QAction* item = window.MenuItem(QString::fromLatin1(name));
    for (const char* menu : {"mnuEdit", "mnuOptions"})
        if (window.Menu(QString::fromLatin1(menu))->actions().contains(item))
            Q_EMIT window.Menu(QString::fromLatin1(menu))->aboutToShow();
    item->trigger();
}

bool Enabled(wMain& window, const char* name)
{
    return window.MenuItem(QString::fromLatin1(name))->isEnabled();
}
} // namespace

class tst_wMainEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(OpenDataFile(ShippedDataFile()));
        SetCurrentLanguage(QStringLiteral("English"));
    }

    // New: a loaded window, its slave number empty, active in the MDI area.
    void newWindow()
    {
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        window->show();
        window->ToolButton(QStringLiteral("mnuFileNew"))->trigger();
        wPanneau* panel = window->ActivePanel();
        QVERIFY(panel);
        QCOMPARE(panel->windowTitle(), GetText(30101) + QStringLiteral(" ?"));
        QCOMPARE(panel->Config().GenParam(23), 1);
        QVERIFY(!panel->Modified());
        QVERIFY(ui.messages.isEmpty());
    }

    void editMenuByPage_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("lines");
        QTest::addColumn<bool>("sections");
        QTest::newRow("no window") << 0 << false << false;
        QTest::newRow("inputs") << 1 << true << true;
        QTest::newRow("outputs") << 2 << true << true;
        QTest::newRow("general") << 3 << false << true;
    }
    void editMenuByPage()
    {
        QFETCH(int, page);
        QFETCH(bool, lines);
        QFETCH(bool, sections);
        IniSandbox ini;
        auto window = NewWindow();
        if (page)
            OpenPanel(*window, page);
        Q_EMIT window->Menu(QStringLiteral("mnuEdit"))->aboutToShow();
        for (const char* name : {"mnuEditCopyOneLine", "mnuEditPasteOneLine", "mnuEditCopyLine"})
            QCOMPARE(Enabled(*window, name), lines);
        for (const char* name : {"mnuEditCopy", "mnuEditPaste"})
            QCOMPARE(Enabled(*window, name), sections);
    }

    // Refusals are a beep and nothing else.
    void beeps_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("command");
        QTest::newRow("copy line, no window") << 0 << "mnuEditCopyOneLine";
        QTest::newRow("copy line, general") << 3 << "mnuEditCopyOneLine";
        QTest::newRow("paste line before a copy") << 1 << "mnuEditPasteOneLine";
        QTest::newRow("line onto all, general") << 3 << "mnuEditCopyLine";
        QTest::newRow("copy page, no window") << 0 << "mnuEditCopy";
        QTest::newRow("paste page, nothing copied") << 3 << "mnuEditPaste";
        QTest::newRow("reset page, no window") << 0 << "mnuOptionsUsinePart";
    }
    void beeps()
    {
        QFETCH(int, page);
        QFETCH(QString, command);
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        wPanneau* panel = page ? OpenPanel(*window, page) : nullptr;
        const ConfigClass before = panel ? panel->Config() : ConfigClass();
        QMetaObject::invokeMethod(window.get(), (command + QStringLiteral("_Click")).toLatin1());
        QCOMPARE(ui.beeps, 1);
        QVERIFY(ui.messages.isEmpty());
        if (panel) {
            QVERIFY(panel->Config() == before);
            QVERIFY(!panel->Modified());
        }
    }

    // A line copied on the inputs of one window pastes into another; the
    // output line store plays no part.
    void lineBetweenWindows()
    {
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        wPanneau* a = OpenPanel(*window, 2);
        a->Config().SetOutPilot(1, 4);
        Trigger(*window, "mnuEditCopyOneLine");
        a->SelectPage(1);
        a->Config().SetInTempo(1, 999);
        a->Config().SetInDisturb(1, 1);
        Trigger(*window, "mnuEditCopyOneLine");
        wPanneau* b = OpenPanel(*window, 1);
        b->findChild<EditGrid*>(QStringLiteral("grdInputs"))->SetCurrentCell(8, 3);
        Trigger(*window, "mnuEditPasteOneLine");
        QCOMPARE(b->Config().InTempo(7), 999);
        QCOMPARE(b->Config().InDisturb(7), 0);
        QCOMPARE(b->Config().OutPilot(7), 2);
        QVERIFY(b->Modified());
        QCOMPARE(ui.beeps, 0);
    }

    // Line 5 onto all lines: the question names it, every line carries it,
    // the window is modified. Cancel changes nothing.
    void lineOntoAll_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("OK") << int(MsgAnswer::Ok);
        QTest::newRow("Cancel") << int(MsgAnswer::Cancel);
    }
    void lineOntoAll()
    {
        QFETCH(int, answer);
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        wPanneau* panel = OpenPanel(*window, 1);
        panel->Config().SetInDetect(5, 2);
        panel->Config().SetInRepBlock(5, 1);
        panel->findChild<EditGrid*>(QStringLiteral("grdInputs"))->SetCurrentCell(6, 7);
        ui.answerNext(MsgAnswer(answer));
        Trigger(*window, "mnuEditCopyLine");
        QCOMPARE(ui.messages.size(), 1);
        QString caption = GetMenuText(QStringLiteral("mnuEditCopyLine"));
        caption.remove(QLatin1Char('&'));
        QCOMPARE(ui.messages[0].text,
                 caption + QStringLiteral(" ( 5 -> XX )\r\r") + GetText(10110));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Exclamation);
        QCOMPARE(ui.messages[0].buttons, MsgButtons::OkCancel);
        const bool done = MsgAnswer(answer) == MsgAnswer::Ok;
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
            QCOMPARE(panel->Config().InDetect(ch), ch == 5 || done ? 2 : 0);
            QCOMPARE(panel->Config().InRepBlock(ch), ch == 5 ? 1 : 0);
        }
        QCOMPARE(panel->Modified(), done);
    }

    // A page copied in window A pastes into B after the confirmation, except
    // the fields that are not carried.
    void pageBetweenWindows()
    {
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        wPanneau* a = OpenPanel(*window, 1);
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
            a->Config().SetInSecu(ch, 1);
            a->Config().SetInDisturb(ch, 1);
            a->Config().SetInRepBlock(ch, 1);
        }
        window->ToolButton(QStringLiteral("mnuEditCopy"))->trigger();
        wPanneau* b = OpenPanel(*window, 1);
        window->ToolButton(QStringLiteral("mnuEditPaste"))->trigger();
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, GetText(10108) + QStringLiteral("\r\r") + GetText(10110));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Exclamation);
        QCOMPARE(ui.messages[0].buttons, MsgButtons::OkCancel);
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
            QCOMPARE(b->Config().InSecu(ch), 1);
            QCOMPARE(b->Config().InDisturb(ch), 0);
            QCOMPARE(b->Config().InRepBlock(ch), 0);
        }
        QVERIFY(b->Modified());
        b->SelectPage(3);
        window->ToolButton(QStringLiteral("mnuEditPaste"))->trigger();
        QCOMPARE(ui.beeps, 1);
    }

    // The partial reset's caption names the page; both resets restore the
    // defaults (the factory section only with factory access) and mark the window.
    void resets()
    {
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        wPanneau* panel = OpenPanel(*window, 2);
        ConfigClass& config = panel->Config();
        config.SetOutSecu(3, 1);
        config.SetInSecu(3, 1);
        config.SetBrightMin(99);
        Q_EMIT window->Menu(QStringLiteral("mnuOptions"))->aboutToShow();
        const QString caption = GetMenuText(QStringLiteral("mnuOptionsUsinePart"));
        QCOMPARE(window->MenuItem(QStringLiteral("mnuOptionsUsinePart"))->text(),
                 caption.left(caption.indexOf(QLatin1Char('"')) + 1) + GetCaption(32000) +
                     QLatin1Char('"'));
        QVERIFY(Enabled(*window, "mnuOptionsUsineTotal"));
        Trigger(*window, "mnuOptionsUsinePart");
        QCOMPARE(config.OutSecu(3), 0);
        QCOMPARE(config.InSecu(3), 1);
        QVERIFY(panel->Modified());
        Trigger(*window, "mnuOptionsUsineTotal");
        QCOMPARE(config.InSecu(3), 0);
        QCOMPARE(config.BrightMin(), 99);
        QVERIFY(ui.messages.isEmpty());
    }

    // Factory access adds the factory page to every open window, once, and
    // removes it again.
    void factoryPageInEveryWindow()
    {
        IniSandbox ini;
        auto window = NewWindow();
        wPanneau* a = OpenPanel(*window, 1);
        wPanneau* b = OpenPanel(*window, 1);
        b->SetFactoryMode(true);
        window->SetFactoryMode(true);
        for (wPanneau* panel : {a, b})
            QCOMPARE(panel->findChild<QTabWidget*>(QStringLiteral("tbsPages"))->count(), 4);
        window->SetFactoryMode(false);
        for (wPanneau* panel : {a, b})
            QCOMPARE(panel->findChild<QTabWidget*>(QStringLiteral("tbsPages"))->count(), 3);
    }
};

QTEST_MAIN(tst_wMainEdit)
#include "tst_wmainedit.moc"
