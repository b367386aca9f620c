#pragma once

#include "eventlog/EventDecoder.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// The event list as text: the copy to the clipboard and the three file
// formats. Every line ends with CR LF.

enum class ExportFormat
{
    Text,
    CsvFr,
    CsvEn
};

// "TEXT", "CSV_FR", "CSV_EN": the keys of the save menu.
std::optional<ExportFormat> ExportFormatFromKey(const QString& key);
// "txt" or "csv".
QString ExportExtension(ExportFormat format);

// The headings of the six columns in column order (texts 102115, 102110 to 102114).
QStringList BufferHeadings();
// When the buffer was read: text 102009, the date (short format), text 102010
// and the time (long format), each followed by a blank.
QString BufferStatusLine(const QDateTime& when, const QLocale& locale = QLocale::system());
// The two lines before the table: the panel-number label, a blank and the
// panel number; the status line.
QString BufferPreamble(const QString& panelLabel, const QString& panelNumber,
                       const QString& statusLine);

// Headings and cells separated by TAB.
QString TabbedValues(const QStringList& headings, const QList<EventRow>& rows);
// The rows alone in the same form (a copy of the rows selected in the list).
QString TabbedRows(const QList<EventRow>& rows);
// Headings and cells between double quotes (a double quote inside doubled),
// except the row number; separated by separator.
QString CsvValues(const QStringList& headings, const QList<EventRow>& rows,
                  const QString& separator);
// One quoted CSV cell.
QString CsvQuoted(const QString& text);

// The table in a format: TabbedValues, CsvValues(";") or CsvValues(",").
QString ExportTable(ExportFormat format, const QStringList& headings, const QList<EventRow>& rows);
// What a save writes, and in the Text format what a copy puts on the
// clipboard: the preamble, then the table.
QString BufferExport(ExportFormat format, const QString& preamble, const QStringList& headings,
                     const QList<EventRow>& rows);

// The save dialog's filter from its text (description and pattern on two
// lines, "#" where the extension goes): the line ends become "|" and every
// "#" the format's extension. "Files (*.#)" CR LF "*.#" gives, for Text,
// "Files (*.txt)|*.txt".
QString BufferFileFilter(const QString& filterText, ExportFormat format);
