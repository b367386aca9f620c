#pragma once

#include "SimulatedPanel.h"

#include <QString>

// A small text list of panel events, one per line, oldest first:
//
//     # channel parameter display ticks
//     1   2  0  197842      input channel 1, parameter code 2, display code 0
//     ACK 0  0  250000      an acknowledgment (channel code 15)
//     0x1203 0x04D2         or the two raw record words W0 W1
//
// The channel is 1..12, ACK, or any code 0..15; parameter and display codes
// are 0..15; ticks (5 ms each) are 0..1048575. Blank lines and text after '#'
// are ignored. ParseEventList returns false and names the first bad line in
// error (1-based) when a line does not read.
bool ParseEventList(const QString& text, QList<SimulatedPanel::Event>& events,
                    QString* error = nullptr);
bool LoadEventList(const QString& path, QList<SimulatedPanel::Event>& events,
                   QString* error = nullptr);
