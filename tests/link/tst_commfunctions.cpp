// The word protocol: frames, reply checks, failure shapes, the reply deadline
// and the half-duplex turn-around.
#include "link/CommFunctions.h"
#include "RecordingUi.h"
#include "SimulatedLine.h"

#include <QSignalSpy>
#include <QTest>

#include <ctime>

namespace {
QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

LinkOptions fast(int timeoutMs = 150)
{
    LinkOptions o;
    o.frameDelayMs = 0;
    o.replyTimeoutMs = timeoutMs;
    return o;
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
    void crcExample()
    {
        QCOMPARE(CRC16(hex("010300000001"), 6), std::uint16_t(0x0A84));
        QCOMPARE(ReadRequestFrame(1, 0, 1), hex("010300000001840A"));
        // Only the leading count bytes count.
        QCOMPARE(CRC16(hex("010300000001FFFF"), 6), std::uint16_t(0x0A84));
        QCOMPARE(CRC16(QByteArray(), 0), std::uint16_t(0xFFFF));
    }

    void readFrame()
    {
        SimulatedLine line;
        line.addPanel(1);
        PanelLink link(line, fast());
        QList<std::int16_t> w(1, 0);
        QVERIFY(LitMots(link, 1, 334, w));
        QCOMPARE(line.requests(), QList<QByteArray>{hex("0103014E0001E5E1")});
        QCOMPARE(w[0], std::int16_t(1));
    }

    void writeFrame()
    {
        SimulatedLine line;
        line.addPanel(1);
        PanelLink link(line, fast());
        QVERIFY(EcritMots(link, 1, 336, {0}));
        QCOMPARE(line.requests(), QList<QByteArray>{hex("011001500001020000BAC0")});
        QCOMPARE(line.panel(1)->validations(), 1);
    }

    void negativeWordsGoAsTwosComplement()
    {
        SimulatedLine line;
        line.addPanel(1);
        PanelLink link(line, fast());
        QVERIFY(EcritMots(link, 1, 353, {-1, 255, -25536}));
        QCOMPARE(line.requests()[0].mid(7, 6), hex("FFFF00FF9C40"));
        QList<std::int16_t> w(3, 0);
        QVERIFY(LitMots(link, 1, 609, w));
        QCOMPARE(w, (QList<std::int16_t>{-1, 255, -25536}));
    }

    void writeReplyChecks_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("ok");
        const QByteArray echo = hex("011001500001020000BAC0");
        QTest::newRow("acknowledgement") << hex("0110015000010024") << true;
        QTest::newRow("echo of the request, then acknowledgement")
            << echo + hex("0110015000010024") << true;
        QTest::newRow("01 10 and six garbage bytes") << hex("0110DEADBEEF0000") << false;
        QTest::newRow("crc bytes swapped") << hex("0110015000012400") << false;
        QTest::newRow("another address echoed") << hex("01100151000151E4") << false;
        QTest::newRow("another count echoed") << hex("0110015000024025") << false;
        QTest::newRow("7 bytes") << hex("01100150000100") << false;
        QTest::newRow("wrong function") << hex("0103015000010000") << false;
        QTest::newRow("wrong slave") << hex("0210015000010000") << false;
        QTest::newRow("exception") << hex("0190040DC0") << false;
        QTest::newRow("echo only") << echo << false;
        QTest::newRow("nothing") << QByteArray() << false;
    }

    void writeReplyChecks()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, ok);
        RecordingUi ui;
        SimulatedLine line;
        line.setResponder([&](const QByteArray&) { return reply; });
        PanelLink link(line, fast(60));
        QCOMPARE(EcritMots(link, 1, 336, {0}), ok);
        QVERIFY(ui.messages.isEmpty());
    }

    void readReplyChecks_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("ok");
        QByteArray good = hex("0103020102");
        AppendCRC16(good);
        QByteArray swapped = good;
        std::swap(swapped[5], swapped[6]);
        QByteArray slave2 = hex("0203020102");
        AppendCRC16(slave2);
        QByteArray function4 = hex("0104020102");
        AppendCRC16(function4);
        QByteArray exception = hex("018302");
        AppendCRC16(exception);
        QByteArray twoWords = hex("010304AAAA0102");
        AppendCRC16(twoWords);
        QTest::newRow("good") << good << true;
        QTest::newRow("echo of the request, then reply")
            << ReadRequestFrame(1, 133, 1) + good << true;
        QTest::newRow("another slave's reply, then reply") << slave2 + good << true;
        QTest::newRow("a longer reply, then reply") << twoWords + good << true;
        QTest::newRow("crc bytes swapped") << swapped << false;
        QTest::newRow("from slave 2") << slave2 << false;
        QTest::newRow("function 4") << function4 << false;
        QTest::newRow("exception reply") << exception << false;
        QTest::newRow("exception reply, then reply") << exception + good << false;
        QTest::newRow("reply with another byte count") << twoWords << false;
        QTest::newRow("short") << good.left(6) << false;
        QTest::newRow("nothing") << QByteArray() << false;
    }

    void readReplyChecks()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, ok);
        RecordingUi ui;
        SimulatedLine line;
        line.setResponder([&](const QByteArray&) { return reply; });
        PanelLink link(line, fast(60));
        QList<std::int16_t> w{-7};
        QCOMPARE(LitMots(link, 1, 133, w), ok);
        // A failed read leaves the caller's words as they were.
        QCOMPARE(w[0], std::int16_t(ok ? 0x0102 : -7));
        QVERIFY(ui.messages.isEmpty());
    }

    void panelFaultsFail_data()
    {
        QTest::addColumn<int>("fault");
        using F = SimulatedPanel::Fault;
        QTest::newRow("no reply") << int(F::NoReply);
        QTest::newRow("bad crc") << int(F::BadCrc);
        QTest::newRow("bad echo") << int(F::BadEcho);
        QTest::newRow("exception") << int(F::Exception);
        QTest::newRow("wrong slave") << int(F::WrongSlave);
        QTest::newRow("short reply") << int(F::ShortReply);
        QTest::newRow("late reply") << int(F::LateReply);
        QTest::newRow("held reply") << int(F::HeldReply);
    }

    void panelFaultsFail()
    {
        QFETCH(int, fault);
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1);
        panel.setLateReplyMs(200);
        panel.setFault(static_cast<SimulatedPanel::Fault>(fault));
        PanelLink link(line, fast(80));
        QList<std::int16_t> w{5, 6};
        QVERIFY(!LitMots(link, 1, 334, w));
        QCOMPARE(w, (QList<std::int16_t>{5, 6}));
        if (fault != int(SimulatedPanel::Fault::BadCrc))
            QVERIFY(!EcritMots(link, 1, 336, {0}));
        // Each exchange starts clean: once the panel behaves, it works again,
        // even after a late reply (whose bytes arrive after its deadline).
        panel.setFault(SimulatedPanel::Fault::None);
        QTest::qWait(fault == int(SimulatedPanel::Fault::LateReply) ? 250 : 0);
        QVERIFY(LitMots(link, 1, 334, w));
        QCOMPARE(w, (QList<std::int16_t>{1, 6 << 8}));
    }

    void portFaultsAreReported_data()
    {
        QTest::addColumn<bool>("unplug");
        QTest::addColumn<int>("number");
        QTest::newRow("closed") << false << 8018;
        QTest::newRow("unplugged") << true << 8021;
    }

    void portFaultsAreReported()
    {
        QFETCH(bool, unplug);
        QFETCH(int, number);
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
        QVERIFY(t.elapsed() < 1000); // at once, not after the deadline
        QCOMPARE(w[0], std::int16_t(3));
        QCOMPARE(ui.messages.size(), 2);
        // An unplugged line closes itself: the next exchange finds it closed.
        const QString n = QStringLiteral("8018");
        QVERIFY(
            ui.messages[0].text.startsWith(QStringLiteral("Error Nr ") + QString::number(number)));
        QVERIFY(ui.messages[0].text.endsWith(
            QStringLiteral("Module : CommFunctions\r\nFunction : LitMots")));
        QVERIFY(ui.messages[1].text.startsWith(QStringLiteral("Error Nr ") + n));
        QVERIFY(ui.messages[1].text.endsWith(
            QStringLiteral("Module : CommFunctions\r\nFunction : EcritMots")));
    }

    void wordCountLimits()
    {
        RecordingUi ui;
        SimulatedLine line;
        line.addPanel(1);
        PanelLink link(line, fast());
        QVERIFY(!EcritMots(link, 1, 337, {}));
        QVERIFY(!EcritMots(link, 1, 337, QList<std::int16_t>(128, 0)));
        QList<std::int16_t> none;
        QVERIFY(!LitMots(link, 1, 146, none));
        QCOMPARE(line.requests().size(), 0);
        QCOMPARE(ui.messages.size(), 3);
        QVERIFY(ui.messages[2].text.startsWith(QStringLiteral("Error Nr 5 : ")));
        QVERIFY(ui.messages[2].text.endsWith(QStringLiteral("Function : LitMots")));
        // 124 words, the event buffer's record area, fit one request.
        QList<std::int16_t> records(124, 0);
        QVERIFY(LitMots(link, 1, 146, records));
        QCOMPARE(line.requests()[0], ReadRequestFrame(1, 146, 124));
    }

    void staleBytesAreDiscardedBeforeSending()
    {
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1);
        panel.setLateReplyMs(60);
        panel.setFault(SimulatedPanel::Fault::LateReply, 1);
        PanelLink link(line, fast(30));
        QList<std::int16_t> w(2, 0);
        QVERIFY(!LitMots(link, 1, 334, w));
        QTest::qWait(80); // the late reply is now in the input buffer
        QCOMPARE(line.InBufferCount(), 9);
        QVERIFY(LitMots(link, 1, 334, w));
    }

    // A reply that comes after its deadline (late, or held back until the
    // next request) is never taken for the answer to the next request.
    void lateReplyNeverAnswersNextRequest_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("lateMs");
        QTest::addColumn<int>("nextCount");
        using F = SimulatedPanel::Fault;
        QTest::newRow("late past the deadline, same request") << int(F::LateReply) << 60 << 1;
        QTest::newRow("held, a longer request next") << int(F::HeldReply) << 0 << 2;
    }

    void lateReplyNeverAnswersNextRequest()
    {
        QFETCH(int, fault);
        QFETCH(int, lateMs);
        QFETCH(int, nextCount);
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1);
        panel.setTurnaroundMs(40);
        panel.setLateReplyMs(lateMs);
        panel.setFault(static_cast<SimulatedPanel::Fault>(fault), 1);
        PanelLink link(line, fast(80));
        QList<std::int16_t> w(1, 0);
        QVERIFY(!LitMots(link, 1, 1138, w));
        panel.setReadRegister(1138, 9);
        QList<std::int16_t> next(nextCount, -7);
        QVERIFY(LitMots(link, 1, 1138, next));
        QCOMPARE(next[0], std::int16_t(9));
    }

    void waitBlocksWithoutSpinning()
    {
        SimulatedLine line;
        PanelLink link(line, fast(300));
        QList<std::int16_t> w(1, 0);
        QElapsedTimer t;
        t.start();
        const double cpu0 = cpuMs();
        QVERIFY(!LitMots(link, 1, 334, w));
        const double cpu = cpuMs() - cpu0;
        const qint64 wall = t.elapsed();
        QVERIFY2(wall >= 300 && wall < 1500, qPrintable(QString::number(wall)));
        QVERIFY2(cpu < 60, qPrintable(QString::number(cpu)));
    }

    void realTwoSecondDeadline()
    {
        SimulatedLine line;
        LinkOptions o;
        QCOMPARE(o.replyTimeoutMs, 2000);
        QCOMPARE(o.frameDelayMs, 50);
        QCOMPARE(o.rtsDelayMs, 5);
        QVERIFY(!o.halfDuplex);
        PanelLink link(line, o);
        QElapsedTimer t;
        t.start();
        QVERIFY(!EcritMots(link, 1, 336, {0}));
        // The deadline, then 800 ms of silence on the line.
        const qint64 wall = t.elapsed();
        QVERIFY2(wall >= 2800 && wall < 3000, qPrintable(QString::number(wall)));
    }

    void halfDuplexDropsRtsAfterSendNotification()
    {
        SimulatedLine line;
        line.addPanel(1);
        line.setWireTime(true); // the notification comes after 8 ms of wire time
        LinkOptions o = fast(2000);
        o.halfDuplex = true;
        o.rtsDelayMs = 3;
        PanelLink link(line, o);
        QSignalSpy notes(&line, &ComCtrl::OnComm);
        QList<std::int16_t> w(1, 0);
        QElapsedTimer t;
        t.start();
        QVERIFY(LitMots(link, 1, 1138, w));
        QVERIFY(t.elapsed() < 1000); // not the deadline
        QCOMPARE(notes.size(), 1);
        QCOMPARE(notes[0][0].toInt(), ComCtrl::comEvSend);
        QCOMPARE(line.rtsChanges(), (QList<bool>{true, false}));
        QVERIFY(!line.RTSEnable());
    }

    void halfDuplexTurnAround_data()
    {
        QTest::addColumn<bool>("notified");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<int>("minWallMs");
        QTest::addColumn<QList<bool>>("rtsChanges");
        // The notification comes inside Output: RTS drops at once.
        QTest::newRow("notification inside output")
            << true << 2000 << 0 << QList<bool>{true, false};
        // No notification: the link listens at the deadline with RTS still up.
        QTest::newRow("no notification, listens at the deadline")
            << false << 150 << 150 << QList<bool>{true};
    }

    void halfDuplexTurnAround()
    {
        QFETCH(bool, notified);
        QFETCH(int, timeoutMs);
        QFETCH(int, minWallMs);
        QFETCH(QList<bool>, rtsChanges);
        SimulatedLine line;
        line.addPanel(1);
        line.setSendNotification(notified ? SimulatedLine::SendNotification::Immediate
                                          : SimulatedLine::SendNotification::Never);
        LinkOptions o = fast(timeoutMs);
        o.halfDuplex = true;
        PanelLink link(line, o);
        QList<std::int16_t> w(1, 0);
        QElapsedTimer t;
        t.start();
        QVERIFY(LitMots(link, 1, 1138, w));
        const qint64 wall = t.elapsed();
        QVERIFY2(wall >= minWallMs && wall < 1000, qPrintable(QString::number(wall)));
        QCOMPARE(line.rtsChanges(), rtsChanges);
        QCOMPARE(line.RTSEnable(), rtsChanges.last());
    }

    void fullDuplexLeavesRtsAsserted()
    {
        SimulatedLine line;
        line.addPanel(1);
        PanelLink link(line, fast());
        QList<std::int16_t> w(1, 0);
        QVERIFY(LitMots(link, 1, 1138, w));
        QTest::qWait(10); // the notification arrives: the handler does nothing
        QCOMPARE(line.rtsChanges(), QList<bool>{true});
        QVERIFY(line.RTSEnable());
    }

    void onCommHandler_data()
    {
        QTest::addColumn<bool>("halfDuplex");
        QTest::addColumn<int>("event");
        QTest::addColumn<bool>("rtsAfter");
        QTest::newRow("send, half-duplex") << true << 1 << false;
        QTest::newRow("send, full duplex") << false << 1 << true;
        QTest::newRow("other event") << true << 2 << true;
    }

    void onCommHandler()
    {
        QFETCH(bool, halfDuplex);
        QFETCH(int, event);
        QFETCH(bool, rtsAfter);
        SimulatedLine line;
        LinkOptions o;
        o.halfDuplex = halfDuplex;
        o.rtsDelayMs = 20;
        PanelLink link(line, o);
        line.SetRTSEnable(true);
        QElapsedTimer t;
        t.start();
        Q_EMIT line.OnComm(event);
        QCOMPARE(line.RTSEnable(), rtsAfter);
        if (!rtsAfter)
            QVERIFY(t.elapsed() >= 20); // RtsDelay before RTS drops
    }

    void settingsText_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("bauds");
        QTest::addColumn<int>("stops");
        QTest::addColumn<QString>("parity");
        QTest::newRow("9600") << "9600,N,8,1" << 9600 << 1 << "N";
        QTest::newRow("19200 even 2") << "19200,E,8,2" << 19200 << 2 << "E";
        QTest::newRow("lower case") << "1200,o,7,1" << 1200 << 1 << "o";
    }

    void settingsText()
    {
        QFETCH(QString, settings);
        QFETCH(int, bauds);
        QFETCH(int, stops);
        QFETCH(QString, parity);
        SimulatedLine line;
        line.SetSettings(settings);
        QCOMPARE(GetCommBauds(line), bauds);
        QCOMPARE(GetCommStops(line), std::int16_t(stops));
        QCOMPARE(GetCommParity(line), parity);
    }

    void settingsEdits()
    {
        SimulatedLine line;
        SetCommBauds(line, 38400);
        QCOMPARE(line.Settings(), QStringLiteral("38400,N,8,1"));
        SetCommStops(line, 2);
        QCOMPARE(line.Settings(), QStringLiteral("38400,N,8,2"));
        SetCommParity(line, QStringLiteral("e"));
        QCOMPARE(line.Settings(), QStringLiteral("38400,e,8,2"));
        SetCommBauds(line, 1200);
        QCOMPARE(line.Settings(), QStringLiteral("1200,e,8,2"));
    }
};

QTEST_GUILESS_MAIN(TestCommFunctions)
#include "tst_commfunctions.moc"
