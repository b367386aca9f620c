// The printed report, read back from its PDF: what each page says and where.
#include "PdfText.h"
#include "RecordingUi.h"

#include "config/ConfigClass.h"
#include "print/PrintFunctions.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QDateTime PrintedAt(QDate(2024, 3, 5), QTime(14, 7, 9));
// A4 as the PDF writer sets it (595 x 842 points), in millimetres.
constexpr double PageWidth = 595 * 25.4 / 72;
// One blank at 8 points: the inset of left and right aligned cells.
constexpr double Blank8 = 0.2778 * 8 * 25.4 / 72;
constexpr double Tolerance = 0.4;

const QStringList YesNo{"No", "Yes"};

// Every input and output channel with its own values.
ConfigClass Distinct(const QString& name = QStringLiteral("Hall B"))
{
    ConfigClass c;
    for (int ch = 1; ch <= 12; ++ch) {
        c.SetInSecu(ch, ch % 2);
        c.SetInTempo(ch, ch * 200 + 1); // ch s 5 ms
        c.SetInSequence(ch, (ch / 2) % 2);
        c.SetInDetect(ch, ch % 3);
        c.SetInRelance(ch, ch % 2);
        c.SetInBlocage(ch, (ch + 1) % 2);
        for (int k = 1; k <= 4; ++k)
            c.SetInRedir(ch, k, (ch + k) % 13);
        c.SetInSynth(ch, (ch / 3) % 2);
        c.SetInTypeKL(ch, ch % 5);
        c.SetInDisturb(ch, (ch / 4) % 2);
        c.SetInRepBlock(ch, (ch / 2 + 1) % 2);
        c.SetOutSecu(ch, ch % 2);
        c.SetOutMode(ch, (ch / 2) % 2);
        c.SetOutPilot(ch, ch % 6);
    }
    c.SetGenParam(24, 254);
    c.SetGenParam(21, 1);
    c.SetBrightMin(10);
    c.SetModuleName(name);
    return c;
}

QStringList ExpectedInput(int ch)
{
    static const QStringList horn{"Type 1", "Type 2", "Type 3", "Type 4", "None"};
    QStringList cells{QStringLiteral("%1").arg(ch, 2, 10, QLatin1Char('0')),
                      QStringList{"Normal", "Fail-safe"}[ch % 2],
                      QStringLiteral("00h00m%1s005ms").arg(ch, 2, 10, QLatin1Char('0')),
                      QStringList{"Alarm", "Status"}[(ch / 2) % 2],
                      QStringList{"Level", "Memorised", "First-out"}[ch % 3],
                      YesNo[ch % 2],
                      YesNo[(ch + 1) % 2]};
    for (int k = 1; k <= 4; ++k)
        cells << QString::number((ch + k) % 13);
    cells << YesNo[(ch / 3) % 2] << horn[ch % 5] << YesNo[(ch / 4) % 2] << YesNo[(ch / 2 + 1) % 2];
    return cells;
}

QStringList ExpectedOutput(int ch)
{
    static const QStringList driving{"Unacknowledged alarm", "Input state",         "Alarm", "Horn",
                                     "Pulse on new alarm",   "Alarm or disturbance"};
    return {QStringLiteral("%1").arg(ch, 2, 10, QLatin1Char('0')),
            QStringList{"Normal", "Fail-safe"}[ch % 2],
            QStringList{"Individual", "Common alarm"}[(ch / 2) % 2], driving[ch % 6]};
}

// Column edges from the left margin (20 mm) over the width between the margins.
QList<double> Edges(const QList<int>& weights)
{
    const double width = PageWidth - 40;
    double sum = 0;
    for (int w : weights)
        sum += w;
    QList<double> edges{20};
    for (int w : weights)
        edges << edges.last() + width * w / sum;
    return edges;
}

// The value printed after a label in the general or factory list, "" when
// the report has no such line.
QString ValueOf(const QStringList& pages, const QString& label)
{
    const QRegularExpression line(
        QStringLiteral("^ *%1 {2,}(\\S.*?) *$").arg(QRegularExpression::escape(label)),
        QRegularExpression::MultilineOption);
    for (const QString& page : pages) {
        const QRegularExpressionMatch m = line.match(page);
        if (m.hasMatch())
            return m.captured(1);
    }
    return {};
}

int PageOf(const QStringList& pages, const QString& text)
{
    for (int i = 0; i < pages.size(); ++i)
        if (pages[i].contains(text))
            return i + 1;
    return 0;
}
} // namespace

class TestReport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordingUi m_ui;

    static QByteArray Render(const ConfigClass& config, bool factory = false)
    {
        ReportOptions options;
        options.factory = factory;
        options.printedAt = PrintedAt;
        const std::optional<QByteArray> pdf = ReportPdf(config, options);
        return pdf.value_or(QByteArray());
    }

    // Checks the cells of a table row: each text in its column, placed as
    // its alignment says (c centred, l left, r right).
    static void CheckRow(const QList<PdfText::Word>& line, const QList<double>& edges,
                         const QStringList& expected, const QString& align)
    {
        for (int k = 0; k < expected.size(); ++k) {
            double first = 0, last = 0;
            const QString text = PdfText::TextBetween(line, edges[k], edges[k + 1], &first, &last);
            QCOMPARE(text, expected[k]);
            const QString where = QStringLiteral("column %1 \"%2\"").arg(k).arg(text);
            switch (align[k].toLatin1()) {
            case 'c':
                QVERIFY2(qAbs((first + last) / 2 - (edges[k] + edges[k + 1]) / 2) < Tolerance,
                         qPrintable(where));
                break;
            case 'l':
                QVERIFY2(qAbs(first - edges[k] - Blank8) < Tolerance, qPrintable(where));
                break;
            default:
                QVERIFY2(qAbs(last - edges[k + 1] + Blank8) < Tolerance, qPrintable(where));
            }
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")));
        SetCurrentLanguage(QStringLiteral("English"));
    }

    void init()
    {
        const QString ini = m_dir.filePath(QStringLiteral("orvel.ini"));
        QFile::remove(ini);
        SetIniFileNameOverride(ini);
        m_ui.clear();
    }

    void cleanupTestCase() { CloseDataFile(); }

    // The first page's title block, the continuation header and the footers.
    void headersAndFooters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("continuation");
        QTest::newRow("named") << "Hall B"
                               << "Orvel - Hall B";
        QTest::newRow("unnamed") << ""
                                 << "Orvel";
    }

    void headersAndFooters()
    {
        QFETCH(QString, name);
        QFETCH(QString, continuation);
        const QByteArray pdf = Render(Distinct(name));
        QCOMPARE(PdfText::Title(pdf), QStringLiteral("Orvel"));
        const QStringList pages = PdfText::Pages(pdf);
        QCOMPARE(pages.size(), 2);
        const QStringList first = pages[0].split(QLatin1Char('\n'));
        QCOMPARE(first.value(0).trimmed(), QStringLiteral("Orvel"));
        QCOMPARE(first.value(1).trimmed(), QStringLiteral("Panel configuration"));
        QCOMPARE(first.value(2).trimmed(), name);
        QVERIFY(pages[0].contains(QStringLiteral("Orvel setting console")));
        QVERIFY(
            pages[0].contains(QStringLiteral("Free software for Orvel alarm annunciator panels")));
        QVERIFY(!pages[1].contains(QStringLiteral("Panel configuration")));

        // The continuation title ends half the left margin before the page's edge.
        const QList<PdfText::Word> words = PdfText::Words(pdf);
        const PdfText::Word maker = PdfText::Find(words, QStringLiteral("Free"), 2);
        QVERIFY(maker.page == 2 && maker.top < 25);
        QList<PdfText::Word> band;
        for (const PdfText::Word& w : words)
            if (w.page == 2 && w.bottom < maker.bottom + 1)
                band << w;
        double last = 0;
        QCOMPARE(PdfText::TextBetween(band, 120, PageWidth, nullptr, &last), continuation);
        QVERIFY(qAbs(last - (PageWidth - 10)) < Tolerance);

        // Footer: the date and time at the left, "Page n" at the right.
        const QString date = QLocale::system().toString(PrintedAt, QLocale::ShortFormat);
        for (int page = 1; page <= 2; ++page) {
            const QStringList lines = pages[page - 1].trimmed().split(QLatin1Char('\n'));
            const QString footer = lines.last().simplified();
            QCOMPARE(footer, date.simplified() + QStringLiteral(" Page %1").arg(page));
            const PdfText::Word word = PdfText::Find(words, QStringLiteral("Page"), page);
            const QList<PdfText::Word> line =
                PdfText::LineAt(words, page, (word.top + word.bottom) / 2);
            QVERIFY(word.top > 290 && !line.isEmpty());
            QVERIFY(qAbs(line.first().left - 10) < Tolerance);
            QVERIFY(qAbs(line.last().right - (PageWidth - 10)) < Tolerance);
        }
    }

    // The twelve rows of the inputs and of the outputs: each value in its
    // column, aligned as the column wants, under the column headings.
    void tables()
    {
        const QByteArray pdf = Render(Distinct());
        const QList<PdfText::Word> words = PdfText::Words(pdf);
        const QList<double> in =
            Edges({500, 600, 1600, 1000, 1300, 600, 600, 345, 345, 345, 345, 600, 800, 600, 600});
        const QList<double> out = Edges({500, 1000, 1500, 2300});
        // A row: the line of its number, centred in the table's first column.
        auto rowOf = [&](const QList<double>& edges, int ch) {
            const QString number = QStringLiteral("%1").arg(ch, 2, 10, QLatin1Char('0'));
            for (const PdfText::Word& w : words)
                if (w.page == 1 && w.text == number &&
                    qAbs((w.left + w.right) / 2 - (edges[0] + edges[1]) / 2) < Tolerance)
                    return PdfText::LineAt(words, 1, (w.top + w.bottom) / 2);
            return QList<PdfText::Word>();
        };
        const PdfText::Word inHeading = PdfText::Find(words, QStringLiteral("Retrig."), 1);
        CheckRow(PdfText::LineAt(words, 1, (inHeading.top + inHeading.bottom) / 2), in,
                 {"No.", "Fail-safe", "Delay", "Sequence", "Detection", "Retrig.", "Block.", "R1",
                  "R2", "R3", "R4", "Group", "Horn", "Disturb.", "Rep. bl."},
                 QStringLiteral("ccccccccccccccc"));
        if (QTest::currentTestFailed())
            return;
        for (int ch = 1; ch <= 12; ++ch) {
            CheckRow(rowOf(in, ch), in, ExpectedInput(ch), QStringLiteral("ccrllccccccclcc"));
            if (QTest::currentTestFailed())
                return;
        }
        const PdfText::Word outHeading = PdfText::Find(words, QStringLiteral("Driving"), 1);
        CheckRow(PdfText::LineAt(words, 1, (outHeading.top + outHeading.bottom) / 2), out,
                 {"No.", "Fail-safe", "Mode", "Driving"}, QStringLiteral("cccc"));
        for (int ch = 1; ch <= 12; ++ch) {
            CheckRow(rowOf(out, ch), out, ExpectedOutput(ch), QStringLiteral("clll"));
            if (QTest::currentTestFailed())
                return;
        }
        const QStringList pages = PdfText::Pages(pdf);
        QVERIFY(pages[0].indexOf(QStringLiteral("Inputs")) <
                pages[0].indexOf(QStringLiteral("Retrig.")));
        QVERIFY(pages[0].indexOf(QStringLiteral("Outputs")) <
                pages[0].indexOf(QStringLiteral("Driving")));
    }

    // The values of the general list that follow a rule of their own, and
    // values outside their list, which print as the number.
    void generalValues_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("expected");
        QTest::newRow("speed 241") << 24 << 241 << "Baud rate"
                                   << "0";
        QTest::newRow("speed 240") << 24 << 240 << "Baud rate"
                                   << "1200";
        QTest::newRow("speed 252") << 24 << 252 << "Baud rate"
                                   << "4800";
        QTest::newRow("speed 255") << 24 << 255 << "Baud rate"
                                   << "19200";
        QTest::newRow("supply 0") << 21 << 0 << "Supply voltage"
                                  << "-";
        QTest::newRow("supply 7") << 21 << 7 << "Supply voltage"
                                  << "220Vac";
        QTest::newRow("supply 8") << 21 << 8 << "Supply voltage"
                                  << "8";
        QTest::newRow("brightness 0") << 20 << 0 << "Display brightness"
                                      << "20%";
        QTest::newRow("brightness 4") << 20 << 4 << "Display brightness"
                                      << "100%";
        QTest::newRow("brightness 5") << 20 << 5 << "Display brightness"
                                      << "5";
        QTest::newRow("priority") << 9 << 3 << "Priority of horn type 3"
                                  << "4";
        QTest::newRow("pulse 3") << 32 << 3 << "Pulse output duration"
                                 << "10s";
        QTest::newRow("pulse 4") << 32 << 4 << "Pulse output duration"
                                 << "4";
        QTest::newRow("protocol 1") << 27 << 1 << "Protocol"
                                    << "Modbus ASCII";
        QTest::newRow("protocol 2") << 27 << 2 << "Protocol"
                                    << "2";
        QTest::newRow("horn relay 2") << 0 << 2 << "Horn relay operation"
                                      << "Pulsed (T1, T2)";
        QTest::newRow("horn relay 3") << 0 << 3 << "Horn relay operation"
                                      << "3";
        QTest::newRow("yes") << 1 << 1 << "Automatic reset"
                             << "Yes";
        QTest::newRow("yes/no 2") << 1 << 2 << "Automatic reset"
                                  << "2";
        QTest::newRow("fault relay") << 6 << 1 << "Fault relay at rest"
                                     << "Energised";
        QTest::newRow("control bus") << 26 << 3 << "Control bus"
                                     << "Transmit and receive";
        QTest::newRow("language") << 28 << 2 << "Panel language"
                                  << "Español";
        QTest::newRow("stop bits") << 25 << 2 << "Stop bits"
                                   << "2";
        QTest::newRow("slave") << 23 << 64 << "Slave number"
                               << "64";
    }

    void generalValues()
    {
        QFETCH(int, index);
        QFETCH(int, value);
        QFETCH(QString, label);
        QFETCH(QString, expected);
        ConfigClass config = Distinct();
        config.SetGenParam(index, std::uint8_t(value));
        config.SetGenTempoRelance(744001); // 1 h 2 min 0.005 s
        const QStringList pages = PdfText::Pages(Render(config));
        QCOMPARE(ValueOf(pages, label), expected);
        QCOMPARE(ValueOf(pages, QStringLiteral("Re-trigger delay")), QStringLiteral("01h02m"));
        QVERIFY(m_ui.messages.isEmpty());
    }

    // The auto-stop delay has a line only when auto-stop is on; parameter 31
    // (its minutes) never has one of its own.
    void autoStopLine_data()
    {
        QTest::addColumn<int>("autoStop");
        QTest::addColumn<QString>("expected");
        QTest::newRow("off") << 0 << "";
        QTest::newRow("on") << 1 << "2h 30mn";
    }

    void autoStopLine()
    {
        QFETCH(int, autoStop);
        QFETCH(QString, expected);
        ConfigClass config = Distinct();
        config.SetGenParam(29, std::uint8_t(autoStop));
        config.SetGenParam(30, 2);
        config.SetGenParam(31, 30);
        const QStringList pages = PdfText::Pages(Render(config));
        QCOMPARE(ValueOf(pages, QStringLiteral("Horn auto-stop")), YesNo[autoStop]);
        QCOMPARE(ValueOf(pages, QStringLiteral("Horn auto-stop delay")), expected);
        QCOMPARE(PageOf(pages, QStringLiteral("(minutes)")), 0);
    }

    // The factory section only with factory access, on the same page when ten
    // more lines fit below the general list, else on the next page. With a
    // top margin of 102.5 mm the general list ends ten lines above the bottom
    // margin of its page (the second).
    void factorySection_data()
    {
        QTest::addColumn<bool>("factory");
        QTest::addColumn<QString>("topMargin");
        QTest::addColumn<int>("page");
        QTest::newRow("closed") << false << "100" << 0;
        QTest::newRow("ten lines fit") << true << "100" << 2;
        QTest::newRow("ten lines do not fit") << true << "105" << 3;
    }

    void factorySection()
    {
        QFETCH(bool, factory);
        QFETCH(QString, topMargin);
        QFETCH(int, page);
        SetIniParam("Print", "TopMargin", topMargin);
        ConfigClass config = Distinct();
        config.SetSupplyType(1);
        config.SetCommonType(1);
        config.SetBrightMin(-3);
        const QStringList pages = PdfText::Pages(Render(config, factory));
        QCOMPARE(PageOf(pages, QStringLiteral("Pulse output duration")), 2);
        QCOMPARE(PageOf(pages, QStringLiteral("Factory parameters")), page);
        if (!factory)
            return;
        QCOMPARE(ValueOf(pages, QStringLiteral("Minimum brightness")), QStringLiteral("-3"));
        QCOMPARE(ValueOf(pages, QStringLiteral("Supply type")), QStringLiteral("110 V"));
        QCOMPARE(ValueOf(pages, QStringLiteral("Common type")), QStringLiteral("Common positive"));
    }

    void factoryValuesOutsideTheirLists()
    {
        ConfigClass config = Distinct();
        config.SetSupplyType(3);
        config.SetCommonType(2);
        const QStringList pages = PdfText::Pages(Render(config, true));
        QCOMPARE(ValueOf(pages, QStringLiteral("Supply type")), QStringLiteral("3"));
        QCOMPARE(ValueOf(pages, QStringLiteral("Common type")), QStringLiteral("2"));
    }

    // A delay the time text cannot hold prints as its milliseconds.
    void delaysOutOfRange()
    {
        ConfigClass config = Distinct();
        config.SetInTempo(1, -5);
        config.SetInTempo(2, 184320000); // 256 h
        config.SetGenTempoRelance(-1);
        const QByteArray pdf = Render(config);
        const QStringList pages = PdfText::Pages(pdf);
        QVERIFY(pages[0].contains(QStringLiteral(" -25ms ")));
        QVERIFY(pages[0].contains(QStringLiteral(" 921600000ms ")));
        QCOMPARE(ValueOf(pages, QStringLiteral("Re-trigger delay")), QStringLiteral("-5ms"));
        QVERIFY(m_ui.messages.isEmpty());
    }

    // The values start at the value column, measured from the page's edge.
    void valueColumn_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<double>("x");
        QTest::newRow("default") << "" << 120.0;
        QTest::newRow("100 mm") << "100" << 100.0;
    }

    void valueColumn()
    {
        QFETCH(QString, stored);
        QFETCH(double, x);
        if (!stored.isEmpty())
            SetIniParam("Print", "ValueMargin", stored);
        const QList<PdfText::Word> words = PdfText::Words(Render(Distinct()));
        const PdfText::Word value = PdfText::Find(words, QStringLiteral("Continuous"));
        QVERIFY(qAbs(value.left - x) < Tolerance);
        const PdfText::Word label = PdfText::Find(words, QStringLiteral("Flashing"), value.page);
        QVERIFY(qAbs(label.left - 20) < Tolerance);
    }

    // A table that does not fit goes on over the page under its headings.
    void tableGoesOnUnderItsHeadings()
    {
        SetIniParam("Print", "TopMargin", "200");
        const QList<PdfText::Word> words = PdfText::Words(Render(Distinct()));
        // The input numbers, centred in the first column, page by page; the
        // headings of the table above the first number of each page.
        QList<QStringList> numbers(2);
        QList<double> firstRow(2, 1000);
        for (const PdfText::Word& w : words)
            if (w.page <= 2 && qAbs((w.left + w.right) / 2 - 24.17) < Tolerance) {
                numbers[w.page - 1] << w.text;
                firstRow[w.page - 1] = std::min(firstRow[w.page - 1], w.top);
            }
        QCOMPARE(numbers[0].first(), QStringLiteral("No."));
        QCOMPARE(numbers[1].first(), QStringLiteral("No."));
        QStringList all = numbers[0].mid(1) + numbers[1].mid(1);
        QCOMPARE(all, (QStringList{"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11",
                                   "12"}));
        QVERIFY(numbers[0].size() > 1 && numbers[1].size() > 1);
        const PdfText::Word heading = PdfText::Find(words, QStringLiteral("Retrig."), 2);
        QVERIFY(heading.page == 2 && qAbs(heading.top - firstRow[1]) < 1);
    }

    void landscape()
    {
        SetIniParam("Print", "Orientation", "2");
        const QByteArray pdf = Render(Distinct());
        QCOMPARE(PdfText::PageSize(pdf).toSize(), QSize(297, 210));
        QCOMPARE(ValueOf(PdfText::Pages(pdf), QStringLiteral("Baud rate")), QStringLiteral("9600"));
    }

    // Settings the report cannot use are reported and nothing is produced.
    void refusedSettings_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("error");
        QTest::newRow("orientation 3") << "Orientation"
                                       << "3" << 380;
        QTest::newRow("font size 0") << "FontSize"
                                     << "0" << 380;
        QTest::newRow("font size 80") << "FontSize"
                                      << "80" << 380;
        QTest::newRow("letters") << "LeftMargin"
                                 << "abc" << 13;
        QTest::newRow("negative margin") << "TopMargin"
                                         << "-5" << 380;
        QTest::newRow("no room left") << "LeftMargin"
                                      << "170" << 380;
        QTest::newRow("no room below") << "BottomMargin"
                                       << "250" << 380;
    }

    void refusedSettings()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(int, error);
        SetIniParam("Print", key, value);
        ReportOptions options;
        QVERIFY(!ReportPdf(Distinct(), options));
        QCOMPARE(m_ui.messages.size(), 1);
        QCOMPARE(m_ui.messages[0].text, ErrorReportText("PrintFunctions.DoPrint", error));
        QCOMPARE(m_ui.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(m_ui.busy, false);
    }

    // The base font size spaces the sections; the report stays readable.
    void fontSizeFromIni()
    {
        SetIniParam("Print", "FontSize", "14");
        const QStringList pages = PdfText::Pages(Render(Distinct(), true));
        QCOMPARE(ValueOf(pages, QStringLiteral("Common type")), QStringLiteral("Common negative"));
        QVERIFY(m_ui.messages.isEmpty());
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
