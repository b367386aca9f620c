// The panel's own layout of a configuration in its read window, used to load
// a demo configuration into a simulated panel and to inspect what a console
// wrote. Written from the panel's side on purpose: it does not reuse the
// console's register map, so a test comparing the two catches a mistake in
// either.
#include "SimulatedPanel.h"

#include <cmath>

namespace {
std::int16_t word(std::uint32_t value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}

std::uint8_t lowByte(std::int16_t value)
{
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) & 0xFF);
}

std::uint32_t u16(std::int16_t value)
{
    return static_cast<std::uint16_t>(value);
}

// Read-window start of each per-channel byte block.
constexpr int InSecuAt = 593, InSequenceAt = 641, InDetectAt = 657, InRelanceAt = 673,
              InBlocageAt = 689, InSynthAt = 737, InTypeKLAt = 753, InDisturbAt = 769,
              InRepBlockAt = 785, OutSecuAt = 929, OutPilotAt = 945, OutModeAt = 961;
constexpr int InTempoAt = 609, InRedirAt = 705;
constexpr int General1At = 1057, General2At = 1105, General3At = 1137, General4At = 1154,
              General5At = 1115, FactoryAt = 1172;
} // namespace

void SimulatedPanel::loadConfig(const ConfigClass& c)
{
    for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
        const int i = ch - 1;
        m_read[InSecuAt + i] = c.InSecu(ch);
        m_read[InSequenceAt + i] = c.InSequence(ch);
        m_read[InDetectAt + i] = c.InDetect(ch);
        m_read[InRelanceAt + i] = c.InRelance(ch);
        m_read[InBlocageAt + i] = c.InBlocage(ch);
        m_read[InSynthAt + i] = c.InSynth(ch);
        m_read[InTypeKLAt + i] = c.InTypeKL(ch);
        m_read[InDisturbAt + i] = c.InDisturb(ch);
        m_read[InRepBlockAt + i] = c.InRepBlock(ch);
        m_read[OutSecuAt + i] = c.OutSecu(ch);
        m_read[OutPilotAt + i] = c.OutPilot(ch);
        m_read[OutModeAt + i] = c.OutMode(ch);
        const auto tempo = static_cast<std::uint32_t>(c.InTempo(ch));
        m_read[InTempoAt + 2 * i] = word(tempo >> 16);
        m_read[InTempoAt + 2 * i + 1] = word(tempo);
        m_read[InRedirAt + 2 * i] = word(c.InRedir(ch, 1) << 8 | c.InRedir(ch, 2));
        m_read[InRedirAt + 2 * i + 1] = word(c.InRedir(ch, 3) << 8 | c.InRedir(ch, 4));
    }
    for (int k = 0; k <= 12; ++k)
        m_read[General1At + k] = c.GenParam(k);
    m_read[General1At + 13] = c.GenParam(32);
    const auto retrigger = static_cast<std::uint32_t>(c.GenTempoRelance());
    m_read[General2At] = word(retrigger >> 16);
    m_read[General2At + 1] = word(retrigger);
    for (int k = 14; k <= 21; ++k)
        m_read[General2At + k - 12] = c.GenParam(k);
    for (int k = 22; k <= 27; ++k) {
        if (k != 23)
            m_read[General3At + k - 22] = c.GenParam(k);
    }
    m_read[General4At] = c.GenParam(28);
    m_read[General5At] = c.GenParam(29);
    const std::uint32_t ticks = (c.GenParam(30) * 60u + c.GenParam(31)) * 12000u;
    m_read[General5At + 1] = word(ticks >> 16);
    m_read[General5At + 2] = word(ticks);
    m_read[FactoryAt] = c.BrightMin();
    m_read[FactoryAt + 1] = 0;
    m_read[FactoryAt + 2] = c.SupplyType();
    m_read[FactoryAt + 3] = c.CommonType();
    // GenParam(23), the slave number at 1138, stays the panel's own (setSlave).
}

ConfigClass SimulatedPanel::config() const
{
    ConfigClass c;
    auto r = [this](int address) { return m_read.value(address, 0); };
    for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
        const int i = ch - 1;
        c.SetInSecu(ch, lowByte(r(InSecuAt + i)));
        c.SetInSequence(ch, lowByte(r(InSequenceAt + i)));
        c.SetInDetect(ch, lowByte(r(InDetectAt + i)));
        c.SetInRelance(ch, lowByte(r(InRelanceAt + i)));
        c.SetInBlocage(ch, lowByte(r(InBlocageAt + i)));
        c.SetInSynth(ch, lowByte(r(InSynthAt + i)));
        c.SetInTypeKL(ch, lowByte(r(InTypeKLAt + i)));
        c.SetInDisturb(ch, lowByte(r(InDisturbAt + i)));
        c.SetInRepBlock(ch, lowByte(r(InRepBlockAt + i)));
        c.SetOutSecu(ch, lowByte(r(OutSecuAt + i)));
        c.SetOutPilot(ch, lowByte(r(OutPilotAt + i)));
        c.SetOutMode(ch, lowByte(r(OutModeAt + i)));
        c.SetInTempo(ch, static_cast<std::int32_t>(lowByte(r(InTempoAt + 2 * i))) << 16 |
                             static_cast<std::int32_t>(u16(r(InTempoAt + 2 * i + 1))));
        const std::uint32_t a = u16(r(InRedirAt + 2 * i));
        const std::uint32_t b = u16(r(InRedirAt + 2 * i + 1));
        c.SetInRedir(ch, 1, static_cast<std::uint8_t>(a >> 8));
        c.SetInRedir(ch, 2, static_cast<std::uint8_t>(a & 0xFF));
        c.SetInRedir(ch, 3, static_cast<std::uint8_t>(b >> 8));
        c.SetInRedir(ch, 4, static_cast<std::uint8_t>(b & 0xFF));
    }
    for (int k = 0; k <= 12; ++k)
        c.SetGenParam(k, lowByte(r(General1At + k)));
    c.SetGenParam(32, lowByte(r(General1At + 13)));
    c.SetGenTempoRelance(
        static_cast<std::int32_t>(u16(r(General2At)) << 16 | u16(r(General2At + 1))));
    for (int k = 14; k <= 21; ++k)
        c.SetGenParam(k, lowByte(r(General2At + k - 12)));
    for (int k = 22; k <= 27; ++k)
        c.SetGenParam(k, lowByte(r(General3At + k - 22)));
    c.SetGenParam(28, lowByte(r(General4At)));
    c.SetGenParam(29, lowByte(r(General5At)));
    const std::uint32_t ticks = u16(r(General5At + 1)) << 16 | u16(r(General5At + 2));
    const auto minutes = static_cast<std::uint32_t>(std::nearbyint(ticks / 12000.0));
    c.SetGenParam(30, static_cast<std::uint8_t>(minutes / 60));
    c.SetGenParam(31, static_cast<std::uint8_t>(minutes % 60));
    c.SetBrightMin(r(FactoryAt));
    c.SetSupplyType(lowByte(r(FactoryAt + 2)));
    c.SetCommonType(lowByte(r(FactoryAt + 3)));
    return c;
}
