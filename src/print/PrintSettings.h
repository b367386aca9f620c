#pragma once

#include <QString>

// The settings of the printed report, section "Print" of the INI file. They
// are read anew for every document, so a change in the print settings dialog
// applies to the next one. Lengths are millimetres.
struct PrintSettings
{
    // Device name of the printer, or PdfDestination; "" when none is stored.
    QString printerName;
    // 1 portrait, 2 landscape.
    int orientation = 1;
    // Base font size in points (the spacing between the sections).
    double fontSize = 10;
    double leftMargin = 20;
    double rightMargin = 20;
    double topMargin = 15;
    double bottomMargin = 10;
    // x of the values of the general and factory lists, from the left edge of
    // the printable area.
    double valueMargin = 120;
};

namespace PrintKeys {
extern const QString Section;
extern const QString PrinterName;
extern const QString Orientation;
extern const QString FontSize;
extern const QString LeftMargin;
extern const QString RightMargin;
extern const QString TopMargin;
extern const QString BottomMargin;
extern const QString ValueMargin;
} // namespace PrintKeys

// The name stored for the "PDF file" destination. It is no printer's name:
// print queues cannot hold "<" or ">".
extern const QString PdfDestination;

// Reads the settings with their defaults. A value that does not convert
// raises the conversion error; a value the report cannot use (a negative
// margin, a font size outside 4..72 points, an orientation other than 1 or 2)
// raises "invalid property value".
PrintSettings ReadPrintSettings();
