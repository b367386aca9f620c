#pragma once

#include "HelpViewer.h"
#include "ImageList.h"

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <memory>

class ClipboardClass;
class ComCtrl;
class LineStore;
class MostRecentFilesClass;
class PanelLink;
class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;
class wLineMonitor;
class wPanneau;
class wScanLine;
struct ScannedPanel;
class wPreview;

// The console's main window: the frame in which panel windows and the event
// list open, with the menu bar, the tool bar tbrTools and the status bar
// sbrStatus. It owns what the whole program shares: the serial port and the
// link on it (half-duplex flag, RTS delay and frame delay are the link's
// options), factory access and the recent-files list.
//
// Every menu item is a QAction whose object name is the command's name
// (mnuFileNew ...); tool bar buttons are QActions of tbrTools named after
// their key, which is the name of the menu command they run.
class wMain : public QMainWindow
{
    Q_OBJECT
    Q_PROPERTY(bool FactoryMode READ FactoryMode)

public:
    explicit wMain(std::unique_ptr<ComCtrl> port, QWidget* parent = nullptr);
    ~wMain() override;

    ComCtrl& Port() const { return *m_port; }
    PanelLink& Link() const { return *m_link; }
    bool HalfDuplex() const;
    int RtsDelay() const;
    int FrameDelay() const;
    void SetHalfDuplex(bool on);
    void SetRtsDelay(int ms);
    void SetFrameDelay(int ms);

    MostRecentFilesClass& RecentFiles() const { return *m_recentFiles; }
    QMdiArea* MdiArea() const { return m_mdi; }
    QMenu* Menu(const QString& name) const;
    // The menu item of that name, in the menu bar's menus.
    QAction* MenuItem(const QString& name) const;
    // The tool bar button of that key.
    QAction* ToolButton(const QString& key) const;
    QLabel* StatusPanel(const QString& key) const;
    const ImageList& Images() const { return m_imlTools; }

    // Factory access: on shows the check mark of mnuOptionsFactory. Switching
    // it here stores nothing; the command mnuOptionsFactory_Click does.
    bool FactoryMode() const { return m_factoryMode; }
    void SetFactoryMode(bool on);
    // The system identity behind the machine token (tests set another one).
    QByteArray MachineId() const { return m_machineId; }
    void SetMachineId(const QByteArray& id) { m_machineId = id; }
    QString CurrentMachineToken() const;

    // Folder of the help files (the program's folder unless set).
    QString ProgramFolder() const;
    void SetProgramFolder(const QString& folder) { m_programFolder = folder; }
    // The usable help file, "" when there is none (set by Nationality).
    QString HelpFile() const { return m_helpFile; }
    // The help window once a help command has opened it, else null.
    HelpViewer* Help() const { return m_help; }
    // The print preview window while it is open, else null.
    wPreview* Preview() const;
    // The line monitor while it is open, else null.
    wLineMonitor* LineMonitorWindow() const;

    // The active MDI child when it is a panel window, else null.
    wPanneau* ActivePanel() const;
    // A new panel window, loaded with the defaults, in a sub-window of the
    // MDI area and following factory access; not shown yet.
    wPanneau* NewPanelWindow();
    // Shows a panel window made by NewPanelWindow and makes it active.
    void ShowPanelWindow(wPanneau* panel);

    // Start-up step 8: every tool bar button with a key shows its image.
    void ApplyToolBarImages();

    // Opens each file as File > Open does (the command line, files dropped
    // on the window); relative names are taken from the current folder.
    void OpenFiles(const QStringList& paths);

public Q_SLOTS:
    // Texts of the main window in the current language.
    void Nationality();
    // Finishes the cell edit in progress of the active panel window's grid.
    void ValidePanneau();

    // Commands (tool bar buttons reach them by name: key + "_Click").
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileRead_Click();
    void mnuFileWrite_Click();
    // A recent-file entry, 1 being the newest.
    void mnuFileMRU_Click(int index);
    void mnuFileQuit_Click();
    // Printing (wMainPrint.cpp).
    void mnuFilePrintSetup_Click();
    void mnuFilePrint_Click();
    void mnuFilePreview_Click();
    void mnuEditCopyOneLine_Click();
    void mnuEditPasteOneLine_Click();
    void mnuEditCopyLine_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnuOptionsUsinePart_Click();
    void mnuOptionsUsineTotal_Click();
    void mnuOptionsPrefs_Click();
    void mnuOptionsFactory_Click();
    void mnuWindowCascade_Click();
    void mnuHelpSummary_Click();
    void mnuHelpIndex_Click();
    void mnuHelpFind_Click();
    void mnuHelpContext_Click();
    void mnuHelpAbout_Click();
    void mnuToolsReadBuffer_Click();
    void mnuToolsClearBuffer_Click();
    // The line scan window and the line monitor (wMainScan.cpp).
    void mnuToolsScan_Click();
    void mnuToolsMonitor_Click();

    // A tool bar button: ValidePanneau, then the command key + "_Click".
    void tbrTools_ButtonClick(const QString& key);

Q_SIGNALS:
    // Panel windows follow it (the factory page).
    void FactoryModeChanged(bool on);
    // The user confirmed the close request: the program ends.
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class OpenResult
    {
        Opened,
        Missing, // no file at that path
        Failed   // the file could not be read (the loader has said why)
    };
    // A panel window for the file, shown; none when the file cannot be read.
    OpenResult openDocument(const QString& path);
    // openDocument, telling the user when there is no such file.
    void openAndTell(const QString& path);
    void saveAs(wPanneau* panel);
    // The document of Save, Save As and Write: the active panel window with
    // the cell being edited committed, or null after a beep.
    wPanneau* activeDocument();
    // The slave dialog, its warning shown for a write and its slave number
    // preset when presetSlave is not empty; false when not confirmed. The
    // frame delay is reloaded from the settings first.
    bool askSlave(bool forWrite, const QString& presetSlave, std::uint8_t& slave, bool& searchAll);

    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void connectCommands();
    QAction* addItem(QMenu* menu, const char* name, const QKeySequence& shortcut = {});
    QAction* addSeparator(QMenu* menu, const char* name);
    void fillWindowMenu();
    void menuOpening(QMenu* menu);
    // The Edit menu by the active panel window's page; the Options menu's
    // reset commands by the active panel window.
    void editMenuOpening();
    void optionsMenuOpening();
    // The section store, made on first use.
    ClipboardClass& Clipboard();
    // The help window, loaded with the help file; null when there is none.
    HelpViewer* helpViewer();
    // A dialog's Help button: the topic of its context id.
    void showHelpTopic(int contextId);
    // The frame delay of the settings, which may have been changed by hand
    // since the last link command.
    void reloadFrameDelay();
    // The slave dialog and the detection of Read and the event buffer
    // commands: the slave number of the panel found (its version in
    // panelVersion), or 0 when the command ends there.
    std::uint8_t askAndDetect(bool clearMode, std::int32_t* panelVersion = nullptr);
    // The detection alone, of the slave given (0: the one on the line), with
    // the search window: as askAndDetect once the slave dialog is confirmed.
    std::uint8_t detect(std::uint8_t typed, bool search, bool clearMode,
                        std::int32_t* panelVersion);
    // Read once the slave is known: the detection, the question about an
    // older panel, the read into a new panel window. True once it is shown.
    bool readFromPanel(std::uint8_t typed, bool search);
    // A double-click in the scan window: the panel read as Read does, at the
    // speed and stop bits it answered at, without the slave dialog.
    void readScannedPanel(const ScannedPanel& panel, wScanLine& window);
    // Close request: true when the user confirmed.
    bool queryUnload();
    void unload();

    std::unique_ptr<ComCtrl> m_port;
    std::unique_ptr<PanelLink> m_link;
    std::unique_ptr<ClipboardClass> m_clipboard;
    std::unique_ptr<LineStore> m_lines;
    MostRecentFilesClass* m_recentFiles = nullptr;
    QMdiArea* m_mdi = nullptr;
    QToolBar* m_tbrTools = nullptr;
    QLabel* m_prompt = nullptr;
    QMenu* m_windowMenu = nullptr;
    QList<QAction*> m_windowEntries;
    ImageList m_imlTools;
    bool m_factoryMode = false;
    QByteArray m_machineId;
    QString m_programFolder;
    QString m_helpFile;
    QPointer<HelpViewer> m_help;
    QPointer<wPreview> m_preview;
    QPointer<wLineMonitor> m_lineMonitor;
    bool m_unloaded = false;
};
