#include "PrintFunctions.h"

#include "ConfigReport.h"
#include "PrintSettings.h"
#include "ReportCanvas.h"

#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {
// The body of a page must keep at least this width and height (mm) once the
// margins are taken off, or the report cannot be laid out.
constexpr double SmallestBody = 50;
const QString DocumentTitle = QStringLiteral("Orvel");
} // namespace

bool DoPrint(QPagedPaintDevice& device, const ConfigClass& config, const ReportOptions& options)
{
    BusyPointer busy;
    QPainter painter;
    bool completed = false;
    Trap("PrintFunctions.DoPrint", [&] {
        const PrintSettings settings = ReadPrintSettings();
        device.setPageOrientation(settings.orientation == 2 ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
        // The report keeps its margins itself, from the edge of what the
        // device can print on.
        device.setPageMargins(QMarginsF(), QPageLayout::Millimeter);
        if (auto* pdf = dynamic_cast<QPdfWriter*>(&device)) {
            pdf->setTitle(DocumentTitle);
            pdf->setCreator(DocumentTitle);
        }
        const QRectF area = device.pageLayout().paintRect(QPageLayout::Millimeter);
        if (area.width() - settings.leftMargin - settings.rightMargin < SmallestBody ||
            area.height() - settings.topMargin - settings.bottomMargin < SmallestBody)
            Raise(ErrNo::InvalidPropertyValue, QStringLiteral("margins"));
        if (!painter.begin(&device))
            Raise(ErrNo::DeviceUnavailable);
        ReportCanvas canvas(painter, device);
        ConfigReport report(canvas, config, settings, options.factory,
                            options.printedAt.isValid() ? options.printedAt
                                                        : QDateTime::currentDateTime());
        completed = report.Run();
    });
    if (painter.isActive()) {
        if (!completed && options.abort)
            options.abort();
        painter.end();
    }
    return completed;
}

std::optional<QByteArray> ReportPdf(const ConfigClass& config, const ReportOptions& options)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        if (!DoPrint(writer, config, options))
            return std::nullopt;
    }
    return buffer.data();
}
