#include "DataFileFixture.h"
#include "eventlog/EventExport.h"
#include "RecordingUi.h"

#include <QTest>

namespace {

const QStringList Headings{"No.", "Count", "Time", "Channel", "Event", "Display"};

EventRow row(const QStringList& cells)
{
    EventRow r;
    for (int k = 0; k < EventColumns; ++k)
        r[k] = cells.value(k);
    return r;
}

// A plain RFC 4180 reader: the fields of one line (without its CR LF).
QStringList parseCsvLine(const QString& line, QChar separator, bool* ok)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    *ok = true;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            if (!field.isEmpty() || wasQuoted)
                *ok = false; // a quote inside an unquoted field, or after a closing quote
            quoted = true;
            wasQuoted = true;
        } else if (c == separator) {
            fields.append(field);
            field.clear();
            wasQuoted = false;
        } else {
            if (wasQuoted)
                *ok = false; // text after the closing quote
            field += c;
        }
    }
    if (quoted)
        *ok = false;
    fields.append(field);
    return fields;
}

} // namespace

class TestEventExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void tabbedValues();
    void tabbedValuesWithoutRows();
    void csvValues_data();
    void csvValues();
    void csvDoublesEveryQuote();
    void csvOfUnknownCodesParses_data();
    void csvOfUnknownCodesParses();
    void csvKeepsSeparatorsInsideCells();
    void preamble();
    void statusLine();
    void headingsInColumnOrder();
    void workedExampleFile();
    void formats_data();
    void formats();

private:
    RecordingUi m_ui;
};

void TestEventExport::initTestCase()
{
    QVERIFY(OpenBuiltDataFile());
}

void TestEventExport::tabbedValues()
{
    const QList<EventRow> rows{
        row({"01", "0197842", "0:16:29.210", "V01", "Alarm cleared", "Off"}),
        row({"02", "0000000", "0:00:00.000", "ACK", "Acknowledgment", "Front"})};
    QCOMPARE(TabbedValues(Headings, rows),
             QStringLiteral("No.\tCount\tTime\tChannel\tEvent\tDisplay\r\n"
                            "01\t0197842\t0:16:29.210\tV01\tAlarm cleared\tOff\r\n"
                            "02\t0000000\t0:00:00.000\tACK\tAcknowledgment\tFront\r\n"));
}

void TestEventExport::tabbedValuesWithoutRows()
{
    QCOMPARE(TabbedValues(Headings, {}),
             QStringLiteral("No.\tCount\tTime\tChannel\tEvent\tDisplay\r\n"));
    QCOMPARE(CsvValues(Headings, {}, QStringLiteral(";")),
             QStringLiteral("\"No.\";\"Count\";\"Time\";\"Channel\";\"Event\";\"Display\"\r\n"));
}

void TestEventExport::csvValues_data()
{
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");
    QTest::newRow(";") << ";"
                       << "\"No.\";\"Count\";\"Time\";\"Channel\";\"Event\";\"Display\"\r\n"
                          "01;\"0197842\";\"0:16:29.210\";\"V01\";\"Alarm cleared\";\"Off\"\r\n";
    QTest::newRow(",") << ","
                       << "\"No.\",\"Count\",\"Time\",\"Channel\",\"Event\",\"Display\"\r\n"
                          "01,\"0197842\",\"0:16:29.210\",\"V01\",\"Alarm cleared\",\"Off\"\r\n";
}

void TestEventExport::csvValues()
{
    QFETCH(QString, separator);
    QFETCH(QString, expected);
    const QList<EventRow> rows{
        row({"01", "0197842", "0:16:29.210", "V01", "Alarm cleared", "Off"})};
    QCOMPARE(CsvValues(Headings, rows, separator), expected);
}

void TestEventExport::csvDoublesEveryQuote()
{
    QCOMPARE(CsvQuoted(QStringLiteral("??? 5 ???\"")), QStringLiteral("\"??? 5 ???\"\"\""));
    QCOMPARE(CsvQuoted(QStringLiteral("\"\"")), QStringLiteral("\"\"\"\"\"\""));
    QCOMPARE(CsvQuoted(QString()), QStringLiteral("\"\""));
    const QStringList headings{"No.", "CSV \"x\"", "b", "c", "d", "e"};
    QCOMPARE(CsvValues(headings, {}, QStringLiteral(",")),
             QStringLiteral("\"No.\",\"CSV \"\"x\"\"\",\"b\",\"c\",\"d\",\"e\"\r\n"));
}

void TestEventExport::csvOfUnknownCodesParses_data()
{
    QTest::addColumn<QString>("separator");
    QTest::newRow("CSV_FR") << ";";
    QTest::newRow("CSV_EN") << ",";
}

// The parameter text of an unknown code ends with a double quote: every line
// must still read back as six fields holding exactly the texts of the row.
void TestEventExport::csvOfUnknownCodesParses()
{
    QFETCH(QString, separator);
    const QList<EventRow> rows{DecodeEvent(1, std::int16_t(0xD5A0), 0),
                               DecodeEvent(2, std::int16_t(0x1203), 0x04D2)};
    const QStringList headings{"No.", "Say \"hi\"", "a;b", "c,d", "e", "f"};
    const QString csv = CsvValues(headings, rows, separator);
    QVERIFY(csv.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = csv.left(csv.size() - 2).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 3);

    bool ok = false;
    QCOMPARE(parseCsvLine(lines[0], separator[0], &ok), headings);
    QVERIFY(ok);
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList fields = parseCsvLine(lines[i + 1], separator[0], &ok);
        QVERIFY2(ok, qPrintable(lines[i + 1]));
        QCOMPARE(fields, QStringList(rows[i].begin(), rows[i].end()));
    }
    QCOMPARE(parseCsvLine(lines[1], separator[0], &ok)[4], QStringLiteral("??? 5 ???\""));
}

void TestEventExport::csvKeepsSeparatorsInsideCells()
{
    const QList<EventRow> rows{row({"01", "a,b", "c;d", "tab\there", "e", "f"})};
    QCOMPARE(CsvValues(Headings, rows, QStringLiteral(",")).section(QStringLiteral("\r\n"), 1, 1),
             QStringLiteral("01,\"a,b\",\"c;d\",\"tab\there\",\"e\",\"f\""));
}

void TestEventExport::preamble()
{
    QCOMPARE(BufferPreamble(QStringLiteral("Panel no.:"), QStringLiteral("3"),
                            QStringLiteral("Buffer read on 06/12/2026 at 10:15:30 ")),
             QStringLiteral("Panel no.: 3\r\nBuffer read on 06/12/2026 at 10:15:30 \r\n"));
}

void TestEventExport::statusLine()
{
    const QDateTime when(QDate(2026, 12, 6), QTime(9, 5, 7));
    const QLocale french(QLocale::French, QLocale::France);
    const QString line = BufferStatusLine(when, french);
    QCOMPARE(line, GetText(102009) + QStringLiteral(" 06/12/2026 ") + GetText(102010) +
                       QLatin1Char(' ') + french.toString(when.time(), QLocale::LongFormat) +
                       QLatin1Char(' '));
    QVERIFY(line.contains(QStringLiteral("09:05:07")));
    QVERIFY(line.endsWith(QLatin1Char(' ')));
}

void TestEventExport::headingsInColumnOrder()
{
    QCOMPARE(BufferHeadings(), (QStringList{GetText(102115), GetText(102110), GetText(102111),
                                            GetText(102112), GetText(102113), GetText(102114)}));
}

// The file of the worked example: panel 3, one row, CSV with ";".
void TestEventExport::workedExampleFile()
{
    const QString status = QStringLiteral("Read at noon ");
    const QList<EventRow> rows{DecodeEvent(1, 0x1203, 0x04D2)};
    const QString content = BufferPreamble(GetText(102102), QStringLiteral("3"), status) +
                            ExportTable(ExportFormat::CsvFr, BufferHeadings(), rows);
    QStringList quotedHeadings;
    for (int tag : {102115, 102110, 102111, 102112, 102113, 102114})
        quotedHeadings.append(QLatin1Char('"') + GetText(tag) + QLatin1Char('"'));
    const QString expected =
        GetText(102102) + QStringLiteral(" 3\r\n") + status + QStringLiteral("\r\n") +
        quotedHeadings.join(QLatin1Char(';')) + QStringLiteral("\r\n") +
        QStringLiteral("01;\"0197842\";\"0:16:29.210\";\"V01\";\"") + GetText(102217) +
        QStringLiteral("\";\"") + GetText(102201) + QStringLiteral("\"\r\n");
    QCOMPARE(content, expected);
}

void TestEventExport::formats_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("separatorAfterRowNumber");
    QTest::newRow("TEXT") << "TEXT"
                          << "txt"
                          << "\t";
    QTest::newRow("CSV_FR") << "CSV_FR"
                            << "csv"
                            << ";";
    QTest::newRow("CSV_EN") << "CSV_EN"
                            << "csv"
                            << ",";
}

void TestEventExport::formats()
{
    QFETCH(QString, key);
    QFETCH(QString, extension);
    QFETCH(QString, separatorAfterRowNumber);
    const auto format = ExportFormatFromKey(key);
    QVERIFY(format.has_value());
    QCOMPARE(ExportExtension(*format), extension);
    const QString table = ExportTable(*format, Headings, {row({"01", "x", "y", "z", "u", "v"})});
    QVERIFY2(table.contains(QStringLiteral("\r\n01") + separatorAfterRowNumber), qPrintable(table));
    QVERIFY(!ExportFormatFromKey(key.toLower()).has_value());
}

QTEST_GUILESS_MAIN(TestEventExport)
#include "tst_eventexport.moc"
