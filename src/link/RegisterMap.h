#pragma once

#include "config/ConfigClass.h"
#include "link/CommFunctions.h"

#include <cstdint>

// Moves a configuration to and from a panel, block by block, for a panel of
// the given version code (major x 256 + minor). Each returns true when every
// exchange succeeded; a read stores each block as it arrives. A stop asked of
// the link (PanelLink::SetStopRequest) ends them before the next block, as a
// failure. Every block that went through is announced by the link's
// BlockDone; ReadAll and WriteAll first announce their number of blocks
// (TransferBegun) and then each section as it starts (SectionBegun), so a
// display can follow the whole transfer.
bool ReadInputs(PanelLink& link, ConfigClass& config, std::uint8_t slave, std::int32_t version);
bool ReadOutputs(PanelLink& link, ConfigClass& config, std::uint8_t slave, std::int32_t version);
bool ReadGeneral(PanelLink& link, ConfigClass& config, std::uint8_t slave, std::int32_t version);
bool ReadFactory(PanelLink& link, ConfigClass& config, std::uint8_t slave, std::int32_t version);
bool ReadAll(PanelLink& link, ConfigClass& config, std::uint8_t slave, std::int32_t version);

bool WriteInputs(PanelLink& link, const ConfigClass& config, std::uint8_t slave,
                 std::int32_t version);
bool WriteOutputs(PanelLink& link, const ConfigClass& config, std::uint8_t slave,
                  std::int32_t version);
bool WriteGeneral(PanelLink& link, const ConfigClass& config, std::uint8_t slave,
                  std::int32_t version);
bool WriteFactory(PanelLink& link, const ConfigClass& config, std::uint8_t slave,
                  std::int32_t version);
bool WriteAll(PanelLink& link, const ConfigClass& config, std::uint8_t slave, bool writeFactory,
              std::int32_t version);

// How writing a whole configuration ended: every block acknowledged, none,
// or some (the panel now holds a mix of its old configuration and the new one).
enum class WriteOutcome
{
    Written,
    NotWritten,
    PartlyWritten,
};

// WriteAll, telling a write that failed before any block reached the panel
// from one that failed part-way.
WriteOutcome WriteConfiguration(PanelLink& link, const ConfigClass& config, std::uint8_t slave,
                                bool writeFactory, std::int32_t version);

// The text that says what a failed write left on the panel: 10105 (the
// configuration has not been written) or 10122 (partly written: write again).
int WriteFailureTag(WriteOutcome outcome);
