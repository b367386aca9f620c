#pragma once

#include "link/ComCtrl.h"
#include "PanelSet.h"

#include <QElapsedTimer>

#include <functional>
#include <memory>
#include <vector>

// An in-process serial line with simulated panels on it, for tests: a ComCtrl
// that PanelLink, the register map, detection and the event buffer use like
// the real port.
//
//     SimulatedLine line;                       // open, "9600,N,8,1"
//     SimulatedPanel& panel = line.addPanel(5, 262);
//     PanelLink link(line, {.replyTimeoutMs = 200});
//     QList<std::int16_t> w(1);
//     LitMots(link, 5, 1138, w);                // w[0] == 5
//     line.exchanges()                          // every request and reply
//
// Each request sent with Output goes to every panel whose line settings equal
// the line's (Settings()); panels that answer at once have their replies
// overlap: with wire time their bytes interleave into one garbled reply,
// without it they arrive one after the other. Replies are buffered for
// Input, at once or, with wire time on, at the pace of the line's baud rate
// (10 bits a character plus parity and extra stop bits).
//
// The send notification OnComm(comEvSend) is posted as a queued event when
// the request has left the line (after its wire time), so it reaches the
// exchange while it lets events run; it can also be emitted inside Output or
// never, to test both half-duplex paths.
//
// The line starts open on port "1". Output, Input and the buffer operations
// raise 8018 when it is closed; an unplugged line raises 8021 on Output and
// 8020 on reads and closes itself.
class SimulatedLine : public ComCtrl
{
    Q_OBJECT

public:
    enum class SendNotification
    {
        Queued,
        Immediate,
        Never
    };

    struct Exchange
    {
        QByteArray request;
        QByteArray reply; // everything the panels put on the line for it
        QString settings; // the line settings at the time
        qint64 atMs = 0;  // since the line was created (monotonic)
    };

    explicit SimulatedLine(QObject* parent = nullptr);
    ~SimulatedLine() override;

    // Panels (owned by the line).
    SimulatedPanel& addPanel(std::uint8_t slave, std::int32_t version = 262,
                             const QString& lineSettings = QStringLiteral("9600,N,8,1"));
    SimulatedPanel* panel(std::uint8_t slave) const;
    void removePanel(std::uint8_t slave);
    int panelCount() const { return m_panels.count(); }

    // Options.
    void setWireTime(bool on) { m_wireTime = on; }
    bool wireTime() const { return m_wireTime; }
    void setSendNotification(SendNotification mode) { m_sendNotification = mode; }
    void setUnplugged(bool unplugged) { m_unplugged = unplugged; }
    // Baud rates the line's device cannot take: SetSettings raises 8015.
    void setUnsupportedBauds(const QList<int>& bauds) { m_unsupportedBauds = bauds; }
    // Replaces the panels' answers by a script: given the request, the bytes
    // that come back (empty: silence). For tests of exact reply shapes.
    using Responder = std::function<QByteArray(const QByteArray& request)>;
    void setResponder(Responder responder) { m_responder = std::move(responder); }

    // What went on the line.
    QList<Exchange> exchanges() const { return m_exchanges; }
    QList<QByteArray> requests() const;
    void clearLog();
    // Every SetRTSEnable call, in order.
    QList<bool> rtsChanges() const { return m_rtsChanges; }
    // Wire time of count characters at the given settings, in microseconds.
    static qint64 wireTimeUs(int count, const QString& settings);

    // ComCtrl
    QString CommPort() const override { return m_commPort; }
    void SetCommPort(const QString& port) override;
    QString Settings() const override { return m_settings; }
    void SetSettings(const QString& settings) override;
    bool PortOpen() const override { return m_open; }
    void SetPortOpen(bool open) override;
    bool RTSEnable() const override { return m_rts; }
    void SetRTSEnable(bool on) override;
    void ClearOutBuffer() override;
    void ClearInBuffer() override;
    int InBufferCount() override;
    void Output(const QByteArray& bytes) override;
    QByteArray Input() override;
    int WaitForInput(int count, int timeoutMs) override;

Q_SIGNALS:
    // A request as it left the console, before any panel answered it.
    void RequestSent(const QByteArray& request);

private:
    struct Pending
    {
        QByteArray bytes;
        qint64 firstUs = 0; // arrival of the first byte
        qint64 charUs = 0;  // then one byte every charUs
    };
    void requireUsable(int faultNumber);
    qint64 nowUs() const;
    // Moves the bytes that have arrived by now into the input buffer.
    void collect();
    // When count bytes will be buffered, or -1 when never.
    qint64 readyAtUs(int count) const;

    PanelSet m_panels;
    QString m_commPort = QStringLiteral("1");
    QString m_settings = QStringLiteral("9600,N,8,1");
    bool m_open = true;
    bool m_rts = false;
    bool m_wireTime = false;
    bool m_unplugged = false;
    SendNotification m_sendNotification = SendNotification::Queued;
    QElapsedTimer m_clock;
    QByteArray m_in;
    QList<Pending> m_pending;
    QList<Exchange> m_exchanges;
    QList<bool> m_rtsChanges;
    Responder m_responder;
    QList<int> m_unsupportedBauds;
};
