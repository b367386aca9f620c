#pragma once

#include <QByteArray>
#include <QDateTime>

#include <functional>
#include <optional>

class ConfigClass;
class QPagedPaintDevice;

// The printed configuration report: one piece of code draws it on a PDF
// writer, a printer or a print preview.
struct ReportOptions
{
    // Factory access is open: the factory section is printed.
    bool factory = false;
    // The date and time in the footer; invalid: now.
    QDateTime printedAt;
    // Called when the document is cancelled while the device is still open,
    // so that a printer drops the pages already sent.
    std::function<void()> abort;
};

// Builds the whole document on device with the INI file's "Print" settings
// (orientation, font size, margins, value column) and the texts of the current
// language: the inputs, the outputs, the general parameters and, with factory
// access, the factory parameters, each page with its header and footer. A
// fault is reported under PrintFunctions.<procedure> and cancels the
// document; returns true when the document was completed.
bool DoPrint(QPagedPaintDevice& device, const ConfigClass& config, const ReportOptions& options);

// The report as the bytes of a PDF file (A4); nothing when it was cancelled.
std::optional<QByteArray> ReportPdf(const ConfigClass& config, const ReportOptions& options);
