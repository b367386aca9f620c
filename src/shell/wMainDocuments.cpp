// The document commands on files: Open, the recent files, Save and Save As,
// and the files given on the command line or dropped on the window.

#include "wMain.h"

#include "editor/wPanneau.h"
#include "settings/IniStore.h"
#include "settings/MostRecentFilesClass.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "util/FileDialog.h"
#include "util/PathFunctions.h"
#include "util/TextFunctions.h"
#include "util/UiSeam.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace {
const QString kGeneral = QStringLiteral("General");
const QString kDataFiles = QStringLiteral("DataFiles");
// The path of a document read from a panel and never saved.
const QString kPathOfPanel = QStringLiteral("Orvel");
constexpr int kFileFilterTag = 31;
constexpr int kMissingFileTag = 10112;

// The filter of the Open and Save As dialogs: the text's line marks are the
// "|" between descriptions and patterns.
FileDialogRequest ConfigurationDialog(QObject* owner)
{
    FileDialogRequest request;
    request.owner = owner;
    request.filter = GetText(kFileFilterTag).replace(QStringLiteral("\r\n"), QStringLiteral("|"));
    request.initialFolder = GetIniParam(kGeneral, kDataFiles, QString());
    return request;
}

QString MissingFileText(const QString& path)
{
    return TextReplace(GetText(kMissingFileTag), QStringLiteral("*"), path);
}

// The local files of a drag, in order.
QStringList DroppedFiles(const QMimeData* mime)
{
    QStringList files;
    if (!mime)
        return files;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}
} // namespace

wMain::OpenResult wMain::openDocument(const QString& path)
{
    if (!QFileInfo::exists(path))
        return OpenResult::Missing;
    wPanneau* panel = NewPanelWindow();
    // A file that cannot be read opens no window: a window of defaults under
    // its name would replace the user's file at the next Save.
    if (!panel->Config().Load(path)) {
        panel->CloseWithoutQuestion();
        return OpenResult::Failed;
    }
    m_recentFiles->Add(Menu(QStringLiteral("mnuFile")), path);
    panel->SetPath(path);
    panel->RefreshFields();
    panel->SetModified(false);
    panel->SetCaption();
    ShowPanelWindow(panel);
    return OpenResult::Opened;
}

void wMain::openAndTell(const QString& path)
{
    if (openDocument(path) == OpenResult::Missing)
        MsgBox(MissingFileText(path), MsgIcon::Critical);
}

void wMain::mnuFileOpen_Click()
{
    Trap("wMain.mnuFileOpen_Click", [&] {
        FileDialogRequest request = ConfigurationDialog(this);
        request.multiSelect = true;
        const QString result = ShowFileDialog(request);
        if (result.isEmpty())
            return;
        // Several files: the folder, then each name, NUL separated.
        const QString folder =
            result.contains(QChar(0)) ? result.section(QChar(0), 0, 0) : FolderOf(result);
        for (const QString& path : SplitFileDialogResult(result))
            openAndTell(path);
        SetIniParam(kGeneral, kDataFiles, folder);
    });
}

void wMain::OpenFiles(const QStringList& paths)
{
    Trap("wMain.OpenFiles", [&] {
        for (const QString& path : paths)
            openAndTell(QFileInfo(path).absoluteFilePath());
    });
}

void wMain::mnuFileMRU_Click(int index)
{
    Trap("wMain.mnuFileMRU_Click", [&] {
        QMenu* file = Menu(QStringLiteral("mnuFile"));
        const QString path = MostRecentFilesClass::EntryPath(file, index);
        if (path.isEmpty())
            return;
        // A file gone or unreadable leaves the list, with the message that
        // names it.
        if (openDocument(path) != OpenResult::Opened) {
            m_recentFiles->SetErrorMsg(GetText(kMissingFileTag));
            m_recentFiles->Delete(file, index);
        }
    });
}

wPanneau* wMain::activeDocument()
{
    // A shortcut reaches a command without the menu opening: the cell being
    // edited goes into the record first.
    ValidePanneau();
    wPanneau* panel = ActivePanel();
    if (!panel)
        Ui().beep();
    return panel;
}

void wMain::mnuFileSave_Click()
{
    Trap("wMain.mnuFileSave_Click", [&] {
        wPanneau* panel = activeDocument();
        if (!panel)
            return;
        const QString path = panel->Path();
        if (path.isEmpty() || path == kPathOfPanel) {
            saveAs(panel);
            return;
        }
        // A failed save has been reported; the document stays modified.
        if (panel->Config().Save(path))
            panel->SetModified(false);
    });
}

void wMain::mnuFileSaveAs_Click()
{
    Trap("wMain.mnuFileSaveAs_Click", [&] {
        if (wPanneau* panel = activeDocument())
            saveAs(panel);
    });
}

void wMain::saveAs(wPanneau* panel)
{
    const QString current = panel->Path();
    FileDialogRequest request = ConfigurationDialog(this);
    request.save = true;
    if (current.isEmpty() || current == kPathOfPanel) {
        // The module name, kept in the folder the dialog shows.
        request.proposedName = panel->Config().ModuleName();
        request.proposedName.replace(QLatin1Char('/'), QLatin1Char('_'));
        request.proposedName.replace(QLatin1Char('\\'), QLatin1Char('_'));
    } else {
        request.proposedName = FileNameOf(current);
    }
    const QString path = ShowFileDialog(request);
    if (path.isEmpty())
        return;
    // Only a save that succeeded changes the document's file, its mark and
    // the recent files; a failure has been reported.
    if (!panel->Config().Save(path))
        return;
    panel->SetPath(path);
    panel->SetCaption();
    panel->SetModified(false);
    SetIniParam(kGeneral, kDataFiles, FolderOf(path));
    m_recentFiles->Add(Menu(QStringLiteral("mnuFile")), path);
}

void wMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void wMain::dropEvent(QDropEvent* event)
{
    const QStringList files = DroppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over, so the program the files come from is
    // not kept waiting by a message.
    QTimer::singleShot(0, this, [this, files] { OpenFiles(files); });
}
