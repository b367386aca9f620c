// The main window's own commands: factory access, close questions and
// unload, the tool bar dispatch with ValidePanneau, the Window menu, Help,
// About, Preferences and Quit.

#include "RecordingUi.h"
#include "ShellTestSupport.h"

#include "shell/HelpViewer.h"
#include "shell/MachineToken.h"
#include "shell/wMain.h"
#include "shell/wSplash.h"

#include "settings/MostRecentFilesClass.h"
#include "texts/DataFunctions.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTabWidget>
#include <QTextBrowser>

using namespace ShellTest;

namespace {
const QByteArray ThisMachine = "bench-pc-42";

std::unique_ptr<wMain> NewWindow()
{
    auto window = std::make_unique<wMain>(SimulatedPort()());
    window->SetProgramFolder(BinDir());
    window->SetMachineId(ThisMachine);
    window->Nationality();
    window->ApplyToolBarImages();
    return window;
}

// Types a password into the password dialog and presses one of its buttons
// (1 = OK, 0 = Cancel).
RecordingUi::DialogScript Password(const QString& text, int button = 1)
{
    return [text, button](QObject* dialog) {
        auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
        field->setText(text);
        auto* push = dialog->findChild<QPushButton*>(QStringLiteral("cmdBoutons%1").arg(button));
        QTest::mouseClick(push, Qt::LeftButton);
        return button == 1;
    };
}

// A document window in the MDI area, with a Modified flag.
QWidget* AddDocument(wMain& window, const QString& title, bool modified)
{
    auto* document = new QWidget;
    document->setWindowTitle(title);
    document->setProperty("Modified", modified);
    QMdiSubWindow* sub = window.MdiArea()->addSubWindow(document);
    sub->show();
    return document;
}

QString Factory()
{
    return GetIniParam(QStringLiteral("General"), QStringLiteral("Factory"),
                       QStringLiteral("<none>"));
}
} // namespace

class tst_wMainCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(OpenDataFile(ShippedDataFile()));
        SetCurrentLanguage(QStringLiteral("English"));
    }

    // --- Factory access -------------------------------------------------

    void factoryOnWithPassword()
    {
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        QSignalSpy changed(window.get(), &wMain::FactoryModeChanged);
        ui.onNextDialog(Password(QStringLiteral("TEZ-FORGE")));
        window->MenuItem(QStringLiteral("mnuOptionsFactory"))->trigger();
        QCOMPARE(ui.dialogsShown, QStringList{QStringLiteral("wPassword")});
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(window->FactoryMode());
        QVERIFY(window->MenuItem(QStringLiteral("mnuOptionsFactory"))->isChecked());
        QCOMPARE(Factory(), MachineToken(ThisMachine));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toBool(), true);
    }

    void factoryPasswordRefused_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("lower case") << QStringLiteral("tez-forge");
        QTest::newRow("trailing space") << QStringLiteral("TEZ-FORGE ");
        QTest::newRow("leading space") << QStringLiteral(" TEZ-FORGE");
        QTest::newRow("empty") << QString();
        QTest::newRow("other") << QStringLiteral("TEZFORGE");
    }
    void factoryPasswordRefused()
    {
        QFETCH(QString, password);
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        ui.onNextDialog(Password(password));
        window->MenuItem(QStringLiteral("mnuOptionsFactory"))->trigger();
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, GetText(2001));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(ui.messages[0].buttons, MsgButtons::Ok);
        QVERIFY(!window->FactoryMode());
        QVERIFY(!window->MenuItem(QStringLiteral("mnuOptionsFactory"))->isChecked());
        QCOMPARE(Factory(), QStringLiteral("<none>"));
    }

    // Cancel (or Escape) gives no message and leaves factory access off.
    void factoryPasswordCancelled()
    {
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        ui.onNextDialog(Password(QStringLiteral("TEZ-FORGE"), 0));
        window->MenuItem(QStringLiteral("mnuOptionsFactory"))->trigger();
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(!window->FactoryMode());
        QVERIFY(!window->MenuItem(QStringLiteral("mnuOptionsFactory"))->isChecked());
        QCOMPARE(Factory(), QStringLiteral("<none>"));

        ui.onNextDialog([](QObject* dialog) {
            QTest::keyClick(qobject_cast<QWidget*>(dialog), Qt::Key_Escape);
            return false;
        });
        window->MenuItem(QStringLiteral("mnuOptionsFactory"))->trigger();
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(!window->FactoryMode());
    }

    void factoryOffAsksNothing()
    {
        RecordingUi ui;
        IniSandbox ini;
        ini.write("[General]\r\nLanguage=English\r\nFactory=" +
                  MachineToken(ThisMachine).toLatin1() + "\r\nMRU=4\r\n");
        auto window = NewWindow();
        window->SetFactoryMode(true);
        window->MenuItem(QStringLiteral("mnuOptionsFactory"))->trigger();
        QVERIFY(ui.dialogsShown.isEmpty());
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(!window->FactoryMode());
        QVERIFY(!window->MenuItem(QStringLiteral("mnuOptionsFactory"))->isChecked());
        QCOMPARE(Factory(), QStringLiteral("<none>"));
        // The rest of the file stays.
        QCOMPARE(GetIniParam(QStringLiteral("General"), QStringLiteral("MRU")),
                 QStringLiteral("4"));

        // On again, then off again: the toggle works both ways repeatedly.
        ui.onNextDialog(Password(QStringLiteral("TEZ-FORGE")));
        window->MenuItem(QStringLiteral("mnuOptionsFactory"))->trigger();
        QVERIFY(window->FactoryMode());
        QCOMPARE(Factory(), MachineToken(ThisMachine));
        window->MenuItem(QStringLiteral("mnuOptionsFactory"))->trigger();
        QVERIFY(!window->FactoryMode());
        QCOMPARE(Factory(), QStringLiteral("<none>"));
        QCOMPARE(ui.dialogsShown.size(), 1);
    }

    // Switching off with no key stored changes nothing else in the file.
    void factoryOffWithoutStoredToken()
    {
        RecordingUi ui;
        IniSandbox ini;
        ini.write("[General]\r\nLanguage=English\r\n");
        auto window = NewWindow();
        window->SetFactoryMode(true);
        window->MenuItem(QStringLiteral("mnuOptionsFactory"))->trigger();
        QVERIFY(!window->FactoryMode());
        QFile file(ini.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[General]\r\nLanguage=English\r\n"));
    }

    // No machine identity: factory access works for the session, nothing
    // that could unlock another start is stored.
    void factoryWithoutMachineIdentity()
    {
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        window->SetMachineId(QByteArray());
        ui.onNextDialog(Password(QStringLiteral("TEZ-FORGE")));
        window->MenuItem(QStringLiteral("mnuOptionsFactory"))->trigger();
        QVERIFY(window->FactoryMode());
        QCOMPARE(Factory(), QStringLiteral("<none>"));
    }

    // --- Close request and unload ----------------------------------------

    void closeQuestion_data()
    {
        QTest::addColumn<QList<bool>>("documents");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("no window, yes") << QList<bool>{} << int(MsgAnswer::Yes) << true;
        QTest::newRow("no window, no") << QList<bool>{} << int(MsgAnswer::No) << false;
        QTest::newRow("saved windows, yes")
            << QList<bool>{false, false} << int(MsgAnswer::Yes) << true;
        QTest::newRow("one modified among three, no")
            << QList<bool>{false, true, false} << int(MsgAnswer::No) << false;
        QTest::newRow("one modified among three, yes")
            << QList<bool>{false, true, false} << int(MsgAnswer::Yes) << true;
    }
    void closeQuestion()
    {
        QFETCH(QList<bool>, documents);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        window->show();
        bool anyModified = false;
        int number = 0;
        for (bool modified : documents) {
            AddDocument(*window, QStringLiteral("Panel %1").arg(++number), modified);
            anyModified |= modified;
        }
        ui.answerNext(static_cast<MsgAnswer>(answer));
        QCOMPARE(window->close(), closes);
        QCOMPARE(window->isVisible(), !closes);
        QCOMPARE(ui.messages.size(), 1);
        const MessageRequest& question = ui.messages[0];
        QCOMPARE(question.buttons, MsgButtons::YesNo);
        if (anyModified) {
            QCOMPARE(question.text,
                     QString(GetText(10107)).replace(QLatin1Char('|'), QLatin1Char('\r')));
            QCOMPARE(question.icon, MsgIcon::Exclamation);
            QCOMPARE(question.defaultButton, std::optional<MsgAnswer>(MsgAnswer::No));
        } else {
            QCOMPARE(question.text, GetText(10103));
            QCOMPARE(question.icon, MsgIcon::Question);
            QVERIFY(!question.defaultButton || *question.defaultButton == MsgAnswer::Yes);
        }
        // The document windows get no question of their own.
        QCOMPARE(window->MdiArea()->subWindowList().size(), documents.size());
    }

    // Unload saves the recent files and closes the help window; a cancelled
    // close does neither.
    void unloadSavesRecentFiles()
    {
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        window->show();
        QMenu* file = window->Menu(QStringLiteral("mnuFile"));
        window->RecentFiles().Add(file, QStringLiteral("/data/one.cfg"));
        window->RecentFiles().Add(file, QStringLiteral("/data/two.cfg"));
        window->mnuHelpSummary_Click();
        QVERIFY(window->Help() && window->Help()->isVisible());

        ui.answerNext(MsgAnswer::No);
        QVERIFY(!window->close());
        QCOMPARE(GetIniParam(QStringLiteral("MRU"), QStringLiteral("1"), QStringLiteral("<none>")),
                 QStringLiteral("<none>"));
        QVERIFY(window->Help()->isVisible());

        ui.answerNext(MsgAnswer::Yes);
        QVERIFY(window->close());
        QCOMPARE(GetIniParam(QStringLiteral("MRU"), QStringLiteral("1")),
                 QStringLiteral("/data/two.cfg"));
        QCOMPARE(GetIniParam(QStringLiteral("MRU"), QStringLiteral("2")),
                 QStringLiteral("/data/one.cfg"));
        QVERIFY(!window->Help()->isVisible());
    }

    void quitAsksTheCloseQuestion()
    {
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        window->show();
        ui.answerNext(MsgAnswer::No);
        window->MenuItem(QStringLiteral("mnuFileQuit"))->trigger();
        QVERIFY(window->isVisible());
        QCOMPARE(ui.lastText(), GetText(10103));
        ui.answerNext(MsgAnswer::Yes);
        window->MenuItem(QStringLiteral("mnuFileQuit"))->trigger();
        QVERIFY(!window->isVisible());
    }

    // --- Tool bar dispatch ----------------------------------------------

    void toolBarRunsTheCommandByName()
    {
        RecordingUi ui;
        auto window = NewWindow();
        window->show();
        window->ToolButton(QStringLiteral("mnuHelpContext"))->trigger();
        QVERIFY(window->Help());
        QVERIFY(window->Help()->isVisible());
        QVERIFY(ui.messages.isEmpty());
    }

    void toolBarUnknownCommandIsReported()
    {
        RecordingUi ui;
        auto window = NewWindow();
        window->tbrTools_ButtonClick(QStringLiteral("mnuNoSuchCommand"));
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messages[0].text.startsWith(QStringLiteral("Error Nr 5 : ")));
        QVERIFY(ui.messages[0].text.endsWith(
            QStringLiteral("Module : wMain\r\nObject : tbrTools\r\nEvent : ButtonClick")));
    }

    // The value being typed in a panel grid reaches the grid before a tool
    // bar command or a menu runs.
    void validePanneauCommitsTheGridEdit_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("commits");
        QTest::newRow("inputs, tool bar") << "grdInputs"
                                          << "toolbar" << true;
        QTest::newRow("outputs, menu") << "grdOutputs"
                                       << "menu" << true;
        QTest::newRow("other table") << "lvwEvents"
                                     << "toolbar" << false;
    }
    void validePanneauCommitsTheGridEdit()
    {
        QFETCH(QString, grid);
        QFETCH(QString, how);
        QFETCH(bool, commits);
        RecordingUi ui;
        auto window = NewWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* table = new QTableWidget(2, 2);
        table->setObjectName(grid);
        table->setItem(0, 0, new QTableWidgetItem(QStringLiteral("old")));
        QMdiSubWindow* sub = window->MdiArea()->addSubWindow(table);
        sub->show();
        window->MdiArea()->setActiveSubWindow(sub);
        table->setFocus();
        table->setCurrentCell(0, 0);
        table->editItem(table->item(0, 0));
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->setText(QStringLiteral("typed"));

        if (how == QLatin1String("toolbar"))
            window->ToolButton(QStringLiteral("mnuHelpContext"))->trigger();
        else
            Q_EMIT window->Menu(QStringLiteral("mnuOptions"))->aboutToShow();
        QCOMPARE(table->item(0, 0)->text(),
                 commits ? QStringLiteral("typed") : QStringLiteral("old"));
    }

    // --- Window menu ------------------------------------------------------

    void windowMenuListsChildren()
    {
        RecordingUi ui;
        auto window = NewWindow();
        window->show();
        AddDocument(*window, QStringLiteral("Panel A"), false);
        QWidget* second = AddDocument(*window, QStringLiteral("Panel & B"), false);
        QMenu* menu = window->Menu(QStringLiteral("mnuWindow"));
        Q_EMIT menu->aboutToShow();
        QStringList texts;
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                texts << action->text();
        QCOMPARE(texts.size(), 3);
        QCOMPARE(texts[0], GetMenuText(QStringLiteral("mnuWindowCascade")));
        QCOMPARE(texts[1], QStringLiteral("&1 Panel A"));
        QCOMPARE(texts[2], QStringLiteral("&2 Panel && B"));
        // Choosing an entry activates that window.
        QMdiSubWindow* first = window->MdiArea()->subWindowList().first();
        menu->actions().last()->trigger();
        QCOMPARE(window->MdiArea()->activeSubWindow()->widget(), second);
        Q_EMIT menu->aboutToShow(); // the list is rebuilt, not appended to
        int entries = 0;
        for (QAction* action : menu->actions())
            entries += action->isSeparator() ? 0 : 1;
        QCOMPARE(entries, 3);
        QVERIFY(menu->actions().last()->isChecked());
        Q_UNUSED(first);
    }

    void windowCascade()
    {
        RecordingUi ui;
        auto window = NewWindow();
        window->resize(900, 700);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        AddDocument(*window, QStringLiteral("A"), false);
        AddDocument(*window, QStringLiteral("B"), false);
        const auto subs = window->MdiArea()->subWindowList();
        subs[0]->move(0, 0);
        subs[1]->move(0, 0);
        window->MenuItem(QStringLiteral("mnuWindowCascade"))->trigger();
        QVERIFY(subs[0]->pos() != subs[1]->pos());
        QVERIFY(ui.messages.isEmpty());
    }

    // --- Help ----------------------------------------------------------------

    void helpContents()
    {
        RecordingUi ui;
        auto window = NewWindow();
        window->MenuItem(QStringLiteral("mnuHelpSummary"))->trigger();
        HelpViewer* help = window->Help();
        QVERIFY(help && help->isVisible());
        auto* panes = help->findChild<QTabWidget*>(QStringLiteral("tbsHelp"));
        QCOMPARE(panes->currentIndex(), 0);
        QCOMPARE(panes->tabText(0), QStringLiteral("Contents"));
        QCOMPARE(help->Document().Path(), window->HelpFile());
        QVERIFY(!help->windowTitle().isEmpty());
    }

    void helpIndexAndFind()
    {
        RecordingUi ui;
        auto window = NewWindow();
        window->MenuItem(QStringLiteral("mnuHelpIndex"))->trigger();
        auto* panes = window->Help()->findChild<QTabWidget*>(QStringLiteral("tbsHelp"));
        QCOMPARE(panes->currentIndex(), 1);
        QCOMPARE(panes->tabText(1), QStringLiteral("Index"));
        window->MenuItem(QStringLiteral("mnuHelpFind"))->trigger();
        QCOMPARE(panes->currentIndex(), 1);
        QVERIFY(ui.messages.isEmpty());
    }

    void helpContext_data()
    {
        QTest::addColumn<int>("windowId");
        QTest::addColumn<QString>("anchor");
        QTest::newRow("inputs page") << 220 << "topic-220";
        QTest::newRow("factory page") << 250 << "topic-250";
        QTest::newRow("no id: contents") << 0 << "";
        QTest::newRow("unknown id: contents") << 987654 << "";
    }
    void helpContext()
    {
        QFETCH(int, windowId);
        QFETCH(QString, anchor);
        RecordingUi ui;
        auto window = NewWindow();
        window->show();
        QWidget* document = AddDocument(*window, QStringLiteral("Panel"), false);
        document->setProperty("HelpContextID", windowId);
        window->MdiArea()->setActiveSubWindow(window->MdiArea()->subWindowList().first());
        window->ToolButton(QStringLiteral("mnuHelpContext"))->trigger();
        QVERIFY(window->Help()->isVisible());
        if (anchor.isEmpty())
            QCOMPARE(window->Help()->CurrentAnchor(),
                     window->Help()->Document().Headings().first().anchor);
        else
            QCOMPARE(window->Help()->CurrentAnchor(), anchor);
    }

    // A control with a topic of its own gets that topic beside it, and the
    // help window does not open.
    void helpContextOfTheActiveControl()
    {
        RecordingUi ui;
        auto window = NewWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QWidget* document = AddDocument(*window, QStringLiteral("Panel"), false);
        document->setProperty("HelpContextID", 230);
        auto* field = new QLineEdit(document);
        field->setProperty("HelpContextID", 220);
        field->show();
        window->MdiArea()->setActiveSubWindow(window->MdiArea()->subWindowList().first());
        field->setFocus();
        QCOMPARE(document->focusWidget(), field);
        window->ToolButton(QStringLiteral("mnuHelpContext"))->trigger();
        QVERIFY(!window->Help() || !window->Help()->isVisible());
        bool popup = false;
        for (QWidget* top : QApplication::topLevelWidgets())
            popup |= top->isVisible() && QByteArray(top->metaObject()->className()) == "QWhatsThat";
        QVERIFY(popup);
        QVERIFY(ui.messages.isEmpty());
    }

    void helpInTheCurrentLanguage()
    {
        RecordingUi ui;
        auto window = NewWindow();
        window->mnuHelpSummary_Click();
        QVERIFY(window->Help()->Document().Path().endsWith(QStringLiteral("orvel-en.html")));
        SetCurrentLanguage(QStringLiteral("Español"));
        window->Nationality();
        window->mnuHelpSummary_Click();
        QVERIFY(window->Help()->Document().Path().endsWith(QStringLiteral("orvel-es.html")));
        auto* panes = window->Help()->findChild<QTabWidget*>(QStringLiteral("tbsHelp"));
        QCOMPARE(panes->tabText(0),
                 QString(GetMenuText(QStringLiteral("mnuHelpSummary"))).remove(QLatin1Char('&')));
        SetCurrentLanguage(QStringLiteral("English"));
    }

    // --- About and Preferences ---------------------------------------------

    void aboutShowsTheSplashInAboutMode()
    {
        RecordingUi ui;
        auto window = NewWindow();
        bool aboutMode = false;
        bool timerRunning = true;
        ui.onNextDialog([&](QObject* dialog) {
            auto* splash = qobject_cast<wSplash*>(dialog);
            aboutMode = splash && splash->AboutMode();
            timerRunning = splash && splash->CloseTimerRunning();
            return true;
        });
        window->MenuItem(QStringLiteral("mnuHelpAbout"))->trigger();
        QCOMPARE(ui.dialogsShown.size(), 1);
        QVERIFY(aboutMode);
        QVERIFY(!timerRunning);
        // Unloaded after use.
        QVERIFY(window->findChildren<wSplash*>().isEmpty());
    }

    void preferencesDialog()
    {
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        QWidget* owner = nullptr;
        ui.onNextDialog([&](QObject* dialog) {
            owner = qobject_cast<QWidget*>(dialog)->parentWidget();
            return false;
        });
        window->MenuItem(QStringLiteral("mnuOptionsPrefs"))->trigger();
        QCOMPARE(ui.dialogsShown, QStringList{QStringLiteral("wConfig")});
        QCOMPARE(owner, window.get());
        QVERIFY(!ini.exists()); // cancelled: nothing stored
    }
};

QTEST_MAIN(tst_wMainCommands)
#include "tst_wmaincommands.moc"
