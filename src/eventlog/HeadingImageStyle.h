#pragma once

#include <QProxyStyle>

// The list headings' style: a heading's image (the sort order) is drawn just
// before its text, wherever the text is aligned, so that the image of a
// right-aligned or centred heading is not taken for the one of the column on
// its left.
class HeadingImageStyle : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
