#include "link/LineMonitor.h"

#include <algorithm>

LineMonitor::LineMonitor(int capacity) : m_capacity(std::max(capacity, 1))
{
    m_clock.start();
}

void LineMonitor::Sent(const QByteArray& request)
{
    if (m_paused)
        return;
    add({m_clock.nsecsElapsed() / 1000, MonitorFrame::Kind::Sent, request, request, 0, false});
}

void LineMonitor::Received(const QByteArray& bytes, const QByteArray& request, bool late)
{
    if (m_paused)
        return;
    const qint64 at = m_clock.nsecsElapsed() / 1000;
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype length = FrameLength(bytes, start, request);
        add({at, MonitorFrame::Kind::Received, bytes.mid(start, length), request, 0, late});
        start += length;
    }
}

void LineMonitor::NoReply(const QByteArray& request, int deadlineMs)
{
    if (m_paused)
        return;
    add({m_clock.nsecsElapsed() / 1000,
         MonitorFrame::Kind::NoReply,
         {},
         request,
         deadlineMs,
         false});
}

void LineMonitor::Clear()
{
    m_frames.clear();
    m_recorded = 0;
    ++m_generation;
}

void LineMonitor::add(MonitorFrame frame)
{
    if (m_sink)
        m_sink(frame);
    if (static_cast<int>(m_frames.size()) >= m_capacity)
        m_frames.pop_front();
    m_frames.push_back(std::move(frame));
    ++m_recorded;
}

qsizetype FrameLength(const QByteArray& bytes, qsizetype at, const QByteArray& request)
{
    const qsizetype left = bytes.size() - at;
    if (!request.isEmpty() && left >= request.size() && bytes.mid(at, request.size()) == request)
        return request.size();
    qsizetype length = left;
    if (left >= 2) {
        const auto function = static_cast<std::uint8_t>(bytes[at + 1]);
        if (function & 0x80)
            length = 5;
        else if (function == 3 && left >= 3)
            length = 5 + static_cast<std::uint8_t>(bytes[at + 2]);
        else if (function == 16)
            length = 8;
    }
    return std::min(length, left);
}
