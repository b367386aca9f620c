#pragma once

#include <QString>
#include <QStringList>

class QPrinter;

// The printers the system knows (on Linux the print system's queues) and its
// default one.
struct PrinterList
{
    QStringList names;
    QString defaultName;
};

PrinterList SystemPrinters();

// Where the report goes for a stored destination: the stored printer while it
// is installed, else the system's default printer, else the PDF file.
QString ChosenDestination(const QString& stored, const PrinterList& printers);

// Points a printer at a destination: the printer of that name, or a PDF
// document on A4 for the PDF destination (the preview lays out its pages so).
void SetUpPrinter(QPrinter& printer, const QString& destination);
