#pragma once

#include <QString>

#include <cstdint>

// Small pure conversions shared by the link, the editor, the report and the
// event buffer.

// A signed 16-bit word as 0..65535 (-1 gives 65535).
std::int32_t Unsigned(std::int16_t word);
// Any 32-bit integer folded to a signed word: 40000 gives -25536, 65535 gives -1.
std::int16_t Signed(std::int32_t value);

// A duration broken down into its parts.
struct TimeParts
{
    std::uint8_t Hours = 0;
    std::uint8_t Minutes = 0;
    std::uint8_t Seconds = 0;
    std::int16_t Milliseconds = 0;
    bool operator==(const TimeParts&) const = default;
};

// Hours x 3 600 000 + Minutes x 60 000 + Seconds x 1000 + Milliseconds.
std::int32_t TimeCode(const TimeParts& parts);

// Breaks a millisecond count down into parts and returns its text,
// "01h02m03s004ms", or "01h02m" with seconds suppressed. A count of 256 hours
// or more (or below 0) overflows the hours: the error is reported under
// Global.TimeDecode, parts are left as they were and the text is empty.
QString TimeDecode(double milliseconds, TimeParts& parts, bool noSeconds = false);

// Key filter for numeric text boxes: digits and backspace pass, any other key
// code becomes 0 (discarded).
int FilterUint(int keyCode);

// A new GUID as text (the hexadecimal texts of its four 32-bit integers, last
// first), or "" when none could be made.
QString GetGuid();
