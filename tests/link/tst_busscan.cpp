// The bus scan against panels on the in-process simulated line, and the line
// monitor: how it decodes the frames of an exchange and how many it keeps.
#include "link/BusScan.h"
#include "link/FrameText.h"
#include "link/LineMonitor.h"
#include "SimulatedLine.h"
#include "texts/DataFunctions.h"

#include <QTest>

namespace {
using Fault = SimulatedPanel::Fault;

// Records what the scan tells; cancels once it has seen cancelAfter probes.
class Recorder : public ScanObserver
{
public:
    bool Cancelled() override { return cancelAfter >= 0 && probes >= cancelAfter; }
    void Probing(std::uint8_t, std::int32_t, std::int16_t, int done, int total) override
    {
        ++probes;
        lastDone = done;
        lastTotal = total;
    }
    void Found(const ScannedPanel& p) override
    {
        found
            << QStringLiteral("%1 %2 %3 %4").arg(p.slave).arg(p.version).arg(p.bauds).arg(p.stops);
    }

    int cancelAfter = -1;
    int probes = 0;
    int lastDone = -1;
    int lastTotal = -1;
    QStringList found;
};

// "slave:version[:settings[:fault]]".
void addPanels(SimulatedLine& line, const QStringList& panels, int turnaround)
{
    for (const QString& text : panels) {
        const QStringList f = text.split(QLatin1Char(':'));
        SimulatedPanel& p = line.addPanel(std::uint8_t(f[0].toInt()), f[1].toInt(),
                                          f.value(2, QStringLiteral("9600,N,8,1")));
        p.setTurnaroundMs(turnaround);
        if (f.value(3) == QLatin1String("bad-crc"))
            p.setFault(Fault::BadCrc);
    }
}

// "! " before a frame that tells of a fault, then direction | decoding.
QStringList monitored(const LineMonitor& monitor)
{
    QStringList lines;
    for (const MonitorFrame& frame : monitor.Frames())
        lines << QStringLiteral("%1%2 | %3")
                     .arg(FrameIsFault(frame) ? QStringLiteral("! ") : QString(),
                          FrameDirection(frame), FrameSummary(frame));
    return lines;
}
} // namespace

class TestBusScan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat"))); }
    void cleanupTestCase() { CloseDataFile(); }

    // The range probed ("1-64"), then "search" (every line setting), "slow N"
    // (panels that answer after N ms, in wire time, probed with the default
    // margin; the others at once with a short one) and "cancel N" (after N
    // probes); what the scan found (slave, version, speed, stop bits) and how
    // many requests it sent.
    void scan_data()
    {
        QTest::addColumn<QStringList>("panels"); // "slave:version[:settings[:bad-crc]]"
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("outcome");
        auto row = [](const char* name, const QStringList& panels, const char* how,
                      const char* outcome) {
            QTest::newRow(name) << panels << QString::fromLatin1(how)
                                << QString::fromLatin1(outcome);
        };
        // 64 probes, then each panel found is asked again and for its version.
        row("three panels", {"3:260", "17:261", "64:262"}, "1-64",
            "3 260 9600 1|17 261 9600 1|64 262 9600 1; 70 requests");
        // Five speeds with 1 stop bit, then 9600, 19200 and 4800 with 2.
        row("second speed by search", {"9:262:4800,N,8,2"}, "9-9 search",
            "9 262 4800 2; 10 requests");
        // Found at 9600 baud, the panel is not asked again at the other speeds.
        row("search asks a panel found once", {"9:262"}, "9-9 search", "9 262 9600 1; 3 requests");
        row("other speed without search", {"9:262:4800,N,8,2"}, "8-10", "; 3 requests");
        row("slow panel within the margin", {"17:262"}, "16-18 slow 80",
            "17 262 9600 1; 5 requests");
        // Its reply comes during the probe of 18, which it does not answer.
        row("panel slower than the margin", {"17:262"}, "16-18 slow 130", "; 3 requests");
        row("bad CRC does not answer", {"3:262", "4:262:9600,N,8,1:bad-crc"}, "3-4",
            "3 262 9600 1; 4 requests");
        // The panel found before the cancel is kept.
        row("cancel", {"3:262", "17:262:4800,N,8,1"}, "1-64 search cancel 5",
            "3 262 9600 1; 7 requests; cancelled");
    }

    void scan()
    {
        QFETCH(QStringList, panels);
        QFETCH(QString, how);
        const QStringList words = how.split(QLatin1Char(' '));
        const auto after = [&](const char* word) {
            const qsizetype at = words.indexOf(QLatin1String(word));
            return at < 0 ? -1 : words.value(at + 1).toInt();
        };
        const int from = words[0].section(QLatin1Char('-'), 0, 0).toInt();
        const int to = words[0].section(QLatin1Char('-'), 1).toInt();
        const bool search = words.contains(QLatin1String("search"));
        const int turnaround = qMax(0, after("slow"));
        SimulatedLine line;
        line.setWireTime(turnaround > 0);
        addPanels(line, panels, turnaround);
        PanelLink link(line, {.frameDelayMs = 20, .replyTimeoutMs = 300});
        int pauses = 0;
        connect(&link, &PanelLink::FramePaused, this, [&pauses] { ++pauses; });
        Recorder recorder;
        recorder.cancelAfter = after("cancel");
        const ScanResult result =
            ScanLine(link, {from, to, search, turnaround > 0 ? 100 : 5}, recorder);

        QTEST(QStringLiteral("%1; %2 requests%3")
                  .arg(recorder.found.join(QLatin1Char('|')))
                  .arg(line.requests().size())
                  .arg(QLatin1String(result.cancelled ? "; cancelled" : "")),
              "outcome");
        QCOMPARE(result.panels.size(), recorder.found.size());
        QCOMPARE(line.requests().first(), ReadRequestFrame(std::uint8_t(from), 1138, 1));
        // A pause after each answer, none after a probe that got none.
        QCOMPARE(pauses, 3 * recorder.found.size());
        QCOMPARE(line.Settings(), QStringLiteral("9600,N,8,1"));
        QCOMPARE(recorder.lastTotal, (to - from + 1) * (search ? 10 : 1));
        if (recorder.cancelAfter >= 0)
            QCOMPARE(recorder.lastDone, recorder.cancelAfter - 1);
    }

    void probeDeadline_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<bool>("halfDuplex");
        QTest::addColumn<int>("margin");
        QTest::addColumn<int>("deadline");
        // 15 characters of 10 bits at 9600 baud: 15.6 ms.
        QTest::newRow("9600") << "9600,N,8,1" << false << 100 << 116;
        // The request has left before a half-duplex exchange listens.
        QTest::newRow("9600 half-duplex") << "9600,N,8,1" << true << 100 << 108;
        QTest::newRow("19200 even 2 stops") << "19200,E,8,2" << false << 100 << 110;
        QTest::newRow("1200") << "1200,N,8,1" << false << 50 << 175;
    }

    void probeDeadline()
    {
        QFETCH(QString, settings);
        QFETCH(bool, halfDuplex);
        QFETCH(int, margin);
        QFETCH(int, deadline);
        QCOMPARE(ProbeDeadlineMs({.halfDuplex = halfDuplex}, settings, margin), deadline);
    }

    void monitorDecodes_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<bool>("write");
        QTest::addColumn<QStringList>("lines");
        const QString read = QStringLiteral("Sent | slave 5, read 1 word(s) at 1138, CRC good");
        const QString reply = QStringLiteral("Received | slave 5, reply with 1 word(s), CRC good");
        const QString timeout = QStringLiteral("! Timeout | no reply within 50 ms");
        QTest::newRow("read") << Fault::None << false << QStringList{read, reply};
        QTest::newRow("write")
            << Fault::None << true
            << QStringList{"Sent | slave 5, write 1 word(s) at 336, CRC good",
                           "Received | slave 5, write of 1 word(s) at 336 acknowledged, CRC good"};
        QTest::newRow("echo") << Fault::Echo << false
                              << QStringList{read, "Received | echo of our request", reply};
        QTest::newRow("exception")
            << Fault::Exception << false
            << QStringList{read, "! Received | slave 5, exception 4 to function 3, CRC good"};
        QTest::newRow("bad CRC") << Fault::BadCrc << false
                                 << QStringList{
                                        read, "! Received | slave 5, reply with 1 word(s), CRC bad",
                                        timeout};
        QTest::newRow("no reply") << Fault::NoReply << false << QStringList{read, timeout};
        QTest::newRow("short reply") << Fault::ShortReply << false
                                     << QStringList{read, "! Received | incomplete frame", timeout};
        QTest::newRow("late reply")
            << Fault::LateReply << false
            << QStringList{read, timeout,
                           "! Received | after the deadline, slave 5, reply with 1 word(s), "
                           "CRC good"};
    }

    void monitorDecodes()
    {
        QFETCH(Fault, fault);
        QFETCH(bool, write);
        QFETCH(QStringList, lines);
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(5);
        panel.setFault(fault);
        panel.setLateReplyMs(60);
        PanelLink link(line, {.frameDelayMs = 0, .replyTimeoutMs = 50});
        LineMonitor monitor;
        link.SetMonitor(&monitor);
        QList<std::int16_t> words(1, 0);
        if (write)
            EcritMots(link, 5, 336, {0});
        else
            LitMots(link, 5, 1138, words);
        QCOMPARE(monitored(monitor), lines);
        QCOMPARE(FrameBytes(monitor.Frames().front()),
                 write ? QStringLiteral("05 10 01 50 00 01 02 00 00 88 00")
                       : QStringLiteral("05 03 04 72 00 01 24 A5"));
    }

    void frameLine()
    {
        const QByteArray request = ReadRequestFrame(5, 1138, 1);
        QCOMPARE(FrameLine({1234567, MonitorFrame::Kind::Sent, request, request, 0, false}),
                 QStringLiteral("    1234.6 ms  Sent  05 03 04 72 00 01 24 A5  slave 5, read 1 "
                                "word(s) at 1138, CRC good"));
        QCOMPARE(FrameLine({50, MonitorFrame::Kind::NoReply, {}, request, 116, false}),
                 QStringLiteral("       0.1 ms  Timeout  no reply within 116 ms"));
    }
};

QTEST_GUILESS_MAIN(TestBusScan)
#include "tst_busscan.moc"
