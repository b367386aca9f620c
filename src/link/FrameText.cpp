#include "link/FrameText.h"

#include "link/CommFunctions.h"
#include "util/ErrorHandling.h"

#include <QStringList>

#include <initializer_list>

namespace {
constexpr int SentTag = 103110;
constexpr int ReceivedTag = 103111;
constexpr int NoReplyTag = 103112;
constexpr int SlaveTag = 103150;
constexpr int ReadRequestTag = 103151;
constexpr int WriteRequestTag = 103152;
constexpr int ReadReplyTag = 103153;
constexpr int WriteReplyTag = 103154;
constexpr int ExceptionTag = 103155;
constexpr int OtherFunctionTag = 103156;
constexpr int CrcGoodTag = 103157;
constexpr int CrcBadTag = 103158;
constexpr int EchoTag = 103159;
constexpr int NoReplyWithinTag = 103160;
constexpr int IncompleteTag = 103161;
constexpr int LateTag = 103162;

// A text with its "###1###", "###2###" ... replaced by the numbers.
QString Filled(int tag, std::initializer_list<qint64> values)
{
    QString text = LookupText(tag);
    int n = 0;
    for (qint64 value : values)
        text.replace(QStringLiteral("###%1###").arg(++n), QString::number(value));
    return text;
}

int Byte(const QByteArray& bytes, qsizetype at)
{
    return static_cast<std::uint8_t>(bytes[at]);
}

int Word(const QByteArray& bytes, qsizetype at)
{
    return Byte(bytes, at) << 8 | Byte(bytes, at + 1);
}

bool CrcHolds(const QByteArray& bytes)
{
    const auto n = static_cast<int>(bytes.size());
    const std::uint16_t crc = CRC16(bytes, n - 2);
    return Byte(bytes, n - 2) == (crc & 0xFF) && Byte(bytes, n - 1) == (crc >> 8);
}

// A whole frame's slave, what its function says and whether its CRC holds.
struct Decoding
{
    bool whole = false;
    int slave = 0;
    QString what;
    bool crcGood = false;
    bool exception = false;
};

Decoding Decode(const QByteArray& bytes, bool request)
{
    const qsizetype n = bytes.size();
    Decoding d;
    if (n < 4)
        return d;
    const int function = Byte(bytes, 1);
    if (function & 0x80) {
        if (n != 5)
            return d;
        d.exception = true;
        d.what = Filled(ExceptionTag, {Byte(bytes, 2), function & 0x7F});
    } else if (function == 3 && request) {
        if (n != 8)
            return d;
        d.what = Filled(ReadRequestTag, {Word(bytes, 4), Word(bytes, 2)});
    } else if (function == 3) {
        if (n != 5 + Byte(bytes, 2))
            return d;
        d.what = Filled(ReadReplyTag, {Byte(bytes, 2) / 2});
    } else if (function == 16 && request) {
        if (n < 9 || n != 9 + Byte(bytes, 6))
            return d;
        d.what = Filled(WriteRequestTag, {Word(bytes, 4), Word(bytes, 2)});
    } else if (function == 16) {
        if (n != 8)
            return d;
        d.what = Filled(WriteReplyTag, {Word(bytes, 4), Word(bytes, 2)});
    } else {
        d.what = Filled(OtherFunctionTag, {function});
    }
    d.whole = true;
    d.slave = Byte(bytes, 0);
    d.crcGood = CrcHolds(bytes);
    return d;
}

bool IsEcho(const MonitorFrame& frame)
{
    return frame.kind == MonitorFrame::Kind::Received && frame.bytes == frame.request;
}

Decoding Decode(const MonitorFrame& frame)
{
    return Decode(frame.bytes, frame.kind == MonitorFrame::Kind::Sent);
}
} // namespace

QString FrameTime(const MonitorFrame& frame)
{
    return QString::number(frame.atUs / 1000.0, 'f', 1);
}

QString FrameDirection(const MonitorFrame& frame)
{
    switch (frame.kind) {
    case MonitorFrame::Kind::Sent:
        return LookupText(SentTag);
    case MonitorFrame::Kind::Received:
        return LookupText(ReceivedTag);
    case MonitorFrame::Kind::NoReply:
        break;
    }
    return LookupText(NoReplyTag);
}

QString FrameBytes(const MonitorFrame& frame)
{
    return QString::fromLatin1(frame.bytes.toHex(' ').toUpper());
}

QString FrameSummary(const MonitorFrame& frame)
{
    if (frame.kind == MonitorFrame::Kind::NoReply)
        return Filled(NoReplyWithinTag, {frame.deadlineMs});
    QStringList parts;
    if (frame.late)
        parts << LookupText(LateTag);
    const Decoding d = Decode(frame);
    if (IsEcho(frame))
        parts << LookupText(EchoTag);
    else if (!d.whole)
        parts << LookupText(IncompleteTag);
    else
        parts << Filled(SlaveTag, {d.slave}) << d.what
              << LookupText(d.crcGood ? CrcGoodTag : CrcBadTag);
    return parts.join(QStringLiteral(", "));
}

bool FrameIsFault(const MonitorFrame& frame)
{
    if (frame.kind == MonitorFrame::Kind::NoReply || frame.late)
        return true;
    if (IsEcho(frame))
        return false;
    const Decoding d = Decode(frame);
    return !d.whole || !d.crcGood || d.exception;
}

QString FrameLine(const MonitorFrame& frame)
{
    const QString bytes = FrameBytes(frame);
    return QStringLiteral("%1 ms  %2  %3%4")
        .arg(FrameTime(frame), 10)
        .arg(FrameDirection(frame), bytes.isEmpty() ? QString() : bytes + QStringLiteral("  "),
             FrameSummary(frame));
}
