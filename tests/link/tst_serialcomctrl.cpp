// The serial port on a real terminal device: a pseudo-terminal whose other
// side simulated panels serve from a thread of their own.
#include "ErrorReport.h"
#include "link/CommFunctions.h"
#include "link/SerialComCtrl.h"
#include "PtyServer.h"
#include "RecordingUi.h"
#include "util/RuntimeError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLockFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <mutex>
#include <sys/stat.h>
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

// Panel 1 (version 1.05) on a pseudo-terminal, served from its own thread
// while the port under test blocks; with hangUp the terminal goes away at the
// first request, unanswered.
class PtyPeer
{
public:
    explicit PtyPeer(bool hangUp = false)
    {
        m_context.moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(
            &m_context,
            [this, hangUp] {
                m_server = new PtyServer;
                if (hangUp)
                    m_server->addPanel(1, 261).setFault(SimulatedPanel::Fault::NoReply);
                else
                    m_server->addPanel(1, 261);
                QObject::connect(m_server, &PtyServer::requestHandled, m_server,
                                 [this, hangUp](const QByteArray& request) {
                                     const std::lock_guard lock(m_mutex);
                                     m_requests << request;
                                     if (hangUp)
                                         m_server->deleteLater();
                                 });
                if (m_server->open())
                    path = m_server->devicePath();
            },
            Qt::BlockingQueuedConnection);
    }
    ~PtyPeer()
    {
        QMetaObject::invokeMethod(
            &m_context, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    QList<QByteArray> requests()
    {
        const std::lock_guard lock(m_mutex);
        return m_requests;
    }
    // The line settings as the terminal has them.
    QString settings() const { return m_server->lineSettings(); }

    QString path;

private:
    QThread m_thread;
    QObject m_context;
    QPointer<PtyServer> m_server;
    std::mutex m_mutex;
    QList<QByteArray> m_requests;
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
                                           {"12", "/dev/ttyS11"},
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
        for (const char* name : {"missing", "folder", "file", "pipe", "/dev/null"})
            QTest::newRow(name) << QString::fromLatin1(name);
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
            << QByteArray("held") << ErrNo::PortHardwareUnavailable;
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
        QCOMPARE(peer.settings(), QStringLiteral("19200,N,8,2"));
        // Another port cannot be named while this one is open; naming it again
        // (by its path or its name under /dev) or opening it again succeeds.
        QCOMPARE(raisedBy([&] { port.SetCommPort(QStringLiteral("2")); }), ErrNo::PortAlreadyOpen);
        QCOMPARE(port.CommPort(), peer.path);
        QCOMPARE(raisedBy([&] { port.SetCommPort(peer.path.mid(5)); }), 0);
        QCOMPARE(raisedBy([&] { port.SetPortOpen(true); }), 0);
        QVERIFY(port.PortOpen());
        port.SetSettings(QStringLiteral("9600,N,8,1"));
        QCOMPARE(peer.settings(), QStringLiteral("9600,N,8,1"));

        PanelLink link(port, {.replyTimeoutMs = 1000});
        QList<std::int16_t> w(2, 0);
        QVERIFY(LitMots(link, 1, 334, w));
        QCOMPARE(w, (QList<std::int16_t>{1, 5 << 8}));
        QVERIFY(EcritMots(link, 1, 336, {0}));
        QTRY_COMPARE(peer.requests(),
                     (QList<QByteArray>{QByteArray::fromHex("0103014E0002A5E0"),
                                        QByteArray::fromHex("011001500001020000BAC0")}));
        // A terminal cannot drive RTS: the refusal is no fault.
        port.SetRTSEnable(false);
        QVERIFY(!port.RTSEnable());
        port.SetPortOpen(false);
        QVERIFY(!port.PortOpen());
    }

    // The send notification is posted once the bytes have left, never from
    // inside Output; a half-duplex exchange gets it well before its 2 s
    // deadline and drops RTS.
    void sendNotification()
    {
        PtyPeer peer;
        SerialComCtrl port;
        port.SetCommPort(peer.path);
        port.SetPortOpen(true);
        QSignalSpy spy(&port, &ComCtrl::OnComm);
        port.Output(ReadRequestFrame(1, 334, 2));
        QCOMPARE(spy.size(), 0);
        QVERIFY(spy.wait(1000));
        QCOMPARE(spy, (QList<QList<QVariant>>{{ComCtrl::comEvSend}}));
        QCOMPARE(port.WaitForInput(9, 1000), 9);

        PanelLink link(port, {.halfDuplex = true, .rtsDelayMs = 2});
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
        QCOMPARE(ui.lastText(),
                 ErrorReport(8020, "Error reading comm device", "CommFunctions.LitMots"));
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
