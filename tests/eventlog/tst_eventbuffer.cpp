// Reading and clearing a panel's event log, against the in-process simulator.
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

QList<Event> events(int count)
{
    QList<Event> list;
    for (int k = 1; k <= count; ++k)
        list.append(testEvent(k));
    return list;
}

EventRow rowOf(int position, const Event& e)
{
    return DecodeEvent(position, std::int16_t(e.w0), std::int16_t(e.w1));
}

QByteArray readFrame(std::uint16_t address, int count)
{
    return ReadRequestFrame(Slave, address, count);
}

QByteArray writeFrame(std::uint16_t address, std::int16_t word)
{
    return WriteRequestFrame(Slave, address, {word});
}

} // namespace

class TestEventBuffer : public QObject
{
    Q_OBJECT

    std::unique_ptr<RecordingUi> m_ui;
    std::unique_ptr<SimulatedLine> m_line;
    std::unique_ptr<PanelLink> m_link;
    SimulatedPanel* m_panel = nullptr;

    // The panel's log, its count word, and how many requests it answers
    // before it falls silent (-1: all).
    void panel(const QList<Event>& log, int count, int answered)
    {
        m_panel->setEvents(log);
        if (count != Own)
            m_panel->setCountOverride(std::int16_t(count));
        if (answered >= 0)
            m_line->setResponder([this, answered](const QByteArray& request) {
                return m_line->requests().size() < answered ? m_panel->handle(request).bytes
                                                            : QByteArray();
            });
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(OpenBuiltDataFile()); }
    void init()
    {
        m_ui = std::make_unique<RecordingUi>();
        m_line = std::make_unique<SimulatedLine>();
        m_panel = &m_line->addPanel(Slave, 262);
        m_link = std::make_unique<PanelLink>(*m_line, LinkOptions{false, 0, 0, 150});
    }
    void cleanup()
    {
        QVERIFY2(m_ui->messages.isEmpty(), qPrintable(m_ui->lastText()));
        m_link.reset();
        m_line.reset();
        m_ui.reset();
    }

    // The exact bytes of a read of five events and a clear.
    void framesOnTheWire()
    {
        m_panel->setEvents(events(5));
        QList<EventRow> rows;
        QCOMPARE(ReadEventBuffer(*m_link, Slave, rows), BufferReadResult::Read);
        QCOMPARE(ClearEventBuffer(*m_link, Slave), BufferClearResult::Completed);
        QCOMPARE(m_line->requests(), (Frames{QByteArray::fromHex("05030090000185a3"),
                                             QByteArray::fromHex("05030092000a65a4"),
                                             QByteArray::fromHex("05030090000185a3"),
                                             QByteArray::fromHex("0510012000010200054333"),
                                             QByteArray::fromHex("05030090000185a3"),
                                             QByteArray::fromHex("05100121000102000082e1")}));
    }

    // The rows read are numbered after the one already listed; a failure
    // keeps those read before it. A record of the last two holding a zero
    // word is no event.
    void read_data()
    {
        QTest::addColumn<int>("logged");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("zeroed"); // record set to 0 0 (1-based), 0: none
        QTest::addColumn<int>("answered");
        QTest::addColumn<BufferReadResult>("result");
        QTest::addColumn<Frames>("requests");
        QTest::addColumn<int>("rows");
        using R = BufferReadResult;
        const Frames full{readFrame(144, 1), readFrame(146, 124), readFrame(270, 4)};
        QTest::newRow("count 0") << 0 << Own << 0 << -1 << R::Empty << Frames{readFrame(144, 1)}
                                 << 0;
        QTest::newRow("count -1") << 3 << -1 << 0 << -1 << R::Empty << Frames{readFrame(144, 1)}
                                  << 0;
        QTest::newRow("count -32768")
            << 3 << -32768 << 0 << -1 << R::Empty << Frames{readFrame(144, 1)} << 0;
        QTest::newRow("count 256: low byte 0")
            << 3 << 256 << 0 << -1 << R::Empty << Frames{readFrame(144, 1)} << 0;
        QTest::newRow("5") << 5 << Own << 0 << -1 << R::Read
                           << Frames{readFrame(144, 1), readFrame(146, 10)} << 5;
        QTest::newRow("62: no extra record") << 62 << Own << 0 << -1 << R::Read << full << 62;
        QTest::newRow("63") << 63 << Own << 0 << -1 << R::Read << full << 63;
        QTest::newRow("64") << 64 << Own << 0 << -1 << R::Read << full << 64;
        QTest::newRow("64, the 63rd zero") << 64 << Own << 63 << -1 << R::Read << full << 63;
        QTest::newRow("count 300: its low byte, no extra block")
            << 64 << 300 << 0 << -1 << R::Read << Frames{readFrame(144, 1), readFrame(146, 88)}
            << 44;
        QTest::newRow("count fails")
            << 5 << Own << 0 << 0 << R::Failed << Frames{readFrame(144, 1)} << 0;
        QTest::newRow("records fail") << 5 << Own << 0 << 1 << R::Failed
                                      << Frames{readFrame(144, 1), readFrame(146, 10)} << 0;
        QTest::newRow("extra block fails") << 64 << Own << 0 << 2 << R::Failed << full << 62;
    }
    void read()
    {
        QFETCH(int, logged);
        QFETCH(int, count);
        QFETCH(int, zeroed);
        QFETCH(int, answered);
        QFETCH(BufferReadResult, result);
        QFETCH(Frames, requests);
        QFETCH(int, rows);
        QList<Event> log = events(logged);
        if (zeroed)
            log[zeroed - 1] = {0x1200, 0x0000};
        panel(log, count, answered);
        QList<EventRow> listed{rowOf(1, testEvent(9))};
        QCOMPARE(ReadEventBuffer(*m_link, Slave, listed), result);
        QCOMPARE(m_line->requests(), requests);
        if (zeroed)
            log.removeAt(zeroed - 1);
        QList<EventRow> expected{rowOf(1, testEvent(9))};
        for (int k = 0; k < rows; ++k)
            expected << rowOf(k + 2, log[k]);
        QCOMPARE(listed, expected);
    }

    // A stop lets the exchange in progress end and discards nothing more; a
    // clear that discarded events still writes its end. A count that never
    // falls ends after the bound, below 0 at once.
    void clear_data()
    {
        QTest::addColumn<int>("logged");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("neverFalls");
        QTest::addColumn<int>("answered");
        QTest::addColumn<int>("stopAfter"); // requests sent when the stop is asked
        QTest::addColumn<BufferClearResult>("result");
        QTest::addColumn<Frames>("requests");
        QTest::addColumn<int>("left");
        using R = BufferClearResult;
        const QByteArray count = readFrame(144, 1);
        const Frames five{count, writeFrame(288, 5), count, writeFrame(289, 0)};
        Frames bound;
        for (int round = 0; round < ClearRoundLimit; ++round)
            bound << count << writeFrame(288, 5);
        QTest::newRow("already empty") << 0 << Own << false << -1 << -1 << R::Completed
                                       << Frames{count, writeFrame(289, 0)} << 0;
        QTest::newRow("5") << 5 << Own << false << -1 << -1 << R::Completed << five << 0;
        QTest::newRow("never falls")
            << 5 << Own << true << -1 << -1 << R::NotCompleted << bound << 5;
        QTest::newRow("count fails")
            << 5 << Own << false << 0 << -1 << R::ReadFailed << Frames{count} << 5;
        QTest::newRow("count -1") << 5 << -1 << false << -1 << -1 << R::NotCompleted
                                  << Frames{count} << 5;
        QTest::newRow("end fails") << 5 << Own << false << 3 << -1 << R::NotCompleted << five << 0;
        QTest::newRow("stop before the first discard")
            << 5 << Own << true << -1 << 1 << R::Interrupted << Frames{count} << 5;
        QTest::newRow("stop after a discard")
            << 5 << Own << true << -1 << 2 << R::Interrupted << five << 5;
        QTest::newRow("stop once every event went")
            << 5 << Own << false << -1 << 2 << R::Completed << five << 0;
    }
    void clear()
    {
        QFETCH(int, logged);
        QFETCH(int, count);
        QFETCH(bool, neverFalls);
        QFETCH(int, answered);
        QFETCH(int, stopAfter);
        QFETCH(BufferClearResult, result);
        QFETCH(Frames, requests);
        QFETCH(int, left);
        panel(events(logged), count, answered);
        m_panel->setClearNeverFalls(neverFalls);
        if (stopAfter >= 0)
            m_link->SetStopRequest([&] { return m_line->requests().size() >= stopAfter; });
        QCOMPARE(ClearEventBuffer(*m_link, Slave), result);
        QCOMPARE(m_line->requests(), requests);
        QCOMPARE(m_panel->events().size(), left);
        QCOMPARE(m_panel->endOfClearWrites(),
                 int(requests.endsWith(writeFrame(289, 0)) && answered < 0));
    }

    void messages()
    {
        using R = BufferReadResult;
        using C = BufferClearResult;
        QList<std::pair<int, MsgIcon>> shown;
        for (const BufferMessage& m :
             {ReadResultMessage(R::Failed), ReadResultMessage(R::Empty), ReadResultMessage(R::Read),
              ClearResultMessage(C::ReadFailed), ClearResultMessage(C::NotCompleted),
              ClearResultMessage(C::Interrupted), ClearResultMessage(C::Completed)})
            shown << std::pair{m.tag, m.icon};
        QCOMPARE(shown, (QList<std::pair<int, MsgIcon>>{{102001, MsgIcon::Critical},
                                                        {102003, MsgIcon::Exclamation},
                                                        {0, MsgIcon::None},
                                                        {102001, MsgIcon::Critical},
                                                        {102004, MsgIcon::Critical},
                                                        {102004, MsgIcon::Critical},
                                                        {102005, MsgIcon::Information}}));
    }
};

QTEST_GUILESS_MAIN(TestEventBuffer)
#include "tst_eventbuffer.moc"
