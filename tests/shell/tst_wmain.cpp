// The main window's fixed parts: menu tree, shortcuts, tool bar, image list,
// status bar, and its texts in every language.

#include "RecordingUi.h"
#include "ShellTestSupport.h"

#include "shell/ApplicationName.h"
#include "shell/ImageList.h"
#include "shell/wMain.h"

#include "link/CommFunctions.h"
#include "settings/MostRecentFilesClass.h"
#include "texts/DataFunctions.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

using namespace ShellTest;

namespace {
std::unique_ptr<wMain> NewWindow()
{
    auto window = std::make_unique<wMain>(SimulatedPort()());
    window->SetProgramFolder(BinDir());
    window->Nationality();
    window->ApplyToolBarImages();
    return window;
}

QStringList ItemNames(const QMenu* menu)
{
    QStringList names;
    for (const QAction* action : menu->actions())
        names << action->objectName();
    return names;
}
} // namespace

class tst_wMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(OpenDataFile(ShippedDataFile()));
    }

    void init() { SetCurrentLanguage(QStringLiteral("English")); }

    void menuBarOrder()
    {
        auto window = NewWindow();
        QStringList names;
        for (QAction* action : window->menuBar()->actions())
            names << action->menu()->objectName();
        QCOMPARE(names, (QStringList{"mnuFile", "mnuEdit", "mnuTools", "mnuOptions", "mnuWindow",
                                     "mnuHelp"}));
    }

    void menuTree_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("File") << "mnuFile"
                              << QStringList{"mnuFileNew",    "mnuFileOpen",    "mnuFileSave",
                                             "mnuFileSaveAs", "mnuFileSep1",    "mnuFileRead",
                                             "mnuFileWrite",  "mnuFileSep2",    "mnuFilePrintSetup",
                                             "mnuFilePrint",  "mnuFilePreview", "mnuFileSepMRU",
                                             "mnuFileMRU0",   "mnuFileSep3",    "mnuFileQuit"};
        QTest::newRow("Edit") << "mnuEdit"
                              << QStringList{"mnuEditCopyOneLine", "mnuEditPasteOneLine",
                                             "mnuEditCopyLine",    "mnuEditSep1",
                                             "mnuEditCopy",        "mnuEditPaste"};
        QTest::newRow("Tools") << "mnuTools"
                               << QStringList{"mnuToolsReadBuffer", "mnuToolsClearBuffer",
                                              "mnuToolsSep1", "mnuToolsScan", "mnuToolsMonitor"};
        QTest::newRow("Options") << "mnuOptions"
                                 << QStringList{"mnuOptionsUsinePart", "mnuOptionsUsineTotal",
                                                "mnuOptionsSep1", "mnuOptionsPrefs",
                                                "mnuOptionsFactory"};
        QTest::newRow("Window") << "mnuWindow" << QStringList{"mnuWindowCascade"};
        QTest::newRow("Help") << "mnuHelp"
                              << QStringList{"mnuHelpSummary", "mnuHelpIndex", "mnuHelpFind",
                                             "mnuHelpContext", "mnuHelpSep1",  "mnuHelpAbout"};
    }
    void menuTree()
    {
        QFETCH(QString, menu);
        QFETCH(QStringList, items);
        auto window = NewWindow();
        QMenu* m = window->Menu(menu);
        QVERIFY(m);
        QCOMPARE(ItemNames(m), items);
        for (const QString& name : items)
            QCOMPARE(m->actions()[items.indexOf(name)]->isSeparator(),
                     name.contains(QLatin1String("Sep")));
    }

    void shortcuts_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("shortcut");
        QTest::newRow("New") << "mnuFileNew"
                             << "Ctrl+N";
        QTest::newRow("Open") << "mnuFileOpen"
                              << "Ctrl+O";
        QTest::newRow("Save") << "mnuFileSave"
                              << "Ctrl+S";
        QTest::newRow("Save As") << "mnuFileSaveAs"
                                 << "";
        QTest::newRow("Read") << "mnuFileRead"
                              << "Ctrl+R";
        QTest::newRow("Write") << "mnuFileWrite"
                               << "Ctrl+W";
        QTest::newRow("Print") << "mnuFilePrint"
                               << "Ctrl+P";
        QTest::newRow("Preview") << "mnuFilePreview"
                                 << "";
        QTest::newRow("Quit") << "mnuFileQuit"
                              << "Ctrl+X";
        QTest::newRow("Preferences") << "mnuOptionsPrefs"
                                     << "";
    }
    void shortcuts()
    {
        QFETCH(QString, item);
        QFETCH(QString, shortcut);
        auto window = NewWindow();
        QCOMPARE(window->MenuItem(item)->shortcut().toString(QKeySequence::PortableText), shortcut);
    }

    void initialVisibility_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("visible");
        QTest::newRow("MRU separator") << "mnuFileSepMRU" << false;
        QTest::newRow("MRU placeholder") << "mnuFileMRU0" << false;
        QTest::newRow("Sep3") << "mnuFileSep3" << true;
        QTest::newRow("Summary") << "mnuHelpSummary" << true;
        QTest::newRow("Index") << "mnuHelpIndex" << true;
        QTest::newRow("Find") << "mnuHelpFind" << false;
        QTest::newRow("Context") << "mnuHelpContext" << false;
        QTest::newRow("HelpSep1") << "mnuHelpSep1" << true;
        QTest::newRow("About") << "mnuHelpAbout" << true;
    }
    void initialVisibility()
    {
        QFETCH(QString, item);
        QFETCH(bool, visible);
        auto window = NewWindow();
        QCOMPARE(window->MenuItem(item)->isVisible(), visible);
    }

    void placeholderCaption()
    {
        auto window = NewWindow();
        QCOMPARE(window->MenuItem(QStringLiteral("mnuFileMRU0"))->text(), QStringLiteral("(Vide)"));
    }

    // Without a panel window: the Edit and reset commands are disabled in
    // their menus (they need a panel window's page) while the tool bar's copy
    // and paste stay available and beep; the rest is available.
    void commandsWithoutPanel_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("buttonEnabled");
        for (const char* name :
             {"mnuEditCopyOneLine", "mnuEditPasteOneLine", "mnuEditCopyLine", "mnuEditCopy",
              "mnuEditPaste", "mnuOptionsUsinePart", "mnuOptionsUsineTotal"})
            QTest::newRow(name) << name << false << true;
        for (const char* name :
             {"mnuFileNew", "mnuFileOpen", "mnuFileSave", "mnuFileSaveAs", "mnuFileRead",
              "mnuFileWrite", "mnuFilePrintSetup", "mnuFilePrint", "mnuFilePreview", "mnuFileQuit",
              "mnuToolsReadBuffer", "mnuToolsClearBuffer", "mnuOptionsPrefs", "mnuOptionsFactory",
              "mnuWindowCascade", "mnuHelpSummary", "mnuHelpIndex", "mnuHelpAbout"})
            QTest::newRow(name) << name << true << true;
    }
    void commandsWithoutPanel()
    {
        QFETCH(QString, item);
        QFETCH(bool, enabled);
        QFETCH(bool, buttonEnabled);
        auto window = NewWindow();
        QAction* action = window->MenuItem(item);
        QCOMPARE(action->isEnabled(), enabled);
        QCOMPARE(action->text(), GetMenuText(item));
        if (QAction* button = window->ToolButton(item))
            QCOMPARE(button->isEnabled(), buttonEnabled);
    }

    // The recent files are listed and can be chosen.
    void recentFileEntriesListed()
    {
        auto window = NewWindow();
        QMenu* file = window->Menu(QStringLiteral("mnuFile"));
        window->RecentFiles().Add(file, QStringLiteral("/data/panel.cfg"));
        Q_EMIT file->aboutToShow();
        QAction* entry = window->MenuItem(QStringLiteral("mnuFileMRU1"));
        QVERIFY(entry);
        QVERIFY(entry->isVisible());
        QVERIFY(entry->isEnabled());
        QVERIFY(window->MenuItem(QStringLiteral("mnuFileSepMRU"))->isVisible());
    }

    void toolBarOrder()
    {
        auto window = NewWindow();
        auto* bar = window->findChild<QToolBar*>(QStringLiteral("tbrTools"));
        QVERIFY(bar);
        QStringList keys;
        for (QAction* button : bar->actions())
            keys << (button->isSeparator() ? QStringLiteral("|") : button->objectName());
        QCOMPARE(keys, (QStringList{"mnuFileNew", "mnuFileOpen", "mnuFileSave", "mnuFilePrint",
                                    "mnuFilePreview", "|", "mnuEditCopy", "mnuEditPaste", "|",
                                    "mnuFileRead", "mnuFileWrite", "|", "mnuToolsReadBuffer",
                                    "mnuToolsClearBuffer", "|", "mnuHelpContext"}));
        for (QAction* button : bar->actions()) {
            if (button->isSeparator())
                continue;
            QCOMPARE(button->property("Key").toString(), button->objectName());
            QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));
            QVERIFY(!button->icon().pixmap(16, 16).isNull());
            QCOMPARE(button->toolTip().isEmpty(), false);
            QVERIFY(!button->toolTip().contains(QLatin1Char('&')));
        }
        QVERIFY(window->ToolButton(QStringLiteral("mnuHelpContext"))->isEnabled());
        QVERIFY(window->ToolButton(QStringLiteral("mnuHelpContext"))->isVisible());
        QVERIFY(bar->actions()[bar->actions().size() - 2]->isVisible());
    }

    void imageList()
    {
        ImageList images;
        images.LoadStandard();
        QCOMPARE(images.Count(), 15);
        for (const QString& key : ImageList::StandardKeys()) {
            QVERIFY2(images.Contains(key), qPrintable(key));
            const QImage picture = images.Image(key).pixmap(16, 16).toImage();
            QCOMPARE(picture.size(), QSize(16, 16));
            // Drawn, not blank.
            int painted = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    painted += qAlpha(picture.pixel(x, y)) > 0 ? 1 : 0;
            QVERIFY2(painted > 20, qPrintable(key));
        }
        QVERIFY(!images.Contains(QStringLiteral("mnuFileQuit")));
    }

    void statusBar()
    {
        auto window = NewWindow();
        QCOMPARE(window->statusBar()->objectName(), QStringLiteral("sbrStatus"));
        QLabel* prompt = window->StatusPanel(QStringLiteral("Prompt"));
        QVERIFY(prompt);
        QCOMPARE(prompt->text(), GetText(1001));
        QCOMPARE(prompt->toolTip(), GetToolTip(1001));
        QVERIFY(window->findChild<QMdiArea*>());
        QCOMPARE(window->windowTitle(), QStringLiteral("Orvel"));
    }

    // The window system shows a title as it is only when the program has no
    // display name of its own (it would add " — Orvel" to every title).
    void titlesAreTheirOwnText()
    {
        SetApplicationName();
        QCOMPARE(QGuiApplication::applicationName(), QStringLiteral("orvel"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("orvel"));
    }

    void nationality_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("about");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("help");
        QTest::newRow("English") << "English"
                                 << "&File"
                                 << "&About Orvel..."
                                 << "Ready"
                                 << "orvel-en.html";
        QTest::newRow("Français") << "Français"
                                  << "&Fichier"
                                  << "À &propos d'Orvel..."
                                  << "Prêt"
                                  << "orvel-fr.html";
        QTest::newRow("Español") << "Español"
                                 << "&Archivo"
                                 << "&Acerca de Orvel..."
                                 << "Listo"
                                 << "orvel-es.html";
    }
    void nationality()
    {
        QFETCH(QString, language);
        QFETCH(QString, file);
        QFETCH(QString, about);
        QFETCH(QString, prompt);
        QFETCH(QString, help);
        auto window = NewWindow();
        SetCurrentLanguage(language);
        window->Nationality();
        QCOMPARE(window->Menu(QStringLiteral("mnuFile"))->title(), file);
        QCOMPARE(window->MenuItem(QStringLiteral("mnuHelpAbout"))->text(), about);
        QCOMPARE(window->StatusPanel(QStringLiteral("Prompt"))->text(), prompt);
        QVERIFY(window->HelpFile().endsWith(QLatin1Char('/') + help));
        // Every captioned item has its row in this language; no tag shows.
        for (QMenu* menu : window->menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
            QCOMPARE(menu->title(), GetMenuText(menu->objectName()));
            for (QAction* item : menu->actions()) {
                if (item->isSeparator() ||
                    item->objectName().startsWith(QLatin1String("mnuFileMRU")))
                    continue;
                QCOMPARE(item->text(), GetMenuText(item->objectName()));
                QVERIFY(!item->text().isEmpty());
                QVERIFY(!item->text().startsWith(QLatin1String("mnu")));
            }
        }
        QString tip = GetMenuText(QStringLiteral("mnuFileNew")).remove(QLatin1Char('&'));
        QCOMPARE(window->ToolButton(QStringLiteral("mnuFileNew"))->toolTip(), tip);
    }

    // The recent-file entries keep their captions when the language changes.
    void nationalityLeavesRecentFiles()
    {
        auto window = NewWindow();
        QMenu* file = window->Menu(QStringLiteral("mnuFile"));
        window->RecentFiles().Add(file, QStringLiteral("/data/panel.cfg"));
        SetCurrentLanguage(QStringLiteral("Français"));
        window->Nationality();
        QCOMPARE(window->MenuItem(QStringLiteral("mnuFileMRU1"))->text(),
                 QStringLiteral("/data/panel.cfg"));
        QCOMPARE(window->MenuItem(QStringLiteral("mnuFileMRU0"))->text(), QStringLiteral("(Vide)"));
    }

    // A name without a row in T_Menus keeps its own name as caption.
    void menuItemWithoutRow()
    {
        QTemporaryDir dir;
        DataSources sources = ShippedSources();
        const auto before = sources.menus.rows.size();
        sources.menus.rows.removeIf([](const TextSourceRow& row) {
            return row.key == QLatin1String("mnuHelpAbout") ||
                   row.key == QLatin1String("mnuTools") || row.key == QLatin1String("mnuFileRead");
        });
        QCOMPARE(sources.menus.rows.size(), before - 3);
        const QString path = dir.filePath(QStringLiteral("orvel.dat"));
        QVERIFY(WriteData(sources, path));
        QVERIFY(OpenDataFile(path));
        auto window = NewWindow();
        QCOMPARE(window->MenuItem(QStringLiteral("mnuHelpAbout"))->text(),
                 QStringLiteral("mnuHelpAbout"));
        QCOMPARE(window->Menu(QStringLiteral("mnuTools"))->title(), QStringLiteral("mnuTools"));
        QCOMPARE(window->MenuItem(QStringLiteral("mnuFileRead"))->text(),
                 QStringLiteral("mnuFileRead"));
        // The tool bar button keeps a tip it had (none here, no row to give one).
        QCOMPARE(window->ToolButton(QStringLiteral("mnuFileRead"))->toolTip(),
                 QStringLiteral("mnuFileRead"));
        // Items with a row are not affected.
        QCOMPARE(window->MenuItem(QStringLiteral("mnuFileQuit"))->text(),
                 GetMenuText(QStringLiteral("mnuFileQuit")));
        QVERIFY(OpenDataFile(ShippedDataFile()));
    }

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
        auto window = NewWindow();
        window->SetProgramFolder(withHelp ? BinDir() : empty.path());
        window->Nationality();
        for (const char* item : {"mnuHelpSummary", "mnuHelpIndex", "mnuHelpSep1"})
            QCOMPARE(window->MenuItem(QString::fromLatin1(item))->isVisible(), withHelp);
        QCOMPARE(window->ToolButton(QStringLiteral("mnuHelpContext"))->isVisible(), withHelp);
        QCOMPARE(window->HelpFile().isEmpty(), !withHelp);
        QVERIFY(window->MenuItem(QStringLiteral("mnuHelpAbout"))->isVisible());
        QVERIFY(!window->MenuItem(QStringLiteral("mnuHelpContext"))->isVisible());
    }

    void linkState()
    {
        auto window = NewWindow();
        QVERIFY(!window->FactoryMode());
        QVERIFY(!window->HalfDuplex());
        QCOMPARE(window->RtsDelay(), 5);
        QCOMPARE(window->FrameDelay(), 50);
        window->SetHalfDuplex(true);
        window->SetRtsDelay(12);
        window->SetFrameDelay(20);
        QVERIFY(window->Link().options().halfDuplex);
        QCOMPARE(window->Link().options().rtsDelayMs, 12);
        QCOMPARE(window->Link().options().frameDelayMs, 20);
        QCOMPARE(&window->Link().port(), &window->Port());
    }

    // The port's send notification drops RTS in half-duplex mode only.
    void sendNotificationDropsRts_data()
    {
        QTest::addColumn<bool>("halfDuplex");
        QTest::addColumn<int>("event");
        QTest::addColumn<bool>("rtsAfter");
        QTest::newRow("half-duplex, send") << true << int(ComCtrl::comEvSend) << false;
        QTest::newRow("full duplex, send") << false << int(ComCtrl::comEvSend) << true;
        QTest::newRow("half-duplex, other event") << true << 2 << true;
    }
    void sendNotificationDropsRts()
    {
        QFETCH(bool, halfDuplex);
        QFETCH(int, event);
        QFETCH(bool, rtsAfter);
        auto window = NewWindow();
        window->Port().SetPortOpen(true);
        window->SetHalfDuplex(halfDuplex);
        window->SetRtsDelay(0);
        window->Port().SetRTSEnable(true);
        Q_EMIT window->Port().OnComm(event);
        QCOMPARE(window->Port().RTSEnable(), rtsAfter);
    }
};

QTEST_MAIN(tst_wMain)
#include "tst_wmain.moc"
