// Finding panels: the detection (direct and automatic search, address 65,
// cancel, confirmation, the version), the bus scan, and the line monitor's
// decoding of an exchange.
#include "ErrorReport.h"
#include "link/BusScan.h"
#include "link/Detection.h"
#include "link/FrameText.h"
#include "link/LineMonitor.h"
#include "LinkTrace.h"
#include "RecordingUi.h"
#include "texts/DataFunctions.h"

#include <QTest>

namespace {
using Fault = SimulatedPanel::Fault;

// The search window as the detection drives it, with scripted answers.
class RecordingWindow : public SearchWindow
{
public:
    void ShowSearching() override { calls << QStringLiteral("show"); }
    bool Cancelled() override { return cancelAtPoll > 0 && ++polls >= cancelAtPoll; }
    void ShowAttempt(const QString& slave, std::int32_t bauds, std::int16_t stops) override
    {
        calls << QStringLiteral("%1 %2 %3").arg(slave).arg(bauds).arg(stops);
    }
    bool Confirm(std::uint8_t slaveFound, int messageTag) override
    {
        calls << QStringLiteral("confirm %1 %2").arg(slaveFound).arg(messageTag);
        return confirm;
    }
    void Close() override { calls << QStringLiteral("close"); }

    QStringList calls;
    int polls = 0;
    int cancelAtPoll = 0; // 0: never
    bool confirm = true;
};

// Attempts at every rate for each stop count, in order, for the window.
QString attempts(const char* slave, const QList<int>& bauds, const QList<int>& stops)
{
    QStringList list;
    for (int s : stops) {
        for (int b : bauds)
            list << QStringLiteral("%1 %2 %3").arg(QLatin1String(slave)).arg(b).arg(s);
    }
    return list.join(QLatin1Char('|'));
}

// Records what the scan tells; cancels once it has seen cancelAfter probes.
class Recorder : public ScanObserver
{
public:
    bool Cancelled() override { return cancelAfter > 0 && probes >= cancelAfter; }
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

    int cancelAfter = 0; // 0: never
    int probes = 0;
    int lastDone = -1;
    int lastTotal = -1;
    QStringList found;
};

// "slave:version[:settings[:how]]", how: "bad-crc", "no-version" (334 not
// answered), "number=N" (1138, its slave number, reads N) or "ident=A,B"
// (the identification words 132 and 133).
void addPanels(SimulatedLine& line, const QStringList& panels, int turnaround = 0)
{
    for (const QString& text : panels) {
        const QStringList f = text.split(QLatin1Char(':'));
        SimulatedPanel& p = line.addPanel(std::uint8_t(f[0].toInt()), f[1].toInt(),
                                          f.value(2, QStringLiteral("9600,N,8,1")));
        p.setTurnaroundMs(turnaround);
        const QString how = f.value(3).section(QLatin1Char('='), 0, 0);
        const QStringList n = f.value(3).section(QLatin1Char('='), 1).split(QLatin1Char(','));
        if (how == QLatin1String("bad-crc"))
            p.setFault(Fault::BadCrc);
        else if (how == QLatin1String("no-version"))
            p.setFault(Fault::NoReply, -1, 334);
        else if (how == QLatin1String("number"))
            p.setReadRegister(1138, std::int16_t(n[0].toInt()));
        else if (how == QLatin1String("ident"))
            p.setIdentification(std::int16_t(n[0].toInt()), std::int16_t(n.value(1).toInt()));
    }
}

// The word after word in words ("" if none).
QString after(const QStringList& words, const char* word)
{
    const qsizetype at = words.indexOf(QLatin1String(word));
    return at < 0 ? QString() : words.value(at + 1);
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

class TestDetection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat"))); }
    void cleanupTestCase() { CloseDataFile(); }

    // How: the slave (0: by address 65), "search", "refuse" (the panel found),
    // "cancel N" (at the Nth poll), "line S" (settings before), "unsupported B"
    // (a rate the device refuses). Outcome, version ("v99": left as it was)
    // and settings after; the line's trace, the window's calls, the error.
    void detect_data()
    {
        QTest::addColumn<QStringList>("panels");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("message");
        auto row = [](const char* name, const QStringList& panels, const char* how,
                      const char* outcome, const QString& steps, const QString& calls,
                      const QString& message = {}) {
            QTest::newRow(name) << panels << QString::fromLatin1(how)
                                << QString::fromLatin1(outcome) << steps << calls << message;
        };
        const QString via65 = QStringLiteral("65:R130/1 P %1:R132/1 P %1:R133/1 P P %1:R334/2");
        const QString probe65 = QStringLiteral("65:R130/1 P ");
        const QList<int> rates{9600, 19200, 4800, 2400, 1200};
        const QString unread = QStringLiteral("5:262:19200,N,8,1:no-version");
        row("direct", {"5:261"}, "5", "found 5 v261 at 9600,N,8,1", "5:R1138/1 P 5:R334/2",
            "confirm 5 35021|close");
        row("the panel's own number wins", {"5:262:9600,N,8,1:number=7", "7:261"}, "5",
            "found 7 v261 at 9600,N,8,1", "5:R1138/1 P 7:R334/2", "confirm 7 35021|close");
        for (const char* number : {"0", "65"})
            row(qPrintable(QStringLiteral("answers %1").arg(number)),
                {QStringLiteral("5:262:9600,N,8,1:number=") + number}, "5",
                "none v99 at 9600,N,8,1", "5:R1138/1 P", "close");
        row("slave 0 through address 65", {"12:260"}, "0", "found 12 v260 at 9600,N,8,1",
            via65.arg(12), "confirm 12 35021|close");
        row("slave 0, 132 is 0", {"4:262:9600,N,8,1:ident=0,1"}, "0", "none v99 at 9600,N,8,1",
            "65:R130/1 P 4:R132/1 P P", "close");
        row("slave 0, 133 is 2", {"4:262:9600,N,8,1:ident=1,2"}, "0", "none v99 at 9600,N,8,1",
            "65:R130/1 P 4:R132/1 P 4:R133/1 P P", "close");
        // A panel whose version cannot be read is no panel to work with, told
        // apart from "no panel answered" by the version.
        row("version unread", {unread}, "5 line 19200,N,8,1", "none v-1 at 19200,N,8,1",
            "5:R1138/1 P 5:R334/2", "close");
        row("version unread, searching", {unread}, "0 search line 19200,N,8,1",
            "none v-1 at 19200,N,8,1", via65.arg(5), "show|? 19200 1|5 19200 1|close");
        // The search tries the current settings first, the other rates and
        // then the other stop count; the port keeps the settings that answered.
        row("search finds the panel at other settings", {"8:259:2400,N,8,2"}, "0 search",
            "found 8 v259 at 2400,N,8,2", probe65.repeated(8) + via65.arg(8),
            "show|" + attempts("?", rates, {1}) + '|' + attempts("?", rates.mid(0, 4), {2}) +
                "|8 2400 2|confirm 8 35021|close");
        row("search finds nothing", {}, "6 search line 1200,N,8,2", "none v99 at 1200,N,8,2",
            QStringLiteral("6:R1138/1 P ").repeated(10).trimmed(),
            "show|" + attempts("6", {1200, 19200, 9600, 4800, 2400}, {2, 1}) + "|close");
        row("confirmation refused", {"3:262:19200,N,8,1"}, "3 search refuse",
            "cancelled v262 at 19200,N,8,1", "3:R1138/1 P 3:R1138/1 P 3:R334/2",
            "show|3 9600 1|3 19200 1|3 19200 1|confirm 3 35021|close");
        row("cancel before the first", {}, "0 search cancel 1", "cancelled v99 at 9600,N,8,1", "",
            "show|close");
        row("cancel during the last", {}, "0 search cancel 11", "cancelled v99 at 9600,N,8,1",
            probe65.repeated(10).trimmed(), "show|" + attempts("?", rates, {1, 2}) + "|close");
        row("a rate the device refuses", {"5:262:1200,N,8,1"}, "5 search unsupported 4800",
            "none v99 at 9600,N,8,1", "5:R1138/1 P 5:R1138/1 P", "show|5 9600 1|5 19200 1|close",
            ErrorReport(8015, "Could not set comm state", "CommFunctions.DetectOrvel"));
    }

    void detect()
    {
        QFETCH(QStringList, panels);
        QFETCH(QString, how);
        QFETCH(QString, message);
        const QStringList words = how.split(QLatin1Char(' '));
        RecordingUi ui;
        SimulatedLine line;
        if (words.contains(QLatin1String("line")))
            line.SetSettings(after(words, "line"));
        if (words.contains(QLatin1String("unsupported")))
            line.setUnsupportedBauds({after(words, "unsupported").toInt()});
        addPanels(line, panels);
        PanelLink link(line, {.frameDelayMs = 0, .replyTimeoutMs = 25});
        LinkTrace trace(line, link);
        RecordingWindow window;
        window.confirm = !words.contains(QLatin1String("refuse"));
        window.cancelAtPoll = after(words, "cancel").toInt();
        std::int32_t version = 99;
        const int result = DetectOrvel(link, window, std::uint8_t(words[0].toInt()),
                                       words.contains(QLatin1String("search")), version, false);
        QTEST(QStringLiteral("%1 v%2 at %3")
                  .arg(result == DetectNone        ? QStringLiteral("none")
                       : result == DetectCancelled ? QStringLiteral("cancelled")
                                                   : QStringLiteral("found %1").arg(result))
                  .arg(version)
                  .arg(line.Settings()),
              "outcome");
        QTEST(trace.text(), "steps");
        QTEST(window.calls.join(QLatin1Char('|')), "calls");
        QCOMPARE(ui.lastText(), message);
        QCOMPARE(ui.messages.size(), message.isEmpty() ? 0 : 1);
    }

    void version()
    {
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1);
        PanelLink link(line, {.frameDelayMs = 0, .replyTimeoutMs = 25});
        // Only the low byte of 334 and the high byte of 335 count.
        panel.setReadRegister(334, 0x7F01);
        panel.setReadRegister(335, 0x0633);
        QCOMPARE(ReadVersion(link, 1), 262);
        QCOMPARE(ReadVersion(link, 2), 0);
    }
    // The range, "search" (every setting), "slow N" (replies after N ms in wire
    // time, probed with the default margin, else a short one), "cancel N"
    // (after N probes); the panels found and the requests sent.
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
        const int from = words[0].section(QLatin1Char('-'), 0, 0).toInt();
        const int to = words[0].section(QLatin1Char('-'), 1).toInt();
        const bool search = words.contains(QLatin1String("search"));
        const int turnaround = after(words, "slow").toInt();
        SimulatedLine line;
        line.setWireTime(turnaround > 0);
        addPanels(line, panels, turnaround);
        PanelLink link(line, {.frameDelayMs = 20, .replyTimeoutMs = 300});
        int pauses = 0;
        connect(&link, &PanelLink::FramePaused, this, [&pauses] { ++pauses; });
        Recorder recorder;
        recorder.cancelAfter = after(words, "cancel").toInt();
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
        if (recorder.cancelAfter > 0)
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

QTEST_GUILESS_MAIN(TestDetection)
#include "tst_detection.moc"
