#pragma once

#include <QByteArray>
#include <QElapsedTimer>

#include <cstdint>
#include <deque>
#include <functional>

// One frame seen by the line monitor.
struct MonitorFrame
{
    enum class Kind
    {
        Sent,     // a request the link sent
        Received, // bytes heard while waiting for the reply (an echo, the
                  // reply, another frame, noise): one frame each
        NoReply,  // the reply deadline passed without the reply
    };

    qint64 atUs = 0; // since the monitor started (monotonic)
    Kind kind = Kind::Sent;
    QByteArray bytes;   // Sent and Received
    QByteArray request; // the request of the exchange
    int deadlineMs = 0; // NoReply: the deadline that passed
    bool late = false;  // Received after the deadline had passed
};

// Records every frame the link sends or receives, with a time stamp, keeping
// the last capacity() frames. PanelLink hands it each frame when it is
// attached (PanelLink::SetMonitor); the recording only stores the bytes, all
// decoding is left to whoever shows them. A sink, when set, sees every frame
// as it is recorded (orvelctl --trace writes it out at once).
class LineMonitor
{
public:
    static constexpr int DefaultCapacity = 10000;
    explicit LineMonitor(int capacity = DefaultCapacity);

    // The link's side.
    void Sent(const QByteArray& request);
    // Splits bytes into frames: the echo of the request, then frames by their
    // function code's length; what is left over is one frame of its own.
    void Received(const QByteArray& bytes, const QByteArray& request, bool late);
    void NoReply(const QByteArray& request, int deadlineMs);

    // While paused nothing is recorded.
    bool Paused() const { return m_paused; }
    void SetPaused(bool paused) { m_paused = paused; }
    void Clear();

    int capacity() const { return m_capacity; }
    // The frames kept, oldest first.
    const std::deque<MonitorFrame>& Frames() const { return m_frames; }
    // How many frames have been recorded since the last Clear; the first frame
    // kept is number Recorded() - Frames().size() of them (counting from 0).
    std::uint64_t Recorded() const { return m_recorded; }
    // Changes each time Clear empties the record.
    int Generation() const { return m_generation; }

    using Sink = std::function<void(const MonitorFrame&)>;
    void SetSink(Sink sink) { m_sink = std::move(sink); }

private:
    void add(MonitorFrame frame);

    QElapsedTimer m_clock;
    int m_capacity;
    std::deque<MonitorFrame> m_frames;
    std::uint64_t m_recorded = 0;
    int m_generation = 0;
    bool m_paused = false;
    Sink m_sink;
};

// Where the next frame of received bytes ends, from its first bytes: the
// echo of the request, an exception reply (5 bytes), a read reply (5 + its
// byte count), a write acknowledgement (8); the rest when it cannot tell.
qsizetype FrameLength(const QByteArray& bytes, qsizetype at, const QByteArray& request);
