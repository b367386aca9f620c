#include "eventlog/EventExport.h"

#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QChar Tab = QLatin1Char('\t');

// Heading tags in column order.
constexpr int HeadingTags[EventColumns] = {102115, 102110, 102111, 102112, 102113, 102114};

} // namespace

std::optional<ExportFormat> ExportFormatFromKey(const QString& key)
{
    if (key == QLatin1String("TEXT"))
        return ExportFormat::Text;
    if (key == QLatin1String("CSV_FR"))
        return ExportFormat::CsvFr;
    if (key == QLatin1String("CSV_EN"))
        return ExportFormat::CsvEn;
    return std::nullopt;
}

QString ExportExtension(ExportFormat format)
{
    return format == ExportFormat::Text ? QStringLiteral("txt") : QStringLiteral("csv");
}

QStringList BufferHeadings()
{
    QStringList headings;
    for (int tag : HeadingTags)
        headings.append(GetText(tag));
    return headings;
}

QString BufferStatusLine(const QDateTime& when, const QLocale& locale)
{
    const QChar blank = QLatin1Char(' ');
    return GetText(102009) + blank + locale.toString(when.date(), QLocale::ShortFormat) + blank +
           GetText(102010) + blank + locale.toString(when.time(), QLocale::LongFormat) + blank;
}

QString BufferPreamble(const QString& panelLabel, const QString& panelNumber,
                       const QString& statusLine)
{
    return panelLabel + QLatin1Char(' ') + panelNumber + CrLf + statusLine + CrLf;
}

QString TabbedRows(const QList<EventRow>& rows)
{
    QString text;
    for (const EventRow& row : rows) {
        text += row[0];
        for (int k = 1; k < EventColumns; ++k)
            text += Tab + row[k];
        text += CrLf;
    }
    return text;
}

QString TabbedValues(const QStringList& headings, const QList<EventRow>& rows)
{
    return Trap("wBuffer.TabbedValues",
                [&] { return headings.join(Tab) + CrLf + TabbedRows(rows); });
}

QString CsvQuoted(const QString& text)
{
    QString cell = text;
    cell.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + cell + QLatin1Char('"');
}

QString CsvValues(const QStringList& headings, const QList<EventRow>& rows,
                  const QString& separator)
{
    return Trap("wBuffer.CsvValues", [&] {
        QStringList quoted;
        for (const QString& heading : headings)
            quoted.append(CsvQuoted(heading));
        QString text = quoted.join(separator) + CrLf;
        for (const EventRow& row : rows) {
            text += row[0];
            for (int k = 1; k < EventColumns; ++k)
                text += separator + CsvQuoted(row[k]);
            text += CrLf;
        }
        return text;
    });
}

QString ExportTable(ExportFormat format, const QStringList& headings, const QList<EventRow>& rows)
{
    switch (format) {
    case ExportFormat::Text:
        return TabbedValues(headings, rows);
    case ExportFormat::CsvFr:
        return CsvValues(headings, rows, QStringLiteral(";"));
    case ExportFormat::CsvEn:
        return CsvValues(headings, rows, QStringLiteral(","));
    }
    return {};
}

QString BufferExport(ExportFormat format, const QString& preamble, const QStringList& headings,
                     const QList<EventRow>& rows)
{
    return preamble + ExportTable(format, headings, rows);
}

QString BufferFileFilter(const QString& filterText, ExportFormat format)
{
    QString filter = filterText;
    filter.replace(CrLf, QStringLiteral("|"));
    filter.replace(QLatin1Char('#'), ExportExtension(format));
    return filter;
}
