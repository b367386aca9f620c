#pragma once

#include "link/CommFunctions.h"
#include "link/SearchWindow.h"

#include <cstdint>

// Detection results besides a slave number found.
constexpr std::uint8_t DetectNone = 0;
constexpr std::uint8_t DetectCancelled = 255;

// The version code DetectOrvel gives when a panel answered but its version
// could not be read: the link failed, and the command fails as a transfer
// that failed (the link failure message), not as "no panel answered".
constexpr std::int32_t VersionUnreadable = -1;

// Finds the panel: slave 1..64 is asked directly, 0 asks address 65 for the
// slave number. With search, every baud rate and stop count is tried in the
// console's order and the window shows progress and can cancel. Returns 0
// (nothing answered; old settings restored), 255 (cancelled) or the slave
// found; version receives the panel's version code. When the panel answered
// but its version read failed, the result is 0 too (no confirmation is asked,
// the old settings are restored) and version is VersionUnreadable.
std::uint8_t DetectOrvel(PanelLink& link, SearchWindow& window, std::uint8_t slave, bool search,
                         std::int32_t& version, bool clearMode);
bool TestModuleType(PanelLink& link, std::uint8_t slave);

// The line settings a search tries, in order: for each stop count (the
// current one first), the current baud rate, then 19200, 9600, 4800, 2400 and
// 1200 without the current one. Without search, the current settings alone.
struct LineTry
{
    std::int32_t bauds = 0;
    std::int16_t stops = 0;
};
QList<LineTry> LineTries(std::int32_t currentBauds, std::int16_t currentStops, bool search);

// Reads the panel's version code; false (version unchanged) when the read failed.
bool ReadVersionCode(PanelLink& link, std::uint8_t slave, std::int32_t& version);
// The panel's version code, 0 when the read failed.
std::int32_t ReadVersion(PanelLink& link, std::uint8_t slave);
bool ValidationOrvel(PanelLink& link, std::uint8_t slave);
// The console's own version code: 1.06 is 262.
std::int32_t CurrentVersion();
