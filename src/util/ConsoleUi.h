#pragma once

#include "UiSeam.h"

// The seam for programs without windows: messages go to standard error with
// their icon as a prefix, every question takes its default answer, dialogs are
// not accepted and file dialogs are cancelled.
class ConsoleUi : public UiSeam
{
public:
    MsgAnswer message(const MessageRequest& request) override;
    bool execDialog(QObject* dialog) override;
    QStringList fileDialog(const FileDialogRequest& request) override;
    void beep() override;
    void setBusy(bool busy) override;
};
