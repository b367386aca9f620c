#include "QtUi.h"

#include "util/ErrorHandling.h"
#include "util/FileDialog.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace {
QMessageBox::Icon toQt(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toQt(MsgAnswer answer)
{
    switch (answer) {
    case MsgAnswer::Ok:
        return QMessageBox::Ok;
    case MsgAnswer::Cancel:
        return QMessageBox::Cancel;
    case MsgAnswer::Yes:
        return QMessageBox::Yes;
    case MsgAnswer::No:
        return QMessageBox::No;
    case MsgAnswer::Retry:
        return QMessageBox::Retry;
    case MsgAnswer::Abort:
        return QMessageBox::Abort;
    case MsgAnswer::Ignore:
        return QMessageBox::Ignore;
    }
    return QMessageBox::NoButton;
}

QList<MsgAnswer> answersOf(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
        return {MsgAnswer::Ok};
    case MsgButtons::OkCancel:
        return {MsgAnswer::Ok, MsgAnswer::Cancel};
    case MsgButtons::YesNo:
        return {MsgAnswer::Yes, MsgAnswer::No};
    case MsgButtons::YesNoCancel:
        return {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel};
    case MsgButtons::RetryCancel:
        return {MsgAnswer::Retry, MsgAnswer::Cancel};
    case MsgButtons::AbortRetryIgnore:
        return {MsgAnswer::Abort, MsgAnswer::Retry, MsgAnswer::Ignore};
    }
    return {MsgAnswer::Ok};
}

// The captions of the common buttons come from the data file (tags 10 No,
// 11 Yes, 12 Cancel, 15 OK) so that a box speaks the console's language;
// without a text there, Qt's own caption stays.
int captionTag(MsgAnswer answer)
{
    switch (answer) {
    case MsgAnswer::No:
        return 10;
    case MsgAnswer::Yes:
        return 11;
    case MsgAnswer::Cancel:
        return 12;
    case MsgAnswer::Ok:
        return 15;
    default:
        return 0;
    }
}

QWidget* ownerWidget(QObject* owner)
{
    if (auto* w = qobject_cast<QWidget*>(owner))
        return w->window();
    return QApplication::activeWindow();
}
} // namespace

QtUi::~QtUi()
{
    if (m_busy && qApp)
        QApplication::restoreOverrideCursor();
}

void QtUi::BuildMessageBox(QMessageBox& box, const MessageRequest& request)
{
    box.setWindowTitle(request.title);
    box.setTextFormat(Qt::PlainText);
    box.setText(QString(request.text)
                    .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                    .replace(QLatin1Char('\r'), QLatin1Char('\n')));
    box.setIcon(toQt(request.icon));
    const QList<MsgAnswer> answers = answersOf(request.buttons);
    QMessageBox::StandardButtons set;
    for (MsgAnswer a : answers)
        set |= toQt(a);
    box.setStandardButtons(set);
    for (MsgAnswer a : answers) {
        const int tag = captionTag(a);
        if (tag == 0)
            continue;
        const QString caption = LookupText(tag);
        if (!caption.isEmpty() && !caption.startsWith(QLatin1Char('#')))
            box.button(toQt(a))->setText(caption);
    }
    const MsgAnswer def = request.defaultButton.value_or(FirstButton(request.buttons));
    if (answers.contains(def))
        box.setDefaultButton(toQt(def));
    else
        box.setDefaultButton(toQt(answers.first()));
}

MsgAnswer QtUi::message(const MessageRequest& request)
{
    // A box must show the normal arrow even while a link operation is busy.
    const bool wasBusy = m_busy;
    if (wasBusy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox box(QApplication::activeWindow());
    BuildMessageBox(box, request);
    box.exec();
    if (wasBusy)
        QApplication::restoreOverrideCursor();

    const QList<MsgAnswer> answers = answersOf(request.buttons);
    const auto clicked = QMessageBox::StandardButton(box.standardButton(box.clickedButton()));
    for (MsgAnswer a : answers) {
        if (toQt(a) == clicked)
            return a;
    }
    // Closed without a button (Escape or the frame): the box's escape answer.
    if (answers.contains(MsgAnswer::Cancel))
        return MsgAnswer::Cancel;
    if (answers.contains(MsgAnswer::No))
        return MsgAnswer::No;
    return answers.first();
}

bool QtUi::execDialog(QObject* dialog)
{
    auto* d = qobject_cast<QDialog*>(dialog);
    if (!d)
        return false;
    return d->exec() == QDialog::Accepted;
}

QStringList QtUi::fileDialog(const FileDialogRequest& request)
{
    QPointer<QFileDialog> dialog = new QFileDialog(ownerWidget(request.owner));
    dialog->setObjectName(QStringLiteral("FileDialog"));
    if (!request.title.isEmpty())
        dialog->setWindowTitle(request.title);
    const QString filter = FilterToQt(request.filter);
    if (!filter.isEmpty())
        dialog->setNameFilter(filter);
    if (request.save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                                : QFileDialog::ExistingFile);
    }
    if (!request.initialFolder.isEmpty())
        dialog->setDirectory(request.initialFolder);
    if (!request.proposedName.isEmpty())
        dialog->selectFile(request.proposedName);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    QStringList chosen;
    if (dialog) {
        if (accepted)
            chosen = dialog->selectedFiles();
        delete dialog;
    }
    return chosen;
}

void QtUi::beep()
{
    QApplication::beep();
}

void QtUi::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
