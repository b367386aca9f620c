#include "DataFunctions.h"

#include "DataFileState.h"

#include "util/ErrorHandling.h"
#include "util/WholeNumber.h"

#include <limits>

// Default values of a new configuration, by register key (the panel's read
// register address of the field, so one row serves all twelve channels).

namespace {

namespace Key {
constexpr int InSecu = 593;
constexpr int InTempo = 609;
constexpr int InSequence = 641;
constexpr int InDetect = 657;
constexpr int InRelance = 673;
constexpr int InBlocage = 689;
constexpr int InSynth = 737;
constexpr int InTypeKL = 753;
constexpr int InDisturb = 769;
constexpr int InRepBlock = 785;
constexpr int OutSecu = 929;
constexpr int OutPilot = 945;
constexpr int OutMode = 961;
constexpr int GenTempoRelance = 1105;
constexpr int BrightMin = 1172;
constexpr int SupplyType = 1174;
constexpr int CommonType = 1175;
} // namespace Key

// The value of a key, raising instead of reporting: the section operations
// report a failure once under their own name and stop there.
std::int32_t DefaultOrRaise(std::int16_t key)
{
    const DefaultsTable& table = DefaultValues();
    if (table.badKeys.contains(key))
        Raise(ErrNo::TypeMismatch, QStringLiteral("default %1 is not a number").arg(key));
    const auto value = table.values.value(key, std::nullopt);
    if (!value)
        return 0;
    // A real value (2.5) is taken as the nearest whole number.
    return WholeNumber<std::int32_t>(*value,
                                     QStringLiteral("default %1 does not fit 32 bits").arg(key));
}

std::uint8_t ByteDefault(std::int16_t key)
{
    const std::int32_t value = DefaultOrRaise(key);
    if (value < 0 || value > 255)
        Raise(ErrNo::Overflow, QStringLiteral("default %1 = %2 is not a byte").arg(key).arg(value));
    return std::uint8_t(value);
}

std::int16_t ShortDefault(std::int16_t key)
{
    const std::int32_t value = DefaultOrRaise(key);
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        Raise(ErrNo::Overflow,
              QStringLiteral("default %1 = %2 is not 16 bits").arg(key).arg(value));
    return std::int16_t(value);
}

// Key of GenParam(i); nullopt for index 13, whose place holds the re-trigger
// delay (key 1105).
std::optional<std::int16_t> GenParamKey(int i)
{
    if (i <= 12)
        return std::int16_t(1057 + i);
    if (i == 13)
        return std::nullopt;
    if (i <= 21)
        return std::int16_t(1093 + i);
    if (i <= 27)
        return std::int16_t(1115 + i);
    if (i == 28)
        return std::int16_t(1154);
    if (i <= 31)
        return std::int16_t(1070 + i);
    return std::int16_t(-1);
}

} // namespace

std::int32_t GetDefaultValue(std::int16_t key)
{
    return Trap("DataFunctions.GetDefaultValue", [&] { return DefaultOrRaise(key); });
}

bool GetInputDefaults(ConfigClass& config)
{
    return Trap("DataFunctions.GetInputDefaults", [&] {
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
            config.SetInSecu(ch, ByteDefault(Key::InSecu));
            config.SetInTempo(ch, DefaultOrRaise(Key::InTempo));
            config.SetInSequence(ch, ByteDefault(Key::InSequence));
            config.SetInDetect(ch, ByteDefault(Key::InDetect));
            config.SetInRelance(ch, ByteDefault(Key::InRelance));
            config.SetInBlocage(ch, ByteDefault(Key::InBlocage));
            // Each input drives the output of the same number, nothing else.
            config.SetInRedir(ch, 1, std::uint8_t(ch));
            for (int k = 2; k <= ConfigClass::Redirections; ++k)
                config.SetInRedir(ch, k, 0);
            config.SetInSynth(ch, ByteDefault(Key::InSynth));
            config.SetInTypeKL(ch, ByteDefault(Key::InTypeKL));
            config.SetInDisturb(ch, ByteDefault(Key::InDisturb));
            config.SetInRepBlock(ch, ByteDefault(Key::InRepBlock));
        }
        return true;
    });
}

bool GetOutputDefaults(ConfigClass& config)
{
    return Trap("DataFunctions.GetOutputDefaults", [&] {
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
            config.SetOutSecu(ch, ByteDefault(Key::OutSecu));
            config.SetOutPilot(ch, ByteDefault(Key::OutPilot));
            config.SetOutMode(ch, ByteDefault(Key::OutMode));
        }
        return true;
    });
}

bool GetGenDefaults(ConfigClass& config)
{
    return Trap("DataFunctions.GetGenDefaults", [&] {
        for (int i = 0; i < ConfigClass::GenParamCount; ++i) {
            if (const auto key = GenParamKey(i))
                config.SetGenParam(i, ByteDefault(*key));
            else
                config.SetGenTempoRelance(DefaultOrRaise(Key::GenTempoRelance));
        }
        return true;
    });
}

bool GetFactoryDefaults(ConfigClass& config)
{
    return Trap("DataFunctions.GetFactoryDefaults", [&] {
        config.SetBrightMin(ShortDefault(Key::BrightMin));
        config.SetSupplyType(ByteDefault(Key::SupplyType));
        config.SetCommonType(ByteDefault(Key::CommonType));
        return true;
    });
}

bool GetAllDefaults(ConfigClass& config)
{
    // Every section is filled (and reports its own failure) even after an
    // earlier one failed.
    bool ok = GetInputDefaults(config);
    ok = GetOutputDefaults(config) && ok;
    ok = GetGenDefaults(config) && ok;
    ok = GetFactoryDefaults(config) && ok;
    return ok;
}
