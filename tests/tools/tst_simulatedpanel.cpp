// The simulated panel and line: what a console on the line sees of them.
#include "EventList.h"
#include "link/CommFunctions.h"
#include "SimulatedLine.h"
#include "util/RuntimeError.h"

#include <QTest>

#include <functional>

namespace {
QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QByteArray withCrc(QByteArray frame)
{
    AppendCRC16(frame);
    return frame;
}

QByteArray readReply(std::uint8_t slave, const QList<int>& words)
{
    QByteArray f;
    f.append(static_cast<char>(slave));
    f.append(char(3));
    f.append(static_cast<char>(2 * words.size()));
    for (int w : words) {
        f.append(static_cast<char>((w >> 8) & 0xFF));
        f.append(static_cast<char>(w & 0xFF));
    }
    return withCrc(f);
}
} // namespace

class TestSimulatedPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsVersionAndIdentification()
    {
        SimulatedPanel panel(7, 261);
        QCOMPARE(panel.handle(ReadRequestFrame(7, 334, 2)).bytes, readReply(7, {0x0001, 0x0500}));
        QCOMPARE(panel.handle(ReadRequestFrame(7, 132, 2)).bytes, readReply(7, {1, 1}));
        QCOMPARE(panel.handle(ReadRequestFrame(7, 1138, 1)).bytes, readReply(7, {7}));
        QCOMPARE(panel.handle(ReadRequestFrame(65, 130, 1)).bytes, readReply(65, {7}));
        // Only the slave number is read at address 65; writes there are ignored.
        QCOMPARE(panel.handle(ReadRequestFrame(65, 132, 1)).bytes, withCrc(hex("418302")));
        QVERIFY(panel.handle(WriteRequestFrame(65, 336, {0})).bytes.isEmpty());
        QVERIFY(panel.handle(ReadRequestFrame(8, 1138, 1)).bytes.isEmpty());
    }

    void writeWindowReadsBackThroughReadWindow_data()
    {
        QTest::addColumn<int>("writeAt");
        QTest::addColumn<int>("readAt");
        QTest::newRow("InSecu") << 337 << 593;
        QTest::newRow("InTempo") << 353 << 609;
        QTest::newRow("InRedir") << 449 << 705;
        QTest::newRow("InRepBlock") << 529 << 785;
        QTest::newRow("OutMode") << 881 << 961;
        QTest::newRow("G-W1") << 1025 << 1057;
        QTest::newRow("G-W1 word 13") << 1038 << 1070;
        QTest::newRow("G-W2") << 1089 << 1105;
        QTest::newRow("G-W3") << 1121 << 1137;
        QTest::newRow("G-W4") << 1153 << 1154;
        QTest::newRow("G-W5") << 1099 << 1115;
        QTest::newRow("BrightMin") << 1171 << 1172;
        QTest::newRow("SupplyType") << 1173 << 1174;
    }

    void writeWindowReadsBackThroughReadWindow()
    {
        QFETCH(int, writeAt);
        QFETCH(int, readAt);
        SimulatedPanel panel(1, 262);
        QCOMPARE(
            panel.handle(WriteRequestFrame(1, writeAt, {-1234})).bytes,
            withCrc(QByteArray::fromHex("0110") +
                    QByteArray::fromHex(QByteArray::number(writeAt, 16).rightJustified(4, '0')) +
                    hex("0001")));
        QCOMPARE(panel.readRegister(readAt), std::int16_t(-1234));
        QCOMPARE(panel.writtenRegister(writeAt), std::optional<std::int16_t>(-1234));
        QCOMPARE(panel.handle(ReadRequestFrame(1, readAt, 1)).bytes, readReply(1, {0xFB2E}));
    }

    void commonTypeIsReadOnly()
    {
        SimulatedPanel panel(1, 262);
        panel.setReadRegister(1175, 3);
        QCOMPARE(panel.handle(WriteRequestFrame(1, 1171, {10, 0, 2})).bytes.at(1), char(16));
        QCOMPARE(panel.handle(ReadRequestFrame(1, 1172, 4)).bytes, readReply(1, {10, 0, 2, 3}));
        // There is no write register behind CommonType.
        QCOMPARE(panel.handle(WriteRequestFrame(1, 1171, {10, 0, 2, 9})).bytes,
                 withCrc(hex("019002")));
        QCOMPARE(panel.readRegister(1175), std::int16_t(3));
    }

    void blocksPerFirmware_data()
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
    }

    void blocksPerFirmware()
    {
        QFETCH(int, version);
        QFETCH(int, address);
        QFETCH(int, count);
        QFETCH(bool, write);
        QFETCH(bool, exists);
        SimulatedPanel panel(2, version);
        const QByteArray request =
            write ? WriteRequestFrame(2, address, QList<std::int16_t>(count, 0))
                  : ReadRequestFrame(2, address, count);
        const QByteArray reply = panel.handle(request).bytes;
        if (exists) {
            QCOMPARE(reply.at(1), char(write ? 16 : 3));
        } else {
            QCOMPARE(reply, withCrc(QByteArray(1, char(2)) + char(write ? 0x90 : 0x83) + char(2)));
        }
    }

    void badRequestCrcIsIgnored()
    {
        SimulatedPanel panel(1);
        QByteArray request = ReadRequestFrame(1, 334, 2);
        request[7] = static_cast<char>(request[7] ^ 1);
        QVERIFY(panel.handle(request).bytes.isEmpty());
        QCOMPARE(panel.requestsAnswered(), 0);
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
        QByteArray wrong = good;
        wrong[0] = 2;
        wrong.chop(2);
        AppendCRC16(wrong);
        const QByteArray request = ReadRequestFrame(1, 132, 1);
        using F = SimulatedPanel::Fault;
        QTest::newRow("none") << int(F::None) << good << QByteArray() << 0;
        QTest::newRow("no reply") << int(F::NoReply) << QByteArray() << QByteArray() << 0;
        QTest::newRow("bad crc") << int(F::BadCrc) << swapped << QByteArray() << 0;
        QTest::newRow("echo") << int(F::Echo) << good << request << 0;
        QTest::newRow("exception")
            << int(F::Exception) << withCrc(hex("018304")) << QByteArray() << 0;
        QTest::newRow("wrong slave") << int(F::WrongSlave) << wrong << QByteArray() << 0;
        QTest::newRow("short") << int(F::ShortReply) << good.left(6) << QByteArray() << 0;
        QTest::newRow("late") << int(F::LateReply) << good << QByteArray() << 2500;
    }

    void faults()
    {
        QFETCH(int, fault);
        QFETCH(QByteArray, expected);
        QFETCH(QByteArray, echo);
        QFETCH(int, delay);
        SimulatedPanel panel(1);
        panel.setFault(static_cast<SimulatedPanel::Fault>(fault), 1);
        const SimulatedPanel::Reply reply = panel.handle(ReadRequestFrame(1, 132, 1));
        QCOMPARE(reply.bytes, expected);
        QCOMPARE(reply.echo, echo);
        QCOMPARE(reply.delayMs, delay);
        // The fault was for one request only.
        QCOMPARE(panel.handle(ReadRequestFrame(1, 132, 1)).bytes, readReply(1, {1}));
    }

    void eventBufferRegisters()
    {
        SimulatedPanel panel(3);
        QList<SimulatedPanel::Event> events;
        for (int i = 1; i <= 64; ++i)
            events.append({static_cast<std::uint16_t>(0x1000 + i), static_cast<std::uint16_t>(i)});
        panel.setEvents(events);
        QCOMPARE(panel.readRegister(144), std::int16_t(62));
        QCOMPARE(panel.handle(ReadRequestFrame(3, 146, 2)).bytes, readReply(3, {0x1001, 1}));
        QCOMPARE(panel.handle(ReadRequestFrame(3, 270, 4)).bytes,
                 readReply(3, {0x103F, 63, 0x1040, 64}));
        // The clear loop: discard what was counted, again, then end the clear.
        QCOMPARE(panel.handle(WriteRequestFrame(3, 288, {62})).bytes.at(1), char(16));
        QCOMPARE(panel.readRegister(144), std::int16_t(2));
        QCOMPARE(panel.handle(ReadRequestFrame(3, 146, 4)).bytes,
                 readReply(3, {0x103F, 63, 0x1040, 64}));
        QCOMPARE(panel.handle(ReadRequestFrame(3, 270, 4)).bytes, readReply(3, {0, 0, 0, 0}));
        panel.handle(WriteRequestFrame(3, 288, {2}));
        QCOMPARE(panel.readRegister(144), std::int16_t(0));
        QCOMPARE(panel.handle(WriteRequestFrame(3, 289, {0})).bytes.at(1), char(16));
        QCOMPARE(panel.discardWrites(), (QList<std::int16_t>{62, 2}));
        QCOMPARE(panel.endOfClearWrites(), 1);
        // End of clear takes only 0.
        QCOMPARE(panel.handle(WriteRequestFrame(3, 289, {1})).bytes, withCrc(hex("039003")));
    }

    void eventCountOverrideAndStuckClear()
    {
        SimulatedPanel panel(3);
        panel.setEvents({{0x1203, 0x04D2}});
        panel.setCountOverride(std::int16_t(-1));
        QCOMPARE(panel.handle(ReadRequestFrame(3, 144, 1)).bytes, readReply(3, {0xFFFF}));
        panel.setCountOverride(std::nullopt);
        panel.setClearNeverFalls(true);
        panel.handle(WriteRequestFrame(3, 288, {1}));
        QCOMPARE(panel.readRegister(144), std::int16_t(1));
        QCOMPARE(panel.discardWrites(), QList<std::int16_t>{1});
    }

    void validationAdoptsConfiguredSlave()
    {
        SimulatedPanel panel(5);
        panel.handle(WriteRequestFrame(5, 1121, {0, 9, 0, 0, 0, 0}));
        QCOMPARE(panel.slave(), std::uint8_t(5));
        QCOMPARE(panel.readRegister(1138), std::int16_t(9));
        QCOMPARE(panel.handle(WriteRequestFrame(5, 336, {0})).bytes.at(1), char(16));
        QCOMPARE(panel.validations(), 1);
        QCOMPARE(panel.slave(), std::uint8_t(9));
        QCOMPARE(panel.handle(WriteRequestFrame(9, 336, {1})).bytes, withCrc(hex("099003")));
    }

    void configRoundTrip()
    {
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
        SimulatedPanel panel(4);
        panel.loadConfig(c);
        QCOMPARE(panel.readRegister(609), std::int16_t(255));
        QCOMPARE(panel.readRegister(610), std::int16_t(-1));
        QCOMPARE(panel.readRegister(707), std::int16_t(200 * 256 - 65536));
        QCOMPARE(panel.readRegister(1116), std::int16_t(1524000 >> 16));
        QCOMPARE(panel.config(), c);
    }

    void lineSettingsMustMatch()
    {
        SimulatedPanel panel(1, 262, QStringLiteral("19200,N,8,2"));
        QVERIFY(panel.listensAt(QStringLiteral("19200,n,8,2")));
        QVERIFY(!panel.listensAt(QStringLiteral("19200,N,8,1")));
        QVERIFY(!panel.listensAt(QStringLiteral("9600,N,8,2")));
        QVERIFY(!panel.listensAt(QStringLiteral("19200,E,8,2")));

        SimulatedLine line;
        line.addPanel(1, 262, QStringLiteral("19200,N,8,2"));
        line.Output(ReadRequestFrame(1, 132, 1));
        QCOMPARE(line.WaitForInput(7, 20), 0);
        line.SetSettings(QStringLiteral("19200,N,8,2"));
        line.Output(ReadRequestFrame(1, 132, 1));
        QCOMPARE(line.WaitForInput(7, 20), 7);
        QCOMPARE(line.Input(), readReply(1, {1}));
    }

    void severalPanelsOnOneLine()
    {
        SimulatedLine line;
        line.addPanel(1);
        line.addPanel(2, 258);
        QVERIFY(line.panel(2));
        QCOMPARE(line.panel(2)->version(), 258);
        line.Output(ReadRequestFrame(2, 1138, 1));
        QCOMPARE(line.WaitForInput(7, 20), 7);
        QCOMPARE(line.Input(), readReply(2, {2}));
        // Both answer at address 65: the replies overlap on the wire.
        line.Output(ReadRequestFrame(65, 130, 1));
        QCOMPARE(line.WaitForInput(14, 20), 14);
        QCOMPARE(line.exchanges().size(), 2);
        QCOMPARE(line.exchanges()[1].reply.size(), 14);
    }

    void wireTimeAtTheLineRate()
    {
        // Start, data, parity and stop bits of every character.
        QCOMPARE(SimulatedLine::wireTimeUs(8, QStringLiteral("9600,N,8,1")),
                 8 * 10 * 1000000LL / 9600);
        QCOMPARE(SimulatedLine::wireTimeUs(1, QStringLiteral("9600,E,8,2")), 12 * 1000000LL / 9600);
    }

    void closedAndUnpluggedLine()
    {
        auto errorOf = [](const std::function<void()>& action) {
            try {
                action();
            } catch (const RuntimeError& e) {
                return e.number();
            }
            return 0;
        };
        SimulatedLine line;
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

    void eventList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QList<int>>("words");
        QTest::newRow("fields") << "1 2 0 197842\n" << true << QList<int>{0x1203, 0x04D2};
        QTest::newRow("ack and comment") << "# list\nACK 0 0 0  # ack\n\n"
                                         << true << QList<int>{0xF000, 0};
        QTest::newRow("raw") << "0xD5A0 0x0001" << true << QList<int>{0xD5A0, 1};
        QTest::newRow("two") << "12 15 15 1048575\n0x0001 2" << true
                             << QList<int>{0xCFFF, 0xFFFF, 1, 2};
        QTest::newRow("ticks too big") << "1 0 0 1048576" << false << QList<int>{};
        QTest::newRow("channel 16") << "16 0 0 1" << false << QList<int>{};
        QTest::newRow("three fields") << "1 2 3" << false << QList<int>{};
    }

    void eventList()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QList<int>, words);
        QList<SimulatedPanel::Event> events;
        QString error;
        QCOMPARE(ParseEventList(text, events, &error), ok);
        if (!ok) {
            QVERIFY(error.startsWith(QStringLiteral("line ")));
            return;
        }
        QList<int> got;
        for (const auto& e : events)
            got << e.w0 << e.w1;
        QCOMPARE(got, words);
    }
};

QTEST_GUILESS_MAIN(TestSimulatedPanel)
#include "tst_simulatedpanel.moc"
