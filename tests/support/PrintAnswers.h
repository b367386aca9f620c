#pragma once

#include "print/wPrintConfig.h"

#include <QGroupBox>
#include <QListWidget>

// A dialog script: in the printer-only print settings dialog, chooses the PDF file
// (the last entry) and confirms; any other dialog is cancelled.
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
