#include "eventlog/HeadingImageStyle.h"

#include <QPainter>
#include <QStyleOptionHeader>

void HeadingImageStyle::drawControl(ControlElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const
{
    const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
    if (element != CE_HeaderLabel || !header || header->icon.isNull() ||
        (header->textAlignment & Qt::AlignLeft)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    QStyleOptionHeader label = *header;
    label.icon = QIcon();
    QProxyStyle::drawControl(element, &label, painter, widget);

    const int extent = pixelMetric(PM_SmallIconSize, header, widget);
    const QSize textSize(header->fontMetrics.horizontalAdvance(header->text),
                         header->fontMetrics.height());
    const QRect text =
        alignedRect(header->direction, header->textAlignment, textSize, header->rect);
    const QRect image(text.left() - extent - 2, header->rect.center().y() - extent / 2 + 1, extent,
                      extent);
    header->icon.paint(painter, image.intersected(header->rect));
}
