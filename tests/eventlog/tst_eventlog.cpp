// The event log against the simulated panel, with tagged texts: decoding, exports, reading
// and clearing (requests, rows, message), and the window: sorting, Refresh, Copy and Save.
#include "ErrorReport.h"
#include "eventlog/EventBuffer.h"
#include "eventlog/EventExport.h"
#include "eventlog/wBuffer.h"
#include "FileSizeLimit.h"
#include "link/CommFunctions.h"
#include "RecordingUi.h"
#include "settings/IniStore.h"
#include "SimulatedLine.h"
#include "SmallDataFile.h"
#include "TestFiles.h"
#include "util/Cp1252.h"
#include "WidgetLookup.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <numeric>

namespace {

using Event = SimulatedPanel::Event;
using Frames = QList<QByteArray>;
using Order = QList<int>;
constexpr std::uint8_t Slave = 5;
constexpr int Own = -100000; // no count override

// Event k: input k % 12 + 1, parameter k % 16, display k % 6, ticks 1000 k + 17.
Event testEvent(int k)
{
    const int ticks = 1000 * k + 17;
    const int w0 = ((k % 12 + 1) << 12) | ((k % 16) << 8) | ((k % 6) << 4) | ((ticks >> 16) & 0xF);
    return {std::uint16_t(w0), std::uint16_t(ticks & 0xFFFF)};
}

Event record(int channel, int ticks)
{
    return {std::uint16_t((channel << 12) | (2 << 8) | (ticks >> 16)), std::uint16_t(ticks)};
}

EventRow rowOf(int position, const Event& e)
{
    return DecodeEvent(position, std::int16_t(e.w0), std::int16_t(e.w1));
}

// The rows of events at the given read positions (1-based), in that order.
QList<EventRow> decoded(const QList<Event>& events, const Order& order)
{
    QList<EventRow> rows;
    for (int position : order)
        rows << rowOf(position, events[position - 1]);
    return rows;
}

// The panel answers the first `answered` requests only (-1: all).
void AnswerFirst(SimulatedLine& line, SimulatedPanel& panel, int answered)
{
    if (answered >= 0)
        line.setResponder([&line, &panel, answered](const QByteArray& request) {
            return line.requests().size() < answered ? panel.handle(request).bytes : QByteArray();
        });
}

// V03, ACK, V01, V12, V02 at ticks 500, 100, 400, 200, 300: each column sorts them apart.
const QList<Event> Five{record(3, 500), record(15, 100), record(1, 400), record(12, 200),
                        record(2, 300)};
const QStringList Headings{"en102115", "en102110", "Heure \u00e9",
                           "en102112", "en102113", "en102114"};
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
        AnswerFirst(line, panel, answered);
    }
    // The message shown as "text:icon"; "" for none.
    QString message() const
    {
        return ui.messages.isEmpty()
                   ? QString()
                   : ui.lastText() + QStringLiteral(":%1").arg(int(ui.messages.last().icon));
    }
};

const QString Failed = QStringLiteral("en102001:%1").arg(int(MsgIcon::Critical));
const QString Empty = QStringLiteral("en102003:%1").arg(int(MsgIcon::Exclamation));
const QString NotCleared = QStringLiteral("en102004:%1").arg(int(MsgIcon::Critical));
const QString Cleared = QStringLiteral("en102005:%1").arg(int(MsgIcon::Information));

// Logged, count word, requests answered, requests sent, rows read after one listed, message.
using Read = std::tuple<int, int, int, Frames, int, QString>;
// Logged, count word, count never falls, answered, requests before a stop (-1: none),
// requests sent, events left, message.
using Clear = std::tuple<int, int, bool, int, int, Frames, int, QString>;
// A record's place in the list, its two words and its cells.
using Record = std::tuple<int, int, int, QStringList>;
using Sort = std::tuple<Order, Order, QString>;
// Clicks, the events, the requests answered (-1: all), the rows' order, the message.
using Refresh = std::tuple<Order, QList<Event>, int, Order, QString>;

} // namespace

class TestEventLog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<Bench> m_b; // the window's panel, line and UI
    std::unique_ptr<wBuffer> m_window;

    QTreeWidget* list() { return child<QTreeWidget>(m_window.get(), "lvwBuffer"); }
    void trigger(const QString& action)
    {
        child<QAction>(m_window.get(), action.toLatin1().constData())->trigger();
    }
    void click(int column)
    {
        QHeaderView* header = list()->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    // One letter per heading: U (SortUp), D (SortDown) or - (no image).
    QString icons()
    {
        const QImage up = QIcon(":/eventlog/icons/SortUp.svg").pixmap(16).toImage();
        QString letters;
        for (int k = 0; k < EventColumns; ++k) {
            const QIcon icon = list()->headerItem()->icon(k);
            letters += icon.isNull() ? '-' : icon.pixmap(16).toImage() == up ? 'U' : 'D';
        }
        return letters;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QList<int> tags{102001, 102003, 102004, 102005, 102006,
                        102008, 102009, 102010, 102101, 102102};
        for (int tag = 102105; tag <= 102230; ++tag)
            if (tag != 102111 && (tag <= 102115 || tag >= 102201))
                tags << tag;
        QVERIFY(SmallDataFile::Create(
            m_dir.filePath("texts.dat"), tags,
            {{"102007", {"Files (*.#)|*.#", "f", "e"}}, {"102111", {"Heure \u00e9", "f", "e"}}}));
        SetIniFileNameOverride(m_dir.filePath("orvel.ini"));
    }
    void init()
    {
        m_b = std::make_unique<Bench>(0, Own, -1);
        m_b->panel.setEvents(Five);
        m_window = std::make_unique<wBuffer>(m_b->link);
        m_window->SetPanelNumber(Slave);
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QVERIFY(m_window->ReadBuffer(Slave));
        QCOMPARE(m_b->ui.busyChanges, (QList<bool>{true, false}));
        QCOMPARE(m_window->Rows(), decoded(Five, {1, 2, 3, 4, 5}));
        QCOMPARE(icons(), "------");
        m_b->ui.clear();
        m_b->line.clearLog();
    }
    void cleanup()
    {
        m_window.reset();
        m_b.reset();
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
        QCOMPARE(BufferHeadings(), Headings);
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

    // Clicks on headings, the rows' order (read positions) and the headings' images.
    void sorting_data()
    {
        QTest::addColumn<Sort>("c");
        QTest::newRow("first click on No. sorts descending")
            << Sort{{0}, {5, 4, 3, 2, 1}, "D-----"};
        QTest::newRow("another heading sorts ascending") << Sort{{3}, {2, 3, 5, 1, 4}, "---U--"};
        QTest::newRow("the same heading again descending")
            << Sort{{3, 3}, {4, 1, 5, 3, 2}, "---D--"};
        QTest::newRow("a third heading resets the images")
            << Sort{{3, 3, 1}, {2, 4, 5, 3, 1}, "-U----"};
        QTest::newRow("back to No.: ascending") << Sort{{2, 0}, {1, 2, 3, 4, 5}, "U-----"};
    }
    void sorting()
    {
        QFETCH(Sort, c);
        const auto& [clicks, order, images] = c;
        for (int column : clicks)
            click(column);
        QCOMPARE(m_window->Rows(), decoded(Five, order));
        QCOMPARE(icons(), images);
    }

    // F5 reads again in the same sort; a failure keeps the rows read before it.
    void refresh_data()
    {
        QTest::addColumn<Refresh>("c");
        QTest::newRow("keeps the sort")
            << Refresh{{3, 3}, {record(7, 1), record(15, 2), record(9, 3)}, -1, {3, 1, 2}, ""};
        Order first62(62);
        std::iota(first62.begin(), first62.end(), 1);
        QTest::newRow("last records fail")
            << Refresh{{}, QList<Event>(64, Five[0]), 2, first62, "en102001"};
    }
    void refresh()
    {
        QFETCH(Refresh, c);
        const auto& [clicks, events, answered, order, message] = c;
        for (int column : clicks)
            click(column);
        m_b->panel.setEvents(events);
        AnswerFirst(m_b->line, m_b->panel, answered);
        QTest::keyClick(m_window.get(), Qt::Key_F5);
        QCOMPARE(m_window->Rows(), decoded(events, order));
        QCOMPARE(m_b->ui.lastText(), message);
        QCOMPARE(icons(), clicks.isEmpty() ? "------" : "---D--");
    }

    // Enter in the box and the Refresh button: a beep each, nothing on the line.
    void refreshRefusesABadPanelNumber_data()
    {
        QTest::addColumn<QString>("typed");
        for (const char* typed : {"0", "65", "x"})
            QTest::newRow(typed) << typed;
    }
    void refreshRefusesABadPanelNumber()
    {
        QFETCH(QString, typed);
        auto* box = child<QLineEdit>(m_window.get(), "txtPnlNum");
        box->clear();
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
        m_window->tbrTools_ButtonClick("mnuEditRefresh");
        QCOMPARE(m_b->ui.beeps, 2);
        QVERIFY(m_b->line.requests().isEmpty());
        QVERIFY(m_b->ui.messages.isEmpty());
    }

    // Copy: the preamble and the list in its order; Ctrl+C: the selected rows, silently.
    void copy()
    {
        QVERIFY(m_window->StatusText().startsWith("en102009 "));
        click(1);
        trigger("mnuEditCopyBuffer");
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 "en102102 5\r\n" + m_window->StatusText() + "\r\n" +
                     TabbedValues(Headings, decoded(Five, {2, 4, 5, 3, 1})));
        QCOMPARE(m_b->ui.lastText(), "en102006");
        QCOMPARE(m_b->ui.messages.last().icon, MsgIcon::Information);

        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Home);
        QTest::keyClick(list(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), TabbedRows(decoded(Five, {2, 4})));
        QCOMPARE(m_b->ui.messages.size(), 1);
    }

    // The button points at the formats; a format asks in the folder remembered, writes
    // Windows-1252 whole or not at all (the size limit binds root too), remembers the folder.
    void save_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("outcome");
        for (const char* key : {"TEXT", "CSV_EN"})
            QTest::newRow(key) << key << "saved";
        QTest::newRow("cancelled") << QString("CSV_FR") << QString("cancelled");
        QTest::newRow("full disk") << QString("TEXT") << QString("full disk");
    }
    void save()
    {
        QFETCH(QString, key);
        QFETCH(QString, outcome);
        trigger("mnuFileSave");
        QCOMPARE(m_b->ui.lastText(), "en102008");
        QCOMPARE(m_b->ui.messages.last().icon, MsgIcon::Information);
        QVERIFY(m_b->ui.fileRequests.isEmpty());

        click(3);
        SetIniParam("General", "BufferFiles", "/earlier/folder");
        QTemporaryDir folder;
        const QString path = folder.filePath("events");
        const QByteArray earlier = "an earlier, longer export that the save replaces entirely";
        TestFiles::WriteBytes(path, earlier);
        m_b->ui.answerNextFileDialog(outcome == "cancelled" ? QStringList{} : QStringList{path});
        {
            std::optional<FileSizeLimit> limit;
            if (outcome == "full disk")
                limit.emplace(64);
            trigger(key);
        }
        QCOMPARE(m_b->ui.fileRequests.size(), 1);
        const FileDialogRequest& request = m_b->ui.fileRequests[0];
        QCOMPARE(request.filter, QString("Files (*.%1)|*.%1").arg(key == "TEXT" ? "txt" : "csv"));
        QCOMPARE(request.initialFolder, "/earlier/folder");
        QVERIFY(request.save && !request.multiSelect && request.proposedName.isEmpty());
        QCOMPARE(request.owner, m_window.get());
        QCOMPARE(GetIniParam("General", "BufferFiles"),
                 outcome == "cancelled" ? "/earlier/folder" : folder.path());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"events"});
        if (outcome != "saved") {
            QCOMPARE(TestFiles::ReadBytes(path), earlier);
            QCOMPARE(m_b->ui.lastText(), outcome == "cancelled"
                                             ? "en102008"
                                             : ErrorReport(61, "Disk full", "wBuffer.SaveValues"));
            return;
        }
        QCOMPARE(m_b->ui.messages.size(), 1);
        const QString content =
            "en102102 5\r\n" + m_window->StatusText() + "\r\n" +
            ExportTable(*ExportFormatFromKey(key), Headings, decoded(Five, {2, 3, 5, 1, 4}));
        QCOMPARE(TestFiles::ReadBytes(path), ToCp1252(content));
        QVERIFY(TestFiles::ReadBytes(path).contains("Heure \xe9"));
    }
};

QTEST_MAIN(TestEventLog)
#include "tst_eventlog.moc"
