#pragma once

#include "config/ConfigClass.h"

#include <array>
#include <cstdint>
#include <optional>

// The line store shared by every panel window: one input line (safety, delay,
// sequence, detection, re-trigger, blocking, four redirections, grouping,
// horn type) and one output line (safety, driving), each kept from its copy
// until the next copy of its kind or the end of the program. Disturbance,
// repeat blocking and output mode are not carried.
class LineStore
{
public:
    static constexpr int InputSlots = 12;
    static constexpr int OutputSlots = 2;

    // Copies channel line (1..12) of a configuration into the store.
    void CopyInputLine(const ConfigClass& config, int line);
    void CopyOutputLine(const ConfigClass& config, int line);
    // Writes the stored line into channel line of a configuration. Every slot
    // that cannot be written is skipped and the others still are; when any
    // was skipped (nothing copied yet, a line out of range) the system beep
    // sounds and false is returned.
    bool PasteInputLine(ConfigClass& config, int line) const;
    bool PasteOutputLine(ConfigClass& config, int line) const;

    bool HasInputLine() const { return m_input.has_value(); }
    bool HasOutputLine() const { return m_output.has_value(); }

private:
    std::optional<std::array<std::int32_t, InputSlots>> m_input;
    std::optional<std::array<std::int32_t, OutputSlots>> m_output;
};
