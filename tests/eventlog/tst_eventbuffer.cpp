// The event log core with the built data file: decoding, the export formats,
// reading and clearing against the in-process simulator (requests, rows, message).
#include "eventlog/EventBuffer.h"
#include "eventlog/EventExport.h"
#include "RecordingUi.h"
#include "SimulatedLine.h"
#include "texts/DataFunctions.h"

#include <QTest>

namespace {

using Event = SimulatedPanel::Event;
using Frames = QList<QByteArray>;
constexpr std::uint8_t Slave = 5;
constexpr int Own = -100000; // no count override

// Event k: input k % 12 + 1, parameter k % 16, display k % 6, ticks 1000 k + 17.
Event testEvent(int k)
{
    const int ticks = 1000 * k + 17;
    const int w0 = ((k % 12 + 1) << 12) | ((k % 16) << 8) | ((k % 6) << 4) | ((ticks >> 16) & 0xF);
    return {std::uint16_t(w0), std::uint16_t(ticks & 0xFFFF)};
}

EventRow rowOf(int position, const Event& e)
{
    return DecodeEvent(position, std::int16_t(e.w0), std::int16_t(e.w1));
}

const QByteArray CountRead = QByteArray::fromHex("05030090000185a3");
const QByteArray EndOfClear = QByteArray::fromHex("05100121000102000082e1");

// A panel with events 1..logged and count word (Own: its own) answering `answered` (-1: all).
struct Bench
{
    RecordingUi ui;
    SimulatedLine line;
    SimulatedPanel& panel = line.addPanel(Slave, 262);
    PanelLink link{line, LinkOptions{false, 0, 0, 150}};

    Bench(int logged, int count, int answered)
    {
        QList<Event> log;
        for (int k = 1; k <= logged; ++k)
            log << testEvent(k);
        panel.setEvents(log);
        if (count != Own)
            panel.setCountOverride(std::int16_t(count));
        if (answered >= 0)
            line.setResponder([this, answered](const QByteArray& request) {
                return line.requests().size() < answered ? panel.handle(request).bytes
                                                         : QByteArray();
            });
    }
    // The message shown, as "tag:icon" of the text looked up; "" for none.
    QString message() const
    {
        if (ui.messages.isEmpty())
            return {};
        for (int tag : {102001, 102003, 102004, 102005})
            if (ui.lastText() == GetText(tag))
                return QStringLiteral("%1:%2").arg(tag).arg(int(ui.messages.last().icon));
        return ui.lastText();
    }
};

const QString Failed = QStringLiteral("102001:%1").arg(int(MsgIcon::Critical));
const QString Empty = QStringLiteral("102003:%1").arg(int(MsgIcon::Exclamation));
const QString NotCleared = QStringLiteral("102004:%1").arg(int(MsgIcon::Critical));
const QString Cleared = QStringLiteral("102005:%1").arg(int(MsgIcon::Information));

// Logged, count word, requests answered, requests sent, rows read after one listed, message.
using Read = std::tuple<int, int, int, Frames, int, QString>;
// Logged, count word, count never falls, answered, requests before a stop (-1: none),
// requests sent, events left, message.
using Clear = std::tuple<int, int, bool, int, int, Frames, int, QString>;
// A record's place in the list, its two words and its cells.
using Record = std::tuple<int, int, int, QStringList>;

} // namespace

class TestEventBuffer : public QObject
{
    Q_OBJECT

    RecordingUi m_ui; // decoding and exports show no message

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")));
        SetCurrentLanguage(QString());
    }

    // W0: channel, parameter, display, ticks 19..16; W1: ticks 15..0. Times cut, not rounded.
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

    // CR LF lines; CSV quotes every cell but the number, doubling quotes; the filter's extension.
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

    // orvelctl's headings and status line (the window's preamble is checked in its copy).
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
    }

    // A failure keeps the rows read; a count below 1 or of low byte 0 reads nothing; 62: more.
    void read_data()
    {
        QTest::addColumn<Read>("c");
        const Frames full{CountRead, ReadRequestFrame(Slave, 146, 124),
                          ReadRequestFrame(Slave, 270, 4)};
        const Frames five{CountRead, QByteArray::fromHex("05030092000a65a4")};
        QTest::newRow("5") << Read{5, Own, -1, five, 5, ""};
        QTest::newRow("count -1") << Read{3, -1, -1, {CountRead}, 0, Empty};
        QTest::newRow("count 256: low byte 0") << Read{3, 256, -1, {CountRead}, 0, Empty};
        QTest::newRow("count fails") << Read{5, Own, 0, {CountRead}, 0, Failed};
        QTest::newRow("records fail") << Read{5, Own, 1, five, 0, Failed};
        QTest::newRow("extra block fails") << Read{64, Own, 2, full, 62, Failed};
    }
    void read()
    {
        QFETCH(Read, c);
        const auto& [logged, count, answered, requests, rows, message] = c;
        Bench b(logged, count, answered);
        QList<EventRow> listed{rowOf(1, testEvent(9))};
        ShowBufferMessage(ReadResultMessage(ReadEventBuffer(b.link, Slave, listed)));
        QCOMPARE(b.line.requests(), requests);
        QList<EventRow> expected{rowOf(1, testEvent(9))};
        for (int k = 1; k <= rows; ++k)
            expected << rowOf(k + 1, testEvent(k));
        QCOMPARE(listed, expected);
        QCOMPARE(b.message(), message);
    }

    // A stop ends the exchange in progress, then the end is written; a count below 0 or one
    // that never falls (after the bound) fails.
    void clear_data()
    {
        QTest::addColumn<Clear>("c");
        const Frames five{CountRead, QByteArray::fromHex("0510012000010200054333"), CountRead,
                          EndOfClear};
        Frames bound;
        for (int round = 0; round < ClearRoundLimit; ++round)
            bound << CountRead << five[1];
        QTest::newRow("5") << Clear{5, Own, false, -1, -1, five, 0, Cleared};
        QTest::newRow("already empty")
            << Clear{0, Own, false, -1, -1, {CountRead, EndOfClear}, 0, Cleared};
        QTest::newRow("never falls") << Clear{5, Own, true, -1, -1, bound, 5, NotCleared};
        QTest::newRow("count fails") << Clear{5, Own, false, 0, -1, {CountRead}, 5, Failed};
        QTest::newRow("count -1") << Clear{5, -1, false, -1, -1, {CountRead}, 5, NotCleared};
        QTest::newRow("end fails") << Clear{5, Own, false, 3, -1, five, 0, NotCleared};
        QTest::newRow("stop before the first discard")
            << Clear{5, Own, true, -1, 1, {CountRead}, 5, NotCleared};
        QTest::newRow("stop after a discard") << Clear{5, Own, true, -1, 2, five, 5, NotCleared};
        QTest::newRow("stop once every event went")
            << Clear{5, Own, false, -1, 2, five, 0, Cleared};
    }
    void clear()
    {
        QFETCH(Clear, c);
        const auto& [logged, count, neverFalls, answered, stopAfter, requests, left, message] = c;
        Bench b(logged, count, answered);
        b.panel.setClearNeverFalls(neverFalls);
        const int stop = stopAfter;
        if (stop >= 0)
            b.link.SetStopRequest([&b, stop] { return b.line.requests().size() >= stop; });
        ShowBufferMessage(ClearResultMessage(ClearEventBuffer(b.link, Slave)));
        QCOMPARE(b.line.requests(), requests);
        QCOMPARE(b.panel.events().size(), left);
        QCOMPARE(b.panel.endOfClearWrites(), int(requests.endsWith(EndOfClear) && answered < 0));
        QCOMPARE(b.message(), message);
    }
};

QTEST_GUILESS_MAIN(TestEventBuffer)
#include "tst_eventbuffer.moc"
