#pragma once

#include <QWidget>

// The small drawing of a page in the print settings dialog: the sheet, its
// margins as dashed lines and the value column as a dotted one, drawn to
// scale from the millimetres given.
class PageSketch : public QWidget
{
    Q_OBJECT

public:
    explicit PageSketch(QWidget* parent = nullptr);

    // left, right, top, bottom, value column; a negative length is not drawn.
    void SetLengths(double left, double right, double top, double bottom, double value);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_lengths[5] = {20, 20, 15, 10, 120};
};
