// The serial port on a real terminal device: a pseudo-terminal whose other
// side simulated panels serve from a thread of their own.
#include "ErrorReport.h"
#include "link/CommFunctions.h"
#include "link/SerialComCtrl.h"
#include "RecordingUi.h"
#include "util/RuntimeError.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
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

// A pseudo-terminal; the port under test opens its far end (path). The
// exchanges over a terminal are the peer and simulator tests'.
struct Pty
{
    Pty()
    {
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0)
            path = QString::fromLocal8Bit(name);
    }
    ~Pty()
    {
        ::close(master);
        ::close(slave);
    }
    // Speed and stop bits as the terminal has them.
    QString settings() const
    {
        termios tio{};
        ::tcgetattr(slave, &tio);
        return QStringLiteral("%1 baud, %2 stop bits")
            .arg(cfgetospeed(&tio) == B19200  ? 19200
                 : cfgetospeed(&tio) == B9600 ? 9600
                                              : 0)
            .arg(tio.c_cflag & CSTOPB ? 2 : 1);
    }
    int master = -1;
    int slave = -1;
    QString path;
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
        for (const auto& [port, device] : {std::pair{"1", "/dev/ttyS0"},
                                           {" 3 ", "/dev/ttyS2"},
                                           {"ttyUSB0", "/dev/ttyUSB0"},
                                           {"/dev/ttyUSB0", "/dev/ttyUSB0"},
                                           {"COM12", "/dev/COM12"}})
            QTest::newRow(port) << QString::fromLatin1(port) << QString::fromLatin1(device);
    }

    void deviceNames()
    {
        QFETCH(QString, port);
        QTEST(SerialComCtrl::DeviceName(port), "device");
    }

    // Anything but a serial device is refused as an invalid port at once,
    // before it is opened for writing.
    void notASerialDevice_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"missing", "file", "pipe", "/dev/null"})
            QTest::newRow(name) << QString::fromLatin1(name);
        QTest::newRow("very long name") << QString(5000, QLatin1Char('x'));
    }

    void notASerialDevice()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))), 0600), 0);
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
        QTest::addColumn<QString>("second"); // the first user names its path
        QTest::newRow("a link") << "link";
        QTest::newRow("the name") << "name";
    }

    void sameDeviceUnderTwoNames()
    {
        QFETCH(QString, second);
        Pty peer;
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("line"));
        QVERIFY(QFile::link(peer.path, link));
        SerialComCtrl a;
        a.SetCommPort(peer.path);
        a.SetPortOpen(true);
        SerialComCtrl b;
        b.SetCommPort(second == QLatin1String("link") ? link : peer.path.mid(5));
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
        QTest::newRow("an ended program") << QByteArray("2147483000\norvelctl\n") << 0;
        QTest::newRow("a running program's")
            << QByteArray("held") << ErrNo::PortHardwareUnavailable;
    }

    void lockFileWithoutLiveOwner()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, raised);
        Pty peer;
        // Where the serial port library looks for the lock file: the first of
        // its folders that can be read and written.
        QString lockFile;
        for (const char* folder :
             {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp", "/tmp"}) {
            if (lockFile.isEmpty() && ::access(folder, R_OK | W_OK) == 0)
                lockFile = QStringLiteral("%1/LCK..%2")
                               .arg(QLatin1String(folder), peer.path.mid(5).replace('/', '_'));
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
        for (const std::function<void()>& f : std::initializer_list<std::function<void()>>{
                 [&] { port.Output("x"); }, [&] { port.Input(); }, [&] { port.InBufferCount(); },
                 [&] { port.WaitForInput(1, 10); }, [&] { port.ClearInBuffer(); },
                 [&] { port.ClearOutBuffer(); }})
            QCOMPARE(raisedBy(f), ErrNo::PortOpenRequired);
        // Closing a closed port is no fault.
        QCOMPARE(raisedBy([&] { port.SetPortOpen(false); }), 0);
    }

    void settingsText_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<bool>("ok");
        for (const char* good : {"9600,N,8,1", "19200,e,7,2"})
            QTest::newRow(good) << QString::fromLatin1(good) << true;
        for (const char* bad : {"9600,X,8,1", "9600,N,8", "9600,N,8,1.5", ",N,8,1"})
            QTest::newRow(bad) << QString::fromLatin1(bad) << false;
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

    void openOnTerminal()
    {
        Pty peer;
        QVERIFY(!peer.path.isEmpty());
        SerialComCtrl port;
        port.SetCommPort(peer.path);
        // A pseudo-terminal keeps no parity: the device refuses it.
        port.SetSettings(QStringLiteral("19200,E,8,2"));
        QCOMPARE(raisedBy([&] { port.SetPortOpen(true); }), ErrNo::PortSettings);
        QVERIFY(!port.PortOpen());
        port.SetSettings(QStringLiteral("19200,N,8,2"));
        port.SetPortOpen(true);
        QCOMPARE(peer.settings(), QStringLiteral("19200 baud, 2 stop bits"));
        // Another port cannot be named while this one is open; naming it again
        // (by its path or its name under /dev) or opening it again succeeds.
        QCOMPARE(raisedBy([&] { port.SetCommPort(QStringLiteral("2")); }), ErrNo::PortAlreadyOpen);
        QCOMPARE(port.CommPort(), peer.path);
        QCOMPARE(raisedBy([&] { port.SetCommPort(peer.path.mid(5)); }), 0);
        QCOMPARE(raisedBy([&] { port.SetPortOpen(true); }), 0);
        QVERIFY(port.PortOpen());
        port.SetSettings(QStringLiteral("9600,N,8,1"));
        QCOMPARE(peer.settings(), QStringLiteral("9600 baud, 1 stop bits"));
        // A terminal cannot drive RTS: the refusal is no fault.
        port.SetRTSEnable(true);
        QVERIFY(port.RTSEnable());
        // The send notification is posted once the bytes have left, never
        // from inside Output (the bytes on a terminal: tst_modbuspeer).
        QSignalSpy spy(&port, &ComCtrl::OnComm);
        port.Output(ReadRequestFrame(1, 334, 2));
        QCOMPARE(spy.size(), 0);
        QVERIFY(spy.wait(1000));
        QCOMPARE(spy, (QList<QList<QVariant>>{{ComCtrl::comEvSend}}));
        // A terminal hung up fails the next read and closes the port.
        ::close(peer.master);
        peer.master = -1;
        QCOMPARE(raisedBy([&] { port.InBufferCount(); }), ErrNo::PortRead);
        QVERIFY(!port.PortOpen());
    }
};

QTEST_GUILESS_MAIN(TestSerialComCtrl)
#include "tst_serialcomctrl.moc"
