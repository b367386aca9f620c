#include "ReportLogo.h"

#include <QLinearGradient>
#include <QPainter>

namespace {
// The drawing in its own units: a bezel 172 x 148 with twelve windows
// 44 x 26, three columns and four rows.
constexpr double Width = 172;
constexpr double Height = 148;
constexpr double WindowWidth = 44;
constexpr double WindowHeight = 26;
constexpr double Inset = 14;
constexpr double ColumnStep = (Width - 2 * Inset - 3 * WindowWidth) / 2 + WindowWidth;
constexpr double RowStep = (Height - 2 * Inset - 4 * WindowHeight) / 3 + WindowHeight;

struct LitWindow
{
    int column;
    int row;
    QColor colour;
};
} // namespace

void ReportLogo::Draw(QPainter& painter, const QRectF& rect)
{
    painter.save();
    painter.translate(rect.topLeft());
    painter.scale(rect.width() / Width, rect.height() / Height);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient bezel(0, 0, 0, Height);
    bezel.setColorAt(0, QColor(0x3a, 0x46, 0x56));
    bezel.setColorAt(1, QColor(0x22, 0x2a, 0x35));
    painter.setPen(QPen(QColor(0x56, 0x65, 0x7a), 1.5));
    painter.setBrush(bezel);
    painter.drawRoundedRect(QRectF(0, 0, Width, Height), 10, 10);

    const LitWindow lit[3] = {{1, 0, QColor(0xe5, 0x39, 0x35)},
                              {0, 2, QColor(0xf9, 0xa8, 0x25)},
                              {2, 3, QColor(0x43, 0xa0, 0x47)}};
    painter.setPen(QPen(QColor(0x4a, 0x58, 0x6b), 1));
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column) {
            QColor fill(0x2c, 0x36, 0x44);
            for (const LitWindow& w : lit)
                if (w.column == column && w.row == row)
                    fill = w.colour;
            painter.setBrush(fill);
            const QRectF window(Inset + column * ColumnStep, Inset + row * RowStep, WindowWidth,
                                WindowHeight);
            painter.drawRoundedRect(window, 4, 4);
        }
    }
    painter.restore();
}
