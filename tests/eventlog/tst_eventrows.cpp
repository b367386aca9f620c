// Event rows: a record decoded into its six cells, with the built data
// file's texts, and rows written out as the copy and the three file formats.
#include "DataFileFixture.h"
#include "eventlog/EventExport.h"
#include "RecordingUi.h"

#include <QSet>
#include <QTest>

// A record's place in the list, its two words and its cells.
using Record = std::tuple<int, int, int, QStringList>;

class TestEventRows : public QObject
{
    Q_OBJECT

    RecordingUi m_ui;

private Q_SLOTS:
    // The rows below compare with texts by tag: they can tell a tag from its
    // neighbour only while every text of the lists differs.
    void initTestCase()
    {
        QVERIFY(OpenBuiltDataFile());
        QSet<QString> displays, params;
        for (int tag = 102201; tag <= 102230; ++tag)
            (tag < 102215 ? displays : params).insert(GetText(tag));
        QCOMPARE(displays.size() + params.size(), 30);
    }
    void cleanup() { QVERIFY(m_ui.messages.isEmpty()); }

    // W0: channel, parameter, display codes and ticks 19..16; W1: ticks 15..0,
    // unsigned. The time: hours without leading zeros, cut, never rounded.
    void decodeEvent_data()
    {
        QTest::addColumn<Record>("c");
        const auto row = [](const char* name, int position, int w0, int w1,
                            const QStringList& cells) {
            QTest::newRow(name) << Record{position, w0, w1, cells};
        };
        row("worked example", 1, 0x1203, 0x04D2,
            {"01", "0197842", "0:16:29.210", "V01", GetText(102217), GetText(102201)});
        row("acknowledgment, 59.995 s", 2, 0xF000, 11999,
            {"02", "0011999", "0:00:59.995", "ACK", GetText(102215), GetText(102207)});
        row("ack, last codes", 3, 0xF970, 0xFFFF,
            {"03", "0065535", "0:05:27.675", "ACK", GetText(102224), GetText(102214)});
        row("largest time, codes kept out", 9, 0xC34F, 0xFFFF,
            {"09", "1048575", "1:27:22.875", "V12", GetText(102218), GetText(102205)});
        row("V10", 10, 0xAF50, 1,
            {"10", "0000001", "0:00:00.005", "V10", GetText(102230), GetText(102206)});
        row("channel 0", 11, 0x0A50, 0,
            {"11", "0000000", "0:00:00.000", "??? 0 ???", "??? 10 ???\"", "??? 5 ???"});
        row("channel 14, row 100", 100, 0xE000, 0,
            {"100", "0000000", "0:00:00.000", "??? 14 ???", "??? 0 ???\"", "??? 0 ???"});
    }
    void decodeEvent()
    {
        QFETCH(Record, c);
        const auto& [position, w0, w1, cells] = c;
        const EventRow row = DecodeEvent(position, std::int16_t(w0), std::int16_t(w1));
        QCOMPARE(QStringList(row.begin(), row.end()), cells);
    }

    // Every line ends with CR LF; CSV quotes every cell but the row number
    // and doubles the quotes inside; the save dialog's filter takes the
    // format's extension.
    void formats_data()
    {
        QTest::addColumn<QStringList>("c"); // key, table, filter
        QTest::newRow("TEXT") << QStringList{
            "TEXT",
            "No.\tSay \"hi\"\ta;b\tc,d\te\tf\r\n"
            "01\t0197842\t0:16:29.210\tV01\t??? 5 ???\"\ta,b;c\td\r\n",
            "Files (*.txt)|*.txt"};
        QTest::newRow("CSV_FR") << QStringList{
            "CSV_FR",
            "\"No.\";\"Say \"\"hi\"\"\";\"a;b\";\"c,d\";\"e\";\"f\"\r\n"
            "01;\"0197842\";\"0:16:29.210\";\"V01\";\"??? 5 ???\"\"\";\"a,b;c\td\"\r\n",
            "Files (*.csv)|*.csv"};
        QTest::newRow("CSV_EN") << QStringList{
            "CSV_EN",
            "\"No.\",\"Say \"\"hi\"\"\",\"a;b\",\"c,d\",\"e\",\"f\"\r\n"
            "01,\"0197842\",\"0:16:29.210\",\"V01\",\"??? 5 ???\"\"\",\"a,b;c\td\"\r\n",
            "Files (*.csv)|*.csv"};
    }
    void formats()
    {
        QFETCH(QStringList, c);
        const QString &key = c[0], &table = c[1], &filter = c[2];
        const QStringList headings{"No.", "Say \"hi\"", "a;b", "c,d", "e", "f"};
        const EventRow row{"01", "0197842", "0:16:29.210", "V01", "??? 5 ???\"", "a,b;c\td"};
        const auto format = ExportFormatFromKey(key);
        QVERIFY(format && !ExportFormatFromKey(key.toLower()));
        QCOMPARE(ExportTable(*format, headings, {row}), table);
        QCOMPARE(ExportTable(*format, headings, {}), table.section("\r\n", 0, 0) + "\r\n");
        QCOMPARE(BufferExport(*format, "P\r\n", headings, {row}), "P\r\n" + table);
        QCOMPARE(BufferFileFilter("Files (*.#)\r\n*.#", *format), filter);
        const QString line = table.section("\r\n", 1, 1) + "\r\n";
        if (key == "TEXT")
            QCOMPARE(TabbedRows({row, row}), line + line);
    }

    void preamble()
    {
        QCOMPARE(BufferHeadings(),
                 (QStringList{GetText(102115), GetText(102110), GetText(102111), GetText(102112),
                              GetText(102113), GetText(102114)}));
        const QDateTime when(QDate(2026, 12, 6), QTime(9, 5, 7));
        const QLocale french(QLocale::French, QLocale::France);
        const QString status = BufferStatusLine(when, french);
        QCOMPARE(status, GetText(102009) + " 06/12/2026 " + GetText(102010) + ' ' +
                             french.toString(when.time(), QLocale::LongFormat) + ' ');
        QVERIFY(status.contains("09:05:07"));
        QCOMPARE(BufferPreamble("Panel no.:", "3", "Read at noon "),
                 "Panel no.: 3\r\nRead at noon \r\n");
    }
};

QTEST_GUILESS_MAIN(TestEventRows)
#include "tst_eventrows.moc"
