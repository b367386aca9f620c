#pragma once

#include "print/wPrintConfig.h"

#include <QGroupBox>
#include <QListWidget>

// A RecordingUi dialog script for the printer-only print settings dialog (the
// print commands show it with the margins hidden): chooses the PDF file, the
// last entry of the list, and confirms. Any other dialog is cancelled.
inline bool ChoosePdfFile(QObject* object)
{
    auto* dialog = qobject_cast<wPrintConfig*>(object);
    if (!dialog || !dialog->findChild<QGroupBox*>(QStringLiteral("frmMargins"))->isHidden())
        return false;
    auto* list = dialog->findChild<QListWidget*>(QStringLiteral("lstPrinters"));
    list->setCurrentRow(list->count() - 1);
    dialog->Bouton_Click(1);
    return true;
}
