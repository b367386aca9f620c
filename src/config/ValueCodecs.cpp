#include "config/ValueCodecs.h"

#include "util/ByteWord.h"
#include "util/ErrorHandling.h"

#include <QUuid>

#include <cmath>

std::int32_t Unsigned(std::int16_t word)
{
    return (static_cast<std::int32_t>(word) + 65536) % 65536;
}

std::int16_t Signed(std::int32_t value)
{
    const std::int32_t r = value % 65536; // keeps the sign of value
    if (r >= 32768)
        return static_cast<std::int16_t>(r - 65536);
    if (r < -32768)
        return static_cast<std::int16_t>(r + 65536);
    return static_cast<std::int16_t>(r);
}

std::int32_t TimeCode(const TimeParts& parts)
{
    return static_cast<std::int32_t>(parts.Hours) * 3600000 +
           static_cast<std::int32_t>(parts.Minutes) * 60000 +
           static_cast<std::int32_t>(parts.Seconds) * 1000 + parts.Milliseconds;
}

QString TimeDecode(double milliseconds, TimeParts& parts, bool noSeconds)
{
    return Trap("Global.TimeDecode", [&] {
        // Whole milliseconds, halves to even.
        const double whole = std::nearbyint(milliseconds);
        if (!(whole >= 0.0) || whole >= 256.0 * 3600000.0)
            Raise(ErrNo::Overflow);
        auto count = static_cast<std::int64_t>(whole);
        TimeParts p;
        p.Hours = static_cast<std::uint8_t>(count / 3600000);
        count -= std::int64_t{p.Hours} * 3600000;
        p.Minutes = static_cast<std::uint8_t>(count / 60000);
        count -= std::int64_t{p.Minutes} * 60000;
        p.Seconds = static_cast<std::uint8_t>(count / 1000);
        p.Milliseconds = static_cast<std::int16_t>(count - std::int64_t{p.Seconds} * 1000);
        parts = p;
        auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
        QString text = two(p.Hours) + QLatin1Char('h') + two(p.Minutes) + QLatin1Char('m');
        if (!noSeconds)
            text += two(p.Seconds) + QLatin1Char('s') +
                    QStringLiteral("%1").arg(p.Milliseconds, 3, 10, QLatin1Char('0')) +
                    QStringLiteral("ms");
        return text;
    });
}

int FilterUint(int keyCode)
{
    if ((keyCode >= 48 && keyCode <= 57) || keyCode == 8)
        return keyCode;
    return 0;
}

QString GetGuid()
{
    const QUuid uuid = QUuid::createUuid();
    if (uuid.isNull())
        return {};
    // The GUID taken as four 32-bit integers in the order its fields lie in
    // memory: Data1, then Data2 and Data3, then Data4 in two halves.
    auto le32 = [](const uchar* b) {
        return static_cast<std::int32_t>(
            static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
            static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24);
    };
    const std::int32_t first = static_cast<std::int32_t>(uuid.data1);
    const std::int32_t second = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(uuid.data2) | static_cast<std::uint32_t>(uuid.data3) << 16);
    const std::int32_t third = le32(uuid.data4);
    const std::int32_t fourth = le32(uuid.data4 + 4);
    return HexText(fourth) + HexText(third) + HexText(second) + HexText(first);
}
