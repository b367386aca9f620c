#pragma once

#include "config/ConfigClass.h"

#include <QString>

#include <cstdint>

// The first firmware version (1.03) that has the disturbance and repeat
// blocking of the inputs, the horn type 4, the driving kind 5, the supply
// voltage reference and the protocol choice.
constexpr std::int32_t FirstFullVersion = 259;

// Adapts a record to a panel of an older firmware version: below 1.03 the
// fields such a panel does not have are cleared or mapped to what it has.
// From 1.03 on the record is left unchanged.
void CorrigeVersion(ConfigClass& config, std::int32_t version);

// A version code as messages write it: major, a point, minor, without leading
// zeros (259 gives "1.3").
QString VersionText(std::int32_t version);

// The older-firmware message: every "###1###" in text becomes the panel's
// version and every "###2###" the console's. The console and orvelctl ask it
// alike.
QString OlderFirmwareText(QString text, std::int32_t panelVersion, std::int32_t consoleVersion);
