#pragma once

#include "CellAlign.h"

#include <QFont>
#include <QString>

class QPagedPaintDevice;
class QPainter;

// A page-layout surface in millimetres over a painter on a paged device (a
// PDF writer, a printer or a preview): the report places its texts, boxes and
// rules with it. The origin is the top left corner of the device's printable
// area; the current position is where the next text goes (the top of its
// line). Fonts are "Arial" or, where the system lacks it, the face its font
// matching gives for it (a metric-compatible one on most systems).
class ReportCanvas
{
public:
    ReportCanvas(QPainter& painter, QPagedPaintDevice& device);

    double PageWidth() const { return m_pageWidth; }
    double PageHeight() const { return m_pageHeight; }

    double FontSize() const { return m_font.pointSizeF(); }
    void SetFontSize(double points);
    void SetBold(bool on);
    void SetUnderline(bool on);

    double TextWidth(const QString& text) const;
    // The height of one line of the current font.
    double LineHeight() const;

    double currentX = 0;
    double currentY = 0;

    // Draws text at the current position and moves the current x past it.
    void Print(const QString& text);
    // The same at x.
    void PrintAt(const QString& text, double x);
    // Draws text on the current line so that it ends at right.
    void PrintEndingAt(const QString& text, double right);
    // Draws text on the current line centred between left and right.
    void PrintCentred(const QString& text, double left, double right);
    // Next line: the current y moves down one line, the current x goes back to left.
    void EndLine(double left);
    // Draws text inside a cell that starts at left and is width wide: left
    // aligned one blank in, right aligned ending one blank before the right
    // edge, or centred. A text wider than the cell gets a smaller font.
    void PrintInCell(const QString& text, double left, double width, CellAlign align);
    // Draws text on the current line between left and right: starting at
    // left, ending at right or centred. A text wider than that gets a smaller
    // font.
    void PrintFitted(const QString& text, double left, double right, CellAlign align);

    // The whole font (size, weight, underline), to put back after a change.
    QFont Font() const { return m_font; }
    void SetFont(const QFont& font);

    void Box(double x, double y, double width, double height);
    void Line(double x1, double y1, double x2, double y2);
    QPainter& Painter() { return m_painter; }
    // Device pixels of a length, for drawings (the logo).
    double PixelsX(double mm) const { return mm * m_pxPerMmX; }
    double PixelsY(double mm) const { return mm * m_pxPerMmY; }

    // Starts the next page; false when the device could not.
    bool NewPage();

private:
    void apply();
    void drawText(const QString& text, double x);

    QPainter& m_painter;
    QPagedPaintDevice& m_device;
    QFont m_font;
    double m_pxPerMmX = 1;
    double m_pxPerMmY = 1;
    double m_pageWidth = 0;
    double m_pageHeight = 0;
};
