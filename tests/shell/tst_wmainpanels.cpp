// The commands on panel windows: New, Edit, resets, factory page, Print, Preview.

#include "PdfText.h"
#include "PrintAnswers.h"
#include "ShellFixture.h"

#include "editor/EditGrid.h"
#include "editor/wPanneau.h"
#include "print/wPreview.h"

#include <QPrintPreviewWidget>
#include <QTabWidget>

using namespace Shell;

namespace {
// A new panel window (File > New) on the page given, with the module name given.
wPanneau* OpenPanel(wMain& window, int page, const QString& name = {})
{
    window.MenuItem(QStringLiteral("mnuFileNew"))->trigger();
    wPanneau* panel = window.ActivePanel();
    panel->SelectPage(page);
    panel->Config().SetModuleName(name);
    return panel;
}

void SetLine(wPanneau* panel, int line)
{
    const char* grid = panel->SelectedPage() == 1 ? "grdInputs" : "grdOutputs";
    child<EditGrid>(panel, grid)->SetCurrentCell(line + 1, 3);
}
} // namespace

class tst_wMainPanels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(UseShippedData()); }

    // New (tool bar): an unmodified window with the defaults and no slave
    // number, active in the MDI area.
    void newWindow()
    {
        Console c;
        c.window->ToolButton(QStringLiteral("mnuFileNew"))->trigger();
        wPanneau* panel = c.window->ActivePanel();
        QCOMPARE(panel->windowTitle(), GetText(30101) + QStringLiteral(" ?"));
        QVERIFY(panel->Config().GenParam(23) == 1 && !panel->Modified());
    }

    // The line commands on the grid pages only, the page commands on every page.
    void editMenuByPage()
    {
        Console c;
        for (int page : {1, 2, 3}) {
            OpenPanel(*c.window, page);
            Q_EMIT c.window->Menu(QStringLiteral("mnuEdit"))->aboutToShow();
            for (const char* name :
                 {"mnuEditCopyOneLine", "mnuEditPasteOneLine", "mnuEditCopyLine"})
                QCOMPARE(c.item(name)->isEnabled(), page < 3);
            QVERIFY(c.item("mnuEditCopy")->isEnabled() && c.item("mnuEditPaste")->isEnabled());
        }
    }

    // Refusals on a panel window are a beep and nothing else.
    void beeps_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("command");
        QTest::newRow("copy line, general") << 3 << "mnuEditCopyOneLine";
        QTest::newRow("paste line before a copy") << 1 << "mnuEditPasteOneLine";
        QTest::newRow("line onto all, general") << 3 << "mnuEditCopyLine";
        QTest::newRow("paste page, nothing copied") << 3 << "mnuEditPaste";
    }
    void beeps()
    {
        QFETCH(int, page);
        QFETCH(QString, command);
        Console c;
        wPanneau* panel = OpenPanel(*c.window, page);
        const ConfigClass before = panel->Config();
        QMetaObject::invokeMethod(c.window.get(), (command + QStringLiteral("_Click")).toLatin1());
        QCOMPARE(c.ui.beeps, 1);
        QVERIFY(c.ui.messages.isEmpty() && panel->Config() == before && !panel->Modified());
    }

    // A line copied on the inputs of one window pastes into another; the
    // output line copied before plays no part.
    void lineBetweenWindows()
    {
        Console c;
        wPanneau* a = OpenPanel(*c.window, 2);
        a->Config().SetOutPilot(1, 4);
        c.choose("mnuEditCopyOneLine");
        a->SelectPage(1);
        a->Config().SetInTempo(1, 999);
        c.choose("mnuEditCopyOneLine");
        wPanneau* b = OpenPanel(*c.window, 1);
        SetLine(b, 7);
        c.choose("mnuEditPasteOneLine");
        QCOMPARE(b->Config().InTempo(7), 999);
        QCOMPARE(b->Config().OutPilot(7), 2);
        QVERIFY(b->Modified() && c.ui.beeps == 0);
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
        Console c;
        wPanneau* panel = OpenPanel(*c.window, 1);
        panel->Config().SetInDetect(5, 2);
        SetLine(panel, 5);
        c.ui.answerNext(MsgAnswer(answer));
        c.choose("mnuEditCopyLine");
        CompareMessages(c.ui,
                        {"Exclamation OkCancel: " + GetMenuText("mnuEditCopyLine").remove('&') +
                         " ( 5 -> XX )\r\r" + GetText(10110)});
        const bool done = MsgAnswer(answer) == MsgAnswer::Ok;
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch)
            QCOMPARE(panel->Config().InDetect(ch), ch == 5 || done ? 2 : 0);
        QCOMPARE(panel->Modified(), done);
    }

    // A page pastes into another window after the confirmation, minus the
    // fields not carried.
    void pageBetweenWindows()
    {
        Console c;
        wPanneau* a = OpenPanel(*c.window, 1);
        a->Config().SetInSecu(4, 1);
        a->Config().SetInDisturb(4, 1);
        c.window->ToolButton(QStringLiteral("mnuEditCopy"))->trigger();
        wPanneau* b = OpenPanel(*c.window, 1);
        c.window->ToolButton(QStringLiteral("mnuEditPaste"))->trigger();
        CompareMessages(c.ui,
                        {"Exclamation OkCancel: " + GetText(10108) + "\r\r" + GetText(10110)});
        QCOMPARE(b->Config().InSecu(4), 1);
        QCOMPARE(b->Config().InDisturb(4), 0);
        QVERIFY(b->Modified());
    }

    // The partial reset's caption names the page; both resets restore the
    // defaults (the factory section only with factory access) and mark the window.
    void resets()
    {
        Console c;
        wPanneau* panel = OpenPanel(*c.window, 2);
        ConfigClass& config = panel->Config();
        config.SetOutSecu(3, 1);
        config.SetInSecu(3, 1);
        config.SetBrightMin(99);
        Q_EMIT c.window->Menu(QStringLiteral("mnuOptions"))->aboutToShow();
        const QString caption = GetMenuText(QStringLiteral("mnuOptionsUsinePart"));
        QCOMPARE(c.item("mnuOptionsUsinePart")->text(),
                 caption.left(caption.indexOf('"') + 1) + GetCaption(32000) + '"');
        QVERIFY(c.item("mnuOptionsUsineTotal")->isEnabled());
        c.choose("mnuOptionsUsinePart");
        QVERIFY(config.OutSecu(3) == 0 && config.InSecu(3) == 1 && panel->Modified());
        c.choose("mnuOptionsUsineTotal");
        QVERIFY(config.InSecu(3) == 0 && config.BrightMin() == 99 && c.ui.messages.isEmpty());
    }

    // Factory access adds the factory page to every open window, once, and
    // removes it again.
    void factoryPageInEveryWindow()
    {
        Console c;
        wPanneau* a = OpenPanel(*c.window, 1);
        wPanneau* b = OpenPanel(*c.window, 1);
        b->SetFactoryMode(true);
        for (bool on : {true, false}) {
            c.window->SetFactoryMode(on);
            for (wPanneau* panel : {a, b})
                QCOMPARE(child<QTabWidget>(panel, "tbsPages")->count(), on ? 4 : 3);
        }
    }

    // Print: the printer only, then the active panel's report, with the
    // factory section while factory access is open.
    void printsTheActivePanel()
    {
        Console c;
        c.window->SetFactoryMode(true);
        OpenPanel(*c.window, 1, "First");
        OpenPanel(*c.window, 1, "Second");
        const QString path = c.ini.folder() + QStringLiteral("/second.pdf");
        c.ui.onNextDialog(&ChoosePdfFile);
        c.ui.answerNextFileDialog({path});
        c.window->ToolButton(QStringLiteral("mnuFilePrint"))->trigger();
        QCOMPARE(c.ui.dialogsShown, QStringList{QStringLiteral("wPrintConfig")});
        QCOMPARE(c.ui.fileRequests.value(0).proposedName, QStringLiteral("Second.pdf"));
        const QString text = PdfText::Pages(TestFiles::ReadBytes(path)).join('\f');
        QVERIFY(text.contains("Second") && !text.contains("First"));
        QVERIFY(text.contains("Factory parameters") && c.ui.messages.isEmpty());
    }

    // Preview: one window, showing the active panel's report; a second
    // preview reuses it; it outlives the panel window it was made from.
    void previewsTheActivePanel()
    {
        Console c;
        c.window->show();
        OpenPanel(*c.window, 1, "First");
        c.item("mnuFilePreview")->trigger();
        QPointer<wPreview> preview = c.window->Preview();
        QVERIFY(preview && preview->isVisible() && preview->PageCount() == 2);
        OpenPanel(*c.window, 1, "Second");
        c.window->ToolButton(QStringLiteral("mnuFilePreview"))->trigger();
        QCOMPARE(c.window->Preview(), preview.data());
        c.window->MdiArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        preview->Prv()->updatePreview();
        QVERIFY(preview->PageCount() == 2 && c.ui.messages.isEmpty());
    }
};

QTEST_MAIN(tst_wMainPanels)
#include "tst_wmainpanels.moc"
