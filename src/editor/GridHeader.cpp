#include "GridHeader.h"

#include "EditGrid.h"

#include <QPainter>
#include <QStyleOptionHeader>

GridHeader::GridHeader(EditGrid* grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

QSize GridHeader::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    size.setHeight(m_grid->FixedRows() * m_grid->RowHeight());
    return size;
}

void GridHeader::paintCell(QPainter& painter, QWidget* on, const QRect& rect,
                           const QString& text) const
{
    QStyleOptionHeader option;
    option.initFrom(on);
    option.state |= QStyle::State_Raised;
    option.rect = rect;
    option.text = text;
    option.textAlignment = Qt::AlignCenter;
    option.position = QStyleOptionHeader::Middle;
    option.orientation = Qt::Horizontal;
    style()->drawControl(QStyle::CE_Header, &option, &painter, on);
}

void GridHeader::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(viewport());
    const int height = m_grid->RowHeight();
    const int sections = count();
    for (int row = 0; row < m_grid->FixedRows(); ++row) {
        const QRect rowRect(0, row * height, viewport()->width(), height);
        int visual = 0;
        while (visual < sections) {
            const int first = logicalIndex(visual);
            const QString text = m_grid->TextMatrix(row, first + 1);
            int last = visual;
            // Equal neighbours of a merged row form one heading; empty cells never merge.
            if (m_grid->MergeRow(row) && !text.isEmpty()) {
                while (last + 1 < sections &&
                       m_grid->TextMatrix(row, logicalIndex(last + 1) + 1) == text)
                    ++last;
            }
            int left = sectionViewportPosition(first);
            int width = 0;
            for (int v = visual; v <= last; ++v)
                width += sectionSize(logicalIndex(v));
            const QRect cell(left, rowRect.top(), width, height);
            if (cell.right() >= 0 && cell.left() < viewport()->width())
                paintCell(painter, viewport(), cell, text);
            visual = last + 1;
        }
    }
    // The column separators, through the heading rows.
    const int bottom = m_grid->FixedRows() * height;
    for (int col : m_grid->Separators()) {
        if (col < 1 || col >= m_grid->Cols())
            continue;
        const int x = sectionViewportPosition(col - 1);
        painter.setPen(palette().color(QPalette::Shadow));
        painter.drawLine(x - 1, 0, x - 1, bottom);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(x, 0, x, bottom);
    }
}

void GridHeader::PaintCorner(QWidget* corner) const
{
    QPainter painter(corner);
    const int height = m_grid->RowHeight();
    for (int row = 0; row < m_grid->FixedRows(); ++row)
        paintCell(painter, corner, QRect(0, row * height, corner->width(), height),
                  m_grid->TextMatrix(row, 0));
}
