#include "SimulatedLine.h"

#include "link/LineTiming.h"
#include "util/RuntimeError.h"

#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <thread>

SimulatedLine::SimulatedLine(QObject* parent) : ComCtrl(parent)
{
    m_clock.start();
}

SimulatedLine::~SimulatedLine() = default;

SimulatedPanel& SimulatedLine::addPanel(std::uint8_t slave, std::int32_t version,
                                        const QString& lineSettings)
{
    return m_panels.add(slave, version, lineSettings);
}

SimulatedPanel* SimulatedLine::panel(std::uint8_t slave) const
{
    return m_panels.find(slave);
}

void SimulatedLine::removePanel(std::uint8_t slave)
{
    m_panels.remove(slave);
}

QList<QByteArray> SimulatedLine::requests() const
{
    QList<QByteArray> list;
    for (const Exchange& e : m_exchanges)
        list.append(e.request);
    return list;
}

void SimulatedLine::clearLog()
{
    m_exchanges.clear();
    m_rtsChanges.clear();
}

qint64 SimulatedLine::wireTimeUs(int count, const QString& settings)
{
    return WireTimeUs(count, settings);
}

void SimulatedLine::SetCommPort(const QString& port)
{
    if (m_open && port != m_commPort)
        Raise(ErrNo::PortAlreadyOpen);
    m_commPort = port;
}

void SimulatedLine::SetSettings(const QString& settings)
{
    const QStringList f = settings.split(QLatin1Char(','));
    if (f.size() != 4 || f[0].trimmed().toInt() <= 0)
        Raise(ErrNo::InvalidPropertyValue, settings);
    if (m_unsupportedBauds.contains(f[0].trimmed().toInt()))
        Raise(ErrNo::PortSettings, settings);
    m_settings = settings;
}

void SimulatedLine::SetPortOpen(bool open)
{
    if (open && m_open)
        return;
    if (open && m_unplugged)
        Raise(ErrNo::PortInvalid);
    m_open = open;
    if (!open) {
        m_in.clear();
        m_pending.clear();
    }
}

void SimulatedLine::SetRTSEnable(bool on)
{
    m_rts = on;
    m_rtsChanges.append(on);
}

void SimulatedLine::requireUsable(int faultNumber)
{
    if (!m_open)
        Raise(ErrNo::PortOpenRequired);
    if (m_unplugged) {
        m_open = false;
        Raise(faultNumber);
    }
}

qint64 SimulatedLine::nowUs() const
{
    return m_clock.nsecsElapsed() / 1000;
}

void SimulatedLine::ClearOutBuffer()
{
    requireUsable(ErrNo::PortWrite);
}

void SimulatedLine::ClearInBuffer()
{
    requireUsable(ErrNo::PortRead);
    // What has arrived is dropped; bytes still on their way (a late reply) will
    // arrive as on a real line.
    collect();
    m_in.clear();
}

void SimulatedLine::collect()
{
    const qint64 now = nowUs();
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        qsizetype arrived = 0;
        if (now >= it->firstUs) {
            arrived = it->charUs <= 0 ? it->bytes.size()
                                      : std::min<qsizetype>(it->bytes.size(),
                                                            (now - it->firstUs) / it->charUs + 1);
        }
        m_in.append(it->bytes.left(arrived));
        it->bytes.remove(0, arrived);
        it->firstUs += arrived * it->charUs;
        if (it->bytes.isEmpty())
            it = m_pending.erase(it);
        else
            ++it;
    }
}

qint64 SimulatedLine::readyAtUs(int count) const
{
    // Byte arrival times of everything pending, merged in time order.
    QList<qint64> times;
    for (const Pending& p : m_pending) {
        for (qsizetype i = 0; i < p.bytes.size(); ++i)
            times.append(p.firstUs + i * p.charUs);
    }
    const qsizetype need = count - m_in.size();
    if (need <= 0)
        return 0;
    if (need > times.size())
        return -1;
    std::sort(times.begin(), times.end());
    return times[need - 1];
}

int SimulatedLine::InBufferCount()
{
    requireUsable(ErrNo::PortRead);
    collect();
    return static_cast<int>(m_in.size());
}

void SimulatedLine::Output(const QByteArray& bytes)
{
    requireUsable(ErrNo::PortWrite);
    Q_EMIT RequestSent(bytes);

    const qint64 start = nowUs();
    const qint64 charUs = m_wireTime ? wireTimeUs(1, m_settings) : 0;
    const qint64 sentUs = start + static_cast<qint64>(bytes.size()) * charUs;

    Exchange exchange;
    exchange.request = bytes;
    exchange.settings = m_settings;
    exchange.atMs = start / 1000;
    if (m_responder) {
        const QByteArray reply = m_responder(bytes);
        if (!reply.isEmpty())
            m_pending.append({reply, sentUs + charUs, charUs});
        exchange.reply = reply;
    }
    const QList<SimulatedPanel::Reply> replies =
        m_responder ? QList<SimulatedPanel::Reply>() : m_panels.answer(bytes, m_settings);
    for (const SimulatedPanel::Reply& reply : replies) {
        if (!reply.echo.isEmpty())
            m_pending.append({reply.echo, start + charUs, charUs});
        // A reply held back from the previous request comes first, the
        // request's own reply after it.
        if (!reply.held.isEmpty()) {
            m_pending.append({reply.held, sentUs + charUs, charUs});
            exchange.reply += reply.held;
        }
        if (!reply.bytes.isEmpty()) {
            const qint64 after = sentUs + reply.delayMs * 1000LL + charUs +
                                 static_cast<qint64>(reply.held.size()) * charUs;
            m_pending.append({reply.bytes, after, charUs});
            exchange.reply += reply.bytes;
        }
    }
    m_exchanges.append(exchange);

    switch (m_sendNotification) {
    case SendNotification::Immediate:
        Q_EMIT OnComm(comEvSend);
        break;
    case SendNotification::Queued:
        QTimer::singleShot(std::chrono::milliseconds((sentUs - start + 999) / 1000),
                           Qt::PreciseTimer, this, [this] { Q_EMIT OnComm(comEvSend); });
        break;
    case SendNotification::Never:
        break;
    }
}

QByteArray SimulatedLine::Input()
{
    requireUsable(ErrNo::PortRead);
    collect();
    QByteArray bytes;
    bytes.swap(m_in);
    return bytes;
}

int SimulatedLine::WaitForInput(int count, int timeoutMs)
{
    requireUsable(ErrNo::PortRead);
    const qint64 deadline = nowUs() + static_cast<qint64>(std::max(timeoutMs, 0)) * 1000;
    collect();
    const qint64 ready = readyAtUs(count);
    const qint64 until = ready < 0 ? deadline : std::min(ready, deadline);
    const qint64 wait = until - nowUs();
    if (wait > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(wait));
    collect();
    return static_cast<int>(m_in.size());
}
