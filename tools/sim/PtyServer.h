#pragma once

#include "PanelSet.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class QSocketNotifier;

// Serves simulated panels on a pseudo-terminal: a console (or any Modbus RTU
// master) opens devicePath() as its serial port. Requests are assembled from
// the bytes written to the terminal (function 3 frames are 8 bytes, function
// 16 frames 9 + their byte count; an incomplete frame is dropped after 50 ms
// of silence, a frame with a bad CRC is skipped byte by byte) and handed to
// every panel listening at the line settings the console set on its side of
// the terminal (read with tcgetattr: baud rate, parity, data and stop bits).
//
// With wire time on, the reply is written when it would have finished
// arriving on a real line: the request's and the reply's characters at the
// line's baud rate, plus the panel's turn-around and any late-reply delay.
class PtyServer : public QObject
{
    Q_OBJECT

public:
    explicit PtyServer(QObject* parent = nullptr);
    ~PtyServer() override;

    // Opens the pseudo-terminal; false with a reason when it cannot.
    bool open(QString* error = nullptr);
    // The terminal's device path, for example /dev/pts/3.
    QString devicePath() const { return m_devicePath; }
    // Makes path a symbolic link to the device (replacing an older link).
    bool linkAt(const QString& path, QString* error = nullptr);

    SimulatedPanel& addPanel(std::uint8_t slave, std::int32_t version = 262,
                             const QString& lineSettings = QStringLiteral("9600,N,8,1"));
    SimulatedPanel* panel(std::uint8_t slave) const;
    QList<SimulatedPanel*> panels() const;

    void setWireTime(bool on) { m_wireTime = on; }
    // Each request and reply in hexadecimal on standard error.
    void setVerbose(bool on) { m_verbose = on; }

    // The settings the console has set on its side, "19200,E,8,2".
    QString lineSettings() const;

Q_SIGNALS:
    void requestHandled(const QByteArray& request, const QByteArray& reply);

private:
    void readable();
    void assemble();
    void serve(const QByteArray& request);
    void send(const QByteArray& bytes, qint64 afterUs);

    int m_master = -1;
    int m_slave = -1;
    QString m_devicePath;
    QString m_link;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_silence;
    QByteArray m_buffer;
    bool m_wireTime = false;
    bool m_verbose = false;
    PanelSet m_panels;
};
