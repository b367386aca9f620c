#pragma once

#include "link/ComCtrl.h"

#include <QSerialPort>

#include <thread>

// ComCtrl on a real serial line (QSerialPort).
//
// Port names: a decimal number n is COMn on Windows and /dev/ttyS(n-1) on
// Linux; any other text is a device name or path (ttyUSB0, /dev/ttyUSB0,
// COM12). Opening a port that does not exist or is not a serial device
// raises 8002, one that is busy or not permitted 8010, settings the device
// refuses 8015; a malformed settings text raises 380. Output and reads on a
// closed port raise 8018. Opening the open port succeeds; naming another port
// while one is open raises 8005.
//
// The device is opened under its resolved path and locked for this program
// alone (a lock file and an exclusive lock on the device itself), so a second
// program is refused whatever name it gives the same device; lock files left
// by programs that no longer run do not block it.
//
// The send notification (OnComm(comEvSend)) means the bytes have really left
// the line: on POSIX a helper thread waits in tcdrain and the notification is
// posted to this object's thread as a queued event, which the half-duplex
// wait of an exchange receives while it lets events run.
//
// RTS: devices that cannot drive it (pseudo-terminals, adapters that switch
// direction themselves) refuse the change; the refusal is ignored and
// RTSEnable keeps reporting what was asked.
//
// A device that disappears (USB adapter unplugged) closes the port and makes
// the pending operation raise 8020 (reading) or 8021 (writing) at once; the
// port can be opened again when the device is back.
class SerialComCtrl : public ComCtrl
{
    Q_OBJECT

public:
    explicit SerialComCtrl(QObject* parent = nullptr);
    ~SerialComCtrl() override;

    // The device path a port name stands for on this platform.
    static QString DeviceName(const QString& port);

    QString CommPort() const override { return m_commPort; }
    void SetCommPort(const QString& port) override;
    QString Settings() const override { return m_settings; }
    void SetSettings(const QString& settings) override;
    bool PortOpen() const override;
    void SetPortOpen(bool open) override;
    bool RTSEnable() const override { return m_rts; }
    void SetRTSEnable(bool on) override;
    void ClearOutBuffer() override;
    void ClearInBuffer() override;
    int InBufferCount() override;
    void Output(const QByteArray& bytes) override;
    QByteArray Input() override;
    int WaitForInput(int count, int timeoutMs) override;

private:
    struct LineSettings
    {
        qint32 bauds = 9600;
        QSerialPort::Parity parity = QSerialPort::NoParity;
        QSerialPort::DataBits dataBits = QSerialPort::Data8;
        QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    };
    static LineSettings parse(const QString& settings);
    void apply(const LineSettings& line);
    void requireOpen() const;
    // Closes the port after the device went away and raises number.
    [[noreturn]] void deviceLost(int number);
    void joinDrain();
    // Raises 8020 when the last read found the device gone.
    void checkRead();

    QSerialPort m_port;
    QString m_commPort = QStringLiteral("1");
    QString m_settings = QStringLiteral("9600,N,8,1");
    bool m_rts = false;
    std::thread m_drain;
};
