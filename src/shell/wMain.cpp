#include "wMain.h"

#include "HelpViewer.h"
#include "MachineToken.h"

#include "config/ClipboardClass.h"
#include "config/LineStore.h"
#include "link/ComCtrl.h"
#include "link/CommFunctions.h"
#include "settings/IniStore.h"
#include "settings/MostRecentFilesClass.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "util/TextFunctions.h"
#include "util/UiSeam.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace {
// Tool bar order; "|" is a separator.
const char* const ToolBarKeys[] = {"mnuFileNew",         "mnuFileOpen",         "mnuFileSave",
                                   "mnuFilePrint",       "mnuFilePreview",      "|",
                                   "mnuEditCopy",        "mnuEditPaste",        "|",
                                   "mnuFileRead",        "mnuFileWrite",        "|",
                                   "mnuToolsReadBuffer", "mnuToolsClearBuffer", "|",
                                   "mnuHelpContext"};

// A menu item's caption: its row of T_Menus in the current language, or its
// own name when it has no row.
QString MenuCaption(const QString& name)
{
    const QString text = GetMenuText(name);
    return text.isNull() ? name : text;
}

bool IsRecentFileEntry(const QAction* action)
{
    return action->objectName().startsWith(QLatin1String("mnuFileMRU"));
}
} // namespace

wMain::wMain(std::unique_ptr<ComCtrl> port, QWidget* parent)
    : QMainWindow(parent), m_port(std::move(port))
{
    Q_ASSERT(m_port);
    setObjectName(QStringLiteral("wMain"));
    setWindowTitle(QStringLiteral("Orvel"));
    resize(1000, 700);

    m_port->setParent(nullptr);
    m_link = std::make_unique<PanelLink>(*m_port);
    m_lines = std::make_unique<LineStore>();
    m_recentFiles = new MostRecentFilesClass(this);
    m_recentFiles->setObjectName(QStringLiteral("MostRecentFiles"));
    m_machineId = MachineIdentity();

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    // Configuration files dropped on the window open as documents.
    setAcceptDrops(true);

    m_imlTools.LoadStandard();
    // The console's own picture for its windows and dialogs (panel windows
    // take it from here).
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/shell/icons/orvel.svg")));
    setWindowIcon(QApplication::windowIcon());
    buildMenus();
    buildToolBar();
    buildStatusBar();
    connectCommands();
}

wMain::~wMain()
{
    // The link refers to the port: it goes first.
    m_link.reset();
    delete m_help.data();
}

bool wMain::HalfDuplex() const
{
    return m_link->options().halfDuplex;
}

int wMain::RtsDelay() const
{
    return m_link->options().rtsDelayMs;
}

int wMain::FrameDelay() const
{
    return m_link->options().frameDelayMs;
}

void wMain::SetHalfDuplex(bool on)
{
    m_link->options().halfDuplex = on;
}

void wMain::SetRtsDelay(int ms)
{
    m_link->options().rtsDelayMs = ms;
}

void wMain::SetFrameDelay(int ms)
{
    m_link->options().frameDelayMs = ms;
}

void wMain::reloadFrameDelay()
{
    SetFrameDelay(GetIniInt(QStringLiteral("Communication"), QStringLiteral("FrameDelay"), 50));
}

QAction* wMain::addItem(QMenu* menu, const char* name, const QKeySequence& shortcut)
{
    auto* action = new QAction(QString::fromLatin1(name), menu);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    menu->addAction(action);
    return action;
}

QAction* wMain::addSeparator(QMenu* menu, const char* name)
{
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
    return separator;
}

void wMain::buildMenus()
{
    QMenuBar* bar = menuBar();
    auto menu = [&](const char* name) {
        auto* m = new QMenu(QString::fromLatin1(name), bar);
        m->setObjectName(QString::fromLatin1(name));
        bar->addMenu(m);
        return m;
    };

    QMenu* file = menu("mnuFile");
    addItem(file, "mnuFileNew", QKeySequence(Qt::CTRL | Qt::Key_N));
    addItem(file, "mnuFileOpen", QKeySequence(Qt::CTRL | Qt::Key_O));
    addItem(file, "mnuFileSave", QKeySequence(Qt::CTRL | Qt::Key_S));
    addItem(file, "mnuFileSaveAs");
    addSeparator(file, "mnuFileSep1");
    addItem(file, "mnuFileRead", QKeySequence(Qt::CTRL | Qt::Key_R));
    addItem(file, "mnuFileWrite", QKeySequence(Qt::CTRL | Qt::Key_W));
    addSeparator(file, "mnuFileSep2");
    addItem(file, "mnuFilePrintSetup");
    addItem(file, "mnuFilePrint", QKeySequence(Qt::CTRL | Qt::Key_P));
    addItem(file, "mnuFilePreview");
    QAction* sep3 = addSeparator(file, "mnuFileSep3");
    addItem(file, "mnuFileQuit", QKeySequence(Qt::CTRL | Qt::Key_X));
    // The recent files: separator mnuFileSepMRU and the hidden placeholder
    // mnuFileMRU0 above mnuFileSep3; the entries come between them.
    MostRecentFilesClass::Attach(file, sep3);

    QMenu* edit = menu("mnuEdit");
    addItem(edit, "mnuEditCopyOneLine");
    addItem(edit, "mnuEditPasteOneLine");
    addItem(edit, "mnuEditCopyLine");
    addSeparator(edit, "mnuEditSep1");
    addItem(edit, "mnuEditCopy");
    addItem(edit, "mnuEditPaste");

    QMenu* tools = menu("mnuTools");
    addItem(tools, "mnuToolsReadBuffer");
    addItem(tools, "mnuToolsClearBuffer");
    addSeparator(tools, "mnuToolsSep1");
    addItem(tools, "mnuToolsScan");
    addItem(tools, "mnuToolsMonitor")->setCheckable(true);

    QMenu* options = menu("mnuOptions");
    addItem(options, "mnuOptionsUsinePart");
    addItem(options, "mnuOptionsUsineTotal");
    addSeparator(options, "mnuOptionsSep1");
    addItem(options, "mnuOptionsPrefs");
    addItem(options, "mnuOptionsFactory")->setCheckable(true);

    m_windowMenu = menu("mnuWindow");
    addItem(m_windowMenu, "mnuWindowCascade");

    QMenu* help = menu("mnuHelp");
    addItem(help, "mnuHelpSummary");
    addItem(help, "mnuHelpIndex");
    addItem(help, "mnuHelpFind")->setVisible(false);
    addItem(help, "mnuHelpContext")->setVisible(false);
    addSeparator(help, "mnuHelpSep1");
    addItem(help, "mnuHelpAbout");

    for (QMenu* m : {file, options, help, m_windowMenu})
        connect(m, &QMenu::aboutToShow, this, [this, m] { menuOpening(m); });
    connect(edit, &QMenu::aboutToShow, this, &wMain::editMenuOpening);
    editMenuOpening();
    optionsMenuOpening();
}

void wMain::buildToolBar()
{
    m_tbrTools = addToolBar(QStringLiteral("tbrTools"));
    m_tbrTools->setObjectName(QStringLiteral("tbrTools"));
    m_tbrTools->setIconSize(QSize(16, 16));
    m_tbrTools->setMovable(false);
    m_tbrTools->setFloatable(false);
    m_tbrTools->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    for (const char* key : ToolBarKeys) {
        if (qstrcmp(key, "|") == 0) {
            m_tbrTools->addSeparator();
            continue;
        }
        const QString name = QString::fromLatin1(key);
        auto* button = new QAction(name, m_tbrTools);
        button->setObjectName(name);
        button->setProperty("Key", name);
        m_tbrTools->addAction(button);
        connect(button, &QAction::triggered, this, [this, name] { tbrTools_ButtonClick(name); });
    }
}

void wMain::ApplyToolBarImages()
{
    for (QAction* button : m_tbrTools->actions()) {
        const QString key = button->property("Key").toString();
        if (!key.isEmpty() && m_imlTools.Contains(key))
            button->setIcon(m_imlTools.Image(key));
    }
}

void wMain::buildStatusBar()
{
    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("sbrStatus"));
    m_prompt = new QLabel(status);
    m_prompt->setObjectName(QStringLiteral("Prompt"));
    m_prompt->setProperty("Tag", 1001);
    m_prompt->setMinimumWidth(200);
    status->addWidget(m_prompt, 1);
}

void wMain::connectCommands()
{
    const struct
    {
        const char* name;
        void (wMain::*handler)();
    } commands[] = {
        {"mnuFileNew", &wMain::mnuFileNew_Click},
        {"mnuFileOpen", &wMain::mnuFileOpen_Click},
        {"mnuFileSave", &wMain::mnuFileSave_Click},
        {"mnuFileSaveAs", &wMain::mnuFileSaveAs_Click},
        {"mnuFileRead", &wMain::mnuFileRead_Click},
        {"mnuFileWrite", &wMain::mnuFileWrite_Click},
        {"mnuFileQuit", &wMain::mnuFileQuit_Click},
        {"mnuFilePrintSetup", &wMain::mnuFilePrintSetup_Click},
        {"mnuFilePrint", &wMain::mnuFilePrint_Click},
        {"mnuFilePreview", &wMain::mnuFilePreview_Click},
        {"mnuEditCopyOneLine", &wMain::mnuEditCopyOneLine_Click},
        {"mnuEditPasteOneLine", &wMain::mnuEditPasteOneLine_Click},
        {"mnuEditCopyLine", &wMain::mnuEditCopyLine_Click},
        {"mnuEditCopy", &wMain::mnuEditCopy_Click},
        {"mnuEditPaste", &wMain::mnuEditPaste_Click},
        {"mnuOptionsUsinePart", &wMain::mnuOptionsUsinePart_Click},
        {"mnuOptionsUsineTotal", &wMain::mnuOptionsUsineTotal_Click},
        {"mnuOptionsPrefs", &wMain::mnuOptionsPrefs_Click},
        {"mnuOptionsFactory", &wMain::mnuOptionsFactory_Click},
        {"mnuWindowCascade", &wMain::mnuWindowCascade_Click},
        {"mnuHelpSummary", &wMain::mnuHelpSummary_Click},
        {"mnuHelpIndex", &wMain::mnuHelpIndex_Click},
        {"mnuHelpFind", &wMain::mnuHelpFind_Click},
        {"mnuHelpContext", &wMain::mnuHelpContext_Click},
        {"mnuHelpAbout", &wMain::mnuHelpAbout_Click},
        {"mnuToolsReadBuffer", &wMain::mnuToolsReadBuffer_Click},
        {"mnuToolsClearBuffer", &wMain::mnuToolsClearBuffer_Click},
        {"mnuToolsScan", &wMain::mnuToolsScan_Click},
        {"mnuToolsMonitor", &wMain::mnuToolsMonitor_Click},
    };
    for (const auto& command : commands) {
        QAction* item = MenuItem(QString::fromLatin1(command.name));
        Q_ASSERT(item);
        connect(item, &QAction::triggered, this, command.handler);
    }
    connect(m_recentFiles, &MostRecentFilesClass::FileChosen, this,
            [this](int index) { mnuFileMRU_Click(index); });
    // The factory item's check mark follows FactoryMode, not the click.
    QAction* factory = MenuItem(QStringLiteral("mnuOptionsFactory"));
    connect(factory, &QAction::triggered, this,
            [this, factory] { factory->setChecked(m_factoryMode); });
}

QMenu* wMain::Menu(const QString& name) const
{
    return menuBar()->findChild<QMenu*>(name, Qt::FindDirectChildrenOnly);
}

QAction* wMain::MenuItem(const QString& name) const
{
    const QList<QMenu*> menus = menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
    for (QMenu* menu : menus)
        for (QAction* action : menu->actions())
            if (action->objectName() == name)
                return action;
    return nullptr;
}

QAction* wMain::ToolButton(const QString& key) const
{
    for (QAction* button : m_tbrTools->actions())
        if (!button->isSeparator() && button->property("Key").toString() == key)
            return button;
    return nullptr;
}

QLabel* wMain::StatusPanel(const QString& key) const
{
    return statusBar()->findChild<QLabel*>(key);
}

void wMain::SetFactoryMode(bool on)
{
    m_factoryMode = on;
    if (QAction* item = MenuItem(QStringLiteral("mnuOptionsFactory")))
        item->setChecked(on);
    Q_EMIT FactoryModeChanged(on);
}

QString wMain::CurrentMachineToken() const
{
    return MachineToken(m_machineId);
}

QString wMain::ProgramFolder() const
{
    return m_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : m_programFolder;
}

void wMain::Nationality()
{
    Trap("wMain.Nationality", [&] {
        // Menus and their items, except the recent files, the list of open
        // windows and the separators.
        const QList<QMenu*> menus = menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
        for (QMenu* menu : menus) {
            menu->setTitle(MenuCaption(menu->objectName()));
            for (QAction* item : menu->actions()) {
                if (item->isSeparator() || item->objectName().isEmpty() || IsRecentFileEntry(item))
                    continue;
                item->setText(MenuCaption(item->objectName()));
            }
        }

        // Status bar panels that carry a tag.
        for (QLabel* panel : statusBar()->findChildren<QLabel*>()) {
            const int tag = panel->property("Tag").toInt();
            if (tag == 0)
                continue;
            panel->setText(GetText(tag));
            panel->setToolTip(GetToolTip(tag));
        }

        // Tool bar tips: the menu text of the button's key.
        for (QAction* button : m_tbrTools->actions()) {
            const QString key = button->property("Key").toString();
            if (key.isEmpty())
                continue;
            const QString tip = GetMenuToolTip(key);
            if (!tip.isNull()) {
                button->setToolTip(tip);
                button->setText(tip);
            }
        }

        // The help file of the language, beside the program.
        const QString name = GetText(1);
        const QString path = name.isEmpty() ? QString() : QDir(ProgramFolder()).filePath(name);
        const bool usable = !name.isEmpty() && QFileInfo(path).isFile();
        m_helpFile = usable ? path : QString();
        for (const char* item : {"mnuHelpSummary", "mnuHelpIndex", "mnuHelpSep1"})
            MenuItem(QString::fromLatin1(item))->setVisible(usable);
        // The context help button, and the separator before it with it.
        QAction* context = ToolButton(QStringLiteral("mnuHelpContext"));
        context->setVisible(usable);
        const QList<QAction*> buttons = m_tbrTools->actions();
        const qsizetype at = buttons.indexOf(context);
        if (at > 0 && buttons[at - 1]->isSeparator())
            buttons[at - 1]->setVisible(usable);
        if (m_help) {
            if (usable && m_help->Document().Path() != path)
                m_help->Load(path);
            if (!usable)
                m_help->close();
        }
        if (m_help)
            m_help->SetPaneCaptions(
                MenuItem(QStringLiteral("mnuHelpSummary"))->text().remove(QLatin1Char('&')),
                MenuItem(QStringLiteral("mnuHelpIndex"))->text().remove(QLatin1Char('&')));
    });
}

void wMain::menuOpening(QMenu* menu)
{
    ValidePanneau();
    if (menu == m_windowMenu)
        fillWindowMenu();
    if (menu->objectName() == QLatin1String("mnuOptions"))
        optionsMenuOpening();
}

void wMain::fillWindowMenu()
{
    for (QAction* entry : std::as_const(m_windowEntries))
        delete entry;
    m_windowEntries.clear();
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
    if (windows.isEmpty())
        return;
    m_windowEntries << m_windowMenu->addSeparator();
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        ++number;
        QString title = window->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* entry = m_windowMenu->addAction(
            number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title) : title);
        entry->setCheckable(true);
        entry->setChecked(window == m_mdi->activeSubWindow());
        connect(entry, &QAction::triggered, this, [this, w = QPointer<QMdiSubWindow>(window)] {
            if (w)
                m_mdi->setActiveSubWindow(w);
        });
        m_windowEntries << entry;
    }
}

void wMain::ValidePanneau()
{
    Trap("wMain.ValidePanneau", [&] {
        QMdiSubWindow* active = m_mdi->activeSubWindow();
        QWidget* focus = QApplication::focusWidget();
        if (!active || !focus || !active->isAncestorOf(focus))
            return;
        // The grids of a panel window are item views named grdInputs and
        // grdOutputs; an edit in progress is an editor widget in its viewport.
        for (QWidget* w = focus->parentWidget(); w && w != active; w = w->parentWidget()) {
            auto* grid = qobject_cast<QAbstractItemView*>(w);
            if (!grid)
                continue;
            const QString name = grid->objectName();
            if (name != QLatin1String("grdInputs") && name != QLatin1String("grdOutputs"))
                return;
            // The editor is the viewport's child that holds the focus.
            QWidget* editor = focus;
            while (editor && editor->parentWidget() != grid->viewport())
                editor = editor->parentWidget();
            if (!editor)
                return;
            // commitData and closeEditor are the view's own slots.
            QMetaObject::invokeMethod(grid, "commitData", Qt::DirectConnection,
                                      Q_ARG(QWidget*, editor));
            QMetaObject::invokeMethod(
                grid, "closeEditor", Qt::DirectConnection, Q_ARG(QWidget*, editor),
                Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
            return;
        }
    });
}

void wMain::tbrTools_ButtonClick(const QString& key)
{
    Trap("wMain.tbrTools_ButtonClick", [&] {
        ValidePanneau();
        const QByteArray method = (key + QStringLiteral("_Click")).toLatin1();
        if (!QMetaObject::invokeMethod(this, method.constData(), Qt::DirectConnection))
            Raise(ErrNo::InvalidCall, key);
    });
}

bool wMain::queryUnload()
{
    return Trap("wMain.Form_QueryUnload", [&] {
        bool modified = false;
        for (QMdiSubWindow* window : m_mdi->subWindowList()) {
            QWidget* document = window->widget();
            if (document && document->property("Modified").toBool()) {
                modified = true;
                break;
            }
        }
        MsgAnswer answer;
        if (!modified) {
            answer = MsgBox(GetText(10103), MsgIcon::Question, MsgButtons::YesNo);
        } else {
            const QString text =
                TextReplace(GetText(10107), QStringLiteral("|"), QStringLiteral("\r"));
            answer = MsgBox(text, MsgIcon::Exclamation, MsgButtons::YesNo, MsgAnswer::No);
        }
        return answer == MsgAnswer::Yes;
    });
}

void wMain::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Trap("wMain.Form_Unload", [&] {
        // The help window, and a splash left by an interrupted start-up.
        if (m_help)
            m_help->close();
        for (QWidget* owned : findChildren<QWidget*>())
            if (owned->isWindow() && owned->isVisible())
                owned->hide();
        m_recentFiles->Save(Menu(QStringLiteral("mnuFile")));
    });
    Q_EMIT Unloaded();
}

void wMain::closeEvent(QCloseEvent* event)
{
    if (!m_unloaded && !queryUnload()) {
        event->ignore();
        return;
    }
    unload();
    event->accept();
    // The panel windows go with the main window, without their own question.
    QMainWindow::closeEvent(event);
}
