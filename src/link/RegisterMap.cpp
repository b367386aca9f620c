#include "link/RegisterMap.h"

#include "config/ValueCodecs.h"
#include "util/ByteWord.h"
#include "util/ErrorHandling.h"

#include <cmath>

// The panel keeps separate register windows for reading and for writing the
// same fields; each block below names its own address. Version codes are
// major x 256 + minor: 259 is 1.03, 260 is 1.04, 261 is 1.05, 262 is 1.06.

namespace {
using Words = QList<std::int16_t>;

constexpr std::int32_t V103 = 259;
constexpr std::int32_t V104 = 260;
constexpr std::int32_t V105 = 261;
constexpr std::int32_t V106 = 262;

// Blocks of a whole transfer for a panel of that version (the schedules
// below): inputs 9, two more from 1.03; outputs 2, one more from 1.05; general
// 4, one more from 1.05 (read) or 1.06 (write); factory 1.
int ReadBlockCount(std::int32_t version)
{
    return 9 + (version >= V103 ? 2 : 0) + 2 + (version >= V105 ? 1 : 0) + 4 +
           (version >= V105 ? 1 : 0) + 1;
}

int WriteBlockCount(std::int32_t version, bool writeFactory)
{
    return 9 + (version >= V103 ? 2 : 0) + 2 + (version >= V105 ? 1 : 0) + 4 +
           (version >= V106 ? 1 : 0) + (writeFactory ? 1 : 0);
}

// A section runs its blocks in order; every block but the first is preceded
// by a pause unless it is marked as following its predecessor directly. A
// stop asked of the link ends the section before its next block. Each block
// that went through is announced on the link.
class Section
{
public:
    explicit Section(PanelLink& link, std::uint8_t slave) : m_link(link), m_slave(slave) {}

    // Reads count words at address; false when the exchange failed.
    bool read(std::uint16_t address, int count, Words& words, bool pause = true)
    {
        if (!before(pause))
            return false;
        words = Words(count, 0);
        return done(LitMots(m_link, m_slave, address, words));
    }

    bool write(std::uint16_t address, const Words& words, bool pause = true)
    {
        return before(pause) && done(EcritMots(m_link, m_slave, address, words));
    }

private:
    bool done(bool ok)
    {
        if (ok)
            Q_EMIT m_link.BlockDone();
        return ok;
    }

    bool before(bool pause)
    {
        if (!m_first && pause)
            m_link.FramePause();
        m_first = false;
        return !m_link.StopRequested();
    }

    PanelLink& m_link;
    std::uint8_t m_slave;
    bool m_first = true;
};

std::uint8_t low(std::int16_t word)
{
    return LoByte(word);
}

// A whole word that must become a byte: anything outside 0..255 overflows.
std::uint8_t byteOf(std::int32_t value)
{
    if (value < 0 || value > 255)
        Raise(ErrNo::Overflow);
    return static_cast<std::uint8_t>(value);
}

std::int16_t high16(std::int32_t value)
{
    return static_cast<std::int16_t>(
        static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) >> 16));
}

std::int16_t low16(std::int32_t value)
{
    return static_cast<std::int16_t>(
        static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFF));
}

// A 12-word block of one byte per channel.
using ByteSetter = void (ConfigClass::*)(int, std::uint8_t);
using ByteGetter = std::uint8_t (ConfigClass::*)(int) const;

bool readChannels(Section& s, ConfigClass& c, std::uint16_t address, ByteSetter set,
                  bool pause = true)
{
    Words w;
    if (!s.read(address, ConfigClass::Channels, w, pause))
        return false;
    for (int ch = 1; ch <= ConfigClass::Channels; ++ch)
        (c.*set)(ch, low(w[ch - 1]));
    return true;
}

bool writeChannels(Section& s, const ConfigClass& c, std::uint16_t address, ByteGetter get,
                   bool pause = true)
{
    Words w;
    for (int ch = 1; ch <= ConfigClass::Channels; ++ch)
        w.append((c.*get)(ch));
    return s.write(address, w, pause);
}
} // namespace

bool ReadInputs(PanelLink& link, ConfigClass& config, std::uint8_t slave, std::int32_t version)
{
    return Trap("ConfigClass.ReadInputs", [&] {
        Section s(link, slave);
        Words w;
        if (!readChannels(s, config, 593, &ConfigClass::SetInSecu))
            return false;
        if (!s.read(609, 24, w))
            return false;
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch)
            config.SetInTempo(ch, low(w[2 * (ch - 1)]) * 65536 + Unsigned(w[2 * (ch - 1) + 1]));
        if (!readChannels(s, config, 641, &ConfigClass::SetInSequence) ||
            !readChannels(s, config, 657, &ConfigClass::SetInDetect) ||
            !readChannels(s, config, 673, &ConfigClass::SetInRelance) ||
            !readChannels(s, config, 689, &ConfigClass::SetInBlocage))
            return false;
        if (!s.read(705, 24, w))
            return false;
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
            const std::int16_t first = w[2 * (ch - 1)];
            const std::int16_t second = w[2 * (ch - 1) + 1];
            config.SetInRedir(ch, 1, HiByte(first));
            config.SetInRedir(ch, 2, LoByte(first));
            config.SetInRedir(ch, 3, HiByte(second));
            config.SetInRedir(ch, 4, LoByte(second));
        }
        if (!readChannels(s, config, 737, &ConfigClass::SetInSynth) ||
            !readChannels(s, config, 753, &ConfigClass::SetInTypeKL))
            return false;
        if (version >= V103) {
            if (!readChannels(s, config, 769, &ConfigClass::SetInDisturb, false) ||
                !readChannels(s, config, 785, &ConfigClass::SetInRepBlock, false))
                return false;
        }
        return true;
    });
}

bool ReadOutputs(PanelLink& link, ConfigClass& config, std::uint8_t slave, std::int32_t version)
{
    return Trap("ConfigClass.ReadOutputs", [&] {
        Section s(link, slave);
        if (!readChannels(s, config, 929, &ConfigClass::SetOutSecu) ||
            !readChannels(s, config, 945, &ConfigClass::SetOutPilot))
            return false;
        if (version >= V105 && !readChannels(s, config, 961, &ConfigClass::SetOutMode, false))
            return false;
        return true;
    });
}

bool ReadGeneral(PanelLink& link, ConfigClass& config, std::uint8_t slave, std::int32_t version)
{
    return Trap("ConfigClass.ReadGeneral", [&] {
        Section s(link, slave);
        Words w;
        if (!s.read(1057, 14, w))
            return false;
        for (int k = 0; k <= 12; ++k)
            config.SetGenParam(k, low(w[k]));
        config.SetGenParam(32, low(w[13]));

        const int g2 = version >= V103 ? 10 : 9;
        if (!s.read(1105, g2, w))
            return false;
        config.SetGenTempoRelance(w[0] * 65536 + Unsigned(w[1]));
        for (int k = 2; k < g2; ++k)
            config.SetGenParam(12 + k, low(w[k]));

        const int g3 = version >= V103 ? 6 : 5;
        if (!s.read(1137, g3, w))
            return false;
        for (int k = 0; k < g3; ++k)
            config.SetGenParam(22 + k, low(w[k]));

        if (!s.read(1154, 1, w))
            return false;
        config.SetGenParam(28, low(w[0]));

        if (version >= V105) {
            if (!s.read(1115, 3, w, false))
                return false;
            const std::int32_t ticks = w[1] * 65536 + Unsigned(w[2]);
            // Whole minutes, halves to even (the default rounding mode).
            const auto minutes = static_cast<std::int32_t>(std::nearbyint(ticks / 12000.0));
            const std::uint8_t param29 = byteOf(w[0]);
            const std::uint8_t hours = byteOf(minutes / 60);
            const std::uint8_t mins = byteOf(minutes % 60);
            config.SetGenParam(29, param29);
            config.SetGenParam(30, hours);
            config.SetGenParam(31, mins);
        }
        return true;
    });
}

bool ReadFactory(PanelLink& link, ConfigClass& config, std::uint8_t slave, std::int32_t)
{
    return Trap("ConfigClass.ReadFactory", [&] {
        Section s(link, slave);
        Words w;
        if (!s.read(1172, 4, w))
            return false;
        config.SetBrightMin(w[0]);
        const std::uint8_t supply = byteOf(w[2]);
        const std::uint8_t common = byteOf(w[3]);
        config.SetSupplyType(supply);
        config.SetCommonType(common);
        return true;
    });
}

bool ReadAll(PanelLink& link, ConfigClass& config, std::uint8_t slave, std::int32_t version)
{
    Q_EMIT link.TransferBegun(ReadBlockCount(version));
    Q_EMIT link.SectionBegun(ConfigSection::Inputs);
    if (!ReadInputs(link, config, slave, version))
        return false;
    link.FramePause();
    Q_EMIT link.SectionBegun(ConfigSection::Outputs);
    if (!ReadOutputs(link, config, slave, version))
        return false;
    link.FramePause();
    Q_EMIT link.SectionBegun(ConfigSection::General);
    if (!ReadGeneral(link, config, slave, version))
        return false;
    link.FramePause();
    Q_EMIT link.SectionBegun(ConfigSection::Factory);
    return ReadFactory(link, config, slave, version);
}

bool WriteInputs(PanelLink& link, const ConfigClass& config, std::uint8_t slave,
                 std::int32_t version)
{
    return Trap("ConfigClass.WriteInputs", [&] {
        Section s(link, slave);
        Words w;
        if (!writeChannels(s, config, 337, &ConfigClass::InSecu))
            return false;
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch)
            w << high16(config.InTempo(ch)) << low16(config.InTempo(ch));
        if (!s.write(353, w))
            return false;
        if (!writeChannels(s, config, 385, &ConfigClass::InSequence) ||
            !writeChannels(s, config, 401, &ConfigClass::InDetect) ||
            !writeChannels(s, config, 417, &ConfigClass::InRelance) ||
            !writeChannels(s, config, 433, &ConfigClass::InBlocage))
            return false;
        w.clear();
        for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
            w << MakeWord(config.InRedir(ch, 2), config.InRedir(ch, 1))
              << MakeWord(config.InRedir(ch, 4), config.InRedir(ch, 3));
        }
        if (!s.write(449, w))
            return false;
        if (!writeChannels(s, config, 481, &ConfigClass::InSynth) ||
            !writeChannels(s, config, 497, &ConfigClass::InTypeKL))
            return false;
        if (version >= V103) {
            if (!writeChannels(s, config, 513, &ConfigClass::InDisturb, false) ||
                !writeChannels(s, config, 529, &ConfigClass::InRepBlock, false))
                return false;
        }
        return true;
    });
}

bool WriteOutputs(PanelLink& link, const ConfigClass& config, std::uint8_t slave,
                  std::int32_t version)
{
    return Trap("ConfigClass.WriteOutputs", [&] {
        Section s(link, slave);
        if (!writeChannels(s, config, 849, &ConfigClass::OutSecu) ||
            !writeChannels(s, config, 865, &ConfigClass::OutPilot))
            return false;
        if (version >= V105 && !writeChannels(s, config, 881, &ConfigClass::OutMode))
            return false;
        return true;
    });
}

bool WriteGeneral(PanelLink& link, const ConfigClass& config, std::uint8_t slave,
                  std::int32_t version)
{
    return Trap("ConfigClass.WriteGeneral", [&] {
        Section s(link, slave);
        Words w;
        for (int k = 0; k <= 12; ++k)
            w << config.GenParam(k);
        if (version >= V104)
            w << config.GenParam(32);
        if (!s.write(1025, w))
            return false;

        const int g2 = version >= V103 ? 10 : 9;
        w = {high16(config.GenTempoRelance()), low16(config.GenTempoRelance())};
        for (int k = 2; k < g2; ++k)
            w << config.GenParam(12 + k);
        if (!s.write(1089, w))
            return false;

        const int g3 = version >= V103 ? 6 : 5;
        w.clear();
        for (int k = 0; k < g3; ++k)
            w << config.GenParam(22 + k);
        if (!s.write(1121, w))
            return false;

        if (!s.write(1153, {config.GenParam(28)}))
            return false;

        if (version >= V106) {
            const std::int32_t ticks = (config.GenParam(30) * 60 + config.GenParam(31)) * 12000;
            if (!s.write(1099, {config.GenParam(29), Signed(ticks / 65536), Signed(ticks % 65536)},
                         false))
                return false;
        }
        return true;
    });
}

bool WriteFactory(PanelLink& link, const ConfigClass& config, std::uint8_t slave, std::int32_t)
{
    return Trap("ConfigClass.WriteFactory", [&] {
        Section s(link, slave);
        // CommonType belongs to the hardware: it is read, never written.
        return s.write(1171, {config.BrightMin(), 0, config.SupplyType()});
    });
}

bool WriteAll(PanelLink& link, const ConfigClass& config, std::uint8_t slave, bool writeFactory,
              std::int32_t version)
{
    Q_EMIT link.TransferBegun(WriteBlockCount(version, writeFactory));
    Q_EMIT link.SectionBegun(ConfigSection::Inputs);
    if (!WriteInputs(link, config, slave, version))
        return false;
    link.FramePause();
    Q_EMIT link.SectionBegun(ConfigSection::Outputs);
    if (!WriteOutputs(link, config, slave, version))
        return false;
    link.FramePause();
    Q_EMIT link.SectionBegun(ConfigSection::General);
    if (!WriteGeneral(link, config, slave, version))
        return false;
    if (!writeFactory)
        return true;
    link.FramePause();
    Q_EMIT link.SectionBegun(ConfigSection::Factory);
    return WriteFactory(link, config, slave, version);
}

WriteOutcome WriteConfiguration(PanelLink& link, const ConfigClass& config, std::uint8_t slave,
                                bool writeFactory, std::int32_t version)
{
    const int acknowledged = link.AcknowledgedWrites();
    if (WriteAll(link, config, slave, writeFactory, version))
        return WriteOutcome::Written;
    return link.AcknowledgedWrites() == acknowledged ? WriteOutcome::NotWritten
                                                     : WriteOutcome::PartlyWritten;
}

// tags: 10105, 10122
int WriteFailureTag(WriteOutcome outcome)
{
    return outcome == WriteOutcome::PartlyWritten ? 10122 : 10105;
}
