#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The one serial-port interface through which every byte to or from a panel
// passes. The real implementation drives a serial line; the panel simulator
// provides one for tests. Faults of the port itself (a port that does not
// exist, a line that cannot be opened or configured, an adapter removed)
// raise RuntimeError with the serial port's error numbers (8002, 8005, 8010,
// 8012, 8015, ...).
class ComCtrl : public QObject
{
    Q_OBJECT

public:
    // Value of OnComm's event for "the transmit buffer has drained".
    static constexpr int comEvSend = 1;

    using QObject::QObject;
    ~ComCtrl() override;

    // Port name: a decimal number n (COMn on Windows, /dev/ttyS(n-1) on Linux)
    // or a device name or path (ttyUSB0, /dev/ttyUSB0, COM12).
    virtual QString CommPort() const = 0;
    virtual void SetCommPort(const QString& port) = 0;

    // "9600,N,8,1": baud rate, parity letter, data bits, stop bits.
    virtual QString Settings() const = 0;
    virtual void SetSettings(const QString& settings) = 0;

    // Opening the open port (its settings already apply) succeeds; setting
    // another port name while it is open raises 8005.
    virtual bool PortOpen() const = 0;
    virtual void SetPortOpen(bool open) = 0;

    // Lines that cannot drive RTS accept the call and ignore it.
    virtual bool RTSEnable() const = 0;
    virtual void SetRTSEnable(bool on) = 0;

    virtual void ClearOutBuffer() = 0; // OutBufferCount = 0
    virtual void ClearInBuffer() = 0;  // InBufferCount = 0
    virtual int InBufferCount() = 0;
    virtual void Output(const QByteArray& bytes) = 0;
    // Takes every received byte.
    virtual QByteArray Input() = 0;

    // Blocks (without spinning the processor) until at least count bytes are
    // buffered or timeoutMs has passed; returns InBufferCount().
    virtual int WaitForInput(int count, int timeoutMs) = 0;

Q_SIGNALS:
    // comEvSend once the bytes of an Output have left the line.
    void OnComm(int commEvent);
};
