#pragma once

#include <QString>

#include <cstdint>

// Splitting and joining of bytes and 16-bit words as the link and the file
// formats use them. Words on the line are signed 16-bit values.

// Bits 8..15 and 0..7 of a 32-bit value (a negative word is widened with its
// sign first, so both give 255 for -1).
std::uint8_t HiByte(std::int32_t value);
std::uint8_t LoByte(std::int32_t value);

// Bits 16..31 and 0..15 of a whole number 0..2^32-1, as signed words.
// A value outside that range, or not whole, raises the overflow error.
std::int16_t HiWord(double value);
std::int16_t LoWord(double value);

// high x 256 + low as a signed word: (255, 255) gives -1.
std::int16_t MakeWord(std::uint8_t low, std::uint8_t high);

// The value in upper-case hexadecimal digits without leading zeros; a negative
// value gives its 32-bit two's complement (8 digits).
QString HexText(std::int32_t value);

template <class T> constexpr T Min(T a, T b)
{
    return b < a ? b : a;
}

template <class T> constexpr T Max(T a, T b)
{
    return a < b ? b : a;
}
