// Real Modbus RTU peers: our exchanges against a libmodbus server on a socat
// pseudo-terminal pair (it parses our frames and answers what our simulator
// answers, byte for byte), and a libmodbus client against orvel-sim.
#include "link/CommFunctions.h"
#include "link/SerialComCtrl.h"
#include "OrvelSim.h"
#include "SimulatedPanel.h"

#include <QStandardPaths>
#include <QTest>

#include <modbus/modbus.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <mutex>
#include <thread>

namespace {
// A socat pseudo-terminal pair: what one side writes the other reads.
class SocatPair
{
public:
    SocatPair()
    {
        process.start(socatPath(), {"pty,raw,echo=0,link=" + a, "pty,raw,echo=0,link=" + b});
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000 && !ready())
            QThread::msleep(20);
    }
    ~SocatPair()
    {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
        process.waitForFinished(1000);
    }
    bool ready() const { return QFileInfo::exists(a) && QFileInfo::exists(b); }
    static QString socatPath() { return QStandardPaths::findExecutable(QStringLiteral("socat")); }

    QTemporaryDir dir;
    QProcess process;
    QString a = dir.filePath(QStringLiteral("a"));
    QString b = dir.filePath(QStringLiteral("b"));
};

// libmodbus RTU server for slave 1 with 2000 holding registers, in a thread.
class ModbusServer
{
public:
    explicit ModbusServer(const QString& path)
    {
        mapping = modbus_mapping_new(0, 0, 2000, 0);
        ctx = modbus_new_rtu(path.toLocal8Bit().constData(), 9600, 'N', 8, 1);
        if (!ctx || !mapping || modbus_connect(ctx) != 0)
            return;
        modbus_set_slave(ctx, 1);
        modbus_set_indication_timeout(ctx, 0, 50000);
        // After a request for another slave it waits this long for that
        // slave's reply: far below our deadline, so no request is swallowed.
        modbus_set_response_timeout(ctx, 0, 50000);
        connected = true;
        thread = std::thread([this] { run(); });
    }
    ~ModbusServer()
    {
        stop = true;
        if (thread.joinable())
            thread.join();
        if (ctx) {
            modbus_close(ctx);
            modbus_free(ctx);
        }
        if (mapping)
            modbus_mapping_free(mapping);
    }
    QList<QByteArray> requests()
    {
        std::lock_guard lock(mutex);
        return received;
    }
    std::uint16_t& reg(int address) // while no request is in progress
    {
        return mapping->tab_registers[address];
    }

    bool connected = false;

private:
    void run()
    {
        std::uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
        while (!stop) {
            const int rc = modbus_receive(ctx, query);
            if (rc <= 0)
                continue;
            std::lock_guard lock(mutex);
            received.append(QByteArray(reinterpret_cast<const char*>(query), rc));
            modbus_reply(ctx, query, rc, mapping);
        }
    }

    modbus_t* ctx = nullptr;
    modbus_mapping_t* mapping = nullptr;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    QList<QByteArray> received;
    std::thread thread;
};

QByteArray rawExchange(ComCtrl& port, const QByteArray& request, int expected)
{
    port.ClearInBuffer();
    port.Output(request);
    port.WaitForInput(expected, 1000);
    return port.Input();
}
} // namespace

class TestModbusPeer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ourExchangesAgainstLibmodbusServer()
    {
        if (SocatPair::socatPath().isEmpty())
            QSKIP("socat is not installed (scripts/deps.sh installs it)");
        SocatPair pair;
        QVERIFY(pair.ready());
        ModbusServer server(pair.a);
        QVERIFY(server.connected);
        server.reg(334) = 0x0001;
        server.reg(335) = 0x0600;
        server.reg(1175) = 0xFFFF;

        SerialComCtrl port;
        port.SetCommPort(pair.b);
        port.SetPortOpen(true);
        PanelLink link(port, {.frameDelayMs = 0, .replyTimeoutMs = 500});

        QList<std::int16_t> w(2, 0);
        QVERIFY(LitMots(link, 1, 334, w));
        QCOMPARE(w, (QList<std::int16_t>{1, 0x0600}));
        QVERIFY(EcritMots(link, 1, 1171, {-5, 0, 2}));
        QCOMPARE(server.reg(1171), std::uint16_t(0xFFFB));
        QCOMPARE(server.reg(1173), std::uint16_t(2));
        QList<std::int16_t> one(1, 0);
        QVERIFY(LitMots(link, 1, 1175, one));
        QCOMPARE(one[0], std::int16_t(-1));
        QList<std::int16_t> many(124, 0);
        QVERIFY(LitMots(link, 1, 146, many));
        // Past the server's registers: an exception reply, a failed read.
        QList<std::int16_t> past{9, 9};
        QVERIFY(!LitMots(link, 1, 1999, past));
        QCOMPARE(past, (QList<std::int16_t>{9, 9}));
        // Another slave number: the server stays silent.
        QVERIFY(!LitMots(link, 2, 334, w));

        // The server parsed exactly our frames.
        const QList<QByteArray> expected = {
            ReadRequestFrame(1, 334, 2),  WriteRequestFrame(1, 1171, {-5, 0, 2}),
            ReadRequestFrame(1, 1175, 1), ReadRequestFrame(1, 146, 124),
            ReadRequestFrame(1, 1999, 2),
        };
        QCOMPARE(server.requests(), expected);
        QCOMPARE(expected[0], QByteArray::fromHex("0103014E0002A5E0"));

        // Its replies are byte for byte what our simulated panel answers (the
        // server is given the panel's read window of the factory block).
        SimulatedPanel panel(1, 262);
        panel.handle(WriteRequestFrame(1, 1171, {-5, 0, 2}));
        panel.setReadRegister(1175, -1);
        server.reg(1172) = 0xFFFB;
        server.reg(1173) = 0;
        server.reg(1174) = 2;
        for (const QByteArray& request : {ReadRequestFrame(1, 334, 2), ReadRequestFrame(1, 1172, 4),
                                          WriteRequestFrame(1, 336, {0})}) {
            const QByteArray simulated = panel.handle(request).bytes;
            QCOMPARE(rawExchange(port, request, static_cast<int>(simulated.size())).toHex(' '),
                     simulated.toHex(' '));
        }
        QByteArray exception = QByteArray::fromHex("018302");
        AppendCRC16(exception);
        QCOMPARE(rawExchange(port, ReadRequestFrame(1, 1999, 2), 5), exception);
    }

    void libmodbusClientAgainstOrvelSim()
    {
        OrvelSim sim;
        QVERIFY(sim.start({"-p", "5:1.02", "-p", "9:1.06"}));
        const std::unique_ptr<modbus_t, void (*)(modbus_t*)> owner(
            modbus_new_rtu(sim.link().toLocal8Bit().constData(), 9600, 'N', 8, 1), [](modbus_t* c) {
                modbus_close(c);
                modbus_free(c);
            });
        modbus_t* ctx = owner.get();
        QVERIFY(ctx);
        QCOMPARE(modbus_connect(ctx), 0);
        modbus_set_response_timeout(ctx, 0, 500000);

        std::uint16_t regs[4] = {};
        modbus_set_slave(ctx, 9);
        QCOMPARE(modbus_read_registers(ctx, 334, 2, regs), 2);
        QCOMPARE(regs[0], std::uint16_t(1));
        QCOMPARE(regs[1], std::uint16_t(0x0600));
        const std::uint16_t factory[3] = {0xFFF9, 0, 3};
        QCOMPARE(modbus_write_registers(ctx, 1171, 3, factory), 3);
        QCOMPARE(modbus_read_registers(ctx, 1172, 4, regs), 4);
        QCOMPARE(regs[0], std::uint16_t(0xFFF9));
        QCOMPARE(regs[2], std::uint16_t(3));
        const std::uint16_t zero = 0;
        QCOMPARE(modbus_write_registers(ctx, 336, 1, &zero), 1);
        // A panel knows functions 3 and 16 only.
        QCOMPARE(modbus_write_register(ctx, 336, 0), -1);
        QCOMPARE(errno, int(EMBXILFUN));

        // A 1.02 panel: its number, and "illegal data address" for the blocks
        // its firmware lacks.
        modbus_set_slave(ctx, 5);
        QCOMPARE(modbus_read_registers(ctx, 1138, 1, regs), 1);
        QCOMPARE(regs[0], std::uint16_t(5));
        QCOMPARE(modbus_read_registers(ctx, 769, 12, regs), -1);
        QCOMPARE(errno, int(EMBXILADD));

        QCOMPARE(sim.stop(), 0);
    }
};

QTEST_GUILESS_MAIN(TestModbusPeer)
#include "tst_modbuspeer.moc"
