#pragma once

#include "link/CommFunctions.h"
#include "link/SearchWindow.h"

#include <cstdint>

// Detection results besides a slave number found.
constexpr std::uint8_t DetectNone = 0;
constexpr std::uint8_t DetectCancelled = 255;

// Finds the panel: slave 1..64 is asked directly, 0 asks address 65 for the
// slave number. With search, every baud rate and stop count is tried in the
// console's order and the window shows progress and can cancel. Returns 0
// (nothing answered; old settings restored), 255 (cancelled) or the slave
// found; version receives the panel's version code.
std::uint8_t DetectOrvel(PanelLink& link, SearchWindow& window, std::uint8_t slave, bool search,
                         std::int32_t& version, bool clearMode);
bool TestModuleType(PanelLink& link, std::uint8_t slave);
// The panel's version code, 0 when the read failed.
std::int32_t ReadVersion(PanelLink& link, std::uint8_t slave);
bool ValidationOrvel(PanelLink& link, std::uint8_t slave);
// The console's own version code: 1.06 is 262.
std::int32_t CurrentVersion();
