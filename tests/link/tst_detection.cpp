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

Q_DECLARE_METATYPE(Setup)

class TestDetection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // How the detection is asked: "5" (slave 5, directly), "0 search"
    // (slave 0, searching), then "clear" (to clear the buffer), "refuse" (the
    // user refuses the panel found), "cancel N" (Cancel at the Nth poll of the
    // window), "line S" (the line's settings before). Its outcome: "found N",
    // "none" or "cancelled", the version ("v99": left as it was) and the
    // line's settings after; the trace of the line, the window's calls and
    // the one error reported.
    void detect_data()
    {
        QTest::addColumn<Setup>("panels");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("message");
        auto row = [](const char* name, const Setup& panels, const char* how, const char* outcome,
                      const QString& steps, const QString& calls, const QString& message = {}) {
            QTest::newRow(name) << panels << QString::fromLatin1(how)
                                << QString::fromLatin1(outcome) << steps << calls << message;
        };
        const Setup none = [](SimulatedLine&) {};
        const QString via65 = QStringLiteral("65:R130/1 P %1:R132/1 P %1:R133/1 P P %1:R334/2");
        const QString probe65 = QStringLiteral("65:R130/1 P ");
        const QList<int> rates{9600, 19200, 4800, 2400, 1200};
        row("direct", panel(5, 261), "5", "found 5 v261 at 9600,N,8,1", "5:R1138/1 P 5:R334/2",
            "confirm 5 35021|close");
        row("clear mode", panel(5, 262), "5 clear", "found 5 v262 at 9600,N,8,1",
            "5:R1138/1 P 5:R334/2", "confirm 5 102011|close");
        row(
            "the panel's own number wins",
            [](SimulatedLine& line) {
                line.addPanel(5).setReadRegister(1138, 7);
                line.addPanel(7, 261);
            },
            "5", "found 7 v261 at 9600,N,8,1", "5:R1138/1 P 7:R334/2", "confirm 7 35021|close");
        for (int number : {0, 65})
            row(qPrintable(QStringLiteral("answers %1").arg(number)), numbered(number), "5",
                "none v99 at 9600,N,8,1", "5:R1138/1 P", "close");
        row("nothing answers", none, "9 line 4800,E,8,2", "none v99 at 4800,E,8,2", "9:R1138/1 P",
            "close");
        row("slave 0 through address 65", panel(12, 260), "0", "found 12 v260 at 9600,N,8,1",
            via65.arg(12), "confirm 12 35021|close");
        row("slave 0, 132 is 0", identified(0, 1), "0", "none v99 at 9600,N,8,1",
            "65:R130/1 P 4:R132/1 P P", "close");
        row("slave 0, 133 is 2", identified(1, 2), "0", "none v99 at 9600,N,8,1",
            "65:R130/1 P 4:R132/1 P 4:R133/1 P P", "close");
        // A panel whose version cannot be read is no panel to work with, told
        // apart from "no panel answered" by the version.
        row("version unread", versionUnread, "5 line 19200,N,8,1", "none v-1 at 19200,N,8,1",
            "5:R1138/1 P 5:R334/2", "close");
        row("version unread, searching", versionUnread, "0 search line 19200,N,8,1",
            "none v-1 at 19200,N,8,1", via65.arg(5), "show|? 19200 1|5 19200 1|close");
        // The search tries the current settings first, the other rates and
        // then the other stop count; the port keeps the settings that answered.
        row("search finds the panel at other settings", panel(8, 259, "2400,N,8,2"), "0 search",
            "found 8 v259 at 2400,N,8,2", probe65.repeated(8) + via65.arg(8),
            "show|" + attempts("?", rates, {1}) + '|' + attempts("?", rates.mid(0, 4), {2}) +
                "|8 2400 2|confirm 8 35021|close");
        row("search finds nothing", none, "6 search line 1200,N,8,2", "none v99 at 1200,N,8,2",
            QStringLiteral("6:R1138/1 P ").repeated(10).trimmed(),
            "show|" + attempts("6", {1200, 19200, 9600, 4800, 2400}, {2, 1}) + "|close");
        row("confirmation refused", panel(3, 262, "19200,N,8,1"), "3 search refuse",
            "cancelled v262 at 19200,N,8,1", "3:R1138/1 P 3:R1138/1 P 3:R334/2",
            "show|3 9600 1|3 19200 1|3 19200 1|confirm 3 35021|close");
        row("cancel before the first", none, "0 search cancel 1", "cancelled v99 at 9600,N,8,1", "",
            "show|close");
        row("cancel during the last", none, "0 search cancel 11", "cancelled v99 at 9600,N,8,1",
            probe65.repeated(10).trimmed(), "show|" + attempts("?", rates, {1, 2}) + "|close");
        row(
            "a rate the device refuses",
            [](SimulatedLine& line) {
                line.addPanel(5, 262, QStringLiteral("1200,N,8,1"));
                line.setUnsupportedBauds({4800});
            },
            "5 search", "none v99 at 9600,N,8,1", "5:R1138/1 P 5:R1138/1 P",
            "show|5 9600 1|5 19200 1|close",
            ErrorReport(8015, "Could not set comm state", "CommFunctions.DetectOrvel"));
    }

    void detect()
    {
        QFETCH(Setup, panels);
        QFETCH(QString, how);
        QFETCH(QString, message);
        const QStringList words = how.split(QLatin1Char(' '));
        const auto after = [&](const char* word) {
            const qsizetype at = words.indexOf(QLatin1String(word));
            return at < 0 ? QString() : words.value(at + 1);
        };
        RecordingUi ui;
        SimulatedLine line;
        if (words.contains(QLatin1String("line")))
            line.SetSettings(after("line"));
        panels(line);
        PanelLink link(line, {.frameDelayMs = 0, .replyTimeoutMs = 25});
        LinkTrace trace(line, link);
        RecordingWindow window;
        window.confirm = !words.contains(QLatin1String("refuse"));
        window.cancelAtPoll = after("cancel").toInt();
        std::int32_t version = 99;
        const int result = DetectOrvel(link, window, std::uint8_t(words[0].toInt()),
                                       words.contains(QLatin1String("search")), version,
                                       words.contains(QLatin1String("clear")));
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
