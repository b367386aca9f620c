// The main window: texts, help items, closing, the tool bar, the Window menu, the commands on panel
// windows, factory access; the help file's topics, anchors, section texts and index, the shipped
// files, the help window.

#include "PdfText.h"
#include "PrintAnswers.h"
#include "ShellFixture.h"

#include "editor/EditGrid.h"
#include "editor/wPanneau.h"
#include "print/wPreview.h"
#include "shell/ApplicationName.h"
#include "shell/HelpDocument.h"
#include "shell/HelpViewer.h"
#include "shell/MachineToken.h"
#include "shell/wPassword.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QListWidget>
#include <QPrintPreviewWidget>
#include <QSignalSpy>
#include <QStyle>
#include <QTableWidget>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

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
const QByteArray ThisMachine = "bench-pc-42";
const QByteArray English = "[General]\r\nLanguage=English\r\n";

const char* const Page = R"(<html><head><title>Orvel &amp; help</title></head><body>
<h1>Orvel</h1><p>Intro.</p>
<h2 id="topic-overview">About the console</h2><p>First paragraph.</p>
<h3 id="topic-menus">Menus &amp; keys</h3><p>Menu text.</p>
<h2 ID='topic-220'>Inputs <i>page</i></h2><p>Inputs text.</p>
<h3><a name="topic-221">Columns</a></h3><p>Columns text.</p>
<h3>No anchor</h3><p>Loose text.</p>
<h2 id="topic-230">Outputs page</h2><p>Five.</p>
</body></html>)";

QStringList Shown(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        if (!list->item(i)->isHidden())
            texts << list->item(i)->text();
    return texts;
}
} // namespace

class tst_wMain : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_page;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(UseShippedData());
        m_page = m_dir.filePath(QStringLiteral("help.html"));
        TestFiles::WriteBytes(m_page, Page);
    }
    void init() { SetCurrentLanguage(QStringLiteral("English")); }

    // Captions from the language's rows, the recent files keeping theirs; the
    // title is shown as it is (no program display name added).
    void nationality()
    {
        Console c;
        c.window->RecentFiles().Add(c.window->Menu("mnuFile"), "/data/panel.cfg");
        SetCurrentLanguage(QStringLiteral("Español"));
        c.window->Nationality();
        QCOMPARE(
            (QStringList{c.window->Menu("mnuFile")->title(), c.item("mnuHelpAbout")->text(),
                         c.window->StatusPanel("Prompt")->text(),
                         QFileInfo(c.window->HelpFile()).fileName(),
                         c.window->ToolButton("mnuFileNew")->toolTip()}),
            (QStringList{"&Archivo", "&Acerca de Orvel...", "Listo", "orvel-es.html", "Nuevo"}));
        QCOMPARE(c.item("mnuFileMRU1")->text(), QStringLiteral("/data/panel.cfg"));
        QCOMPARE(c.window->windowTitle(), QStringLiteral("Orvel"));
        SetApplicationName();
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("orvel"));
    }

    // Without the language's help file the help items, the context button
    // and the separator before it are hidden; About stays.
    void helpVisibility()
    {
        QTemporaryDir empty;
        Console c;
        for (bool withHelp : {false, true}) {
            c.window->SetProgramFolder(withHelp ? BinDir() : empty.path());
            c.window->Nationality();
            for (const char* item : {"mnuHelpSummary", "mnuHelpIndex", "mnuHelpSep1"})
                QCOMPARE(c.item(item)->isVisible(), withHelp);
            const QList<QAction*> bar = child<QToolBar>(c.window.get(), "tbrTools")->actions();
            QCOMPARE(bar.last()->isVisible() + bar[bar.size() - 2]->isVisible(), 2 * withHelp);
            QVERIFY(c.window->HelpFile().isEmpty() != withHelp);
            QVERIFY(c.item("mnuHelpAbout")->isVisible());
        }
    }

    // One question for all windows, a warning defaulting to No with a
    // modified one; closing saves the recent files and closes the help.
    void closeQuestion_data()
    {
        QTest::addColumn<QList<bool>>("documents");
        QTest::addColumn<bool>("quit");
        QTest::addColumn<int>("answer");
        QTest::newRow("no window, yes") << QList<bool>{} << false << int(MsgAnswer::Yes);
        QTest::newRow("no window, no, Quit") << QList<bool>{} << true << int(MsgAnswer::No);
        QTest::newRow("saved windows, yes, Quit")
            << QList<bool>{false, false} << true << int(MsgAnswer::Yes);
        QTest::newRow("one modified among three, no")
            << QList<bool>{false, true, false} << false << int(MsgAnswer::No);
    }
    void closeQuestion()
    {
        QFETCH(QList<bool>, documents);
        QFETCH(bool, quit);
        QFETCH(int, answer);
        Console c;
        c.window->show();
        for (int i = 0; i < documents.size(); ++i)
            c.addDocument(QStringLiteral("Panel %1").arg(i), documents[i]);
        c.window->RecentFiles().Add(c.window->Menu("mnuFile"), "/data/one.cfg");
        c.window->RecentFiles().Add(c.window->Menu("mnuFile"), "/data/two.cfg");
        c.window->mnuHelpSummary_Click();
        c.ui.answerNext(MsgAnswer(answer));
        if (quit)
            c.item("mnuFileQuit")->trigger();
        else
            c.window->close();

        const bool closes = answer == int(MsgAnswer::Yes);
        QCOMPARE(c.window->isVisible(), !closes);
        CompareMessages(c.ui, {documents.contains(true)
                                   ? "Exclamation YesNo No: " + GetText(10107).replace('|', '\r')
                                   : "Question YesNo: " + GetText(10103)});
        QCOMPARE(c.window->MdiArea()->subWindowList().size(), documents.size());
        QCOMPARE(c.ini.bytes(),
                 closes ? QByteArray("[MRU]\n1=/data/two.cfg\n2=/data/one.cfg\n") : QByteArray());
        QCOMPARE(c.window->Help()->isVisible(), !closes);
    }

    void toolBarUnknownCommandIsReported()
    {
        Console c;
        c.window->tbrTools_ButtonClick(QStringLiteral("mnuNoSuchCommand"));
        CompareMessages(c.ui, {"Critical Ok: Error Nr 5 : *\r\n\r\nModule : wMain\r\nObject : "
                               "tbrTools\r\nEvent : ButtonClick"});
    }

    // The value being typed in a panel grid reaches the grid before a tool
    // bar command or a menu runs.
    void validePanneauCommitsTheGridEdit_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<bool>("toolBar");
        QTest::addColumn<QString>("after");
        QTest::newRow("inputs, tool bar") << "grdInputs" << true << "typed";
        QTest::newRow("outputs, menu") << "grdOutputs" << false << "typed";
        QTest::newRow("other table") << "lvwEvents" << true << "old";
    }
    void validePanneauCommitsTheGridEdit()
    {
        QFETCH(QString, grid);
        QFETCH(bool, toolBar);
        Console c;
        c.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(c.window.get()));
        auto* table = new QTableWidget(2, 2);
        table->setObjectName(grid);
        table->setItem(0, 0, new QTableWidgetItem(QStringLiteral("old")));
        c.window->MdiArea()->addSubWindow(table)->show();
        table->setFocus();
        table->editItem(table->item(0, 0));
        qobject_cast<QLineEdit*>(QApplication::focusWidget())->setText(QStringLiteral("typed"));
        if (toolBar)
            c.window->ToolButton(QStringLiteral("mnuHelpContext"))->trigger();
        else
            Q_EMIT c.window->Menu(QStringLiteral("mnuOptions"))->aboutToShow();
        QTEST(table->item(0, 0)->text(), "after");
    }

    // The windows listed ("&" as itself), the active checked, one chosen activated.
    void windowMenu()
    {
        Console c;
        c.window->resize(900, 700);
        c.window->show();
        c.addDocument(QStringLiteral("Panel A"));
        QWidget* second = c.addDocument(QStringLiteral("Panel & B"));
        c.window->MdiArea()->setActiveSubWindow(c.window->MdiArea()->subWindowList().first());
        QMenu* menu = c.window->Menu(QStringLiteral("mnuWindow"));
        for (int round = 0; round < 2; ++round) {
            Q_EMIT menu->aboutToShow();
            QStringList texts;
            for (QAction* action : menu->actions())
                if (!action->isSeparator())
                    texts << action->text() + (action->isChecked() ? "*" : "");
            QCOMPARE(texts, (QStringList{GetMenuText("mnuWindowCascade"), "&1 Panel A*",
                                         "&2 Panel && B"}));
        }
        menu->actions().last()->trigger();
        QCOMPARE(c.window->MdiArea()->activeSubWindow()->widget(), second);
    }

    // Panel commands beep and do nothing else without a panel window active
    // (none, then another window), or on a panel page they do not serve.
    void beeps_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("via");
        QTest::addColumn<int>("page"); // 0: no panel window
        for (const char* name :
             {"mnuFileSave", "mnuFileSaveAs", "mnuFileWrite", "mnuFilePrint", "mnuFilePreview"})
            QTest::addRow("%s menu", name) << name << "menu" << 0;
        for (const char* name : {"mnuFileSave", "mnuFileWrite", "mnuFilePrint", "mnuFilePreview",
                                 "mnuEditCopy", "mnuEditPaste"})
            QTest::addRow("%s tool bar", name) << name << "button" << 0;
        for (const char* name : {"mnuEditCopyOneLine", "mnuEditPasteOneLine", "mnuEditCopyLine",
                                 "mnuOptionsUsinePart", "mnuOptionsUsineTotal"})
            QTest::addRow("%s", name) << name << "name" << 0;
        QTest::newRow("copy line, general") << "mnuEditCopyOneLine"
                                            << "name" << 3;
        QTest::newRow("paste line before a copy") << "mnuEditPasteOneLine"
                                                  << "name" << 1;
        QTest::newRow("line onto all, general") << "mnuEditCopyLine"
                                                << "name" << 3;
        QTest::newRow("paste page, nothing copied") << "mnuEditPaste"
                                                    << "name" << 3;
    }
    void beeps()
    {
        QFETCH(QString, command);
        QFETCH(QString, via);
        QFETCH(int, page);
        Console c;
        wPanneau* panel = page ? OpenPanel(*c.window, page) : nullptr;
        const ConfigClass before = panel ? panel->Config() : ConfigClass();
        for (int round = 0; round < (page ? 1 : 2); ++round) {
            if (round == 1)
                c.addDocument(QStringLiteral("other"));
            if (via == "menu")
                c.item(command)->trigger();
            else if (via == "button")
                c.window->ToolButton(command)->trigger();
            else
                QMetaObject::invokeMethod(c.window.get(), (command + "_Click").toLatin1());
        }
        QCOMPARE(c.ui.beeps, page ? 1 : 2);
        QVERIFY(c.ui.messages.isEmpty() && c.ui.dialogsShown.isEmpty());
        QVERIFY(c.ui.fileRequests.isEmpty() && !c.window->Preview());
        QVERIFY(!panel || (panel->Config() == before && !panel->Modified()));
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

    // A page pastes into another window after the confirmation (what a page
    // carries is the clipboard's own test).
    void pageBetweenWindows()
    {
        Console c;
        wPanneau* a = OpenPanel(*c.window, 1);
        a->Config().SetInSecu(4, 1);
        c.window->ToolButton(QStringLiteral("mnuEditCopy"))->trigger();
        wPanneau* b = OpenPanel(*c.window, 1);
        c.window->ToolButton(QStringLiteral("mnuEditPaste"))->trigger();
        CompareMessages(c.ui,
                        {"Exclamation OkCancel: " + GetText(10108) + "\r\r" + GetText(10110)});
        QCOMPARE(b->Config().InSecu(4), 1);
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
    // 40 hexadecimal capitals, stable, per machine, not the identity nor its bare hash.
    void token()
    {
        const QByteArray id = "0123456789abcdef0123456789abcdef";
        const QString token = MachineToken(id);
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-F]{40}$")).match(token).hasMatch());
        QVERIFY(!token.contains(QString::fromLatin1(id.left(12)), Qt::CaseInsensitive));
        QVERIFY(
            token !=
            QCryptographicHash::hash(id, QCryptographicHash::Sha256).toHex().toUpper().left(40));
        QVERIFY(MachineToken(QByteArray()).isEmpty() && MachineToken("   \n").isEmpty());
    }

    // A stored text matches on the token's first 24 characters, exactly.
    void matching_data()
    {
        const QString token = MachineToken("machine-A");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("token");
        QTest::addColumn<bool>("matches");
        QTest::newRow("first 24, tail differs") << token.left(24) + "XXXX" << token << true;
        QTest::newRow("23 characters") << token.left(23) << token << false;
        QTest::newRow("other machine") << MachineToken("machine-B") << token << false;
        QTest::newRow("empty stored") << QString() << token << false;
        QTest::newRow("no token here") << token << QString() << false;
    }
    void matching()
    {
        QFETCH(QString, stored);
        QFETCH(QString, token);
        QTEST(MachineTokenMatches(stored, token), "matches");
    }

    // Only the exact password (typed as stars) opens factory access, stores
    // this machine's token and adds the factory page to the open windows;
    // switching off asks nothing and removes the token alone.
    void toggle_data()
    {
        QTest::addColumn<QByteArray>("before"); // the INI file; a Factory key: access on
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QByteArray>("after");
        const QByteArray on = English + "Factory=" + MachineToken(ThisMachine).toLatin1() + "\r\n";
        const QString right = QStringLiteral("TEZ-FORGE");
        const int enter = Qt::Key_Return;
        QTest::newRow("password") << English << right << enter << ThisMachine << true << false
                                  << on;
        for (const char* wrong : {"tez-forge", "TEZ-FORGE ", " TEZ-FORGE", "", "TEZFORGE"})
            QTest::addRow("refused '%s'", wrong)
                << English << QString(wrong) << enter << ThisMachine << false << true << English;
        QTest::newRow("Escape") << English << right << int(Qt::Key_Escape) << ThisMachine << false
                                << false << English;
        QTest::newRow("Cancel") << English << right << 0 << ThisMachine << false << false
                                << English;
        QTest::newRow("no machine identity")
            << English << right << enter << QByteArray() << true << false << English;
        QTest::newRow("off") << on + "MRU=4\r\n"
                             << QString() << 0 << ThisMachine << false << false
                             << English + "MRU=4\r\n";
    }
    void toggle()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QByteArray, id);
        QFETCH(bool, on);
        QFETCH(bool, refused);
        Console c(before);
        c.window->SetMachineId(id);
        const bool wasOn = before.contains("Factory") || typed.isNull();
        c.window->SetFactoryMode(wasOn);
        wPanneau* panel = OpenPanel(*c.window, 1);
        QSignalSpy changed(c.window.get(), &wMain::FactoryModeChanged);
        bool stars = false;
        c.ui.onNextDialog([&](QObject* dialog) {
            qobject_cast<QWidget*>(dialog)->show();
            auto* field = child<QLineEdit>(dialog, "txtPassword");
            stars = field->echoMode() == QLineEdit::Password &&
                    field->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter) == '*';
            QTest::keyClicks(field, typed);
            if (key)
                QTest::keyClick(field, Qt::Key(key));
            else
                child<QPushButton>(dialog, "cmdBoutons0")->click();
            return qobject_cast<QDialog*>(dialog)->result() == QDialog::Accepted;
        });
        c.choose("mnuOptionsFactory");

        QCOMPARE(c.ui.dialogsShown.size(), int(!wasOn));
        QCOMPARE(stars, !wasOn);
        QCOMPARE(child<QTabWidget>(panel, "tbsPages")->count(), on ? 4 : 3);
        QCOMPARE(c.window->FactoryMode(), on);
        QCOMPARE(c.item("mnuOptionsFactory")->isChecked(), on);
        QCOMPARE(changed.size(), int(on != wasOn));
        CompareMessages(c.ui,
                        refused ? QStringList{"Critical Ok: " + GetText(2001)} : QStringList{});
        QTEST(c.ini.bytes(), "after");
    }
    // Headings 2 and 3 with anchor (id or named anchor) and plain title; a
    // section's text runs to the next heading.
    void document()
    {
        HelpDocument doc;
        QVERIFY(doc.Load(m_page));
        QCOMPARE(doc.Title(), QStringLiteral("Orvel & help"));
        QStringList headings;
        for (const HelpHeading& h : doc.Headings())
            headings << QStringLiteral("%1 %2 %3").arg(h.level).arg(h.anchor, h.title);
        QCOMPARE(headings,
                 (QStringList{"2 topic-overview About the console", "3 topic-menus Menus & keys",
                              "2 topic-220 Inputs page", "3 topic-221 Columns", "3  No anchor",
                              "2 topic-230 Outputs page"}));
        QVERIFY(doc.Html().contains("<h1>Orvel</h1>") &&
                doc.Html().contains("<a name=\"topic-overview\"></a>"));
        QCOMPARE(doc.Html().count(QStringLiteral("topic-221")), 1);
        QVERIFY(doc.HasAnchor("topic-221") && !doc.HasAnchor("topic-231") && !doc.HasAnchor({}));
        const QString overview = doc.SectionText(QStringLiteral("topic-overview"));
        QVERIFY(overview.startsWith("About the console") && overview.contains("First paragraph."));
        QVERIFY(!overview.contains("Menu text."));
        const QString columns = doc.SectionText(QStringLiteral("topic-221"));
        QVERIFY(columns.contains("Columns text.") && !columns.contains("Loose text."));
        QVERIFY(doc.SectionText(QStringLiteral("topic-999")).isEmpty());
        TestFiles::WriteBytes(m_dir.filePath("utf8.html"), "<h2 id=\"t\">Caf\xc3\xa9</h2>");
        QVERIFY(doc.Load(m_dir.filePath("utf8.html")));
        QCOMPARE(doc.Headings().value(0).title, QString::fromUtf8("Caf\xc3\xa9"));
        QVERIFY(!doc.Load(m_dir.filePath(QStringLiteral("missing.html"))));
    }

    // Each index entry names one heading: a section title that another
    // heading shares is followed by its topic, in any order of the page.
    void indexEntries()
    {
        HelpDocument doc;
        doc.SetHtml(QStringLiteral(R"(
<h2 id="a">Main window</h2><h3 id="a1">Tool bar</h3><h3 id="a2">Status bar</h3>
<h2 id="b">Event list</h2><h3 id="b1">Tool bar</h3><h3>Tool bar</h3>
<h2 id="c">Panel window</h2><h3 id="c1">Status bar</h3><h3 id="c2">Pages</h3>
<h2 id="d">Tool bar</h2>)"));
        const QList<HelpIndexEntry> expected = {
            {"Event list", "b"},
            {"Main window", "a"},
            {"Pages", "c2"},
            {"Panel window", "c"},
            {"Status bar (Main window)", "a2"},
            {"Status bar (Panel window)", "c1"},
            {"Tool bar", "d"},
            {"Tool bar (Event list)", "b1"},
            {"Tool bar (Main window)", "a1"},
        };
        QCOMPARE(doc.IndexEntries(), expected);
    }

    // The help of each language has the topics the console opens by id.
    void shippedHelpFiles()
    {
        for (const char* file : {"/orvel-en.html", "/orvel-fr.html", "/orvel-es.html"}) {
            HelpDocument doc;
            QVERIFY(doc.Load(BinDir() + file) && !doc.Title().isEmpty());
            for (int id : {220, 230, 240, 250, 103000, 103100})
                QVERIFY2(doc.HasAnchor(HelpDocument::ContextAnchor(id)), file);
            int topics = 0;
            for (const HelpHeading& h : doc.Headings()) {
                QVERIFY2(!h.title.isEmpty() && !h.title.contains('#'), qPrintable(h.anchor));
                topics += h.level == 2;
            }
            QVERIFY(topics >= 10);
        }
    }

    // Contents, index filtered as typed, topics by context id; a file that
    // cannot be read leaves the one shown.
    void viewer()
    {
        HelpViewer viewer;
        QVERIFY(viewer.Load(m_page));
        auto* tree = child<QTreeWidget>(&viewer, "trvContents");
        QStringList contents;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            contents << tree->topLevelItem(i)->text(0);
            for (int k = 0; k < tree->topLevelItem(i)->childCount(); ++k)
                contents << "- " + tree->topLevelItem(i)->child(k)->text(0);
        }
        QCOMPARE(contents, (QStringList{"About the console", "- Menus & keys", "Inputs page",
                                        "- Columns", "- No anchor", "Outputs page"}));
        Q_EMIT tree->itemClicked(tree->topLevelItem(1)->child(0), 0);
        QCOMPARE(viewer.CurrentAnchor(), QStringLiteral("topic-221"));

        auto* index = child<QListWidget>(&viewer, "lstIndex");
        QCOMPARE(Shown(index), (QStringList{"About the console", "Columns", "Inputs page",
                                            "Menus & keys", "Outputs page"}));
        auto* filter = child<QLineEdit>(&viewer, "txtIndex");
        filter->setText(QStringLiteral("PAGE"));
        QCOMPARE(Shown(index), (QStringList{"Inputs page", "Outputs page"}));
        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(viewer.CurrentAnchor(), QStringLiteral("topic-220"));

        viewer.ShowSearch();
        QVERIFY(viewer.ShowTopic(230) && viewer.isVisible() && !viewer.ShowTopic(999));
        QCOMPARE(viewer.CurrentAnchor(), QStringLiteral("topic-230"));
        QCOMPARE(child<QTabWidget>(&viewer, "tbsHelp")->currentIndex(), 0);
        QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Outputs page"));
        QVERIFY(!viewer.Load(QStringLiteral("/nonexistent/help.html")));
        QCOMPARE(viewer.Document().Path(), m_page); // the file shown stays
    }

    // Contents, Index and Find open the language's help file on their pane.
    void helpCommands_data()
    {
        QTest::addColumn<int>("pane"); // the row's name: the command
        QTest::newRow("mnuHelpSummary") << 0;
        QTest::newRow("mnuHelpIndex") << 1;
        QTest::newRow("mnuHelpFind") << 1;
    }
    void helpCommands()
    {
        QFETCH(int, pane);
        Console c;
        SetCurrentLanguage(QStringLiteral("Español"));
        c.window->Nationality();
        c.item(QTest::currentDataTag())->trigger();
        HelpViewer* help = c.window->Help();
        QVERIFY(help && help->isVisible() && c.ui.messages.isEmpty());
        QVERIFY(help->Document().Path().endsWith("/orvel-es.html"));
        QCOMPARE(child<QTabWidget>(help, "tbsHelp")->currentIndex(), pane);
    }

    // The active window's topic, else the contents; a control's own topic
    // shows beside it, the help window closed.
    void helpContext_data()
    {
        QTest::addColumn<int>("windowId");
        QTest::addColumn<int>("controlId");
        QTest::addColumn<QString>("anchor"); // "" = the first heading; "-": beside the control
        QTest::newRow("inputs page") << 220 << 0 << "topic-220";
        QTest::newRow("no id: contents") << 0 << 0 << "";
        QTest::newRow("control with a topic") << 230 << 220 << "-";
        QTest::newRow("control with an unknown topic") << 230 << 987654 << "";
    }
    void helpContext()
    {
        QFETCH(int, windowId);
        QFETCH(int, controlId);
        QFETCH(QString, anchor);
        Console c;
        c.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(c.window.get()));
        QWidget* document = c.addDocument(QStringLiteral("Panel"));
        document->setProperty("HelpContextID", windowId);
        auto* field = new QLineEdit(document);
        field->setProperty("HelpContextID", controlId);
        field->show();
        c.window->MdiArea()->setActiveSubWindow(c.window->MdiArea()->subWindowList().first());
        field->setFocus();
        c.window->ToolButton(QStringLiteral("mnuHelpContext"))->trigger();
        bool popup = false;
        for (QWidget* top : QApplication::topLevelWidgets())
            popup |= top->isVisible() && QByteArray(top->metaObject()->className()) == "QWhatsThat";
        QCOMPARE(popup, anchor == "-");
        QCOMPARE(c.window->Help() && c.window->Help()->isVisible(), anchor != "-");
        if (anchor != "-")
            QCOMPARE(c.window->Help()->CurrentAnchor(),
                     anchor.isEmpty() ? c.window->Help()->Document().Headings().first().anchor
                                      : anchor);
        QVERIFY(c.ui.messages.isEmpty());
    }
};

QTEST_MAIN(tst_wMain)
#include "tst_wmain.moc"
