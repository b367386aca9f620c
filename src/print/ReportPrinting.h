#pragma once

#include "PrintFunctions.h"

class ConfigClass;
class QWidget;

// Printing the report from the console's windows.

// The print settings dialog with its margins hidden, so that the user only
// confirms the printer; true when confirmed (the printer is then stored).
bool AskPrinter(QWidget* owner);

// Prints the report on the destination of the print settings: the printer,
// or, for the PDF file destination, a file the user names in the save dialog
// (its folder is remembered). True when the document went out; false when the
// user cancelled the file name or a fault stopped it (reported).
bool PrintConfigReport(const ConfigClass& config, const ReportOptions& options, QWidget* owner);
