#include "ReportPrinting.h"

#include "PrinterChoice.h"
#include "PrintSettings.h"
#include "wPrintConfig.h"

#include "config/ConfigClass.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"
#include "util/FileDialog.h"
#include "util/PathFunctions.h"
#include "util/RuntimeError.h"
#include "util/SafeFile.h"
#include "util/UiSeam.h"

#include <QFileInfo>
#include <QPrinter>
#include <QRegularExpression>

namespace {
const QString General = QStringLiteral("General");
const QString PdfFolderKey = QStringLiteral("PdfFiles");
constexpr int kPdfFilterTag = 40040;

// The name proposed for the PDF file: the panel's name, or "Orvel", without
// the characters a file name cannot hold.
QString ProposedName(const ConfigClass& config)
{
    QString name = config.ModuleName().trimmed();
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]")),
                 QStringLiteral("_"));
    return (name.isEmpty() ? QStringLiteral("Orvel") : name) + QStringLiteral(".pdf");
}

bool SaveReportPdf(const ConfigClass& config, const ReportOptions& options, QWidget* owner)
{
    FileDialogRequest request;
    request.owner = owner;
    // The filter's "|" separators, which the text lookup turns into line ends.
    request.filter = GetText(kPdfFilterTag).replace(QStringLiteral("\r\n"), QStringLiteral("|"));
    request.save = true;
    request.proposedName = ProposedName(config);
    request.initialFolder = GetIniParam(General, PdfFolderKey);
    QString path = ShowFileDialog(request);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    SetIniParam(General, PdfFolderKey, FolderOf(path));
    const std::optional<QByteArray> pdf = ReportPdf(config, options);
    if (!pdf)
        return false;
    // The file is replaced only once the whole document is on disk.
    SafeWriteFileOrRaise(path, *pdf);
    return true;
}
} // namespace

bool AskPrinter(QWidget* owner)
{
    wPrintConfig dialog(SystemPrinters(), owner);
    dialog.MaskMargins();
    const bool accepted = Ui().execDialog(&dialog);
    return accepted && dialog.Ok();
}

bool PrintConfigReport(const ConfigClass& config, const ReportOptions& options, QWidget* owner)
{
    const QString destination = ChosenDestination(
        GetIniParam(PrintKeys::Section, PrintKeys::PrinterName).trimmed(), SystemPrinters());
    if (destination == PdfDestination)
        return SaveReportPdf(config, options, owner);
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, destination);
    if (!printer.isValid())
        Raise(ErrNo::DeviceUnavailable, destination);
    ReportOptions onPrinter = options;
    onPrinter.abort = [&printer] { printer.abort(); };
    return DoPrint(printer, config, onPrinter);
}
