#pragma once

#include "config/ConfigClass.h"

#include <QByteArray>

// A configuration as JSON: one key per property of the record, named as the
// record names it, in a fixed order (inputs, outputs, general section,
// identification, factory section). Channel arrays start at channel 1,
// InRedir is 12 arrays of 4, GenParam 33 numbers from index 0. UTF-8, two
// spaces of indentation, one property per line, a final line end.
QByteArray ConfigToJson(const ConfigClass& config);
