#pragma once

#include <QByteArray>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

// A PDF read back as a reader sees it, through poppler's pdftotext: the text
// of each page laid out as on paper, and each word with its box.
namespace PdfText {

// The pages' texts (pdftotext -layout), one entry per page.
QStringList Pages(const QByteArray& pdf);

struct Word
{
    int page = 0; // 1-based
    QString text;
    // Millimetres from the top left corner of the page.
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};
QList<Word> Words(const QByteArray& pdf);

// The document's title.
QString Title(const QByteArray& pdf);

// The size of the first page in millimetres.
QSizeF PageSize(const QByteArray& pdf);

// The words of a page whose middle is within 0.8 mm of middle (one line), left to right.
QList<Word> LineAt(const QList<Word>& words, int page, double middle);
// The first word of that text on a page (or on any page for 0); null page when none.
Word Find(const QList<Word>& words, const QString& text, int page = 0);
// Joins, in order, the words of a line that lie (by their middle) between left and right.
QString TextBetween(const QList<Word>& line, double left, double right, double* first = nullptr,
                    double* last = nullptr);

} // namespace PdfText
