#pragma once

#include <QHeaderView>

class EditGrid;

// The heading rows of an EditGrid above its columns: as many rows as the grid
// has fixed rows, the first one merging equal neighbouring texts when the
// grid asks for it, with the grid's column separators drawn through them. It
// also paints the headings of the fixed first column in the grid's corner.
class GridHeader : public QHeaderView
{
    Q_OBJECT

public:
    explicit GridHeader(EditGrid* grid);

    QSize sizeHint() const override;
    // Paints the fixed column's headings on the corner widget.
    void PaintCorner(QWidget* corner) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintCell(QPainter& painter, QWidget* on, const QRect& rect, const QString& text) const;

    EditGrid* m_grid;
};
