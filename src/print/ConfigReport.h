#pragma once

#include "PrintSettings.h"
#include "ReportCanvas.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

class ConfigClass;
struct ReportLine;

// One run of the report on an open painter: the sections in their order,
// the page headers and footers, the page breaks. Used by DoPrint.
class ConfigReport
{
public:
    ConfigReport(ReportCanvas& canvas, const ConfigClass& config, const PrintSettings& settings,
                 bool factory, const QDateTime& printedAt);

    // Draws the document; false when a section or a header or footer failed
    // (reported) and the document must be cancelled.
    bool Run();

    bool PrintInputs();
    bool PrintOutputs();
    bool PrintGeneral();
    bool PrintFactory();

private:
    // A table: column widths from weights, headings, rows of cells.
    struct Table
    {
        QList<double> widths;
        QList<int> headingTags;
        const CellAlign* align = nullptr;
    };
    Table table(const QList<int>& weights, int firstHeadingTag, const CellAlign* align) const;
    void printTable(int titleTag, const Table& table, const QList<QStringList>& rows);
    void printHeadingRow(const Table& table);
    void printRow(const Table& table, const QStringList& cells);
    void printList(int titleTag, const QList<ReportLine>& lines);
    void sectionTitle(int tag, double roomAfter);

    double bottomLimit() const;
    double rowHeight() const;
    // Starts a new page when height does not fit below the current position
    // (never on a page that holds nothing yet); true when it did.
    bool ensureRoom(double height);
    void newPage();
    void emptyLines(int count);
    void header();
    void footer();

    ReportCanvas& m_canvas;
    const ConfigClass& m_config;
    const PrintSettings& m_settings;
    bool m_factory;
    QDateTime m_printedAt;
    int m_page = 1;
    // Where the body of the current page starts (the first page: the body start).
    double m_pageTop = 0;
    bool m_cancel = false;
};
