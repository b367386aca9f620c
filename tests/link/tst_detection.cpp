// Detection and validation: direct and automatic search, address 65,
// cancel, confirmation, version and validation registers.
#include "link/Detection.h"
#include "RecordingUi.h"
#include "SimulatedLine.h"

#include <QTest>

namespace {
LinkOptions fast()
{
    LinkOptions o;
    o.frameDelayMs = 0;
    o.replyTimeoutMs = 25;
    return o;
}

// The search window as the detection drives it, with scripted answers.
class RecordingWindow : public SearchWindow
{
public:
    void ShowSearching() override { calls << QStringLiteral("show"); }
    bool Cancelled() override
    {
        ++polls;
        return cancelAtPoll > 0 && polls >= cancelAtPoll;
    }
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

// "5:R1138/1 @9600,N,8,1" per request, "P" per pause.
class Trace
{
public:
    Trace(SimulatedLine& line, PanelLink& link)
    {
        QObject::connect(&link, &PanelLink::FramePaused, &link,
                         [this] { steps << QStringLiteral("P"); });
        QObject::connect(&line, &SimulatedLine::RequestSent, &line,
                         [this, &line](const QByteArray& r) {
                             const int address = static_cast<std::uint8_t>(r[2]) << 8 |
                                                 static_cast<std::uint8_t>(r[3]);
                             const int count = static_cast<std::uint8_t>(r[4]) << 8 |
                                               static_cast<std::uint8_t>(r[5]);
                             steps << QStringLiteral("%1:%2%3/%4")
                                          .arg(int(uchar(r[0])))
                                          .arg(r[1] == 3 ? 'R' : 'W')
                                          .arg(address)
                                          .arg(count);
                             settings << line.Settings();
                         });
    }
    QStringList steps;
    QStringList settings;
};

// One detection's bench: a simulated line, the link over it, the trace of
// what went on the line and the search window. version starts at 0.
struct Bench
{
    SimulatedLine line;
    PanelLink link{line, fast()};
    Trace trace{line, link};
    RecordingWindow window;
    std::int32_t version = 0;

    std::uint8_t detect(std::uint8_t slave, bool search, bool clearMode)
    {
        return DetectOrvel(link, window, slave, search, version, clearMode);
    }
};

QStringList searchOrder(const QList<int>& bauds, const QList<int>& stops)
{
    QStringList list;
    for (int s : stops) {
        for (int b : bauds)
            list << QStringLiteral("%1,N,8,%2").arg(b).arg(s);
    }
    return list;
}
} // namespace

class TestDetection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void consoleVersion() { QCOMPARE(CurrentVersion(), 262); }

    void directSlave()
    {
        Bench b;
        b.line.addPanel(5, 261);
        b.version = -1;
        QCOMPARE(b.detect(5, false, false), std::uint8_t(5));
        QCOMPARE(b.version, 261);
        QCOMPARE(b.trace.steps, QStringList({"5:R1138/1", "P", "5:R334/2"}));
        QCOMPARE(b.window.calls, QStringList({"confirm 5 35021", "close"}));
        QCOMPARE(b.line.Settings(), QStringLiteral("9600,N,8,1"));
    }

    void clearModeMessage()
    {
        Bench b;
        b.line.addPanel(5);
        QCOMPARE(b.detect(5, false, true), std::uint8_t(5));
        QCOMPARE(b.window.calls.first(), QStringLiteral("confirm 5 102011"));
    }

    void panelsOwnNumberWins()
    {
        Bench b;
        SimulatedPanel& panel = b.line.addPanel(5, 262);
        panel.setReadRegister(1138, 7); // configured as 7, validated
        b.line.addPanel(7, 261);
        QCOMPARE(b.detect(5, false, false), std::uint8_t(7));
        // The version is asked of the number found.
        QCOMPARE(b.trace.steps, QStringList({"5:R1138/1", "P", "7:R334/2"}));
        QCOMPARE(b.version, 261);
    }

    // A panel that answers but whose version cannot be read is no panel to
    // work with: nothing is confirmed and the link failure is told apart from
    // "no panel answered" by the version.
    void unreadableVersionIsLinkFailure_data()
    {
        QTest::addColumn<int>("slave");
        QTest::addColumn<bool>("search");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("slave 5") << 5 << false << QStringList({"5:R1138/1", "P", "5:R334/2"});
        QTest::newRow("slave 0, searching")
            << 0 << true
            << QStringList({"65:R130/1", "P", "5:R132/1", "P", "5:R133/1", "P", "P", "5:R334/2"});
    }

    void unreadableVersionIsLinkFailure()
    {
        QFETCH(int, slave);
        QFETCH(bool, search);
        QFETCH(QStringList, steps);
        Bench b;
        b.line.SetSettings(QStringLiteral("19200,N,8,1"));
        b.line.addPanel(5, 262, QStringLiteral("19200,N,8,1"))
            .setFault(SimulatedPanel::Fault::NoReply, -1, 334);
        QCOMPARE(b.detect(std::uint8_t(slave), search, false), DetectNone);
        QCOMPARE(b.version, VersionUnreadable);
        QCOMPARE(b.trace.steps, steps);
        QVERIFY(!b.window.calls.join(' ').contains(QLatin1String("confirm")));
        QCOMPARE(b.window.calls.last(), QStringLiteral("close"));
    }

    void confirmationRefusedIsCancel()
    {
        Bench b;
        b.line.addPanel(3, 262, QStringLiteral("19200,N,8,1"));
        b.window.confirm = false;
        QCOMPARE(b.detect(3, true, false), DetectCancelled);
        // The port keeps the settings that answered.
        QCOMPARE(b.line.Settings(), QStringLiteral("19200,N,8,1"));
        QCOMPARE(b.window.calls.last(), QStringLiteral("close"));
    }

    void slaveZeroThroughAddress65()
    {
        Bench b;
        b.line.addPanel(12, 260);
        QCOMPARE(b.detect(0, false, false), std::uint8_t(12));
        QCOMPARE(b.version, 260);
        QCOMPARE(b.trace.steps, QStringList({"65:R130/1", "P", "12:R132/1", "P", "12:R133/1", "P",
                                             "P", "12:R334/2"}));
        QCOMPARE(b.trace.settings.first(), QStringLiteral("9600,N,8,1"));
    }

    void slaveZeroFailsIdentification_data()
    {
        QTest::addColumn<int>("w132");
        QTest::addColumn<int>("w133");
        QTest::addColumn<int>("requests");
        QTest::newRow("132 is 0") << 0 << 1 << 2;
        QTest::newRow("133 is 2") << 1 << 2 << 3;
    }

    void slaveZeroFailsIdentification()
    {
        QFETCH(int, w132);
        QFETCH(int, w133);
        QFETCH(int, requests);
        Bench b;
        b.line.addPanel(4).setIdentification(static_cast<std::int16_t>(w132),
                                             static_cast<std::int16_t>(w133));
        b.version = 99;
        QCOMPARE(b.detect(0, false, false), DetectNone);
        QCOMPARE(b.line.requests().size(), requests);
        QCOMPARE(b.version, 99);
        QCOMPARE(b.window.calls, QStringList{"close"});
    }

    void nothingAnswersDirectly()
    {
        Bench b;
        b.line.SetSettings(QStringLiteral("4800,E,8,2"));
        QCOMPARE(b.detect(9, false, false), DetectNone);
        QCOMPARE(b.line.requests().size(), 1);
        QCOMPARE(b.line.Settings(), QStringLiteral("4800,E,8,2"));
    }

    void searchOrderAndRestore_data()
    {
        QTest::addColumn<int>("slave");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("9600/1: 10 attempts")
            << 6 << "9600,N,8,1" << searchOrder({9600, 19200, 4800, 2400, 1200}, {1, 2});
        QTest::newRow("38400/1: 12 attempts")
            << 6 << "38400,N,8,1" << searchOrder({38400, 19200, 9600, 4800, 2400, 1200}, {1, 2});
        QTest::newRow("1200/2: 2 then 1")
            << 6 << "1200,N,8,2" << searchOrder({1200, 19200, 9600, 4800, 2400}, {2, 1});
        QTest::newRow("slave 0: address 65 each time")
            << 0 << "9600,N,8,1" << searchOrder({9600, 19200, 4800, 2400, 1200}, {1, 2});
    }

    void searchOrderAndRestore()
    {
        QFETCH(int, slave);
        QFETCH(QString, settings);
        QFETCH(QStringList, order);
        Bench b;
        b.line.SetSettings(settings);
        QCOMPARE(b.detect(std::uint8_t(slave), true, false), DetectNone);
        QCOMPARE(b.trace.settings, order);
        // Each attempt is one request and one pause.
        const QString request =
            slave == 0 ? QStringLiteral("65:R130/1") : QStringLiteral("6:R1138/1");
        QCOMPARE(b.trace.steps.size(), 2 * order.size());
        for (qsizetype i = 0; i < b.trace.steps.size(); i += 2) {
            QCOMPARE(b.trace.steps[i], request);
            QCOMPARE(b.trace.steps[i + 1], QStringLiteral("P"));
        }
        QCOMPARE(b.line.Settings(), settings);
        // The window showed each attempt, then went away.
        QCOMPARE(b.window.calls.first(), QStringLiteral("show"));
        QCOMPARE(b.window.calls.size(), order.size() + 2);
        const QString first = order.first();
        QCOMPARE(b.window.calls[1], QStringLiteral("%1 %2 %3")
                                        .arg(slave == 0 ? QStringLiteral("?") : QStringLiteral("6"),
                                             first.section(',', 0, 0), first.section(',', 3)));
        QCOMPARE(b.window.calls.last(), QStringLiteral("close"));
    }

    void searchFindsPanelAtOtherSettings()
    {
        Bench b;
        b.line.addPanel(8, 259, QStringLiteral("2400,N,8,2"));
        QCOMPARE(b.detect(0, true, false), std::uint8_t(8));
        QCOMPARE(b.version, 259);
        // Five rates with 1 stop bit, then 9600, 19200, 4800 and 2400 with 2.
        QCOMPARE(b.window.calls.mid(1, 9),
                 QStringList({"? 9600 1", "? 19200 1", "? 4800 1", "? 2400 1", "? 1200 1",
                              "? 9600 2", "? 19200 2", "? 4800 2", "? 2400 2"}));
        QCOMPARE(b.window.calls.mid(10), QStringList({"8 2400 2", "confirm 8 35021", "close"}));
        QCOMPARE(b.line.Settings(), QStringLiteral("2400,N,8,2"));
        QCOMPARE(b.trace.settings.last(), QStringLiteral("2400,N,8,2"));
    }

    void cancelDuringSearch_data()
    {
        QTest::addColumn<int>("cancelAtPoll");
        QTest::addColumn<int>("attempts");
        QTest::newRow("before the first") << 1 << 0;
        QTest::newRow("after two") << 3 << 2;
        QTest::newRow("during the last") << 11 << 10;
    }

    void cancelDuringSearch()
    {
        QFETCH(int, cancelAtPoll);
        QFETCH(int, attempts);
        Bench b;
        b.window.cancelAtPoll = cancelAtPoll;
        QCOMPARE(b.detect(0, true, false), DetectCancelled);
        QCOMPARE(b.line.requests().size(), attempts);
        // The line goes back to the user's settings.
        QCOMPARE(b.line.Settings(), QStringLiteral("9600,N,8,1"));
        QCOMPARE(b.window.calls.last(), QStringLiteral("close"));
        QVERIFY(!b.window.calls.join(' ').contains(QStringLiteral("confirm")));
    }

    void answerOutsideOneTo64IsNoPanel_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("0") << 0;
        QTest::newRow("255") << 255;
        QTest::newRow("65") << 65;
    }

    void answerOutsideOneTo64IsNoPanel()
    {
        QFETCH(int, number);
        Bench b;
        b.line.addPanel(5).setReadRegister(1138, static_cast<std::int16_t>(number));
        QCOMPARE(b.detect(5, false, false), DetectNone);
    }

    void errorsAreReported()
    {
        RecordingUi ui;
        Bench b;
        b.line.addPanel(5, 262, QStringLiteral("1200,N,8,1"));
        b.line.setUnsupportedBauds({4800});
        QCOMPARE(b.detect(5, true, false), DetectNone);
        QCOMPARE(b.line.requests().size(), 2); // 9600, 19200, then 4800 fails
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral("Error Nr 8015 : Could not set comm state\r\n\r\nModule : "
                                "CommFunctions\r\nFunction : DetectOrvel"));
        QCOMPARE(b.window.calls.last(), QStringLiteral("close"));
        // Even then the line is back at the user's settings.
        QCOMPARE(b.line.Settings(), QStringLiteral("9600,N,8,1"));
    }

    void testModuleType()
    {
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(2);
        PanelLink link(line, fast());
        Trace trace(line, link);
        QVERIFY(TestModuleType(link, 2));
        QCOMPARE(trace.steps, QStringList({"2:R132/1", "P", "2:R133/1", "P"}));
        panel.setIdentification(1, 0);
        QVERIFY(!TestModuleType(link, 2));
        QVERIFY(!TestModuleType(link, 3));
    }

    void readVersion_data()
    {
        QTest::addColumn<int>("version");
        for (int v = 258; v <= 262; ++v)
            QTest::newRow(qPrintable(QString::number(v))) << v;
    }

    void readVersion()
    {
        QFETCH(int, version);
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1, version);
        PanelLink link(line, fast());
        QCOMPARE(ReadVersion(link, 1), version);
        // Only the low byte of 334 and the high byte of 335 count.
        panel.setReadRegister(334, 0x7F01);
        panel.setReadRegister(335, static_cast<std::int16_t>((version & 0xFF) << 8 | 0x33));
        QCOMPARE(ReadVersion(link, 1), version);
        QCOMPARE(ReadVersion(link, 2), 0);
    }

    void validation()
    {
        SimulatedLine line;
        SimulatedPanel& panel = line.addPanel(1);
        PanelLink link(line, fast());
        QVERIFY(ValidationOrvel(link, 1));
        QCOMPARE(line.requests(), QList<QByteArray>{QByteArray::fromHex("011001500001020000BAC0")});
        QCOMPARE(panel.validations(), 1);
        panel.setFault(SimulatedPanel::Fault::Exception);
        QVERIFY(!ValidationOrvel(link, 1));
    }
};

QTEST_GUILESS_MAIN(TestDetection)
#include "tst_detection.moc"
