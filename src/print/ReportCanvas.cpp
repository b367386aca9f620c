#include "ReportCanvas.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {
constexpr double MmPerInch = 25.4;
// Rules and cell frames.
constexpr double PenWidthMm = 0.2;
// The smallest size a text is reduced to so that it fits its cell.
constexpr double SmallestFitPoints = 4.0;
} // namespace

ReportCanvas::ReportCanvas(QPainter& painter, QPagedPaintDevice& device)
    : m_painter(painter), m_device(device), m_font(QStringLiteral("Arial"))
{
    m_pxPerMmX = device.logicalDpiX() / MmPerInch;
    m_pxPerMmY = device.logicalDpiY() / MmPerInch;
    const QRectF area = device.pageLayout().paintRect(QPageLayout::Millimeter);
    m_pageWidth = area.width();
    m_pageHeight = area.height();
    // Arial where the system has it, else the face font matching gives for it.
    m_font.setStyleHint(QFont::SansSerif);
    m_font.setPointSizeF(10);
    apply();
}

void ReportCanvas::apply()
{
    m_painter.setFont(m_font);
    QPen pen(Qt::black);
    pen.setWidthF(PixelsX(PenWidthMm));
    m_painter.setPen(pen);
}

void ReportCanvas::SetFontSize(double points)
{
    m_font.setPointSizeF(points);
    apply();
}

void ReportCanvas::SetBold(bool on)
{
    m_font.setBold(on);
    apply();
}

void ReportCanvas::SetUnderline(bool on)
{
    m_font.setUnderline(on);
    apply();
}

double ReportCanvas::TextWidth(const QString& text) const
{
    return QFontMetricsF(m_font, &m_device).horizontalAdvance(text) / m_pxPerMmX;
}

double ReportCanvas::LineHeight() const
{
    return QFontMetricsF(m_font, &m_device).lineSpacing() / m_pxPerMmY;
}

void ReportCanvas::drawText(const QString& text, double x)
{
    const double ascent = QFontMetricsF(m_font, &m_device).ascent();
    m_painter.drawText(QPointF(PixelsX(x), PixelsY(currentY) + ascent), text);
}

void ReportCanvas::Print(const QString& text)
{
    drawText(text, currentX);
    currentX += TextWidth(text);
}

void ReportCanvas::PrintAt(const QString& text, double x)
{
    currentX = x;
    Print(text);
}

void ReportCanvas::PrintEndingAt(const QString& text, double right)
{
    PrintAt(text, right - TextWidth(text));
}

void ReportCanvas::PrintCentred(const QString& text, double left, double right)
{
    PrintAt(text, (left + right - TextWidth(text)) / 2);
}

void ReportCanvas::EndLine(double left)
{
    currentY += LineHeight();
    currentX = left;
}

void ReportCanvas::SetFont(const QFont& font)
{
    m_font = font;
    apply();
}

void ReportCanvas::PrintFitted(const QString& text, double left, double right, CellAlign align)
{
    const QFont kept = m_font;
    const double lineTop = currentY;
    const double room = right - left;
    const double wide = TextWidth(text);
    if (wide > room && room > 0) {
        // Smaller, and centred on the line it stands on.
        const double lineHeight = LineHeight();
        m_font.setPointSizeF(std::max(SmallestFitPoints, m_font.pointSizeF() * room / wide));
        apply();
        currentY += (lineHeight - LineHeight()) / 2;
    }
    switch (align) {
    case CellAlign::Left:
        PrintAt(text, left);
        break;
    case CellAlign::Right:
        PrintEndingAt(text, right);
        break;
    case CellAlign::Centre:
        PrintCentred(text, left, right);
        break;
    }
    currentY = lineTop;
    if (m_font != kept)
        SetFont(kept);
}

void ReportCanvas::PrintInCell(const QString& text, double left, double width, CellAlign align)
{
    const double blank = TextWidth(QStringLiteral(" "));
    if (align == CellAlign::Centre)
        PrintFitted(text, left + blank / 2, left + width - blank / 2, align);
    else
        PrintFitted(text, left + blank, left + width - blank, align);
}

void ReportCanvas::Box(double x, double y, double width, double height)
{
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(QRectF(PixelsX(x), PixelsY(y), PixelsX(width), PixelsY(height)));
}

void ReportCanvas::Line(double x1, double y1, double x2, double y2)
{
    m_painter.drawLine(QPointF(PixelsX(x1), PixelsY(y1)), QPointF(PixelsX(x2), PixelsY(y2)));
}

bool ReportCanvas::NewPage()
{
    return m_device.newPage();
}
