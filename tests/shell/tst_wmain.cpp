// The main window: menus, tool bar, texts, help items, RTS, closing, the
// Window menu, settings dialogs, commands beeping without a panel window.

#include "ShellFixture.h"

#include "shell/ApplicationName.h"
#include "shell/HelpViewer.h"

#include <QApplication>
#include <QTableWidget>
#include <QToolBar>

using namespace Shell;

class tst_wMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(UseShippedData()); }
    void init() { SetCurrentLanguage(QStringLiteral("English")); }

    // Items as [!hidden|-disabled]name[:shortcut]; tool buttons with picture
    // and their item's caption as tip.
    void menusAndToolBar()
    {
        Console c;
        QStringList seen;
        for (QAction* menu : c.window->menuBar()->actions()) {
            QStringList items{menu->menu()->objectName() + ':'};
            for (QAction* a : menu->menu()->actions()) {
                const QString keys = a->shortcut().toString(QKeySequence::PortableText);
                items << (!a->isVisible()  ? "!"
                          : a->isEnabled() ? ""
                                           : "-") +
                             a->objectName() + (keys.isEmpty() ? "" : ":" + keys);
                QCOMPARE(a->isSeparator(), a->objectName().contains("Sep"));
            }
            seen << items.join(' ');
        }
        QStringList bar{"tbrTools:"};
        for (QAction* button : child<QToolBar>(c.window.get(), "tbrTools")->actions()) {
            bar << (button->isSeparator() ? QStringLiteral("|") : button->objectName());
            if (button->isSeparator())
                continue;
            QVERIFY2(!button->icon().pixmap(16, 16).isNull(), qPrintable(bar.last()));
            QString tip = GetMenuText(bar.last()).remove('&');
            QCOMPARE(button->toolTip(), tip.endsWith("...") ? tip.chopped(3) : tip);
            QVERIFY(button->isEnabled() && button->isVisible());
        }
        seen << bar.join(' ');
        QCOMPARE(seen,
                 (QStringList{"mnuFile: mnuFileNew:Ctrl+N mnuFileOpen:Ctrl+O mnuFileSave:Ctrl+S "
                              "mnuFileSaveAs mnuFileSep1 mnuFileRead:Ctrl+R mnuFileWrite:Ctrl+W "
                              "mnuFileSep2 mnuFilePrintSetup mnuFilePrint:Ctrl+P mnuFilePreview "
                              "!mnuFileSepMRU !mnuFileMRU0 mnuFileSep3 mnuFileQuit:Ctrl+X",
                              "mnuEdit: -mnuEditCopyOneLine -mnuEditPasteOneLine -mnuEditCopyLine "
                              "mnuEditSep1 -mnuEditCopy -mnuEditPaste",
                              "mnuTools: mnuToolsReadBuffer mnuToolsClearBuffer mnuToolsSep1 "
                              "mnuToolsScan mnuToolsMonitor",
                              "mnuOptions: -mnuOptionsUsinePart -mnuOptionsUsineTotal "
                              "mnuOptionsSep1 mnuOptionsPrefs mnuOptionsFactory",
                              "mnuWindow: mnuWindowCascade",
                              "mnuHelp: mnuHelpSummary mnuHelpIndex !mnuHelpFind !mnuHelpContext "
                              "mnuHelpSep1 mnuHelpAbout",
                              "tbrTools: mnuFileNew mnuFileOpen mnuFileSave mnuFilePrint "
                              "mnuFilePreview | mnuEditCopy mnuEditPaste | mnuFileRead "
                              "mnuFileWrite | mnuToolsReadBuffer mnuToolsClearBuffer | "
                              "mnuHelpContext"}));
    }

    void nationality_data()
    {
        QTest::addColumn<QStringList>("texts"); // File, About, prompt, help file
        QTest::newRow("English") << QStringList{"&File", "&About Orvel...", "Ready",
                                                "orvel-en.html"};
        QTest::newRow("Français") << QStringList{"&Fichier", "À &propos d'Orvel...", "Prêt",
                                                 "orvel-fr.html"};
        QTest::newRow("Español") << QStringList{"&Archivo", "&Acerca de Orvel...", "Listo",
                                                "orvel-es.html"};
    }
    // Every caption from the language's rows; the recent files keep theirs;
    // titles are shown as they are (no program display name added).
    void nationality()
    {
        QFETCH(QStringList, texts);
        Console c;
        c.window->RecentFiles().Add(c.window->Menu("mnuFile"), "/data/panel.cfg");
        SetCurrentLanguage(QString::fromUtf8(QTest::currentDataTag()));
        c.window->Nationality();
        QLabel* prompt = c.window->StatusPanel("Prompt");
        QCOMPARE((QStringList{c.window->Menu("mnuFile")->title(), c.item("mnuHelpAbout")->text(),
                              prompt->text(), QFileInfo(c.window->HelpFile()).fileName()}),
                 texts);
        QCOMPARE(prompt->toolTip(), GetToolTip(1001));
        for (QMenu* menu : c.window->menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
            QCOMPARE(menu->title(), GetMenuText(menu->objectName()));
            for (QAction* item : menu->actions())
                if (!item->isSeparator() && !item->objectName().startsWith("mnuFileMRU"))
                    QCOMPARE(item->text(), GetMenuText(item->objectName()));
        }
        QCOMPARE(c.window->ToolButton("mnuFileNew")->toolTip(),
                 GetMenuText("mnuFileNew").remove('&'));
        QCOMPARE(c.item("mnuFileMRU1")->text(), QStringLiteral("/data/panel.cfg"));
        QCOMPARE(c.window->windowTitle(), QStringLiteral("Orvel"));
        SetApplicationName();
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("orvel"));
    }

    // Without the language's help file the help items, the context button
    // and the separator before it are hidden; About stays.
    void helpVisibility_data()
    {
        QTest::addColumn<bool>("withHelp");
        QTest::newRow("help file beside the program") << true;
        QTest::newRow("no help file") << false;
    }
    void helpVisibility()
    {
        QFETCH(bool, withHelp);
        QTemporaryDir empty;
        Console c;
        c.window->SetProgramFolder(withHelp ? BinDir() : empty.path());
        c.window->Nationality();
        for (const char* item : {"mnuHelpSummary", "mnuHelpIndex", "mnuHelpSep1"})
            QCOMPARE(c.item(item)->isVisible(), withHelp);
        const QList<QAction*> bar = child<QToolBar>(c.window.get(), "tbrTools")->actions();
        QCOMPARE(bar.last()->isVisible() + bar[bar.size() - 2]->isVisible(), 2 * withHelp);
        QCOMPARE(c.window->HelpFile().isEmpty(), !withHelp);
        QVERIFY(c.item("mnuHelpAbout")->isVisible());
    }

    // The port's send notification drops RTS in half-duplex mode only.
    void sendNotificationDropsRts()
    {
        const int send = ComCtrl::comEvSend;
        for (const auto& [halfDuplex, event, rtsAfter] :
             {std::tuple{true, send, false}, {false, send, true}, {true, 2, true}}) {
            Console c;
            c.window->Port().SetPortOpen(true);
            c.window->SetHalfDuplex(halfDuplex);
            c.window->SetRtsDelay(0);
            c.window->Port().SetRTSEnable(true);
            Q_EMIT c.window->Port().OnComm(event);
            QCOMPARE(c.window->Port().RTSEnable(), rtsAfter);
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
        QTest::newRow("one modified among three, yes")
            << QList<bool>{false, true, false} << false << int(MsgAnswer::Yes);
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
        const auto subs = c.window->MdiArea()->subWindowList();
        subs[0]->move(0, 0);
        subs[1]->move(0, 0);
        c.item("mnuWindowCascade")->trigger();
        QVERIFY(subs[0]->pos() != subs[1]->pos());
    }

    // Preferences and Print setup show their whole dialog, owned by the main
    // window; cancelled, it stores nothing.
    void settingsDialogs_data()
    {
        QTest::addColumn<QString>("dialog"); // the row's name: the command
        QTest::newRow("mnuOptionsPrefs") << "wConfig";
        QTest::newRow("mnuFilePrintSetup") << "wPrintConfig";
    }
    void settingsDialogs()
    {
        Console c;
        QWidget* owner = nullptr;
        bool margins = true;
        c.ui.onNextDialog([&](QObject* dialog) {
            owner = qobject_cast<QWidget*>(dialog)->parentWidget();
            if (auto* frame = dialog->findChild<QWidget*>(QStringLiteral("frmMargins")))
                margins = !frame->isHidden();
            return false;
        });
        c.item(QTest::currentDataTag())->trigger();
        QTEST(c.ui.dialogsShown.join(' '), "dialog");
        QCOMPARE(owner, c.window.get());
        QVERIFY(margins);
        QVERIFY(!c.ini.exists());
    }

    // Panel commands without a panel window active beep and do nothing else.
    void beepWithoutPanel_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("via");
        for (const char* name :
             {"mnuFileSave", "mnuFileSaveAs", "mnuFileWrite", "mnuFilePrint", "mnuFilePreview"})
            QTest::addRow("%s menu", name) << name << "menu";
        for (const char* name : {"mnuFileSave", "mnuFileWrite", "mnuFilePrint", "mnuFilePreview",
                                 "mnuEditCopy", "mnuEditPaste"})
            QTest::addRow("%s tool bar", name) << name << "button";
        for (const char* name : {"mnuEditCopyOneLine", "mnuEditPasteOneLine", "mnuEditCopyLine",
                                 "mnuOptionsUsinePart", "mnuOptionsUsineTotal"})
            QTest::addRow("%s", name) << name << "name";
    }
    void beepWithoutPanel()
    {
        QFETCH(QString, command);
        QFETCH(QString, via);
        Console c;
        for (int round = 0; round < 2; ++round) {
            if (round == 1)
                c.addDocument(QStringLiteral("other"));
            if (via == "menu")
                c.item(command)->trigger();
            else if (via == "button")
                c.window->ToolButton(command)->trigger();
            else
                QMetaObject::invokeMethod(c.window.get(), (command + "_Click").toLatin1());
        }
        QCOMPARE(c.ui.beeps, 2);
        QVERIFY(c.ui.messages.isEmpty() && c.ui.dialogsShown.isEmpty());
        QVERIFY(c.ui.fileRequests.isEmpty() && !c.window->Preview());
    }
};

QTEST_MAIN(tst_wMain)
#include "tst_wmain.moc"
