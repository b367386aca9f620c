#include "eventlog/EventDecoder.h"

#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <cstdlib>

namespace {

// tags: 102201-102230 (display texts of inputs and ACK rows, then event texts)
constexpr int ParamTextBase = 102215;
constexpr int InputDisplayTextBase = 102201;
constexpr int AckDisplayTextBase = 102207;
constexpr std::int16_t AckChannel = 15;

bool isInput(std::int16_t v)
{
    return v >= 1 && v <= 12;
}

QString unknownCode(int code)
{
    return QStringLiteral("??? %1 ???").arg(code);
}

QString twoDigits(qint64 n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

QString Count2Time(std::int32_t ticks)
{
    return Trap("wBuffer.Count2Time", [&] {
        // 64 bits: the product of a large 32-bit count and 5 does not fit 32.
        const qint64 total = qint64(ticks) * 5;
        const qint64 magnitude = total < 0 ? -total : total;
        const qint64 hours = magnitude / 3600000;
        const qint64 minutes = (magnitude / 60000) % 60;
        const qint64 seconds = (magnitude / 1000) % 60;
        const qint64 millis = magnitude % 1000;
        return QStringLiteral("%1%2:%3:%4.%5")
            .arg(total < 0 ? QStringLiteral("-") : QString())
            .arg(hours)
            .arg(twoDigits(minutes), twoDigits(seconds))
            .arg(millis, 3, 10, QLatin1Char('0'));
    });
}

QString TypeVoie(std::int16_t v)
{
    return Trap("wBuffer.TypeVoie", [&] {
        if (isInput(v))
            return QStringLiteral("V") + twoDigits(v);
        if (v == AckChannel)
            return QStringLiteral("ACK");
        return unknownCode(v);
    });
}

QString TypeParam(std::int16_t v, std::int16_t p)
{
    return Trap("wBuffer.TypeParam", [&] {
        if (isInput(v) || v == AckChannel)
            return GetText(ParamTextBase + p);
        return unknownCode(p) + QLatin1Char('"');
    });
}

QString TypeAff(std::int16_t v, std::int16_t a)
{
    return Trap("wBuffer.TypeAff", [&] {
        if (isInput(v))
            return GetText(InputDisplayTextBase + a);
        if (v == AckChannel)
            return GetText(AckDisplayTextBase + a);
        return unknownCode(a);
    });
}

std::int32_t EventTicks(std::int16_t w0, std::int16_t w1)
{
    return (std::int32_t(std::uint16_t(w0)) & 0x000F) * 65536 + std::int32_t(std::uint16_t(w1));
}

EventRow DecodeEvent(int position, std::int16_t w0, std::int16_t w1)
{
    const auto word = std::uint16_t(w0);
    const auto v = std::int16_t((word >> 12) & 0x0F);
    const auto p = std::int16_t((word >> 8) & 0x0F);
    const auto a = std::int16_t((word >> 4) & 0x0F);
    const std::int32_t ticks = EventTicks(w0, w1);

    EventRow row;
    row[0] = twoDigits(position);
    row[1] = QStringLiteral("%1").arg(ticks, 7, 10, QLatin1Char('0'));
    row[2] = Count2Time(ticks);
    row[3] = TypeVoie(v);
    row[4] = TypeParam(v, p);
    row[5] = TypeAff(v, a);
    return row;
}
