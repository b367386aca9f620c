// Reading and clearing a panel's event log, against the in-process simulator.
#include "DataFileFixture.h"
#include "eventlog/EventBuffer.h"
#include "RecordingUi.h"
#include "SimulatedLine.h"

#include <QTest>

namespace {

using Event = SimulatedPanel::Event;
constexpr std::uint8_t Slave = 5;

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

QByteArray read(std::uint16_t address, int count)
{
    return ReadRequestFrame(Slave, address, count);
}

QByteArray write(std::uint16_t address, std::int16_t word)
{
    return WriteRequestFrame(Slave, address, {word});
}

} // namespace

class TestEventBuffer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void framesOnTheWire();
    void emptyBuffer_data();
    void emptyBuffer();
    void fiveEvents();
    void fullBuffer_data();
    void fullBuffer();
    void zeroRecordsAmongTheLastTwoAreSkipped();
    void countOf300ReadsItsLowByte();
    void countReadFails();
    void recordReadFails();
    void extraBlockFailsKeepsRowsRead();
    void rowsAreNumberedAfterThoseAlreadyListed();

    void clearWhenAlreadyEmpty();
    void clearFiveEvents();
    void clearCountNeverFalls_data();
    void clearCountNeverFalls();
    void clearCountReadFails();
    void clearNegativeCount();
    void clearEndFails();
    void clearStopped_data();
    void clearStopped();

    void messages();

private:
    std::unique_ptr<RecordingUi> m_ui;
    std::unique_ptr<SimulatedLine> m_line;
    std::unique_ptr<PanelLink> m_link;
    SimulatedPanel* m_panel = nullptr;
};

void TestEventBuffer::initTestCase()
{
    QVERIFY(OpenBuiltDataFile());
}

void TestEventBuffer::init()
{
    m_ui = std::make_unique<RecordingUi>();
    m_line = std::make_unique<SimulatedLine>();
    m_panel = &m_line->addPanel(Slave, 262);
    LinkOptions options;
    options.frameDelayMs = 0;
    options.rtsDelayMs = 0;
    options.replyTimeoutMs = 150;
    m_link = std::make_unique<PanelLink>(*m_line, options);
}

void TestEventBuffer::cleanup()
{
    // No procedure reported an error.
    QVERIFY2(m_ui->messages.isEmpty(), qPrintable(m_ui->lastText()));
    m_link.reset();
    m_line.reset();
    m_ui.reset();
}

// The exact bytes of a read of five events and a clear.
void TestEventBuffer::framesOnTheWire()
{
    m_panel->setEvents(events(5));
    QList<EventRow> rows;
    QCOMPARE(ReadEventBuffer(*m_link, Slave, rows), BufferReadResult::Read);
    QCOMPARE(ClearEventBuffer(*m_link, Slave), BufferClearResult::Completed);
    const QList<QByteArray> expected{QByteArray::fromHex("05030090000185a3"),
                                     QByteArray::fromHex("05030092000a65a4"),
                                     QByteArray::fromHex("05030090000185a3"),
                                     QByteArray::fromHex("0510012000010200054333"),
                                     QByteArray::fromHex("05030090000185a3"),
                                     QByteArray::fromHex("051001210001020000"
                                                         "82e1")};
    QCOMPARE(m_line->requests(), expected);
}

void TestEventBuffer::emptyBuffer_data()
{
    QTest::addColumn<int>("events");
    QTest::addColumn<int>("countOverride"); // -1000: the panel's own count
    QTest::newRow("count 0") << 0 << -1000;
    QTest::newRow("count 0xFFFF") << 3 << -1;
    QTest::newRow("count -32768") << 3 << -32768;
    QTest::newRow("count 256: low byte 0") << 3 << 256;
}

void TestEventBuffer::emptyBuffer()
{
    QFETCH(int, events);
    QFETCH(int, countOverride);
    m_panel->setEvents(::events(events));
    if (countOverride != -1000)
        m_panel->setCountOverride(std::int16_t(countOverride));
    QList<EventRow> rows;
    QCOMPARE(ReadEventBuffer(*m_link, Slave, rows), BufferReadResult::Empty);
    QVERIFY(rows.isEmpty());
    QCOMPARE(m_line->requests(), QList<QByteArray>{read(144, 1)});
}

void TestEventBuffer::fiveEvents()
{
    m_panel->setEvents(events(5));
    QList<EventRow> rows;
    QCOMPARE(ReadEventBuffer(*m_link, Slave, rows), BufferReadResult::Read);
    QCOMPARE(m_line->requests(), (QList<QByteArray>{read(144, 1), read(146, 10)}));
    QCOMPARE(rows.size(), 5);
    for (int k = 1; k <= 5; ++k)
        QCOMPARE(rows[k - 1], rowOf(k, testEvent(k)));
    QCOMPARE(rows[0][0], QStringLiteral("01"));
    QCOMPARE(rows[4][0], QStringLiteral("05"));
    QCOMPARE(rows[0][1], QStringLiteral("0001017"));
}

void TestEventBuffer::fullBuffer_data()
{
    QTest::addColumn<int>("events");
    QTest::newRow("62: both extra records absent") << 62;
    QTest::newRow("63: one extra record") << 63;
    QTest::newRow("64: two extra records") << 64;
}

void TestEventBuffer::fullBuffer()
{
    QFETCH(int, events);
    const QList<Event> log = ::events(events);
    m_panel->setEvents(log);
    QList<EventRow> rows;
    QCOMPARE(ReadEventBuffer(*m_link, Slave, rows), BufferReadResult::Read);
    QCOMPARE(m_line->requests(), (QList<QByteArray>{read(144, 1), read(146, 124), read(270, 4)}));
    QCOMPARE(rows.size(), events);
    for (int k = 1; k <= events; ++k)
        QCOMPARE(rows[k - 1], rowOf(k, log[k - 1]));
    QCOMPARE(rows.last()[0], QString::number(events));
}

// A record at 270..273 with a zero word does not count as an event, even when
// the other record after it is a real one.
void TestEventBuffer::zeroRecordsAmongTheLastTwoAreSkipped()
{
    QList<Event> log = events(64);
    log[62] = {0x1200, 0x0000}; // event 63: ticks 0, so W1 is 0
    m_panel->setEvents(log);
    QList<EventRow> rows;
    QCOMPARE(ReadEventBuffer(*m_link, Slave, rows), BufferReadResult::Read);
    QCOMPARE(rows.size(), 63);
    QCOMPARE(rows[61], rowOf(62, log[61]));
    QCOMPARE(rows[62], rowOf(63, log[63])); // event 64 is row "63"
}

void TestEventBuffer::countOf300ReadsItsLowByte()
{
    const QList<Event> log = events(64);
    m_panel->setEvents(log);
    m_panel->setCountOverride(300);
    QList<EventRow> rows;
    QCOMPARE(ReadEventBuffer(*m_link, Slave, rows), BufferReadResult::Read);
    // 300 = 0x12C: 44 records, and no extra block since the word is not 62.
    QCOMPARE(m_line->requests(), (QList<QByteArray>{read(144, 1), read(146, 88)}));
    QCOMPARE(rows.size(), 44);
    QCOMPARE(rows[43], rowOf(44, log[43]));
}

void TestEventBuffer::countReadFails()
{
    m_panel->setEvents(events(5));
    m_panel->setFault(SimulatedPanel::Fault::NoReply);
    QList<EventRow> rows;
    QCOMPARE(ReadEventBuffer(*m_link, Slave, rows), BufferReadResult::Failed);
    QVERIFY(rows.isEmpty());
    QCOMPARE(m_line->requests(), QList<QByteArray>{read(144, 1)});
}

void TestEventBuffer::recordReadFails()
{
    m_panel->setEvents(events(5));
    int answered = 0;
    m_line->setResponder([&](const QByteArray& request) {
        return answered++ == 0 ? m_panel->handle(request).bytes : QByteArray();
    });
    QList<EventRow> rows;
    QCOMPARE(ReadEventBuffer(*m_link, Slave, rows), BufferReadResult::Failed);
    QVERIFY(rows.isEmpty());
    QCOMPARE(m_line->requests().size(), 2);
}

void TestEventBuffer::extraBlockFailsKeepsRowsRead()
{
    m_panel->setEvents(events(64));
    int answered = 0;
    m_line->setResponder([&](const QByteArray& request) {
        return answered++ < 2 ? m_panel->handle(request).bytes : QByteArray();
    });
    QList<EventRow> rows;
    QCOMPARE(ReadEventBuffer(*m_link, Slave, rows), BufferReadResult::Failed);
    QCOMPARE(rows.size(), 62);
    QCOMPARE(m_line->requests().last(), read(270, 4));
}

void TestEventBuffer::rowsAreNumberedAfterThoseAlreadyListed()
{
    m_panel->setEvents(events(2));
    QList<EventRow> rows{rowOf(1, testEvent(9))};
    QCOMPARE(ReadEventBuffer(*m_link, Slave, rows), BufferReadResult::Read);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[1], rowOf(2, testEvent(1)));
    QCOMPARE(rows[2][0], QStringLiteral("03"));
}

void TestEventBuffer::clearWhenAlreadyEmpty()
{
    QCOMPARE(ClearEventBuffer(*m_link, Slave), BufferClearResult::Completed);
    QCOMPARE(m_line->requests(), (QList<QByteArray>{read(144, 1), write(289, 0)}));
    QVERIFY(m_panel->discardWrites().isEmpty());
    QCOMPARE(m_panel->endOfClearWrites(), 1);
}

void TestEventBuffer::clearFiveEvents()
{
    m_panel->setEvents(events(5));
    QCOMPARE(ClearEventBuffer(*m_link, Slave), BufferClearResult::Completed);
    QCOMPARE(m_line->requests(),
             (QList<QByteArray>{read(144, 1), write(288, 5), read(144, 1), write(289, 0)}));
    QVERIFY(m_panel->events().isEmpty());
    QCOMPARE(m_panel->discardWrites(), QList<std::int16_t>{5});
    QCOMPARE(m_panel->endOfClearWrites(), 1);
}

void TestEventBuffer::clearCountNeverFalls_data()
{
    QTest::addColumn<int>("limit");
    QTest::newRow("the product's bound") << ClearRoundLimit;
    QTest::newRow("3 rounds") << 3;
}

// A panel that acknowledges every discard but keeps its events: the clear
// ends after its bound with the failure, never writing the end of the clear.
void TestEventBuffer::clearCountNeverFalls()
{
    QFETCH(int, limit);
    m_panel->setEvents(events(5));
    m_panel->setClearNeverFalls(true);
    QCOMPARE(ClearEventBuffer(*m_link, Slave, limit), BufferClearResult::NotCompleted);
    QList<QByteArray> expected;
    for (int round = 0; round < limit; ++round)
        expected << read(144, 1) << write(288, 5);
    QCOMPARE(m_line->requests(), expected);
    QCOMPARE(m_panel->endOfClearWrites(), 0);
    QCOMPARE(m_panel->events().size(), 5);
}

void TestEventBuffer::clearCountReadFails()
{
    m_panel->setEvents(events(5));
    m_panel->setFault(SimulatedPanel::Fault::NoReply);
    QCOMPARE(ClearEventBuffer(*m_link, Slave), BufferClearResult::ReadFailed);
    QCOMPARE(m_line->requests(), QList<QByteArray>{read(144, 1)});
    QCOMPARE(m_panel->events().size(), 5);
}

// A count below 0 ends the loop without a discard: the end of the clear is
// not written and the clear is not completed.
void TestEventBuffer::clearNegativeCount()
{
    m_panel->setEvents(events(5));
    m_panel->setCountOverride(-1);
    QCOMPARE(ClearEventBuffer(*m_link, Slave), BufferClearResult::NotCompleted);
    QCOMPARE(m_line->requests(), QList<QByteArray>{read(144, 1)});
}

void TestEventBuffer::clearEndFails()
{
    m_panel->setEvents(events(2));
    m_line->setResponder([&](const QByteArray& request) {
        return request == write(289, 0) ? QByteArray() : m_panel->handle(request).bytes;
    });
    QCOMPARE(ClearEventBuffer(*m_link, Slave), BufferClearResult::NotCompleted);
    QCOMPARE(m_line->requests().last(), write(289, 0));
}

void TestEventBuffer::clearStopped_data()
{
    QTest::addColumn<bool>("neverFalls");
    QTest::addColumn<int>("stopAfter"); // requests sent when the stop is asked
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<QByteArray>>("requests");
    QTest::newRow("before the first discard")
        << true << 1 << int(BufferClearResult::Interrupted) << QList<QByteArray>{read(144, 1)};
    QTest::newRow("after a discard: the end of the clear still goes")
        << true << 2 << int(BufferClearResult::Interrupted)
        << QList<QByteArray>{read(144, 1), write(288, 5), read(144, 1), write(289, 0)};
    QTest::newRow("once every event went")
        << false << 2 << int(BufferClearResult::Completed)
        << QList<QByteArray>{read(144, 1), write(288, 5), read(144, 1), write(289, 0)};
}

// A stop lets the exchange in progress end, discards nothing more, and still
// closes a clear that discarded events.
void TestEventBuffer::clearStopped()
{
    QFETCH(bool, neverFalls);
    QFETCH(int, stopAfter);
    QFETCH(int, result);
    QFETCH(QList<QByteArray>, requests);
    m_panel->setEvents(events(5));
    m_panel->setClearNeverFalls(neverFalls);
    m_link->SetStopRequest([&] { return m_line->requests().size() >= stopAfter; });
    QCOMPARE(int(ClearEventBuffer(*m_link, Slave)), result);
    QCOMPARE(m_line->requests(), requests);
}

void TestEventBuffer::messages()
{
    QCOMPARE(ClearResultMessage(BufferClearResult::Interrupted).tag, 102004);
    QCOMPARE(ClearResultMessage(BufferClearResult::Interrupted).icon, MsgIcon::Critical);
    QCOMPARE(ReadResultMessage(BufferReadResult::Failed).tag, 102001);
    QCOMPARE(ReadResultMessage(BufferReadResult::Failed).icon, MsgIcon::Critical);
    QCOMPARE(ReadResultMessage(BufferReadResult::Empty).tag, 102003);
    QCOMPARE(ReadResultMessage(BufferReadResult::Empty).icon, MsgIcon::Exclamation);
    QCOMPARE(ClearResultMessage(BufferClearResult::ReadFailed).tag, 102001);
    QCOMPARE(ClearResultMessage(BufferClearResult::ReadFailed).icon, MsgIcon::Critical);
    QCOMPARE(ClearResultMessage(BufferClearResult::NotCompleted).tag, 102004);
    QCOMPARE(ClearResultMessage(BufferClearResult::NotCompleted).icon, MsgIcon::Critical);
    QCOMPARE(ClearResultMessage(BufferClearResult::Completed).tag, 102005);
    QCOMPARE(ClearResultMessage(BufferClearResult::Completed).icon, MsgIcon::Information);
}

QTEST_GUILESS_MAIN(TestEventBuffer)
#include "tst_eventbuffer.moc"
