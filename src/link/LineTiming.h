#pragma once

#include <QString>

// How long characters take on a serial line with the given settings text
// ("9600,N,8,1"): a start bit, the data bits, the parity bit unless the parity
// is N, and the stop bits, at the baud rate. 0 for a settings text without a
// baud rate.
qint64 WireTimeUs(int characters, const QString& settings);
