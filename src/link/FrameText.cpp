#include "link/FrameText.h"

#include "link/CommFunctions.h"
#include "util/ErrorHandling.h"

#include <QStringList>

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

// Slave, then what the function says, then the CRC; empty when the bytes
// make no whole frame.
QStringList Decoded(const QByteArray& bytes, bool request)
{
    const qsizetype n = bytes.size();
    if (n < 4)
        return {};
    const int function = Byte(bytes, 1);
    QString what;
    if (function & 0x80) {
        if (n != 5)
            return {};
        what = Filled(ExceptionTag, {Byte(bytes, 2), function & 0x7F});
    } else if (function == 3 && request) {
        if (n != 8)
            return {};
        what = Filled(ReadRequestTag, {Word(bytes, 4), Word(bytes, 2)});
    } else if (function == 3) {
        if (n != 5 + Byte(bytes, 2))
            return {};
        what = Filled(ReadReplyTag, {Byte(bytes, 2) / 2});
    } else if (function == 16 && request) {
        if (n < 9 || n != 9 + Byte(bytes, 6))
            return {};
        what = Filled(WriteRequestTag, {Word(bytes, 4), Word(bytes, 2)});
    } else if (function == 16) {
        if (n != 8)
            return {};
        what = Filled(WriteReplyTag, {Word(bytes, 4), Word(bytes, 2)});
    } else {
        what = Filled(OtherFunctionTag, {function});
    }
    return {Filled(SlaveTag, {Byte(bytes, 0)}), what,
            LookupText(CrcHolds(bytes) ? CrcGoodTag : CrcBadTag)};
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
    if (frame.kind == MonitorFrame::Kind::Received && frame.bytes == frame.request)
        parts << LookupText(EchoTag);
    else {
        const QStringList decoded = Decoded(frame.bytes, frame.kind == MonitorFrame::Kind::Sent);
        parts << (decoded.isEmpty() ? QStringList{LookupText(IncompleteTag)} : decoded);
    }
    return parts.join(QStringLiteral(", "));
}

QString FrameLine(const MonitorFrame& frame)
{
    const QString bytes = FrameBytes(frame);
    return QStringLiteral("%1 ms  %2  %3%4")
        .arg(FrameTime(frame), 10)
        .arg(FrameDirection(frame), bytes.isEmpty() ? QString() : bytes + QStringLiteral("  "),
             FrameSummary(frame));
}
