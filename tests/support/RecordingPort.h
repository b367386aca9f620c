#pragma once

#include "link/ComCtrl.h"
#include "util/RuntimeError.h"

#include <QSet>
#include <QStringList>

// A serial port for dialog tests: it keeps its port name, settings text and
// open state, records every change in order ("port=3", "settings=...",
// "open", "close") and refuses to open the ports listed in failingPorts with
// the invalid-port error, as a missing serial device does. It carries no
// line: Output keeps the bytes, Input has nothing.
class RecordingPort : public ComCtrl
{
public:
    using ComCtrl::ComCtrl;

    QString CommPort() const override { return port; }
    void SetCommPort(const QString& value) override
    {
        if (open && value != port)
            Raise(ErrNo::PortAlreadyOpen);
        port = value;
        events << QStringLiteral("port=") + value;
    }
    QString Settings() const override { return settings; }
    void SetSettings(const QString& value) override
    {
        settings = value;
        events << QStringLiteral("settings=") + value;
    }
    bool PortOpen() const override { return open; }
    void SetPortOpen(bool value) override
    {
        if (value && failingPorts.contains(port))
            Raise(ErrNo::PortInvalid, port);
        if (value && open)
            return;
        open = value;
        events << (value ? QStringLiteral("open") : QStringLiteral("close"));
    }
    bool RTSEnable() const override { return rts; }
    void SetRTSEnable(bool on) override { rts = on; }
    void ClearOutBuffer() override {}
    void ClearInBuffer() override {}
    int InBufferCount() override { return 0; }
    void Output(const QByteArray& bytes) override { sent += bytes; }
    QByteArray Input() override { return {}; }
    int WaitForInput(int, int) override { return 0; }

    QString port = QStringLiteral("1");
    QString settings = QStringLiteral("9600,N,8,1");
    bool open = true;
    bool rts = false;
    QByteArray sent;
    QStringList events;
    QSet<QString> failingPorts;
};
