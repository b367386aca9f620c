#include "PrinterChoice.h"

#include "PrintSettings.h"

#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

PrinterList SystemPrinters()
{
    return {QPrinterInfo::availablePrinterNames(), QPrinterInfo::defaultPrinterName()};
}

QString ChosenDestination(const QString& stored, const PrinterList& printers)
{
    if (stored == PdfDestination || printers.names.contains(stored))
        return stored;
    if (!printers.defaultName.isEmpty() && printers.names.contains(printers.defaultName))
        return printers.defaultName;
    return PdfDestination;
}

void SetUpPrinter(QPrinter& printer, const QString& destination)
{
    printer.setDocName(QStringLiteral("Orvel"));
    printer.setCreator(QStringLiteral("Orvel"));
    if (destination == PdfDestination) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(destination);
    }
}
