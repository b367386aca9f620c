// Reading and clearing a panel's event log against the in-process simulator:
// the requests on the line, the rows, and the message of each outcome.
#include "DataFileFixture.h"
#include "eventlog/EventBuffer.h"
#include "RecordingUi.h"
#include "SimulatedLine.h"

#include <QTest>

namespace {

using Event = SimulatedPanel::Event;
using Frames = QList<QByteArray>;
constexpr std::uint8_t Slave = 5;
constexpr int Own = -100000; // no count override

// Event k (1-based) of a test log: input (k % 12) + 1, parameter k % 16,
// display k % 6, ticks 1000 k + 17.
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

// A panel with events 1..logged, its count word (Own: its own), answering
// the first `answered` requests only (-1: all).
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

// The events logged, the count word, the requests answered, the requests
// sent, the rows read (after the one already listed) and the message.
using Read = std::tuple<int, int, int, Frames, int, QString>;
// The events logged, the count word, whether the count never falls, the
// requests answered, the requests sent when a stop is asked (-1: none), the
// requests sent, the events left and the message.
using Clear = std::tuple<int, int, bool, int, int, Frames, int, QString>;

} // namespace

class TestEventBuffer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(OpenBuiltDataFile()); }

    // A failure keeps the rows read before it; a count word below 1, or whose
    // low byte is 0, leaves nothing to read; the block after the first 62
    // records is read only when the count is 62.
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

    // A stop lets the exchange in progress end and discards nothing more; a
    // clear that discarded events still writes its end. A count below 0 ends
    // the clear at once, one that never falls after the bound, not completed.
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
