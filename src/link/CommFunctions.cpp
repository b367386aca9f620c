#include "link/CommFunctions.h"

#include "util/ErrorHandling.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

PanelLink::PanelLink(ComCtrl& port, LinkOptions options, QObject* parent)
    : QObject(parent), m_port(port), m_options(options)
{
    connect(&m_port, &ComCtrl::OnComm, this, &PanelLink::OnComm);
}

void PanelLink::FramePause() const
{
    const int ms = m_options.frameDelayMs;
    // Announcing the pause changes nothing in the link itself.
    Q_EMIT const_cast<PanelLink*>(this)->FramePaused(ms);
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

void PanelLink::OnComm(int commEvent)
{
    // Half-duplex turn-around: the frame has left the line, so after RtsDelay
    // the transmitter is released and the panel's reply can be heard.
    Trap("wMain.ComCtrl_OnComm", [&] {
        if (commEvent != ComCtrl::comEvSend || !m_options.halfDuplex)
            return;
        if (m_options.rtsDelayMs > 0)
            QThread::msleep(static_cast<unsigned long>(m_options.rtsDelayMs));
        m_port.SetRTSEnable(false);
    });
}

std::uint16_t CRC16(const QByteArray& bytes, int count)
{
    std::uint16_t crc = 0xFFFF;
    const int n = count < 0 ? 0 : (count > bytes.size() ? static_cast<int>(bytes.size()) : count);
    for (int i = 0; i < n; ++i) {
        crc ^= static_cast<std::uint8_t>(bytes[i]);
        for (int bit = 0; bit < 8; ++bit) {
            const bool lsb = crc & 1;
            crc >>= 1;
            if (lsb)
                crc ^= 0xA001;
        }
    }
    return crc;
}

void AppendCRC16(QByteArray& frame)
{
    const std::uint16_t crc = CRC16(frame, static_cast<int>(frame.size()));
    frame.append(static_cast<char>(crc & 0xFF));
    frame.append(static_cast<char>(crc >> 8));
}

namespace {
void appendWord(QByteArray& frame, int word)
{
    frame.append(static_cast<char>((word >> 8) & 0xFF));
    frame.append(static_cast<char>(word & 0xFF));
}

std::int16_t wordAt(const QByteArray& bytes, int offset)
{
    const auto high = static_cast<std::uint8_t>(bytes[offset]);
    const auto low = static_cast<std::uint8_t>(bytes[offset + 1]);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(high << 8 | low));
}

// Sends one request and collects what came back once expected bytes are in or
// the deadline has passed. Port faults propagate as RuntimeError.
QByteArray exchange(PanelLink& link, const QByteArray& request, int expected)
{
    ComCtrl& port = link.port();
    const LinkOptions& options = link.options();
    const int timeout = options.replyTimeoutMs;

    port.SetRTSEnable(true);
    port.ClearOutBuffer();
    port.ClearInBuffer();
    port.Output(request);

    QElapsedTimer clock; // monotonic
    clock.start();
    if (options.halfDuplex && port.RTSEnable()) {
        // Let events run until the send notification has dropped RTS. Missing
        // the notification is not an error: at the deadline we listen anyway.
        if (QCoreApplication::instance()) {
            QEventLoop loop;
            QTimer deadline;
            deadline.setSingleShot(true);
            deadline.setTimerType(Qt::PreciseTimer);
            QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
            QObject::connect(&port, &ComCtrl::OnComm, &loop, [&] {
                if (!port.RTSEnable())
                    loop.quit();
            });
            while (port.RTSEnable() && clock.elapsed() < timeout) {
                deadline.start(static_cast<int>(timeout - clock.elapsed()));
                loop.exec();
            }
        } else {
            while (port.RTSEnable() && clock.elapsed() < timeout)
                QThread::msleep(1);
        }
    }

    clock.restart();
    for (;;) {
        const qint64 left = timeout - clock.elapsed();
        if (left <= 0 || port.WaitForInput(expected, static_cast<int>(left)) >= expected)
            break;
    }
    return port.Input();
}
} // namespace

QByteArray ReadRequestFrame(std::uint8_t slave, std::uint16_t address, int count)
{
    QByteArray frame;
    frame.append(static_cast<char>(slave));
    frame.append(char(3));
    appendWord(frame, address);
    appendWord(frame, count);
    AppendCRC16(frame);
    return frame;
}

QByteArray WriteRequestFrame(std::uint8_t slave, std::uint16_t address,
                             const QList<std::int16_t>& words)
{
    const int n = static_cast<int>(words.size());
    QByteArray frame;
    frame.append(static_cast<char>(slave));
    frame.append(char(16));
    appendWord(frame, address);
    appendWord(frame, n);
    frame.append(static_cast<char>((2 * n) & 0xFF));
    for (std::int16_t w : words)
        appendWord(frame, static_cast<std::uint16_t>(w));
    AppendCRC16(frame);
    return frame;
}

bool EcritMots(PanelLink& link, std::uint8_t slave, std::uint16_t address,
               const QList<std::int16_t>& words)
{
    return Trap("CommFunctions.EcritMots", [&] {
        // The byte count field holds 2n in one byte: more words cannot be framed.
        if (words.isEmpty() || words.size() > 127)
            Raise(ErrNo::InvalidCall);
        const QByteArray reply = exchange(link, WriteRequestFrame(slave, address, words), 8);
        // Only the slave number and the function code of the acknowledgement are checked.
        return reply.size() == 8 && static_cast<std::uint8_t>(reply[1]) == 16 &&
               static_cast<std::uint8_t>(reply[0]) == slave;
    });
}

bool LitMots(PanelLink& link, std::uint8_t slave, std::uint16_t address, QList<std::int16_t>& words)
{
    return Trap("CommFunctions.LitMots", [&] {
        const int n = static_cast<int>(words.size());
        // A reply of more than 125 words would not fit its one-byte byte count.
        if (n < 1 || n > 125)
            Raise(ErrNo::InvalidCall);
        const int expected = 2 * n + 5;
        const QByteArray reply = exchange(link, ReadRequestFrame(slave, address, n), expected);
        if (reply.size() != expected)
            return false;
        const std::uint16_t crc = CRC16(reply, expected - 2);
        const auto crcLow = static_cast<std::uint8_t>(reply[expected - 2]);
        const auto crcHigh = static_cast<std::uint8_t>(reply[expected - 1]);
        if (crc != (crcLow | crcHigh << 8) || static_cast<std::uint8_t>(reply[1]) != 3 ||
            static_cast<std::uint8_t>(reply[0]) != slave)
            return false;
        for (int i = 0; i < n; ++i)
            words[i] = wordAt(reply, 3 + 2 * i);
        return true;
    });
}
