#pragma once

#include "util/UiSeam.h"

#include <QString>

class QMessageBox;

// The console's UI seam: Qt message boxes under the application title, modal
// QDialogs, Qt's file dialog, the system beep and the wait cursor.
class QtUi : public UiSeam
{
public:
    QtUi() = default;
    ~QtUi() override;
    QtUi(const QtUi&) = delete;
    QtUi& operator=(const QtUi&) = delete;

    MsgAnswer message(const MessageRequest& request) override;
    bool execDialog(QObject* dialog) override;
    QStringList fileDialog(const FileDialogRequest& request) override;
    void beep() override;
    void setBusy(bool busy) override;

    bool isBusy() const { return m_busy; }

    // Fills a message box from a request (title, text, icon, buttons, default
    // button) without showing it.
    static void BuildMessageBox(QMessageBox& box, const MessageRequest& request);

private:
    bool m_busy = false;
};
