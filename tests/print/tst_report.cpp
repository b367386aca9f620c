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
constexpr double PageWidth = 595 * 25.4 / 72;     // A4 as the PDF writer sets it, in mm
constexpr double Blank8 = 0.2778 * 8 * 25.4 / 72; // the inset of left and right aligned cells
constexpr double Tolerance = 0.4;
const QStringList YesNo{"No", "Yes"};

QString Two(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// Every input and output channel with values of its own, and the expected
// cells of its row with their alignment (c centred, l left, r right).
ConfigClass Distinct(const QString& name = QStringLiteral("Hall B"))
{
    ConfigClass c;
    for (int ch = 1; ch <= 12; ++ch) {
        c.SetInSecu(ch, ch % 2);
        c.SetInTempo(ch, ch * 200 + 1); // ch seconds and 5 ms
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
    c.SetGenParam(30, 2);
    c.SetGenParam(31, 30);
    c.SetModuleName(name);
    return c;
}

QStringList ExpectedInput(int ch)
{
    QStringList cells{Two(ch),
                      QStringList{"Normal", "Fail-safe"}[ch % 2],
                      QStringLiteral("00h00m%1s005ms").arg(Two(ch)),
                      QStringList{"Alarm", "Status"}[(ch / 2) % 2],
                      QStringList{"Level", "Memorised", "First-out"}[ch % 3],
                      YesNo[ch % 2],
                      YesNo[(ch + 1) % 2]};
    for (int k = 1; k <= 4; ++k)
        cells << QString::number((ch + k) % 13);
    return cells << YesNo[(ch / 3) % 2]
                 << QStringList{"Type 1", "Type 2", "Type 3", "Type 4", "None"}[ch % 5]
                 << YesNo[(ch / 4) % 2] << YesNo[(ch / 2 + 1) % 2];
}

QStringList ExpectedOutput(int ch)
{
    return {Two(ch), QStringList{"Normal", "Fail-safe"}[ch % 2],
            QStringList{"Individual", "Common alarm"}[(ch / 2) % 2],
            QStringList{"Unacknowledged alarm", "Input state", "Alarm", "Horn",
                        "Pulse on new alarm", "Alarm or disturbance"}[ch % 6]};
}

// Column edges from the left margin (20 mm) over the width between the margins.
QList<double> Edges(const QList<int>& weights)
{
    double sum = 0;
    for (int w : weights)
        sum += w;
    QList<double> edges{20};
    for (int w : weights)
        edges << edges.last() + (PageWidth - 40) * w / sum;
    return edges;
}

// Each text of a row in its column, placed as its alignment says.
void CheckRow(const QList<PdfText::Word>& line, const QList<double>& edges,
              const QStringList& expected, const QString& align)
{
    for (int k = 0; k < expected.size(); ++k) {
        double first = 0, last = 0;
        QCOMPARE(PdfText::Between(line, edges[k], edges[k + 1], &first, &last), expected[k]);
        const double offset = align[k] == QLatin1Char('c')
                                  ? (first + last - edges[k] - edges[k + 1]) / 2
                              : align[k] == QLatin1Char('l') ? first - edges[k] - Blank8
                                                             : last - edges[k + 1] + Blank8;
        QVERIFY2(qAbs(offset) < Tolerance, qPrintable(expected[k]));
    }
}

// The value after a label in the general or factory list; "" without such a line.
QString ValueOf(const QStringList& pages, const QString& label)
{
    const QRegularExpression line(
        QStringLiteral("^ *%1 {2,}(\\S.*?) *$").arg(QRegularExpression::escape(label)),
        QRegularExpression::MultilineOption);
    for (const QString& page : pages)
        if (const QRegularExpressionMatch m = line.match(page); m.hasMatch())
            return m.captured(1);
    return {};
}

int PageOf(const QStringList& pages, const QString& text)
{
    for (int i = 0; i < pages.size(); ++i)
        if (pages[i].contains(text))
            return i + 1;
    return 0;
}

QByteArray Render(const ConfigClass& config, bool factory = false)
{
    ReportOptions options;
    options.factory = factory;
    options.printedAt = PrintedAt;
    return ReportPdf(config, options).value_or(QByteArray());
}
} // namespace

class TestReport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordingUi m_ui;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")));
        SetCurrentLanguage(QStringLiteral("English"));
        SetIniFileNameOverride(m_dir.filePath(QStringLiteral("orvel.ini")));
    }

    void init()
    {
        QFile::remove(m_dir.filePath(QStringLiteral("orvel.ini")));
        m_ui.clear();
    }

    // The first page's title block, the continuation header without the
    // title block, ending half the left margin before the page's edge, and
    // the footers: the date at the left, "Page n" at the right.
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
        const PdfText::Document doc = PdfText::Words(pdf);
        const QStringList pages = PdfText::Pages(pdf);
        QCOMPARE(doc.title, QStringLiteral("Orvel"));
        QCOMPARE(pages.size(), 2);
        const QStringList first = pages[0].split(QLatin1Char('\n'));
        QCOMPARE(first.mid(0, 3).replaceInStrings(QRegularExpression("^ +"), ""),
                 (QStringList{"Orvel", "Panel configuration", name}));
        QVERIFY(pages[0].contains("Orvel setting console"));
        QVERIFY(pages[0].contains("Free software for Orvel alarm annunciator panels"));
        QVERIFY(!pages[1].contains("Panel configuration"));

        const PdfText::Word maker = doc.find(QStringLiteral("Free"), 2);
        QList<PdfText::Word> band;
        for (const PdfText::Word& w : doc.words)
            if (w.page == 2 && w.bottom < maker.bottom + 1)
                band << w;
        double last = 0;
        QCOMPARE(PdfText::Between(band, 120, PageWidth, nullptr, &last), continuation);
        QVERIFY(qAbs(last - (PageWidth - 10)) < Tolerance);

        const QString date = QLocale::system().toString(PrintedAt, QLocale::ShortFormat);
        for (int page = 1; page <= 2; ++page) {
            QCOMPARE(pages[page - 1].trimmed().split('\n').last().simplified(),
                     date.simplified() + QStringLiteral(" Page %1").arg(page));
            const QList<PdfText::Word> footer =
                doc.line(page, doc.find(QStringLiteral("Page"), page).middleY());
            QVERIFY(!footer.isEmpty() && footer[0].top > 290);
            QVERIFY(qAbs(footer.first().left - 10) < Tolerance);
            QVERIFY(qAbs(footer.last().right - (PageWidth - 10)) < Tolerance);
        }
    }

    // The twelve rows of the inputs and of the outputs under their headings.
    void tables()
    {
        const PdfText::Document doc = PdfText::Words(Render(Distinct()));
        const QList<double> in =
            Edges({500, 600, 1600, 1000, 1300, 600, 600, 345, 345, 345, 345, 600, 800, 600, 600});
        const QList<double> out = Edges({500, 1000, 1500, 2300});
        // A row is the line of its number centred in the table's first column.
        auto row = [&](const QList<double>& edges, const QString& first) {
            for (const PdfText::Word& w : doc.words)
                if (w.page == 1 && w.text == first &&
                    qAbs((w.left + w.right - edges[0] - edges[1]) / 2) < Tolerance)
                    return doc.line(1, w.middleY());
            return QList<PdfText::Word>();
        };
        CheckRow(row(in, "No."), in,
                 {"No.", "Fail-safe", "Delay", "Sequence", "Detection", "Retrig.", "Block.", "R1",
                  "R2", "R3", "R4", "Group", "Horn", "Disturb.", "Rep. bl."},
                 QString(15, QLatin1Char('c')));
        CheckRow(row(out, "No."), out, {"No.", "Fail-safe", "Mode", "Driving"}, "cccc");
        for (int ch = 1; ch <= 12 && !QTest::currentTestFailed(); ++ch) {
            CheckRow(row(in, Two(ch)), in, ExpectedInput(ch), QStringLiteral("ccrllccccccclcc"));
            CheckRow(row(out, Two(ch)), out, ExpectedOutput(ch), QStringLiteral("clll"));
        }
    }

    // Values with rules of their own, values outside their list (printed as
    // the number), and the auto-stop delay, printed only while auto-stop is on
    // (parameter 31, its minutes, never has a line of its own).
    void generalValues_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("expected");
        QTest::newRow("speed 241") << 24 << 241 << "Baud rate"
                                   << "0";
        QTest::newRow("speed 255") << 24 << 255 << "Baud rate"
                                   << "19200";
        QTest::newRow("supply 0") << 21 << 0 << "Supply voltage"
                                  << "-";
        QTest::newRow("supply 7") << 21 << 7 << "Supply voltage"
                                  << "220Vac";
        QTest::newRow("supply 8") << 21 << 8 << "Supply voltage"
                                  << "8";
        QTest::newRow("brightness 4") << 20 << 4 << "Display brightness"
                                      << "100%";
        QTest::newRow("priority") << 9 << 3 << "Priority of horn type 3"
                                  << "4";
        QTest::newRow("pulse 3") << 32 << 3 << "Pulse output duration"
                                 << "10s";
        QTest::newRow("protocol 2") << 27 << 2 << "Protocol"
                                    << "2";
        QTest::newRow("yes/no 2") << 1 << 2 << "Automatic reset"
                                  << "2";
        QTest::newRow("language") << 28 << 2 << "Panel language"
                                  << "Español";
        QTest::newRow("auto-stop off") << 29 << 0 << "Horn auto-stop delay"
                                       << "";
        QTest::newRow("auto-stop on") << 29 << 1 << "Horn auto-stop delay"
                                      << "2h 30mn";
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
        QCOMPARE(ValueOf(pages, "Re-trigger delay"), QStringLiteral("01h02m"));
        QCOMPARE(PageOf(pages, "(minutes)"), 0);
        QVERIFY(m_ui.messages.isEmpty());
    }

    // A delay the time text cannot hold prints as its milliseconds.
    void delaysOutOfRange()
    {
        ConfigClass config = Distinct();
        config.SetInTempo(1, -5);
        config.SetInTempo(2, 184320000); // 256 h
        config.SetGenTempoRelance(-1);
        const QStringList pages = PdfText::Pages(Render(config));
        QVERIFY(pages[0].contains(" -25ms ") && pages[0].contains(" 921600000ms "));
        QCOMPARE(ValueOf(pages, "Re-trigger delay"), QStringLiteral("-5ms"));
        QVERIFY(m_ui.messages.isEmpty());
    }

    // The factory section only with factory access, on the page of the
    // general list when ten more lines fit below it, else on the next: with a
    // top margin of 102.5 mm the list ends ten lines above the bottom margin
    // of its page, the second.
    void factorySection_data()
    {
        QTest::addColumn<bool>("factory");
        QTest::addColumn<QString>("topMargin");
        QTest::addColumn<int>("supply");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("supplyText");
        QTest::newRow("closed") << false << "100" << 1 << 0 << "";
        QTest::newRow("ten lines fit") << true << "100" << 1 << 2 << "110 V";
        QTest::newRow("they do not") << true << "105" << 3 << 3 << "3";
    }

    void factorySection()
    {
        QFETCH(bool, factory);
        QFETCH(QString, topMargin);
        QFETCH(int, supply);
        QFETCH(int, page);
        QFETCH(QString, supplyText);
        SetIniParam("Print", "TopMargin", topMargin);
        ConfigClass config = Distinct();
        config.SetSupplyType(std::uint8_t(supply));
        config.SetCommonType(1);
        config.SetBrightMin(-3);
        const QStringList pages = PdfText::Pages(Render(config, factory));
        QCOMPARE(PageOf(pages, "Pulse output duration"), 2);
        QCOMPARE(PageOf(pages, "Factory parameters"), page);
        QCOMPARE(ValueOf(pages, "Supply type"), supplyText);
        QCOMPARE(ValueOf(pages, "Minimum brightness"), factory ? "-3" : "");
        QCOMPARE(ValueOf(pages, "Common type"), factory ? "Common positive" : "");
    }

    // The values start at the value column, measured from the page's edge;
    // the page turns with the orientation.
    void valueColumnAndOrientation_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<double>("x");
        QTest::addColumn<QSize>("page");
        QTest::newRow("defaults") << QByteArray() << 120.0 << QSize(210, 297);
        QTest::newRow("set") << QByteArray("[Print]\nValueMargin=100\nOrientation=2\n") << 100.0
                             << QSize(297, 210);
    }

    void valueColumnAndOrientation()
    {
        QFETCH(QByteArray, ini);
        QFETCH(double, x);
        QFETCH(QSize, page);
        QFile file(m_dir.filePath(QStringLiteral("orvel.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size());
        file.close();
        const PdfText::Document doc = PdfText::Words(Render(Distinct()));
        QCOMPARE(doc.pageSize.toSize(), page);
        QVERIFY(qAbs(doc.find(QStringLiteral("Continuous")).left - x) < Tolerance);
        QVERIFY(qAbs(doc.find(QStringLiteral("Flashing")).left - 20) < Tolerance);
    }

    // A table that does not fit goes on over the page under its headings.
    void tableGoesOnUnderItsHeadings()
    {
        SetIniParam("Print", "TopMargin", "200");
        const PdfText::Document doc = PdfText::Words(Render(Distinct()));
        // The first column of the inputs, page by page.
        QStringList column[2];
        for (const PdfText::Word& w : doc.words)
            if (w.page <= 2 && qAbs((w.left + w.right) / 2 - 24.17) < Tolerance)
                column[w.page - 1] << w.text;
        QVERIFY(column[0].size() > 1 && column[1].size() > 1);
        QCOMPARE(column[0].first(), QStringLiteral("No."));
        QCOMPARE(column[1].first(), QStringLiteral("No."));
        QCOMPARE(
            column[0].mid(1) + column[1].mid(1),
            (QStringList{"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12"}));
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
        QTest::newRow("letters") << "LeftMargin"
                                 << "abc" << 13;
        QTest::newRow("negative margin") << "TopMargin"
                                         << "-5" << 380;
        QTest::newRow("no room left") << "BottomMargin"
                                      << "250" << 380;
    }

    void refusedSettings()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(int, error);
        SetIniParam("Print", key, value);
        QVERIFY(!ReportPdf(Distinct(), ReportOptions()));
        QCOMPARE(m_ui.messages.size(), 1);
        QCOMPARE(m_ui.messages[0].text, ErrorReportText("PrintFunctions.DoPrint", error));
        QCOMPARE(m_ui.messages[0].icon, MsgIcon::Critical);
        QVERIFY(!m_ui.busy);
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
