#include "PageSketch.h"

#include <QPainter>

#include <algorithm>

namespace {
// An A4 sheet, portrait.
constexpr double SheetWidth = 210;
constexpr double SheetHeight = 297;
} // namespace

PageSketch::PageSketch(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picPage"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PageSketch::SetLengths(double left, double right, double top, double bottom, double value)
{
    const double lengths[5] = {left, right, top, bottom, value};
    std::copy(std::begin(lengths), std::end(lengths), std::begin(m_lengths));
    update();
}

QSize PageSketch::sizeHint() const
{
    return {96, 132};
}

void PageSketch::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double scale = std::min((width() - 6) / SheetWidth, (height() - 6) / SheetHeight);
    const QRectF sheet((width() - SheetWidth * scale) / 2, (height() - SheetHeight * scale) / 2,
                       SheetWidth * scale, SheetHeight * scale);
    p.setPen(QPen(palette().color(QPalette::Shadow), 1));
    p.setBrush(palette().color(QPalette::Base));
    p.drawRect(sheet.translated(2, 2));
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    p.drawRect(sheet);

    auto x = [&](double mm) { return sheet.left() + std::clamp(mm, 0.0, SheetWidth) * scale; };
    auto y = [&](double mm) { return sheet.top() + std::clamp(mm, 0.0, SheetHeight) * scale; };
    const auto [left, right, top, bottom, value] = m_lengths;
    QPen dashed(palette().color(QPalette::Highlight), 1, Qt::DashLine);
    p.setPen(dashed);
    if (left >= 0)
        p.drawLine(QPointF(x(left), sheet.top()), QPointF(x(left), sheet.bottom()));
    if (right >= 0)
        p.drawLine(QPointF(x(SheetWidth - right), sheet.top()),
                   QPointF(x(SheetWidth - right), sheet.bottom()));
    if (top >= 0)
        p.drawLine(QPointF(sheet.left(), y(top)), QPointF(sheet.right(), y(top)));
    if (bottom >= 0)
        p.drawLine(QPointF(sheet.left(), y(SheetHeight - bottom)),
                   QPointF(sheet.right(), y(SheetHeight - bottom)));
    if (value >= 0) {
        p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        p.drawLine(QPointF(x(value), y(std::max(top, 0.0))),
                   QPointF(x(value), y(SheetHeight - std::max(bottom, 0.0))));
    }
}
