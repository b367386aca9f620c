// The word protocol (frames, reply checks, deadline, turn-around) and the
// register map (each firmware's exchanges and pauses, packing, failures).
#include "ErrorReport.h"
#include "link/CommFunctions.h"
#include "link/RegisterMap.h"
#include "LinkTrace.h"
#include "RecordingUi.h"
#include "SimulatedLine.h"

#include <QTest>

#include <ctime>
#include <functional>

using Fault = SimulatedPanel::Fault;
using Setup = std::function<void(ConfigClass&)>;
Q_DECLARE_METATYPE(Setup)

namespace {
QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

LinkOptions fast(int timeoutMs = 100)
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

// What a whole transfer announces: its number of blocks, the sections in
// order, and the blocks done.
struct Announced
{
    explicit Announced(PanelLink& link)
    {
        QObject::connect(&link, &PanelLink::TransferBegun, &context, [this](int n) { total = n; });
        QObject::connect(&link, &PanelLink::SectionBegun, &context,
                         [this](ConfigSection s) { sections << int(s); });
        QObject::connect(&link, &PanelLink::BlockDone, &context, [this] { ++done; });
    }
    QObject context; // the connections end with the object
    int total = -1;
    int done = 0;
    QList<int> sections;
};

QString readAllSchedule(int v)
{
    QString s =
        QStringLiteral("R593/12 P R609/24 P R641/12 P R657/12 P R673/12 P R689/12 P R705/24 "
                       "P R737/12 P R753/12 ");
    if (v >= 259)
        s += QStringLiteral("R769/12 R785/12 ");
    s += QStringLiteral("P R929/12 P R945/12 ");
    if (v >= 261)
        s += QStringLiteral("R961/12 ");
    s += QStringLiteral("P R1057/14 P R1105/%1 P R1137/%2 P R1154/1 ")
             .arg(v >= 259 ? 10 : 9)
             .arg(v >= 259 ? 6 : 5);
    if (v >= 261)
        s += QStringLiteral("R1115/3 ");
    s += QStringLiteral("P R1172/4");
    return s;
}

QString writeAllSchedule(int v, bool factory)
{
    QString s =
        QStringLiteral("W337/12 P W353/24 P W385/12 P W401/12 P W417/12 P W433/12 P W449/24 "
                       "P W481/12 P W497/12 ");
    if (v >= 259)
        s += QStringLiteral("W513/12 W529/12 ");
    s += QStringLiteral("P W849/12 P W865/12 ");
    if (v >= 261)
        s += QStringLiteral("P W881/12 ");
    s += QStringLiteral("P W1025/%1 P W1089/%2 P W1121/%3 P W1153/1 ")
             .arg(v >= 260 ? 14 : 13)
             .arg(v >= 259 ? 10 : 9)
             .arg(v >= 259 ? 6 : 5);
    if (v >= 262)
        s += QStringLiteral("W1099/3 ");
    if (factory)
        s += QStringLiteral("P W1171/3");
    return s;
}

// The words of the request written at address.
QList<int> wordsAt(const SimulatedLine& line, int address)
{
    QList<int> words;
    for (const QByteArray& r : line.requests()) {
        if ((uchar(r[2]) << 8 | uchar(r[3])) == address) {
            for (int i = 7; i + 2 < r.size() - 1; i += 2)
                words << std::int16_t(uchar(r[i]) << 8 | uchar(r[i + 1]));
        }
    }
    return words;
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
        row("ack: another address", true, hex("01100151000151E4"), false);
        row("ack: another count", true, hex("0110015000024025"), false);
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

    // Half-duplex: RTS dropped RtsDelay after the send notification, or at the
    // deadline without one. Full duplex leaves RTS up.
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

    void schedules_data()
    {
        QTest::addColumn<int>("version");
        for (int v = 258; v <= 262; ++v)
            QTest::newRow(qPrintable(QStringLiteral("1.0%1").arg(v - 256))) << v;
    }

    void schedules()
    {
        QFETCH(int, version);
        SimulatedLine line;
        line.addPanel(1, version);
        PanelLink link(line, fast());
        LinkTrace trace(line, link, false);
        ConfigClass c;
        // Each whole transfer announces as many blocks as it sends requests,
        // one block done after each of them, and its sections in order.
        const auto transfer = [&](const std::function<bool()>& run, const QString& expected,
                                  const QList<int>& sections) {
            trace.steps.clear();
            line.clearLog();
            Announced announced(link);
            QVERIFY(run());
            QCOMPARE(trace.text(), expected.trimmed());
            QCOMPARE(announced.total, int(line.requests().size()));
            QCOMPARE(announced.done, announced.total);
            QCOMPARE(announced.sections, sections);
        };
        transfer([&] { return ReadAll(link, c, 1, version); }, readAllSchedule(version),
                 {1, 2, 3, 4});
        transfer([&] { return WriteAll(link, c, 1, true, version); },
                 writeAllSchedule(version, true), {1, 2, 3, 4});
        // Without the factory section there is no trailing pause either.
        transfer([&] { return WriteAll(link, c, 1, false, version); },
                 writeAllSchedule(version, false), {1, 2, 3});
    }

    // The words of one written block, and what the panel then reads back.
    void blockWords_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("first"); // the first word compared
        QTest::addColumn<QList<int>>("words");
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<Setup>("readBack"); // how the record read back differs
        auto row = [](const char* name, int version, int address, int first, QList<int> words,
                      Setup setup, Setup readBack = {}) {
            QTest::newRow(name) << version << address << first << words << setup << readBack;
        };
        auto tempo = [](int value) { return [value](ConfigClass& c) { c.SetInTempo(7, value); }; };
        row("InTempo 16 777 215", 262, 353, 12, {255, -1}, tempo(16777215));
        row("InTempo 16 777 216, 24 bits read", 262, 353, 12, {256, 0}, tempo(16777216), tempo(0));
        row("InRedir", 262, 449, 22, {-14236, 258}, [](ConfigClass& c) {
            c.SetInRedir(12, 1, 200);
            c.SetInRedir(12, 2, 100);
            c.SetInRedir(12, 3, 1);
            c.SetInRedir(12, 4, 2);
        });
        row("horn delay", 262, 1099, 0, {7, 21, -1792}, [](ConfigClass& c) {
            c.SetGenParam(29, 7);
            c.SetGenParam(30, 2);
            c.SetGenParam(31, 0);
        });
        row("re-trigger delay", 262, 1089, 0, {-1, -2},
            [](ConfigClass& c) { c.SetGenTempoRelance(-2); });
        // CommonType belongs to the hardware: never written, read as the panel has it.
        row(
            "factory", 262, 1171, 0, {-5, 0, 1},
            [](ConfigClass& c) {
                c.SetBrightMin(-5);
                c.SetSupplyType(1);
                c.SetCommonType(2);
            },
            [](ConfigClass& c) { c.SetCommonType(0); });
    }
    void blockWords()
    {
        QFETCH(int, version);
        QFETCH(int, address);
        QFETCH(int, first);
        QFETCH(QList<int>, words);
        QFETCH(Setup, setup);
        QFETCH(Setup, readBack);
        SimulatedLine line;
        line.addPanel(1, version);
        PanelLink link(line, fast());
        ConfigClass c;
        setup(c);
        QVERIFY(WriteAll(link, c, 1, true, version));
        QCOMPARE(wordsAt(line, address).mid(first, words.size()), words);
        ConfigClass read;
        if (readBack)
            readBack(c);
        QVERIFY(ReadAll(link, read, 1, version));
        QCOMPARE(read.ToFileBytes(), c.ToFileBytes()); // field by field, readable
        QVERIFY(read == c);
    }

    void minutesRoundHalvesToEven_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("hours");
        QTest::addColumn<int>("minutes");
        const int rows[][3] = {{6000, 0, 0},  {18000, 0, 2}, {30000, 0, 2},   {42000, 0, 4},
                               {17999, 0, 1}, {6001, 0, 1},  {1440000, 2, 0}, {184308000, 255, 59}};
        for (const auto& r : rows)
            QTest::newRow(qPrintable(QString::number(r[0]))) << r[0] << r[1] << r[2];
    }

    void minutesRoundHalvesToEven()
    {
        QFETCH(int, ticks);
        QFETCH(int, hours);
        QFETCH(int, minutes);
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1, 261);
        panel.setReadRegister(1116, static_cast<std::int16_t>(ticks >> 16));
        panel.setReadRegister(1117, static_cast<std::int16_t>(ticks & 0xFFFF));
        PanelLink link(line, fast());
        ConfigClass r;
        QVERIFY(ReadGeneral(link, r, 1, 261));
        QCOMPARE(int(r.GenParam(30)), hours);
        QCOMPARE(int(r.GenParam(31)), minutes);
    }

    void overflowErrors_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("procedure");
        QTest::newRow("SupplyType 256") << 1174 << 256 << "ReadFactory";
        QTest::newRow("CommonType -1") << 1175 << -1 << "ReadFactory";
        QTest::newRow("GenParam 29 300") << 1115 << 300 << "ReadGeneral";
        QTest::newRow("256 hours") << 1116 << 0x0AFC << "ReadGeneral";
        QTest::newRow("negative ticks") << 1116 << -1 << "ReadGeneral";
    }

    void overflowErrors()
    {
        QFETCH(int, address);
        QFETCH(int, value);
        QFETCH(QString, procedure);
        RecordingUi ui;
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1, 262);
        panel.setReadRegister(address, static_cast<std::int16_t>(value));
        if (address == 1116)
            panel.setReadRegister(1117, -32768); // 256 h = 184 320 000 ticks
        PanelLink link(line, fast());
        ConfigClass r;
        r.SetSupplyType(9);
        r.SetGenParam(30, 9);
        const bool ok = procedure == QLatin1String("ReadFactory") ? ReadFactory(link, r, 1, 262)
                                                                  : ReadGeneral(link, r, 1, 262);
        QVERIFY(!ok);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 ErrorReport(6, "Overflow", qPrintable("ConfigClass." + procedure)));
        QCOMPARE(r.SupplyType(), std::uint8_t(9));
        QCOMPARE(r.GenParam(30), std::uint8_t(9));
        // ReadAll stops there too.
        ui.clear();
        QVERIFY(!ReadAll(link, r, 1, 262));
        QCOMPARE(ui.messages.size(), 1);
    }

    // A failure or a stop (after the exchange in progress) ends the transfer at
    // that block; a write says whether any block reached the panel.
    void failureStopsAtTheBlock_data()
    {
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("failAt");    // 1-based request number; 0: none
        QTest::addColumn<int>("stopAfter"); // stop asked once this many were sent; 0: never
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("section"); // the last one announced
        QTest::addColumn<int>("outcome");
        using O = WriteOutcome;
        auto row = [](const char* name, bool write, int failAt, int stopAfter, int requests,
                      int section, O outcome = O::NotWritten) {
            QTest::newRow(name) << write << failAt << stopAfter << requests << section
                                << int(outcome);
        };
        row("read, redirections", false, 7, 0, 7, 1);
        row("read, factory", false, 20, 0, 20, 4);
        row("all written", true, 0, 0, 20, 4, O::Written);
        row("first block fails", true, 1, 0, 1, 1, O::NotWritten);
        row("factory fails", true, 20, 0, 20, 4, O::PartlyWritten);
        row("stop during the first", true, 0, 1, 1, 1, O::PartlyWritten);
        row("stop during the last", true, 0, 20, 20, 4, O::Written);
    }

    void failureStopsAtTheBlock()
    {
        QFETCH(bool, write);
        QFETCH(int, failAt);
        QFETCH(int, stopAfter);
        QFETCH(int, requests);
        QFETCH(int, section);
        QFETCH(int, outcome);
        RecordingUi ui;
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1, 262);
        ConfigClass sample; // what a read before the failure gets
        sample.SetInBlocage(4, 204);
        sample.SetInRedir(4, 1, 5);
        panel.loadConfig(sample);
        int sent = 0;
        connect(&line, &SimulatedLine::RequestSent, &line, [&] {
            if (++sent == failAt)
                panel.setFault(SimulatedPanel::Fault::NoReply);
        });
        PanelLink link(line, fast());
        link.SetStopRequest([&] { return stopAfter > 0 && sent >= stopAfter; });
        Announced announced(link);
        ConfigClass c;
        if (write) {
            const WriteOutcome result = WriteConfiguration(link, sample, 1, true, 262);
            QCOMPARE(int(result), outcome);
            QCOMPARE(WriteFailureTag(result),
                     result == WriteOutcome::PartlyWritten ? 10122 : 10105);
        } else {
            QVERIFY(!ReadAll(link, c, 1, 262));
        }
        QCOMPARE(line.requests().size(), requests);
        QCOMPARE(announced.done, requests - (failAt ? 1 : 0));
        QCOMPARE(announced.sections.last(), section);
        QVERIFY(ui.messages.isEmpty());
        if (failAt == 7 && !write) {
            // Blocks read before the failure keep their new values.
            QCOMPARE(c.InBlocage(4), std::uint8_t(204));
            QCOMPARE(c.InRedir(4, 1), std::uint8_t(0));
        }
    }
};

QTEST_GUILESS_MAIN(TestCommFunctions)
#include "tst_commfunctions.moc"
