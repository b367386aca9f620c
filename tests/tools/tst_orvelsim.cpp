// The panel simulator: what a console on the line sees of one panel (its
// registers per firmware, its faults, its event buffer), of a line carrying
// several, and of orvel-sim serving them on a pseudo-terminal.
#include "EventList.h"
#include "link/CommFunctions.h"
#include "link/SerialComCtrl.h"
#include "OrvelSim.h"
#include "SimulatedLine.h"
#include "TestFiles.h"
#include "util/RuntimeError.h"

#include <QFileInfo>
#include <QTest>

#include <functional>

namespace {

// The bytes given, with their CRC.
QByteArray withCrc(std::initializer_list<int> bytes)
{
    QByteArray frame;
    for (int b : bytes)
        frame.append(char(b));
    AppendCRC16(frame);
    return frame;
}

// An exception reply: the function with its high bit set, and the code.
QByteArray exception(int slave, int function, int code)
{
    return withCrc({slave, function | 0x80, code});
}

QByteArray readReply(int slave, const QList<int>& words)
{
    QByteArray f;
    f.append(char(slave)).append(char(3)).append(char(2 * words.size()));
    for (int w : words)
        f.append(char(w >> 8)).append(char(w & 0xFF));
    AppendCRC16(f);
    return f;
}

} // namespace

class TestOrvelSim : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void identification()
    {
        SimulatedPanel panel(7, 261);
        QCOMPARE(panel.handle(ReadRequestFrame(7, 334, 2)).bytes, readReply(7, {0x0001, 0x0500}));
        QCOMPARE(panel.handle(ReadRequestFrame(7, 132, 2)).bytes, readReply(7, {1, 1}));
        QCOMPARE(panel.handle(ReadRequestFrame(7, 1138, 1)).bytes, readReply(7, {7}));
        QCOMPARE(panel.handle(ReadRequestFrame(65, 130, 1)).bytes, readReply(65, {7}));
        // Only the slave number is read at address 65; writes there are ignored.
        QCOMPARE(panel.handle(ReadRequestFrame(65, 132, 1)).bytes, exception(65, 3, 2));
        QVERIFY(panel.handle(WriteRequestFrame(65, 336, {0})).bytes.isEmpty());
        QVERIFY(panel.handle(ReadRequestFrame(8, 1138, 1)).bytes.isEmpty());
        // A request with a bad CRC is ignored.
        QByteArray bad = ReadRequestFrame(7, 334, 2);
        bad[7] = char(bad[7] ^ 1);
        QVERIFY(panel.handle(bad).bytes.isEmpty());
        QCOMPARE(panel.requestsAnswered(), 5);
    }

    // A block written at its write address reads back at its read address.
    void windows_data()
    {
        QTest::addColumn<int>("writeAt");
        QTest::addColumn<int>("readAt");
        const QList<std::pair<const char*, std::pair<int, int>>> rows{
            {"InSecu", {337, 593}},      {"InTempo", {353, 609}}, {"InRedir", {449, 705}},
            {"InRepBlock", {529, 785}},  {"OutMode", {881, 961}}, {"G-W1", {1025, 1057}},
            {"G-W1 13", {1038, 1070}},   {"G-W2", {1089, 1105}},  {"G-W3", {1121, 1137}},
            {"G-W4", {1153, 1154}},      {"G-W5", {1099, 1115}},  {"BrightMin", {1171, 1172}},
            {"SupplyType", {1173, 1174}}};
        for (const auto& [name, at] : rows)
            QTest::newRow(name) << at.first << at.second;
    }

    void windows()
    {
        QFETCH(int, writeAt);
        QFETCH(int, readAt);
        SimulatedPanel panel(1, 262);
        QCOMPARE(panel.handle(WriteRequestFrame(1, writeAt, {-1234})).bytes,
                 withCrc({1, 16, writeAt >> 8, writeAt & 0xFF, 0, 1}));
        QCOMPARE(panel.writtenRegister(writeAt), std::optional<std::int16_t>(-1234));
        QCOMPARE(panel.handle(ReadRequestFrame(1, readAt, 1)).bytes, readReply(1, {0xFB2E}));
    }

    // A request touching a register the firmware lacks: exception 2.
    void firmwareBlocks_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("write");
        QTest::addColumn<bool>("exists");
        QTest::newRow("1.02 InDisturb read") << 258 << 769 << 12 << false << false;
        QTest::newRow("1.03 InDisturb read") << 259 << 769 << 12 << false << true;
        QTest::newRow("1.02 G-R2 10 words") << 258 << 1105 << 10 << false << false;
        QTest::newRow("1.02 G-R2 9 words") << 258 << 1105 << 9 << false << true;
        QTest::newRow("1.03 G-W1 14 words") << 259 << 1025 << 14 << true << false;
        QTest::newRow("1.04 G-W1 14 words") << 260 << 1025 << 14 << true << true;
        QTest::newRow("1.04 OutMode read") << 260 << 961 << 12 << false << false;
        QTest::newRow("1.05 OutMode write") << 261 << 881 << 12 << true << true;
        QTest::newRow("1.05 G-R5") << 261 << 1115 << 3 << false << true;
        QTest::newRow("1.05 G-W5") << 261 << 1099 << 3 << true << false;
        QTest::newRow("1.06 G-W5") << 262 << 1099 << 3 << true << true;
        QTest::newRow("past a block") << 262 << 1172 << 5 << false << false;
        QTest::newRow("CommonType is read-only") << 262 << 1171 << 4 << true << false;
    }

    void firmwareBlocks()
    {
        QFETCH(int, version);
        QFETCH(int, address);
        QFETCH(int, count);
        QFETCH(bool, write);
        QFETCH(bool, exists);
        SimulatedPanel panel(2, version);
        const QByteArray reply =
            panel
                .handle(write ? WriteRequestFrame(2, address, QList<std::int16_t>(count, 0))
                              : ReadRequestFrame(2, address, count))
                .bytes;
        if (exists)
            QCOMPARE(reply.mid(0, 2), QByteArray(write ? "\x02\x10" : "\x02\x03"));
        else
            QCOMPARE(reply, exception(2, write ? 16 : 3, 2));
    }

    void faults_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QByteArray>("echo");
        QTest::addColumn<int>("delay");
        const QByteArray good = readReply(1, {1});
        QByteArray swapped = good;
        std::swap(swapped[5], swapped[6]);
        using F = SimulatedPanel::Fault;
        QTest::newRow("none") << int(F::None) << good << QByteArray() << 0;
        QTest::newRow("no reply") << int(F::NoReply) << QByteArray() << QByteArray() << 0;
        QTest::newRow("bad crc") << int(F::BadCrc) << swapped << QByteArray() << 0;
        QTest::newRow("echo") << int(F::Echo) << good << ReadRequestFrame(1, 132, 1) << 0;
        QTest::newRow("exception") << int(F::Exception) << exception(1, 3, 4) << QByteArray() << 0;
        QTest::newRow("wrong slave")
            << int(F::WrongSlave) << readReply(2, {1}) << QByteArray() << 0;
        QTest::newRow("short") << int(F::ShortReply) << good.left(6) << QByteArray() << 0;
        QTest::newRow("late") << int(F::LateReply) << good << QByteArray() << 2500;
    }

    // Each fault for one request only.
    void faults()
    {
        QFETCH(int, fault);
        QFETCH(QByteArray, expected);
        QFETCH(QByteArray, echo);
        QFETCH(int, delay);
        SimulatedPanel panel(1);
        panel.setFault(SimulatedPanel::Fault(fault), 1);
        const SimulatedPanel::Reply reply = panel.handle(ReadRequestFrame(1, 132, 1));
        QCOMPARE(reply.bytes, expected);
        QCOMPARE(reply.echo, echo);
        QCOMPARE(reply.delayMs, delay);
        QCOMPARE(panel.handle(ReadRequestFrame(1, 132, 1)).bytes, readReply(1, {1}));
    }

    // 64 events: the count says 62, the last two are at 270; the clear loop
    // discards what was counted, again, then ends with 0 at 289.
    void eventBuffer()
    {
        SimulatedPanel panel(3);
        QList<SimulatedPanel::Event> events;
        for (int i = 1; i <= 64; ++i)
            events.append({std::uint16_t(0x1000 + i), std::uint16_t(i)});
        panel.setEvents(events);
        QCOMPARE(panel.handle(ReadRequestFrame(3, 144, 1)).bytes, readReply(3, {62}));
        QCOMPARE(panel.handle(ReadRequestFrame(3, 146, 2)).bytes, readReply(3, {0x1001, 1}));
        QCOMPARE(panel.handle(ReadRequestFrame(3, 270, 4)).bytes,
                 readReply(3, {0x103F, 63, 0x1040, 64}));
        panel.handle(WriteRequestFrame(3, 288, {62}));
        QCOMPARE(panel.handle(ReadRequestFrame(3, 146, 4)).bytes,
                 readReply(3, {0x103F, 63, 0x1040, 64}));
        QCOMPARE(panel.handle(ReadRequestFrame(3, 270, 4)).bytes, readReply(3, {0, 0, 0, 0}));
        panel.handle(WriteRequestFrame(3, 288, {2}));
        QCOMPARE(panel.readRegister(144), std::int16_t(0));
        QCOMPARE(panel.handle(WriteRequestFrame(3, 289, {1})).bytes, exception(3, 16, 3));
        QCOMPARE(panel.handle(WriteRequestFrame(3, 289, {0})).bytes.at(1), char(16));
        QCOMPARE(panel.discardWrites(), (QList<std::int16_t>{62, 2}));
        QCOMPARE(panel.endOfClearWrites(), 1);
        // A forced count, and a panel whose count never falls.
        panel.setEvents({{0x1203, 0x04D2}});
        panel.setCountOverride(std::int16_t(-1));
        QCOMPARE(panel.handle(ReadRequestFrame(3, 144, 1)).bytes, readReply(3, {0xFFFF}));
        panel.setCountOverride(std::nullopt);
        panel.setClearNeverFalls(true);
        panel.handle(WriteRequestFrame(3, 288, {1}));
        QCOMPARE(panel.readRegister(144), std::int16_t(1));
    }

    // The slave number written in the configuration takes effect once it is
    // validated; the panel's own layout packs and unpacks every field.
    void configuration()
    {
        SimulatedPanel panel(5);
        panel.handle(WriteRequestFrame(5, 1121, {0, 9, 0, 0, 0, 0}));
        QCOMPARE(panel.readRegister(1138), std::int16_t(9));
        QCOMPARE(panel.slave(), std::uint8_t(5));
        QCOMPARE(panel.handle(WriteRequestFrame(5, 336, {0})).bytes.at(1), char(16));
        QCOMPARE(panel.validations(), 1);
        QCOMPARE(panel.slave(), std::uint8_t(9));
        QCOMPARE(panel.handle(WriteRequestFrame(9, 336, {1})).bytes, exception(9, 16, 3));

        ConfigClass c;
        c.SetInTempo(1, 16777215);
        c.SetInRedir(2, 1, 200);
        c.SetInRedir(2, 4, 2);
        c.SetGenParam(30, 2);
        c.SetGenParam(31, 7);
        c.SetGenParam(23, 4);
        c.SetGenTempoRelance(-5);
        c.SetBrightMin(-3);
        c.SetCommonType(1);
        c.SetOutMode(12, 3);
        SimulatedPanel loaded(4);
        loaded.loadConfig(c);
        QCOMPARE(loaded.readRegister(609), std::int16_t(255));
        QCOMPARE(loaded.readRegister(610), std::int16_t(-1));
        QCOMPARE(loaded.readRegister(707), std::int16_t(200 * 256 - 65536));
        QCOMPARE(loaded.readRegister(1116), std::int16_t(1524000 >> 16));
        QCOMPARE(loaded.config(), c);
    }

    // A panel answers at its own line settings only; two panels both answer
    // at address 65, their replies overlapping; a closed or unplugged line
    // fails as a real port does.
    void line()
    {
        SimulatedLine line;
        line.addPanel(1, 262, QStringLiteral("19200,N,8,2"));
        line.addPanel(2, 258);
        QVERIFY(!line.panel(1)->listensAt(QStringLiteral("19200,N,8,1")));
        QVERIFY(!line.panel(1)->listensAt(QStringLiteral("19200,E,8,2")));
        line.Output(ReadRequestFrame(1, 132, 1));
        QCOMPARE(line.WaitForInput(7, 20), 0);
        line.SetSettings(QStringLiteral("19200,n,8,2"));
        line.Output(ReadRequestFrame(1, 132, 1));
        QCOMPARE(line.WaitForInput(7, 20), 7);
        QCOMPARE(line.Input(), readReply(1, {1}));
        line.SetSettings(QStringLiteral("9600,N,8,1"));
        line.Output(ReadRequestFrame(65, 130, 1));
        QCOMPARE(line.WaitForInput(7, 20), 7);
        QCOMPARE(line.Input(), readReply(65, {2}));
        line.panel(1)->setLineSettings(QStringLiteral("9600,N,8,1"));
        line.Output(ReadRequestFrame(65, 130, 1));
        QCOMPARE(line.WaitForInput(14, 20), 14);
        // Start, data, parity and stop bits of every character.
        QCOMPARE(SimulatedLine::wireTimeUs(8, "9600,N,8,1"), 8 * 10 * 1000000LL / 9600);
        QCOMPARE(SimulatedLine::wireTimeUs(1, "9600,E,8,2"), 12 * 1000000LL / 9600);

        auto errorOf = [](const std::function<void()>& action) {
            try {
                action();
            } catch (const RuntimeError& e) {
                return e.number();
            }
            return 0;
        };
        line.SetPortOpen(false);
        QCOMPARE(errorOf([&] { line.Output("x"); }), 8018);
        line.SetPortOpen(true);
        line.setUnplugged(true);
        QCOMPARE(errorOf([&] { line.Output("x"); }), 8021);
        QVERIFY(!line.PortOpen());
        QCOMPARE(errorOf([&] { line.SetPortOpen(true); }), 8002);
        line.setUnplugged(false);
        line.SetPortOpen(true);
        QVERIFY(line.PortOpen());
    }

    // The event lists orvel-sim loads: fields, ACK, raw words, comments.
    void eventList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("words"); // empty: refused
        QTest::newRow("fields") << "1 2 0 197842\n" << QList<int>{0x1203, 0x04D2};
        QTest::newRow("ack and comment") << "# list\nACK 0 0 0  # ack\n\n" << QList<int>{0xF000, 0};
        QTest::newRow("raw") << "0xD5A0 0x0001" << QList<int>{0xD5A0, 1};
        QTest::newRow("two") << "12 15 15 1048575\n0x0001 2" << QList<int>{0xCFFF, 0xFFFF, 1, 2};
        QTest::newRow("ticks too big") << "1 0 0 1048576" << QList<int>{};
        QTest::newRow("channel 16") << "16 0 0 1" << QList<int>{};
        QTest::newRow("three fields") << "1 2 3" << QList<int>{};
    }

    void eventList()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, words);
        QList<SimulatedPanel::Event> events;
        QString error;
        QCOMPARE(ParseEventList(text, events, &error), !words.isEmpty());
        QList<int> got;
        for (const auto& e : events)
            got << e.w0 << e.w1;
        if (words.isEmpty())
            QVERIFY(error.startsWith(QStringLiteral("line ")));
        else
            QCOMPARE(got, words);
    }

    void badOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("slave 65") << QStringList{"--panel", "65"} << "bad panel 65";
        QTest::newRow("version 1.07")
            << QStringList{"-p", "3:1.07"} << "bad version in 3:1.07 (1.02 to 1.06)";
        QTest::newRow("settings") << QStringList{"-p", "3:1.05:9600"}
                                  << "bad line settings in 3:1.05:9600";
        QTest::newRow("twice") << QStringList{"-p", "3", "-p", "3"} << "slave 3 given twice";
        QTest::newRow("fault") << QStringList{"--fault", "loud"} << "bad --fault loud";
        QTest::newRow("fault register")
            << QStringList{"--fault", "no-reply@x"} << "bad --fault no-reply@x";
        QTest::newRow("fault count")
            << QStringList{"--fault", "no-reply#0"} << "bad --fault no-reply#0";
        QTest::newRow("fault panel") << QStringList{"--fault", "9=echo"} << "bad --fault 9=echo";
        QTest::newRow("config") << QStringList{"--config", "/nonexistent/x.orv"}
                                << "cannot load the configuration /nonexistent/x.orv";
        QTest::newRow("events") << QStringList{"--events", "/nonexistent/e.txt"}
                                << "/nonexistent/e.txt: No such file or directory";
        QTest::newRow("argument") << QStringList{"extra"} << "unexpected argument extra";
    }

    void badOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QProcess sim;
        sim.start(QStringLiteral(ORVEL_BIN_DIR "/orvel-sim"), args);
        QVERIFY(sim.waitForFinished(10000));
        QCOMPARE(sim.exitCode(), 2);
        QCOMPARE(sim.readAllStandardError(), "orvel-sim: " + message.toUtf8() + '\n');
        QVERIFY(sim.readAllStandardOutput().isEmpty());
    }

    // The device and the link to it; the panel's configuration and events
    // loaded; a fault limited to one register or to the first requests; the
    // link gone after SIGTERM.
    void servesTheTerminal()
    {
        ConfigClass config;
        config.SetInSecu(4, 44);
        config.SetCommonType(2);
        QVERIFY(config.Save(m_dir.filePath("demo.orv")));
        TestFiles::WriteBytes(m_dir.filePath("events.txt"), "ACK 0 0 12000\n");
        OrvelSim sim;
        QVERIFY(
            sim.start({"-p", "5:1.05", "--config", "5=" + m_dir.filePath("demo.orv"), "--events",
                       "5=" + m_dir.filePath("events.txt"), "--fault", "5=no-reply@334#2"}));
        QVERIFY(sim.device().startsWith(QStringLiteral("/dev/")));
        QCOMPARE(QFileInfo(sim.link()).symLinkTarget(), sim.device());
        SerialComCtrl port;
        port.SetCommPort(sim.link());
        port.SetPortOpen(true);
        LinkOptions quick;
        quick.frameDelayMs = 0;
        quick.replyTimeoutMs = 300;
        PanelLink link(port, quick);
        QList<std::int16_t> w(4, 0);
        QVERIFY(LitMots(link, 5, 1172, w));
        QCOMPARE(w[3], std::int16_t(2));
        QVERIFY(LitMots(link, 5, 593, w));
        QCOMPARE(w[3], std::int16_t(44));
        QList<std::int16_t> event(2, 0);
        QVERIFY(LitMots(link, 5, 146, event));
        QCOMPARE(event, (QList<std::int16_t>{-4096, 12000}));
        for (bool answered : {false, false, true}) {
            QList<std::int16_t> version(2, 0);
            QCOMPARE(LitMots(link, 5, 334, version), answered);
        }
        port.SetPortOpen(false);
        QCOMPARE(sim.stop(), 0);
        QVERIFY(!QFileInfo::exists(sim.link()));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestOrvelSim)
#include "tst_orvelsim.moc"
