#include "link/CommFunctions.h"

#include "link/LineMonitor.h"
#include "link/LineTiming.h"
#include "util/ErrorHandling.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>

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

void PanelLink::SetStopRequest(std::function<bool()> stopRequested)
{
    m_stopRequested = std::move(stopRequested);
}

bool PanelLink::StopRequested() const
{
    return m_stopRequested && m_stopRequested();
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

// What the reply to one request looks like: its first bytes (slave number,
// function code, then the byte count of a read or the echoed address and
// count of a write) and its whole length, CRC included.
struct ReplyShape
{
    QByteArray head;
    qsizetype length = 0;
};

enum class ReplySeen
{
    None,     // not (yet) on the line
    Answered, // the reply, its CRC holding
    Refused,  // the panel's exception reply to this request
};

bool crcHolds(const QByteArray& bytes, qsizetype at, qsizetype length)
{
    const QByteArray frame = bytes.mid(at, length);
    const std::uint16_t crc = CRC16(frame, static_cast<int>(length - 2));
    return static_cast<std::uint8_t>(frame[length - 2]) == (crc & 0xFF) &&
           static_cast<std::uint8_t>(frame[length - 1]) == (crc >> 8);
}

// Looks through the bytes received for the reply to the request. need
// receives how many more bytes could complete the earliest frame begun.
ReplySeen findReply(const QByteArray& got, const ReplyShape& shape, QByteArray& reply, int& need)
{
    constexpr qsizetype ExceptionLength = 5; // slave, function | 0x80, code, CRC
    const char refusal = static_cast<char>(static_cast<std::uint8_t>(shape.head[1]) | 0x80);
    need = 1;
    bool begun = false;
    auto wait = [&](qsizetype missing) {
        if (!begun)
            need = static_cast<int>(missing);
        begun = true;
    };
    for (qsizetype at = 0; at < got.size(); ++at) {
        const qsizetype left = got.size() - at;
        if (got[at] != shape.head[0])
            continue;
        if (left >= 2 && got[at + 1] == refusal) {
            if (left < ExceptionLength)
                wait(ExceptionLength - left);
            else if (crcHolds(got, at, ExceptionLength))
                return ReplySeen::Refused;
            continue;
        }
        const qsizetype compared = std::min(left, shape.head.size());
        if (got.mid(at, compared) != shape.head.left(compared))
            continue;
        if (left < shape.length) {
            wait(shape.length - left);
            continue;
        }
        if (crcHolds(got, at, shape.length)) {
            reply = got.mid(at, shape.length);
            return ReplySeen::Answered;
        }
    }
    return ReplySeen::None;
}

// After a deadline: waits until nothing has arrived for quietMs, the first
// alreadyQuietMs of which have passed already (at most limitMs in all), and
// returns what came meanwhile, which no request asked for.
QByteArray awaitSilence(ComCtrl& port, int quietMs, qint64 alreadyQuietMs, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    QByteArray dropped = port.Input();
    if (!dropped.isEmpty())
        alreadyQuietMs = 0;
    qint64 quietLeft = quietMs - alreadyQuietMs;
    while (quietLeft > 0 && clock.elapsed() < limitMs) {
        const auto wait = static_cast<int>(std::min<qint64>(quietLeft, limitMs - clock.elapsed()));
        if (port.WaitForInput(1, wait) == 0)
            break;
        dropped += port.Input();
        quietLeft = quietMs;
    }
    return dropped;
}

// Sends one request and waits for its reply: the reply's bytes, or nothing
// when none came in time or the panel refused the request. Every frame goes
// to the link's monitor when one is attached. Port faults propagate as
// RuntimeError.
QByteArray exchange(PanelLink& link, const QByteArray& request, const ReplyShape& shape,
                    const ReplyWait& wait)
{
    ComCtrl& port = link.port();
    const LinkOptions& options = link.options();
    LineMonitor* monitor = link.Monitor();
    const int timeout = wait.deadlineMs > 0 ? wait.deadlineMs : options.replyTimeoutMs;

    port.SetRTSEnable(true);
    port.ClearOutBuffer();
    port.ClearInBuffer();
    if (monitor)
        monitor->Sent(request);
    port.Output(request);

    QElapsedTimer clock; // monotonic
    clock.start();
    const bool turnAround = options.halfDuplex && port.RTSEnable();
    if (turnAround) {
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
    QByteArray got;
    qint64 lastHeardMs = -1;
    auto heard = [&] {
        if (monitor && !got.isEmpty())
            monitor->Received(got, request, false);
    };
    for (;;) {
        const QByteArray more = port.Input();
        if (!more.isEmpty()) {
            got += more;
            lastHeardMs = clock.elapsed();
        }
        QByteArray reply;
        int need = 1;
        switch (findReply(got, shape, reply, need)) {
        case ReplySeen::Answered:
            heard();
            return reply;
        case ReplySeen::Refused:
            heard();
            return {};
        case ReplySeen::None:
            break;
        }
        const qint64 left = timeout - clock.elapsed();
        if (left <= 0)
            break;
        port.WaitForInput(need, static_cast<int>(left));
    }
    heard();
    if (monitor)
        monitor->NoReply(request, timeout);

    // Quiet for 2/5 of the deadline by default: 800 ms at the usual 2 s, so an
    // exchange that gets no answer still ends within 3 s.
    const int quiet = wait.quietMs >= 0 ? wait.quietMs : timeout * 2 / 5;
    qint64 alreadyQuiet = 0;
    if (wait.quietSinceLastByte) {
        // Without a byte heard, the line has been silent since the request
        // left it (before listening began when the turn-around waited for it).
        const qint64 requestLeftMs =
            turnAround ? 0 : WireTimeUs(static_cast<int>(request.size()), port.Settings()) / 1000;
        alreadyQuiet = clock.elapsed() - (lastHeardMs >= 0 ? lastHeardMs : requestLeftMs);
    }
    const QByteArray dropped = awaitSilence(port, quiet, alreadyQuiet, 2 * timeout);
    if (monitor && !dropped.isEmpty())
        monitor->Received(dropped, request, true);
    return {};
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
        const QByteArray request = WriteRequestFrame(slave, address, words);
        // The acknowledgement echoes the slave, the function, the address and the count.
        if (exchange(link, request, {request.left(6), 8}, ReplyWait{}).isEmpty())
            return false;
        link.CountAcknowledgedWrite();
        return true;
    });
}

bool LitMots(PanelLink& link, std::uint8_t slave, std::uint16_t address, QList<std::int16_t>& words)
{
    return LitMots(link, slave, address, words, ReplyWait{});
}

bool LitMots(PanelLink& link, std::uint8_t slave, std::uint16_t address, QList<std::int16_t>& words,
             const ReplyWait& wait)
{
    return Trap("CommFunctions.LitMots", [&] {
        const int n = static_cast<int>(words.size());
        // A reply of more than 125 words would not fit its one-byte byte count.
        if (n < 1 || n > 125)
            Raise(ErrNo::InvalidCall);
        QByteArray head;
        head.append(static_cast<char>(slave));
        head.append(char(3));
        head.append(static_cast<char>(2 * n));
        const QByteArray reply =
            exchange(link, ReadRequestFrame(slave, address, n), {head, 2 * n + 5}, wait);
        if (reply.isEmpty())
            return false;
        for (int i = 0; i < n; ++i)
            words[i] = wordAt(reply, 3 + 2 * i);
        return true;
    });
}
