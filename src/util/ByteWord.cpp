#include "ByteWord.h"

#include "RuntimeError.h"

#include <cmath>

std::uint8_t HiByte(std::int32_t value)
{
    return static_cast<std::uint8_t>((static_cast<std::uint32_t>(value) >> 8) & 0xFFu);
}

std::uint8_t LoByte(std::int32_t value)
{
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu);
}

namespace {
std::uint32_t wholeUnsigned32(double value)
{
    if (!(value >= 0.0) || value > 4294967295.0 || std::floor(value) != value)
        Raise(ErrNo::Overflow);
    return static_cast<std::uint32_t>(value);
}
} // namespace

std::int16_t HiWord(double value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(wholeUnsigned32(value) >> 16));
}

std::int16_t LoWord(double value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(wholeUnsigned32(value) & 0xFFFFu));
}

std::int16_t MakeWord(std::uint8_t low, std::uint8_t high)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(high << 8 | low));
}

QString HexText(std::int32_t value)
{
    return QString::number(static_cast<std::uint32_t>(value), 16).toUpper();
}
