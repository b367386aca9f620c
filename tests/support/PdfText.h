#pragma once

#include <QByteArray>
#include <QStringList>

// A PDF read back as a reader sees it, through poppler's pdftotext.
namespace PdfText {

// The text of each page laid out as on paper (pdftotext -layout).
QStringList Pages(const QByteArray& pdf);

} // namespace PdfText
