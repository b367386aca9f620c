#pragma once

#include "link/LineMonitor.h"

#include <QString>

// What the line monitor shows of a frame, in the current language (texts by
// tag through LookupText): the console's monitor window, its saved text and
// orvelctl --trace all write frames this way.

// Milliseconds since the monitor started, with one decimal: "1234.5".
QString FrameTime(const MonitorFrame& frame);
// Sent, received, or no reply.
QString FrameDirection(const MonitorFrame& frame);
// The bytes in hexadecimal, "01 03 04 72 00 01 25 1C"; empty for no reply.
QString FrameBytes(const MonitorFrame& frame);
// The decoding: slave, function, register address and word count (or the
// exception code), whether the CRC holds; an echo of the request, bytes that
// make no whole frame, the deadline passing without reply.
QString FrameSummary(const MonitorFrame& frame);
// Whether the frame tells of a fault: the deadline passing, bytes after it, a
// frame that is not whole, a CRC that does not hold, an exception reply.
bool FrameIsFault(const MonitorFrame& frame);
// The four of them on one line: time, direction, bytes, decoding.
QString FrameLine(const MonitorFrame& frame);
