// The word protocol: frames, reply checks, failure shapes, the reply deadline
// and the half-duplex turn-around.
#include "ErrorReport.h"
#include "link/CommFunctions.h"
#include "RecordingUi.h"
#include "SimulatedLine.h"

#include <QTest>

#include <ctime>

using Fault = SimulatedPanel::Fault;

namespace {
QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

LinkOptions fast(int timeoutMs)
{
    return {.frameDelayMs = 0, .replyTimeoutMs = timeoutMs};
}

QByteArray withCrc(const char* text)
{
    QByteArray frame = hex(text);
    AppendCRC16(frame);
    return frame;
}

QStringList texts(const RecordingUi& ui)
{
    QStringList list;
    for (const MessageRequest& m : ui.messages)
        list << m.text;
    return list;
}

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}
} // namespace

class TestCommFunctions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void frames_data()
    {
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("address");
        QTest::addColumn<QList<int>>("words");
        QTest::addColumn<QByteArray>("request");
        const QList<int> negative{-1, 255, -25536};
        QTest::newRow("read") << false << 609 << negative << hex("01030261000355AD");
        QTest::newRow("write") << true << 353 << negative << hex("01100161000306FFFF00FF9C40E8DC");
        QTest::newRow("write one") << true << 336 << QList<int>{0} << hex("011001500001020000BAC0");
    }

    void frames()
    {
        QFETCH(bool, write);
        QFETCH(int, address);
        QFETCH(QList<int>, words);
        RecordingUi ui;
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1);
        PanelLink link(line, fast(150));
        QList<std::int16_t> w(words.size(), 7);
        for (int i = 0; i < words.size(); ++i) {
            if (write)
                w[i] = std::int16_t(words[i]);
            else
                panel.setReadRegister(address + i, std::int16_t(words[i]));
        }
        QVERIFY(write ? EcritMots(link, 1, address, w) : LitMots(link, 1, address, w));
        QTEST(line.requests().value(0), "request");
        for (int i = 0; i < words.size(); ++i)
            QCOMPARE(write ? *panel.writtenRegister(address + i) : w[i], words[i]);
        QVERIFY(ui.messages.isEmpty());
    }

    void replyChecks_data()
    {
        QTest::addColumn<bool>("write");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("ok");
        auto row = [](const char* name, bool write, const QByteArray& reply, bool ok) {
            QTest::newRow(name) << write << reply << ok;
        };
        const QByteArray ack = hex("0110015000010024");
        row("ack", true, ack, true);
        row("ack after the echo of the request", true, hex("011001500001020000BAC0") + ack, true);
        row("ack: 01 10 and six garbage bytes", true, hex("0110DEADBEEF0000"), false);
        row("ack: crc bytes swapped", true, hex("0110015000012400"), false);
        row("ack: another address", true, hex("01100151000151E4"), false);
        row("ack: another count", true, hex("0110015000024025"), false);
        row("ack: wrong function", true, withCrc("010301500001"), false);
        row("ack: wrong slave", true, withCrc("021001500001"), false);
        row("ack: exception", true, hex("0190040DC0"), false);
        row("ack: echo only", true, hex("011001500001020000BAC0"), false);
        const QByteArray good = withCrc("0103020102");
        QByteArray swapped = good;
        std::swap(swapped[5], swapped[6]);
        const QByteArray exception = withCrc("018302");
        const QByteArray twoWords = withCrc("010304AAAA0102");
        row("read", false, good, true);
        row("read after the echo of the request", false, ReadRequestFrame(1, 133, 1) + good, true);
        row("read after another slave's reply", false, withCrc("0203020102") + good, true);
        row("read after a longer reply", false, twoWords + good, true);
        row("read: crc bytes swapped", false, swapped, false);
        row("read: from slave 2", false, withCrc("0203020102"), false);
        row("read: function 4", false, withCrc("0104020102"), false);
        row("read: exception", false, exception, false);
        row("read: exception, then reply", false, exception + good, false);
        row("read: another byte count", false, twoWords, false);
    }

    void replyChecks()
    {
        QFETCH(bool, write);
        QFETCH(QByteArray, reply);
        QFETCH(bool, ok);
        RecordingUi ui;
        SimulatedLine line;
        line.setResponder([&](const QByteArray&) { return reply; });
        PanelLink link(line, fast(60));
        QList<std::int16_t> w{-7};
        QCOMPARE(write ? EcritMots(link, 1, 336, {0}) : LitMots(link, 1, 133, w), ok);
        // A failed read leaves the caller's words as they were.
        QCOMPARE(w[0], std::int16_t(ok && !write ? 0x0102 : -7));
        QVERIFY(ui.messages.isEmpty());
    }

    // A reply that comes after its deadline (late, held back until the next
    // request, or waiting in the input buffer) never answers the next request.
    void lateReplies_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("lateMs");
        QTest::addColumn<int>("waitMs"); // before the next request
        QTest::addColumn<int>("nextCount");
        QTest::newRow("late past the deadline") << Fault::LateReply << 60 << 0 << 1;
        QTest::newRow("held, a longer request next") << Fault::HeldReply << 0 << 0 << 2;
        QTest::newRow("stale bytes in the buffer") << Fault::LateReply << 150 << 150 << 1;
    }

    void lateReplies()
    {
        QFETCH(Fault, fault);
        QFETCH(int, lateMs);
        QFETCH(int, waitMs);
        QFETCH(int, nextCount);
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1);
        panel.setTurnaroundMs(40);
        panel.setLateReplyMs(lateMs);
        panel.setFault(fault, 1);
        PanelLink link(line, fast(80));
        QList<std::int16_t> w(1, 0);
        QVERIFY(!LitMots(link, 1, 1138, w));
        QTest::qWait(waitMs);
        if (waitMs > 0)
            QCOMPARE(line.InBufferCount(), 7);
        panel.setReadRegister(1138, 9);
        QList<std::int16_t> next(nextCount, -7);
        QVERIFY(LitMots(link, 1, 1138, next));
        QCOMPARE(next[0], std::int16_t(9));
    }

    // Port faults are reported at once; an unplugged line closes itself, so
    // the next exchange finds it closed.
    void portFaultsAreReported_data()
    {
        QTest::addColumn<bool>("unplug");
        QTest::addColumn<QString>("first");
        QTest::newRow("closed") << false
                                << ErrorReport(8018, "Operation valid only when the port is open",
                                               "CommFunctions.LitMots");
        QTest::newRow("unplugged")
            << true << ErrorReport(8021, "Error writing comm device", "CommFunctions.LitMots");
    }

    void portFaultsAreReported()
    {
        QFETCH(bool, unplug);
        QFETCH(QString, first);
        RecordingUi ui;
        SimulatedLine line;
        line.addPanel(1);
        if (unplug)
            line.setUnplugged(true);
        else
            line.SetPortOpen(false);
        PanelLink link(line, fast(2000));
        QElapsedTimer t;
        t.start();
        QList<std::int16_t> w{3};
        QVERIFY(!LitMots(link, 1, 334, w));
        QVERIFY(!EcritMots(link, 1, 336, {0}));
        QVERIFY(t.elapsed() < 1000);
        QCOMPARE(w[0], std::int16_t(3));
        QCOMPARE(texts(ui), (QStringList{first, ErrorReport(8018,
                                                            "Operation valid only when the port "
                                                            "is open",
                                                            "CommFunctions.EcritMots")}));
    }

    // A request carries 1..125 words read or 1..127 written: more do not fit
    // the one-byte byte count.
    void wordCounts_data()
    {
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("framed");
        QTest::newRow("read 0") << false << 0 << false;
        QTest::newRow("read 125") << false << 125 << true;
        QTest::newRow("read 126") << false << 126 << false;
        QTest::newRow("write 0") << true << 0 << false;
        QTest::newRow("write 127") << true << 127 << true;
        QTest::newRow("write 128") << true << 128 << false;
    }

    void wordCounts()
    {
        QFETCH(bool, write);
        QFETCH(int, count);
        QFETCH(bool, framed);
        RecordingUi ui;
        SimulatedLine line;
        PanelLink link(line, fast(20));
        QList<std::int16_t> w(count, 0);
        QVERIFY(!(write ? EcritMots(link, 1, 146, w) : LitMots(link, 1, 146, w)));
        QCOMPARE(line.requests(), framed
                                      ? QList<QByteArray>{write ? WriteRequestFrame(1, 146, w)
                                                                : ReadRequestFrame(1, 146, count)}
                                      : QList<QByteArray>{});
        QCOMPARE(texts(ui), framed
                                ? QStringList{}
                                : QStringList{ErrorReport(5, "Invalid procedure call or argument",
                                                          write ? "CommFunctions.EcritMots"
                                                                : "CommFunctions.LitMots")});
    }

    // Without a reply, the exchange waits for the 2 s deadline, then for 800 ms
    // of silence on the line, blocked rather than spinning.
    void noReplyWaitsDeadlineAndSilence()
    {
        SimulatedLine line;
        PanelLink link(line);
        QList<std::int16_t> w(1, 0);
        QElapsedTimer t;
        t.start();
        const double cpu0 = cpuMs();
        QVERIFY(!EcritMots(link, 1, 336, {0}));
        const double cpu = cpuMs() - cpu0;
        QVERIFY2(t.elapsed() >= 2800 && t.elapsed() < 3000,
                 qPrintable(QString::number(t.elapsed())));
        QVERIFY2(cpu < 60, qPrintable(QString::number(cpu)));
    }

    // Half-duplex: RTS up to send, dropped RtsDelay after the send
    // notification; without one the link listens at the deadline. Full duplex
    // leaves RTS up.
    void turnAround_data()
    {
        using N = SimulatedLine::SendNotification;
        QTest::addColumn<bool>("halfDuplex");
        QTest::addColumn<N>("notification");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<QList<bool>>("rts");
        // 8 ms of wire time, then 20 ms of RtsDelay.
        QTest::newRow("after the wire time")
            << true << N::Queued << 2000 << 28 << QList<bool>{true, false};
        QTest::newRow("inside Output")
            << true << N::Immediate << 2000 << 20 << QList<bool>{true, false};
        QTest::newRow("never: listens at the deadline")
            << true << N::Never << 150 << 150 << QList<bool>{true};
        QTest::newRow("full duplex") << false << N::Queued << 2000 << 0 << QList<bool>{true};
    }

    void turnAround()
    {
        QFETCH(bool, halfDuplex);
        QFETCH(SimulatedLine::SendNotification, notification);
        QFETCH(int, timeoutMs);
        QFETCH(int, minMs);
        QFETCH(QList<bool>, rts);
        SimulatedLine line;
        line.addPanel(1);
        line.setWireTime(true);
        line.setSendNotification(notification);
        LinkOptions o = fast(timeoutMs);
        o.halfDuplex = halfDuplex;
        o.rtsDelayMs = 20;
        PanelLink link(line, o);
        QList<std::int16_t> w(1, 0);
        QElapsedTimer t;
        t.start();
        QVERIFY(LitMots(link, 1, 1138, w));
        QVERIFY2(t.elapsed() >= minMs && t.elapsed() < 1000,
                 qPrintable(QString::number(t.elapsed())));
        QTest::qWait(20); // a late notification changes nothing
        QCOMPARE(line.rtsChanges(), rts);
        QCOMPARE(line.RTSEnable(), rts.last());
        // Other events than the send notification leave RTS alone.
        line.SetRTSEnable(true);
        Q_EMIT line.OnComm(ComCtrl::comEvSend + 1);
        QVERIFY(line.RTSEnable());
    }
};

QTEST_GUILESS_MAIN(TestCommFunctions)
#include "tst_commfunctions.moc"
