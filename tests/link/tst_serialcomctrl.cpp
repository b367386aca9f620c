// The serial port on a real terminal device: a pseudo-terminal whose other
// side a simulated panel answers from a thread.
#include "link/CommFunctions.h"
#include "link/SerialComCtrl.h"
#include "RecordingUi.h"
#include "SimulatedPanel.h"
#include "util/RuntimeError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {
int raisedBy(const std::function<void()>& f)
{
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

// The far end of a pseudo-terminal: hands each request to a panel and writes
// its reply back, or hangs up on the first request.
class PtyPeer
{
public:
    explicit PtyPeer(bool hangUp = false) : m_hangUp(hangUp)
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0)
            path = QString::fromLocal8Bit(name);
        termios tio{};
        ::tcgetattr(m_slave, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_slave, TCSANOW, &tio);
        m_thread = std::thread([this] { run(); });
    }
    ~PtyPeer()
    {
        m_stop = true;
        m_thread.join();
        closeAll();
    }

    QList<QByteArray> requests()
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }
    // The line settings the port set, read on the terminal.
    termios settings() const
    {
        termios tio{};
        ::tcgetattr(m_slave, &tio);
        return tio;
    }

    SimulatedPanel panel{1, 261};
    QString path;

private:
    void closeAll()
    {
        if (m_master >= 0)
            ::close(m_master);
        if (m_slave >= 0)
            ::close(m_slave);
        m_master = m_slave = -1;
    }

    void run()
    {
        QByteArray buffer;
        while (!m_stop) {
            pollfd p{m_master, POLLIN, 0};
            if (m_master < 0 || ::poll(&p, 1, 10) <= 0 || !(p.revents & POLLIN)) {
                if (m_master < 0)
                    ::usleep(10000);
                continue;
            }
            char chunk[256];
            const ssize_t n = ::read(m_master, chunk, sizeof chunk);
            if (n <= 0)
                continue;
            buffer.append(chunk, n);
            const qsizetype length =
                buffer.size() >= 7 && buffer[1] == 16 ? 9 + uchar(buffer[6]) : 8;
            if (buffer.size() < length)
                continue;
            const QByteArray request = buffer.left(length);
            buffer.remove(0, length);
            {
                std::lock_guard lock(m_mutex);
                m_requests.append(request);
            }
            if (m_hangUp) {
                closeAll();
                continue;
            }
            const QByteArray reply = panel.handle(request).bytes;
            if (::write(m_master, reply.constData(), static_cast<size_t>(reply.size())) < 0)
                continue;
        }
    }

    bool m_hangUp;
    int m_master = -1;
    int m_slave = -1;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    QList<QByteArray> m_requests;
    std::thread m_thread;
};
} // namespace

class TestSerialComCtrl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deviceNames_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("device");
        QTest::newRow("1") << "1"
                           << "/dev/ttyS0";
        QTest::newRow("12") << "12"
                            << "/dev/ttyS11";
        QTest::newRow("name") << "ttyUSB0"
                              << "/dev/ttyUSB0";
        QTest::newRow("path") << "/dev/ttyUSB0"
                              << "/dev/ttyUSB0";
        QTest::newRow("windows name") << "COM12"
                                      << "/dev/COM12";
        QTest::newRow("blanks") << " 3 "
                                << "/dev/ttyS2";
    }

    void deviceNames()
    {
        QFETCH(QString, port);
        QFETCH(QString, device);
        QCOMPARE(SerialComCtrl::DeviceName(port), device);
    }

    void missingPortIsInvalidPort()
    {
        SerialComCtrl port;
        port.SetCommPort(QStringLiteral("/dev/orvel-no-such-port"));
        QCOMPARE(raisedBy([&] { port.SetPortOpen(true); }), ErrNo::PortInvalid);
        QVERIFY(!port.PortOpen());
        // Through an exchange the fault is reported and the exchange fails.
        RecordingUi ui;
        PanelLink link(port);
        QList<std::int16_t> w(1, 0);
        QVERIFY(!LitMots(link, 1, 334, w));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral("Error Nr 8018 : Operation valid only when the port is open\r\n\r\n"
                                "Module : CommFunctions\r\nFunction : LitMots"));
    }

    // Anything but a serial device is refused as a port that cannot be
    // opened, before it is opened for writing.
    void notASerialDevice_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("folder") << "folder";
        QTest::newRow("regular file") << "file";
        QTest::newRow("named pipe") << "pipe";
        QTest::newRow("/dev/null") << "/dev/null";
        QTest::newRow("very long name") << QString(5000, QLatin1Char('x'));
    }

    void notASerialDevice()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QFile file(dir.filePath(QStringLiteral("file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(
            ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600), 0);
        SerialComCtrl port;
        port.SetCommPort(name.startsWith(QLatin1Char('/')) ? name : dir.filePath(name));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(raisedBy([&] { port.SetPortOpen(true); }), ErrNo::PortInvalid);
        QVERIFY(clock.elapsed() < 1000);
        QVERIFY(!port.PortOpen());
        QCOMPARE(file.size(), 0);
    }

    // One device, one program: a second user is refused whatever name it
    // gives the device (its path, its name under /dev, a link to it), also
    // when it runs as root.
    void sameDeviceUnderTwoNames_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("path, then a link") << "path"
                                           << "link";
        QTest::newRow("link, then the path") << "link"
                                             << "path";
        QTest::newRow("path, then the name") << "path"
                                             << "name";
    }

    void sameDeviceUnderTwoNames()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        PtyPeer peer;
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("line"));
        QVERIFY(QFile::link(peer.path, link));
        const QMap<QString, QString> names{{QStringLiteral("path"), peer.path},
                                           {QStringLiteral("link"), link},
                                           {QStringLiteral("name"), peer.path.mid(5)}};
        SerialComCtrl a;
        a.SetCommPort(names[first]);
        a.SetPortOpen(true);
        SerialComCtrl b;
        b.SetCommPort(names[second]);
        QCOMPARE(raisedBy([&] { b.SetPortOpen(true); }), ErrNo::PortHardwareUnavailable);
        QVERIFY(!b.PortOpen());
        a.SetPortOpen(false);
        QCOMPARE(raisedBy([&] { b.SetPortOpen(true); }), 0);
    }

    // A lock file that no running program owns does not block the port.
    void lockFileWithoutLiveOwner_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("raised");
        QTest::newRow("empty (an interrupted start)") << QByteArray() << 0;
        QTest::newRow("damaged") << QByteArray("\x01\x02garbage") << 0;
        QTest::newRow("an ended program") << QByteArray("2147483000\norvelctl\n") << 0;
        QTest::newRow("a running program's")
            << QByteArray("held") << int(ErrNo::PortHardwareUnavailable);
    }

    void lockFileWithoutLiveOwner()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, raised);
        PtyPeer peer;
        // Where the serial port library looks for the lock file: the first of
        // its folders that can be read and written.
        QString lockFile;
        for (const char* folder :
             {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp", "/tmp"}) {
            if (::access(folder, R_OK | W_OK) == 0) {
                lockFile = QStringLiteral("%1/LCK..%2")
                               .arg(QLatin1String(folder), peer.path.mid(5).replace('/', '_'));
                break;
            }
        }
        QLockFile held(lockFile);
        if (content == "held") {
            QVERIFY(held.tryLock(0));
        } else {
            QFile lock(lockFile);
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write(content);
        }
        QElapsedTimer clock;
        clock.start();
        SerialComCtrl port;
        port.SetCommPort(peer.path);
        QCOMPARE(raisedBy([&] { port.SetPortOpen(true); }), raised);
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(port.PortOpen(), raised == 0);
        port.SetPortOpen(false);
        if (content != "held")
            QFile::remove(lockFile);
    }

    void closedPortRefusesTransfers()
    {
        SerialComCtrl port;
        QCOMPARE(raisedBy([&] { port.Output("x"); }), ErrNo::PortOpenRequired);
        QCOMPARE(raisedBy([&] { port.Input(); }), ErrNo::PortOpenRequired);
        QCOMPARE(raisedBy([&] { port.InBufferCount(); }), ErrNo::PortOpenRequired);
        QCOMPARE(raisedBy([&] { port.WaitForInput(1, 10); }), ErrNo::PortOpenRequired);
        QCOMPARE(raisedBy([&] { port.ClearInBuffer(); }), ErrNo::PortOpenRequired);
        QCOMPARE(raisedBy([&] { port.ClearOutBuffer(); }), ErrNo::PortOpenRequired);
        // Closing a closed port is no fault; RTS is remembered for the next open.
        QCOMPARE(raisedBy([&] { port.SetPortOpen(false); }), 0);
        port.SetRTSEnable(true);
        QVERIFY(port.RTSEnable());
    }

    void settingsText_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<bool>("ok");
        QTest::newRow("9600,N,8,1") << "9600,N,8,1" << true;
        QTest::newRow("19200,e,7,2") << "19200,e,7,2" << true;
        QTest::newRow("parity X") << "9600,X,8,1" << false;
        QTest::newRow("3 fields") << "9600,N,8" << false;
        QTest::newRow("1.5 stops") << "9600,N,8,1.5" << false;
        QTest::newRow("no rate") << ",N,8,1" << false;
    }

    void settingsText()
    {
        QFETCH(QString, settings);
        QFETCH(bool, ok);
        SerialComCtrl port;
        QCOMPARE(raisedBy([&] { port.SetSettings(settings); }),
                 ok ? 0 : ErrNo::InvalidPropertyValue);
        QCOMPARE(port.Settings(), ok ? settings : QStringLiteral("9600,N,8,1"));
    }

    void exchangesOverTerminal()
    {
        PtyPeer peer;
        QVERIFY(!peer.path.isEmpty());
        SerialComCtrl port;
        port.SetCommPort(peer.path);
        // A pseudo-terminal keeps no parity: the device refuses it.
        port.SetSettings(QStringLiteral("19200,E,8,2"));
        QCOMPARE(raisedBy([&] { port.SetPortOpen(true); }), ErrNo::PortSettings);
        QVERIFY(!port.PortOpen());
        port.SetSettings(QStringLiteral("19200,N,8,2"));
        port.SetPortOpen(true);
        QVERIFY(port.PortOpen());
        // Another port cannot be named while this one is open; naming it again
        // (by its path or its name under /dev) or opening it again succeeds.
        QCOMPARE(raisedBy([&] { port.SetCommPort(QStringLiteral("2")); }), ErrNo::PortAlreadyOpen);
        QCOMPARE(port.CommPort(), peer.path);
        QCOMPARE(raisedBy([&] { port.SetCommPort(peer.path.mid(5)); }), 0);
        QCOMPARE(raisedBy([&] { port.SetPortOpen(true); }), 0);
        QVERIFY(port.PortOpen());

        const termios tio = peer.settings();
        QCOMPARE(cfgetospeed(&tio), speed_t(B19200));
        QVERIFY(tio.c_cflag & CSTOPB);
        QCOMPARE(tio.c_cflag & CSIZE, tcflag_t(CS8));
        port.SetSettings(QStringLiteral("9600,N,8,1"));
        const termios tio2 = peer.settings();
        QCOMPARE(cfgetospeed(&tio2), speed_t(B9600));
        QVERIFY(!(tio2.c_cflag & (PARENB | CSTOPB)));

        LinkOptions o;
        o.replyTimeoutMs = 1000;
        PanelLink link(port, o);
        QList<std::int16_t> w(2, 0);
        QVERIFY(LitMots(link, 1, 334, w));
        QCOMPARE(w, (QList<std::int16_t>{1, 5 << 8}));
        QVERIFY(EcritMots(link, 1, 336, {0}));
        QCOMPARE(peer.requests(),
                 (QList<QByteArray>{QByteArray::fromHex("0103014E0002A5E0"),
                                    QByteArray::fromHex("011001500001020000BAC0")}));
        QCOMPARE(peer.panel.validations(), 1);
        // A terminal cannot drive RTS: the refusal is no fault.
        QVERIFY(port.RTSEnable());
        port.SetRTSEnable(false);
        QVERIFY(!port.RTSEnable());
        port.SetPortOpen(false);
        QVERIFY(!port.PortOpen());
    }

    void sendNotificationIsAQueuedEvent()
    {
        PtyPeer peer;
        SerialComCtrl port;
        port.SetCommPort(peer.path);
        port.SetPortOpen(true);
        QSignalSpy spy(&port, &ComCtrl::OnComm);
        port.Output(ReadRequestFrame(1, 334, 2));
        QCOMPARE(spy.size(), 0); // not from inside Output
        QVERIFY(spy.wait(1000));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy[0][0].toInt(), ComCtrl::comEvSend);
        QCOMPARE(port.WaitForInput(9, 1000), 9);
    }

    void halfDuplexOverTerminal()
    {
        PtyPeer peer;
        SerialComCtrl port;
        port.SetCommPort(peer.path);
        port.SetPortOpen(true);
        LinkOptions o;
        o.halfDuplex = true;
        o.rtsDelayMs = 2;
        PanelLink link(port, o); // the real 2 s deadline
        QList<std::int16_t> w(1, 0);
        QElapsedTimer t;
        t.start();
        QVERIFY(LitMots(link, 1, 1138, w));
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(w[0], std::int16_t(1));
        QVERIFY(!port.RTSEnable());
    }

    void unpluggedDuringExchange()
    {
        RecordingUi ui;
        PtyPeer peer(true);
        SerialComCtrl port;
        port.SetCommPort(peer.path);
        port.SetPortOpen(true);
        PanelLink link(port); // the real 2 s deadline
        QList<std::int16_t> w{42};
        QElapsedTimer t;
        t.start();
        QVERIFY(!LitMots(link, 1, 334, w));
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(w[0], std::int16_t(42));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral("Error Nr 8020 : Error reading comm device\r\n\r\n"
                                "Module : CommFunctions\r\nFunction : LitMots"));
        QVERIFY(!port.PortOpen());

        // Another device (the adapter back) opens on the same object.
        PtyPeer back;
        port.SetCommPort(back.path);
        port.SetPortOpen(true);
        QVERIFY(LitMots(link, 1, 334, w));
        QCOMPARE(w[0], std::int16_t(1));
    }
};

QTEST_GUILESS_MAIN(TestSerialComCtrl)
#include "tst_serialcomctrl.moc"
