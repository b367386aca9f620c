#include "ConfigReport.h"

#include "ReportLogo.h"
#include "ReportValues.h"

#include "config/ConfigClass.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <numeric>

namespace {
const QString Title = QStringLiteral("Orvel");

// A table row is this many lines of its font high, its text centred in it.
constexpr double RowLines = 1.3;
constexpr double LogoHeight = 15;
// Space between the logo and the texts around it.
constexpr double LogoGap = 3;
// Space between the header and the body.
constexpr double HeaderGap = 4;

constexpr double TitlePoints = 12;
constexpr double HeadingPoints = 7;
constexpr double CellPoints = 8;
constexpr double ListPoints = 10;
constexpr double HeaderLinePoints = 8;
constexpr double FooterPoints = 8;

const QList<int> InputWeights{500, 600, 1600, 1000, 1300, 600, 600, 345,
                              345, 345, 345,  600,  800,  600, 600};
const QList<int> OutputWeights{500, 1000, 1500, 2300};
} // namespace

ConfigReport::ConfigReport(ReportCanvas& canvas, const ConfigClass& config,
                           const PrintSettings& settings, bool factory, const QDateTime& printedAt)
    : m_canvas(canvas), m_config(config), m_settings(settings), m_factory(factory),
      m_printedAt(printedAt)
{
}

bool ConfigReport::Run()
{
    m_canvas.SetFontSize(m_settings.fontSize);
    header();
    if (m_cancel)
        return false;
    m_canvas.currentX = m_settings.leftMargin;
    m_canvas.currentY = m_pageTop;
    if (!PrintInputs() || m_cancel)
        return false;
    emptyLines(2);
    if (!PrintOutputs() || m_cancel)
        return false;
    emptyLines(2);
    if (!PrintGeneral() || m_cancel)
        return false;
    if (m_factory) {
        // The factory section follows on the same page when ten more lines
        // fit below the general list, else on a new page.
        if (m_canvas.currentY <= bottomLimit() - 10 * m_canvas.LineHeight())
            emptyLines(2);
        else
            newPage();
        if (!PrintFactory() || m_cancel)
            return false;
    }
    footer();
    return !m_cancel;
}

// The section titles.
// tags: 41010, 42010, 43010, 44010
bool ConfigReport::PrintInputs()
{
    return Trap("PrintFunctions.PrintInputs", [&] {
        QList<QStringList> rows;
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch)
            rows << InputCells(m_config, ch);
        // tags: 41100-41114
        printTable(41010, table(InputWeights, 41100, InputAlign), rows);
        return true;
    });
}

bool ConfigReport::PrintOutputs()
{
    return Trap("PrintFunctions.PrintOutputs", [&] {
        QList<QStringList> rows;
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch)
            rows << OutputCells(m_config, ch);
        // tags: 42100-42103
        printTable(42010, table(OutputWeights, 42100, OutputAlign), rows);
        return true;
    });
}

bool ConfigReport::PrintGeneral()
{
    return Trap("PrintFunctions.PrintGeneral", [&] {
        printList(43010, GeneralLines(m_config));
        return true;
    });
}

bool ConfigReport::PrintFactory()
{
    return Trap("PrintFunctions.PrintFactory", [&] {
        printList(44010, FactoryLines(m_config));
        return true;
    });
}

ConfigReport::Table ConfigReport::table(const QList<int>& weights, int firstHeadingTag,
                                        const CellAlign* align) const
{
    const double sum = std::accumulate(weights.begin(), weights.end(), 0.0);
    const double width = m_canvas.PageWidth() - m_settings.leftMargin - m_settings.rightMargin;
    Table t;
    t.align = align;
    for (qsizetype k = 0; k < weights.size(); ++k) {
        t.widths << width * weights[k] / sum;
        t.headingTags << firstHeadingTag + int(k);
    }
    return t;
}

void ConfigReport::printTable(int titleTag, const Table& table, const QList<QStringList>& rows)
{
    const double kept = m_canvas.FontSize();
    m_canvas.SetFontSize(CellPoints);
    const double firstRows = 2 * rowHeight();
    sectionTitle(titleTag, firstRows);
    printHeadingRow(table);
    for (const QStringList& cells : rows) {
        // A table that does not fit goes on over the page, under its headings.
        if (ensureRoom(rowHeight()))
            printHeadingRow(table);
        printRow(table, cells);
    }
    m_canvas.SetFontSize(kept);
}

void ConfigReport::printHeadingRow(const Table& table)
{
    m_canvas.SetFontSize(HeadingPoints);
    m_canvas.SetBold(true);
    QStringList headings;
    for (int tag : table.headingTags)
        headings << GetText(tag);
    QList<CellAlign> centred(headings.size(), CellAlign::Centre);
    Table centredTable = table;
    centredTable.align = centred.constData();
    printRow(centredTable, headings);
    m_canvas.SetBold(false);
    m_canvas.SetFontSize(CellPoints);
}

void ConfigReport::printRow(const Table& table, const QStringList& cells)
{
    const double top = m_canvas.currentY;
    const double height = rowHeight();
    double x = m_settings.leftMargin;
    for (qsizetype k = 0; k < table.widths.size(); ++k) {
        const double width = table.widths[k];
        m_canvas.currentY = top + (height - m_canvas.LineHeight()) / 2;
        m_canvas.PrintInCell(cells.value(k), x, width, table.align[k]);
        m_canvas.Box(x, top, width, height);
        x += width;
    }
    m_canvas.currentY = top + height;
    m_canvas.currentX = m_settings.leftMargin;
}

void ConfigReport::printList(int titleTag, const QList<ReportLine>& lines)
{
    const double kept = m_canvas.FontSize();
    m_canvas.SetFontSize(ListPoints);
    sectionTitle(titleTag, m_canvas.LineHeight());
    m_canvas.SetFontSize(ListPoints);
    m_canvas.SetBold(false);
    const double left = m_settings.leftMargin;
    const double right = m_canvas.PageWidth() - m_settings.rightMargin;
    const double valueX = m_settings.valueMargin;
    const double blank = m_canvas.TextWidth(QStringLiteral(" "));
    for (const ReportLine& line : lines) {
        ensureRoom(m_canvas.LineHeight());
        m_canvas.PrintFitted(line.label, left, valueX - blank, CellAlign::Left);
        m_canvas.PrintFitted(line.value, valueX, right, CellAlign::Left);
        m_canvas.EndLine(left);
    }
    m_canvas.SetFontSize(kept);
}

void ConfigReport::sectionTitle(int tag, double roomAfter)
{
    const double left = m_settings.leftMargin;
    m_canvas.SetFontSize(TitlePoints);
    m_canvas.SetBold(true);
    // The title stays with the first lines of its section.
    ensureRoom(2 * m_canvas.LineHeight() + roomAfter);
    m_canvas.SetUnderline(true);
    m_canvas.PrintFitted(GetText(tag), left, m_canvas.PageWidth() - m_settings.rightMargin,
                         CellAlign::Left);
    m_canvas.EndLine(left);
    m_canvas.SetUnderline(false);
    m_canvas.EndLine(left);
    m_canvas.SetBold(false);
}

double ConfigReport::bottomLimit() const
{
    return m_canvas.PageHeight() - m_settings.bottomMargin;
}

double ConfigReport::rowHeight() const
{
    return RowLines * m_canvas.LineHeight();
}

bool ConfigReport::ensureRoom(double height)
{
    constexpr double Tolerance = 0.01;
    if (m_canvas.currentY + height <= bottomLimit() + Tolerance ||
        m_canvas.currentY <= m_pageTop + Tolerance)
        return false;
    newPage();
    return true;
}

void ConfigReport::newPage()
{
    footer();
    if (!m_canvas.NewPage())
        Raise(ErrNo::DeviceIO, QStringLiteral("new page"));
    ++m_page;
    header();
    m_canvas.currentX = m_settings.leftMargin;
    m_canvas.currentY = m_pageTop;
}

void ConfigReport::emptyLines(int count)
{
    for (int i = 0; i < count; ++i)
        m_canvas.EndLine(m_settings.leftMargin);
}

void ConfigReport::header()
{
    const bool drawn = Trap("PrintFunctions.Prv_AfterNewPage", [&] {
        const QFont kept = m_canvas.Font();
        const double left = m_settings.leftMargin;
        const double top = m_settings.topMargin;
        const double pageWidth = m_canvas.PageWidth();
        const QString name = m_config.ModuleName().trimmed();
        m_canvas.SetUnderline(false);
        if (m_page == 1) {
            // The logo at the top left, the maker's two lines under it, the
            // title block centred between the logo and its mirror image.
            const double logoWidth = LogoHeight * ReportLogo::Aspect;
            ReportLogo::Draw(m_canvas.Painter(),
                             QRectF(m_canvas.PixelsX(left), m_canvas.PixelsY(top),
                                    m_canvas.PixelsX(logoWidth), m_canvas.PixelsY(LogoHeight)));
            m_canvas.SetBold(false);
            m_canvas.SetFontSize(HeaderLinePoints);
            m_canvas.currentY = top + LogoHeight + LogoGap / 2;
            // tags: 40101-40102
            for (int tag : {40101, 40102}) {
                m_canvas.PrintAt(GetText(tag), left);
                m_canvas.EndLine(left);
            }
            const double makerEnd = m_canvas.currentY;

            const double blockLeft = left + logoWidth + LogoGap;
            const double blockRight = pageWidth - m_settings.rightMargin - logoWidth - LogoGap;
            m_canvas.currentY = top;
            m_canvas.SetFontSize(14);
            m_canvas.SetBold(true);
            m_canvas.PrintFitted(Title, blockLeft, blockRight, CellAlign::Centre);
            m_canvas.EndLine(left);
            m_canvas.SetFontSize(12);
            m_canvas.SetBold(false);
            m_canvas.PrintFitted(GetText(40100), blockLeft, blockRight, CellAlign::Centre);
            m_canvas.EndLine(left);
            if (!name.isEmpty()) {
                m_canvas.PrintFitted(name, blockLeft, blockRight, CellAlign::Centre);
                m_canvas.EndLine(left);
            }
            m_pageTop = std::max(m_canvas.currentY, makerEnd) + HeaderGap;
        } else {
            // The title at the right, the maker's lines at the left, a rule.
            const double titleRight = pageWidth - left / 2;
            m_canvas.SetBold(false);
            m_canvas.SetFontSize(HeaderLinePoints);
            const double makerWidth =
                std::max(m_canvas.TextWidth(GetText(40101)), m_canvas.TextWidth(GetText(40102)));
            const double makerHeight = 2 * m_canvas.LineHeight();
            // The title stands on the same base as the second maker line.
            m_canvas.SetFontSize(12);
            const double titleEnd = top + std::max(makerHeight, m_canvas.LineHeight());
            m_canvas.currentY = titleEnd - m_canvas.LineHeight();
            const QString title = name.isEmpty() ? Title : Title + QStringLiteral(" - ") + name;
            m_canvas.PrintFitted(title, left + makerWidth + LogoGap, titleRight, CellAlign::Right);
            m_canvas.SetFontSize(HeaderLinePoints);
            m_canvas.currentY = top;
            for (int tag : {40101, 40102}) {
                m_canvas.PrintAt(GetText(tag), left);
                m_canvas.EndLine(left);
            }
            const double rule = std::max(m_canvas.currentY, titleEnd) + 1;
            m_canvas.Line(left / 2, rule, pageWidth - m_settings.rightMargin / 2, rule);
            m_pageTop = rule + HeaderGap;
        }
        m_canvas.SetFont(kept);
        return true;
    });
    if (!drawn) {
        m_cancel = true;
        m_pageTop = m_settings.topMargin;
    }
}

void ConfigReport::footer()
{
    const bool drawn = Trap("PrintFunctions.Prv_BeforeNewPage", [&] {
        const QFont kept = m_canvas.Font();
        m_canvas.SetFontSize(FooterPoints);
        m_canvas.SetBold(false);
        m_canvas.SetUnderline(false);
        const double line = m_canvas.LineHeight();
        const double left = m_settings.leftMargin / 2;
        const double right = m_canvas.PageWidth() - m_settings.rightMargin / 2;
        const double rule = m_canvas.PageHeight() - m_settings.bottomMargin + line;
        m_canvas.Line(left, rule, right, rule);
        const double keptY = m_canvas.currentY;
        m_canvas.currentY = m_canvas.PageHeight() - 1.2 * line;
        m_canvas.PrintAt(QLocale::system().toString(m_printedAt, QLocale::ShortFormat), left);
        m_canvas.PrintEndingAt(GetText(40110) + QLatin1Char(' ') + QString::number(m_page), right);
        m_canvas.currentY = keptY;
        m_canvas.SetFont(kept);
        return true;
    });
    if (!drawn)
        m_cancel = true;
}
