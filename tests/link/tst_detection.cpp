// Detection and validation: direct and automatic search, address 65, cancel,
// confirmation, version and validation registers.
#include "ErrorReport.h"
#include "link/Detection.h"
#include "LinkTrace.h"
#include "RecordingUi.h"

#include <QTest>

#include <functional>

namespace {
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

using Setup = std::function<void(SimulatedLine&)>;

Setup panel(int slave, int version, const char* settings = "9600,N,8,1")
{
    return [=](SimulatedLine& line) {
        line.addPanel(std::uint8_t(slave), version, QString::fromLatin1(settings));
    };
}

// Panel 5 whose register 1138 (its slave number) reads number.
Setup numbered(int number)
{
    return
        [=](SimulatedLine& line) { line.addPanel(5).setReadRegister(1138, std::int16_t(number)); };
}

// Panel 4 with these identification words.
Setup identified(int w132, int w133)
{
    return [=](SimulatedLine& line) {
        line.addPanel(4).setIdentification(std::int16_t(w132), std::int16_t(w133));
    };
}

// Panel 5 at 19200 baud that does not answer a version read.
void versionUnread(SimulatedLine& line)
{
    line.addPanel(5, 262, QStringLiteral("19200,N,8,1"))
        .setFault(SimulatedPanel::Fault::NoReply, -1, 334);
}

struct Case
{
    Setup panels = [](SimulatedLine&) {};
    const char* line = "9600,N,8,1"; // the line's settings before
    int slave = 5;
    bool search = false;
    bool clearMode = false;
    bool confirm = true;
    int cancelAtPoll = 0;
    int result = DetectNone;
    int version = 99; // 99: left as it was
    QString steps;    // the trace; "": only its request count
    int requests = -1;
    QString calls;               // "|" between the window's calls; "": not compared
    const char* after = nullptr; // the line's settings after; null: as before
    QString message;             // the one error report; "": none
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
} // namespace

Q_DECLARE_METATYPE(Case)

class TestDetection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void detect_data()
    {
        QTest::addColumn<Case>("c");
        auto row = [](const char* name, const Case& c) { QTest::newRow(name) << c; };
        const QString viaAddress65 =
            QStringLiteral("65:R130/1 P %1:R132/1 P %1:R133/1 P P %1:R334/2");
        row("direct", {.panels = panel(5, 261),
                       .result = 5,
                       .version = 261,
                       .steps = "5:R1138/1 P 5:R334/2",
                       .calls = "confirm 5 35021|close"});
        row("clear mode", {.panels = panel(5, 262),
                           .clearMode = true,
                           .result = 5,
                           .version = 262,
                           .calls = "confirm 5 102011|close"});
        row("the panel's own number wins", {.panels =
                                                [](SimulatedLine& line) {
                                                    line.addPanel(5).setReadRegister(1138, 7);
                                                    line.addPanel(7, 261);
                                                },
                                            .result = 7,
                                            .version = 261,
                                            .steps = "5:R1138/1 P 7:R334/2",
                                            .calls = "confirm 7 35021|close"});
        for (int number : {0, 65, 255})
            row(qPrintable(QStringLiteral("answers %1").arg(number)),
                {.panels = numbered(number), .steps = "5:R1138/1 P", .calls = "close"});
        row("nothing answers",
            {.line = "4800,E,8,2", .slave = 9, .steps = "9:R1138/1 P", .calls = "close"});
        row("slave 0 through address 65", {.panels = panel(12, 260),
                                           .slave = 0,
                                           .result = 12,
                                           .version = 260,
                                           .steps = viaAddress65.arg(12),
                                           .calls = "confirm 12 35021|close"});
        row("slave 0, 132 is 0", {.panels = identified(0, 1),
                                  .slave = 0,
                                  .steps = "65:R130/1 P 4:R132/1 P P",
                                  .calls = "close"});
        row("slave 0, 133 is 2", {.panels = identified(1, 2),
                                  .slave = 0,
                                  .steps = "65:R130/1 P 4:R132/1 P 4:R133/1 P P",
                                  .calls = "close"});
        // A panel whose version cannot be read is no panel to work with, told
        // apart from "no panel answered" by the version.
        row("version unread", {.panels = versionUnread,
                               .line = "19200,N,8,1",
                               .version = VersionUnreadable,
                               .steps = "5:R1138/1 P 5:R334/2",
                               .calls = "close"});
        row("version unread, searching", {.panels = versionUnread,
                                          .line = "19200,N,8,1",
                                          .slave = 0,
                                          .search = true,
                                          .version = VersionUnreadable,
                                          .steps = viaAddress65.arg(5),
                                          .calls = "show|? 19200 1|5 19200 1|close"});
        // The search tries the current settings first, the other rates and
        // then the other stop count; the port keeps the settings that answered.
        row("search finds the panel at other settings",
            {.panels = panel(8, 259, "2400,N,8,2"),
             .slave = 0,
             .search = true,
             .result = 8,
             .version = 259,
             .steps = QStringLiteral("65:R130/1 P ").repeated(8) + viaAddress65.arg(8),
             .calls = "show|" + attempts("?", {9600, 19200, 4800, 2400, 1200}, {1}) + '|' +
                      attempts("?", {9600, 19200, 4800, 2400}, {2}) +
                      "|8 2400 2|confirm 8 35021|close",
             .after = "2400,N,8,2"});
        row("search finds nothing",
            {.line = "1200,N,8,2",
             .slave = 6,
             .search = true,
             .steps = QStringLiteral("6:R1138/1 P ").repeated(10).trimmed(),
             .calls = "show|" + attempts("6", {1200, 19200, 9600, 4800, 2400}, {2, 1}) + "|close"});
        row("confirmation refused",
            {.panels = panel(3, 262, "19200,N,8,1"),
             .slave = 3,
             .search = true,
             .confirm = false,
             .result = DetectCancelled,
             .version = 262,
             .calls = "show|3 9600 1|3 19200 1|3 19200 1|confirm 3 35021|close",
             .after = "19200,N,8,1"});
        row("cancel before the first", {.slave = 0,
                                        .search = true,
                                        .cancelAtPoll = 1,
                                        .result = DetectCancelled,
                                        .requests = 0,
                                        .calls = "show|close"});
        row("cancel after two", {.slave = 0,
                                 .search = true,
                                 .cancelAtPoll = 3,
                                 .result = DetectCancelled,
                                 .requests = 2,
                                 .calls = "show|? 9600 1|? 19200 1|close"});
        row("cancel during the last", {.slave = 0,
                                       .search = true,
                                       .cancelAtPoll = 11,
                                       .result = DetectCancelled,
                                       .requests = 10});
        row("a rate the device refuses",
            {.panels =
                 [](SimulatedLine& line) {
                     line.addPanel(5, 262, QStringLiteral("1200,N,8,1"));
                     line.setUnsupportedBauds({4800});
                 },
             .search = true,
             .requests = 2,
             .calls = "show|5 9600 1|5 19200 1|close",
             .message =
                 ErrorReport(8015, "Could not set comm state", "CommFunctions.DetectOrvel")});
    }

    void detect()
    {
        QFETCH(Case, c);
        RecordingUi ui;
        SimulatedLine line;
        line.SetSettings(QString::fromLatin1(c.line));
        c.panels(line);
        PanelLink link(line, {.frameDelayMs = 0, .replyTimeoutMs = 25});
        LinkTrace trace(line, link);
        RecordingWindow window;
        window.confirm = c.confirm;
        window.cancelAtPoll = c.cancelAtPoll;
        std::int32_t version = 99;
        QCOMPARE(
            int(DetectOrvel(link, window, std::uint8_t(c.slave), c.search, version, c.clearMode)),
            c.result);
        QCOMPARE(version, c.version);
        if (!c.steps.isEmpty())
            QCOMPARE(trace.text(), c.steps);
        if (c.requests >= 0)
            QCOMPARE(line.requests().size(), c.requests);
        if (!c.calls.isEmpty())
            QCOMPARE(window.calls.join(QLatin1Char('|')), c.calls);
        QCOMPARE(window.calls.last(), QStringLiteral("close"));
        QCOMPARE(line.Settings(), QString::fromLatin1(c.after ? c.after : c.line));
        QCOMPARE(ui.lastText(), c.message);
        QCOMPARE(ui.messages.size(), c.message.isEmpty() ? 0 : 1);
    }

    void versionAndValidation()
    {
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1);
        PanelLink link(line, {.frameDelayMs = 0, .replyTimeoutMs = 25});
        // Only the low byte of 334 and the high byte of 335 count.
        panel.setReadRegister(334, 0x7F01);
        panel.setReadRegister(335, 0x0633);
        QCOMPARE(ReadVersion(link, 1), 262);
        QCOMPARE(ReadVersion(link, 2), 0);
        line.clearLog();
        QVERIFY(ValidationOrvel(link, 1));
        QCOMPARE(line.requests(), QList<QByteArray>{QByteArray::fromHex("011001500001020000BAC0")});
        QCOMPARE(panel.validations(), 1);
        panel.setFault(SimulatedPanel::Fault::Exception);
        QVERIFY(!ValidationOrvel(link, 1));
    }
};

QTEST_GUILESS_MAIN(TestDetection)
#include "tst_detection.moc"
