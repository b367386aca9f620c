#pragma once

#include <QString>

#include <array>
#include <cstdint>

// One record of a panel's event log is two words: W0 holds the channel code
// (bits 15..12), the parameter code (11..8), the display code (7..4) and bits
// 19..16 of the time stamp; W1 holds its bits 15..0. The time stamp counts
// 5 ms ticks.

constexpr int EventColumns = 6;

// A decoded event: row number ("01"), tick count ("0197842"), time text,
// channel, parameter and display texts, in the order the event list shows them.
using EventRow = std::array<QString, EventColumns>;

// Hours without leading zeros, then minutes, seconds and milliseconds:
// "0:16:29.210". Cut, never rounded.
QString Count2Time(std::int32_t ticks);
// "V01".."V12" for an input, "ACK" for an acknowledgment (15), else "??? v ???".
QString TypeVoie(std::int16_t v);
// Text 102215 + p for an input or an acknowledgment, else "??? p ???" and a
// double quote.
QString TypeParam(std::int16_t v, std::int16_t p);
// Text 102201 + a for an input, 102207 + a for an acknowledgment, else "??? a ???".
QString TypeAff(std::int16_t v, std::int16_t a);

// The tick count of a record: 20 bits, W1 taken as unsigned.
std::int32_t EventTicks(std::int16_t w0, std::int16_t w1);
// The row of a record that stands at the 1-based position in the list.
EventRow DecodeEvent(int position, std::int16_t w0, std::int16_t w1);
