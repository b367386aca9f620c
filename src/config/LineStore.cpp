#include "LineStore.h"

#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

#include <functional>

namespace {
bool ValidLine(int line)
{
    return line >= 1 && line <= ConfigClass::Channels;
}

// Runs each assignment; one that fails is skipped. True when all succeeded.
bool AssignEach(std::initializer_list<std::function<void()>> assignments)
{
    bool all = true;
    for (const auto& assign : assignments) {
        try {
            assign();
        } catch (const std::exception&) {
            all = false;
        }
    }
    return all;
}

// A stored slot as the byte the record holds; a slot that is missing (nothing
// copied) or out of a byte's range cannot be assigned.
template <std::size_t N>
std::uint8_t Byte(const std::optional<std::array<std::int32_t, N>>& stored, std::size_t i)
{
    if (!stored)
        Raise(ErrNo::InvalidCall, QStringLiteral("no line copied"));
    const std::int32_t value = (*stored)[i];
    if (value < 0 || value > 255)
        Raise(ErrNo::Overflow, QString::number(value));
    return std::uint8_t(value);
}
} // namespace

void LineStore::CopyInputLine(const ConfigClass& config, int line)
{
    Trap("wMain.CopyInputLine", [&] {
        if (!ValidLine(line))
            Raise(ErrNo::SubscriptOutOfRange, QString::number(line));
        m_input = std::array<std::int32_t, InputSlots>{
            config.InSecu(line),     config.InTempo(line),    config.InSequence(line),
            config.InDetect(line),   config.InRelance(line),  config.InBlocage(line),
            config.InRedir(line, 1), config.InRedir(line, 2), config.InRedir(line, 3),
            config.InRedir(line, 4), config.InSynth(line),    config.InTypeKL(line)};
    });
}

void LineStore::CopyOutputLine(const ConfigClass& config, int line)
{
    Trap("wMain.CopyOutputLine", [&] {
        if (!ValidLine(line))
            Raise(ErrNo::SubscriptOutOfRange, QString::number(line));
        m_output =
            std::array<std::int32_t, OutputSlots>{config.OutSecu(line), config.OutPilot(line)};
    });
}

bool LineStore::PasteInputLine(ConfigClass& config, int line) const
{
    const auto& s = m_input;
    bool all = ValidLine(line);
    if (all) {
        all = AssignEach({
            [&] { config.SetInSecu(line, Byte(s, 0)); },
            [&] {
                if (!s)
                    Raise(ErrNo::InvalidCall);
                config.SetInTempo(line, (*s)[1]);
            },
            [&] { config.SetInSequence(line, Byte(s, 2)); },
            [&] { config.SetInDetect(line, Byte(s, 3)); },
            [&] { config.SetInRelance(line, Byte(s, 4)); },
            [&] { config.SetInBlocage(line, Byte(s, 5)); },
            [&] { config.SetInRedir(line, 1, Byte(s, 6)); },
            [&] { config.SetInRedir(line, 2, Byte(s, 7)); },
            [&] { config.SetInRedir(line, 3, Byte(s, 8)); },
            [&] { config.SetInRedir(line, 4, Byte(s, 9)); },
            [&] { config.SetInSynth(line, Byte(s, 10)); },
            [&] { config.SetInTypeKL(line, Byte(s, 11)); },
        });
    }
    if (!all)
        Ui().beep();
    return all;
}

bool LineStore::PasteOutputLine(ConfigClass& config, int line) const
{
    const auto& s = m_output;
    bool all = ValidLine(line);
    if (all) {
        all = AssignEach({
            [&] { config.SetOutSecu(line, Byte(s, 0)); },
            [&] { config.SetOutPilot(line, Byte(s, 1)); },
        });
    }
    if (!all)
        Ui().beep();
    return all;
}
