#pragma once

#include <QByteArray>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

// A PDF read back as a reader sees it, through poppler's pdftotext: the text
// of each page laid out as on paper, and each word with its box.
namespace PdfText {

// The pages' texts (pdftotext -layout).
QStringList Pages(const QByteArray& pdf);

struct Word
{
    int page = 0; // 1-based; 0 for no word
    QString text;
    // Millimetres from the top left corner of the page.
    double left = 0, top = 0, right = 0, bottom = 0;
    double middleY() const { return (top + bottom) / 2; }
};

struct Document
{
    QString title;
    QSizeF pageSize; // mm
    QList<Word> words;

    // The first word of that text (on that page, or any for 0).
    Word find(const QString& text, int page = 0) const;
    // The words of a page whose middle is within 0.8 mm of y, left to right.
    QList<Word> line(int page, double y) const;
};
Document Words(const QByteArray& pdf);

// Joins the words of a line whose middle lies between left and right;
// first and last receive the left edge of the first and the right edge of the last.
QString Between(const QList<Word>& line, double left, double right, double* first = nullptr,
                double* last = nullptr);

} // namespace PdfText
