#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QObject;

// Every message box, question, file dialog, modal dialog and beep of the
// console goes through one UiSeam. The console installs a Qt implementation,
// the command-line tool one that writes to standard error, and tests one that
// records what was shown and plays scripted answers.

enum class MsgIcon
{
    None,
    Critical,
    Question,
    Exclamation,
    Information
};
enum class MsgButtons
{
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel,
    RetryCancel,
    AbortRetryIgnore
};
enum class MsgAnswer
{
    Ok,
    Cancel,
    Yes,
    No,
    Retry,
    Abort,
    Ignore
};

struct MessageRequest
{
    QString text;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    // The button that Enter presses; when left unset it is the first button.
    std::optional<MsgAnswer> defaultButton;
    QString title = QStringLiteral("Orvel");
};

struct FileDialogRequest
{
    QObject* owner = nullptr;
    // "description|pattern|description|pattern", the form the data file's texts use.
    QString filter;
    bool save = false;
    bool multiSelect = false;
    QString proposedName;
    QString initialFolder;
    QString title; // empty: the platform's default title
};

class UiSeam
{
public:
    virtual ~UiSeam();

    virtual MsgAnswer message(const MessageRequest& request) = 0;
    // Shows a modal dialog (a QDialog in the GUI) and returns true when the user
    // accepted it. The dialog's own fields hold what was entered.
    virtual bool execDialog(QObject* dialog) = 0;
    // The chosen paths: empty when cancelled.
    virtual QStringList fileDialog(const FileDialogRequest& request) = 0;
    virtual void beep() = 0;
    // Busy pointer during link operations; false restores the normal arrow.
    virtual void setBusy(bool busy) = 0;
};

// The seam in force. Never null: before anything is installed it is the
// standard-error implementation.
UiSeam& Ui();
// Installs a seam (not owned) and returns the previous one; nullptr restores the default.
UiSeam* InstallUi(UiSeam* seam);

// The first button of a set, which answers when no default is given.
MsgAnswer FirstButton(MsgButtons buttons);

// Convenience for the common case.
MsgAnswer MsgBox(const QString& text, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok,
                 std::optional<MsgAnswer> defaultButton = std::nullopt);

// Keeps the busy pointer on for a scope, restoring it on every exit.
class BusyPointer
{
public:
    BusyPointer() { Ui().setBusy(true); }
    ~BusyPointer() { Ui().setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};
