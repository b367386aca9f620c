#include "config/ConfigClass.h"

#include "util/ErrorHandling.h"

namespace {
std::size_t channel(int ch)
{
    if (ch < 1 || ch > ConfigClass::Channels)
        Raise(ErrNo::SubscriptOutOfRange);
    return static_cast<std::size_t>(ch - 1);
}

std::size_t redirection(int k)
{
    if (k < 1 || k > ConfigClass::Redirections)
        Raise(ErrNo::SubscriptOutOfRange);
    return static_cast<std::size_t>(k - 1);
}

std::size_t genIndex(int i)
{
    if (i < 0 || i >= ConfigClass::GenParamCount)
        Raise(ErrNo::SubscriptOutOfRange);
    return static_cast<std::size_t>(i);
}
} // namespace

ConfigClass::ConfigClass() : m_moduleType(QStringLiteral("Orvel")) {}

// Each indexed property is one get and one set; a bad index is reported under
// the property's name and the set stores nothing.
#define ORVEL_CHANNEL_PROPERTY(Name, Member, Type)                                                 \
    Type ConfigClass::Name(int ch) const                                                           \
    {                                                                                              \
        return Trap("ConfigClass." #Name, [&] { return Member[channel(ch)]; });                    \
    }                                                                                              \
    void ConfigClass::Set##Name(int ch, Type value)                                                \
    {                                                                                              \
        Trap("ConfigClass." #Name, [&] { Member[channel(ch)] = value; });                          \
    }

ORVEL_CHANNEL_PROPERTY(InBlocage, m_inBlocage, std::uint8_t)
ORVEL_CHANNEL_PROPERTY(InDetect, m_inDetect, std::uint8_t)
ORVEL_CHANNEL_PROPERTY(InDisturb, m_inDisturb, std::uint8_t)
ORVEL_CHANNEL_PROPERTY(InRelance, m_inRelance, std::uint8_t)
ORVEL_CHANNEL_PROPERTY(InRepBlock, m_inRepBlock, std::uint8_t)
ORVEL_CHANNEL_PROPERTY(InSecu, m_inSecu, std::uint8_t)
ORVEL_CHANNEL_PROPERTY(InSequence, m_inSequence, std::uint8_t)
ORVEL_CHANNEL_PROPERTY(InSynth, m_inSynth, std::uint8_t)
ORVEL_CHANNEL_PROPERTY(InTempo, m_inTempo, std::int32_t)
ORVEL_CHANNEL_PROPERTY(InTypeKL, m_inTypeKL, std::uint8_t)
ORVEL_CHANNEL_PROPERTY(OutMode, m_outMode, std::uint8_t)
ORVEL_CHANNEL_PROPERTY(OutPilot, m_outPilot, std::uint8_t)
ORVEL_CHANNEL_PROPERTY(OutSecu, m_outSecu, std::uint8_t)

#undef ORVEL_CHANNEL_PROPERTY

std::uint8_t ConfigClass::InRedir(int ch, int k) const
{
    return Trap("ConfigClass.InRedir", [&] { return m_inRedir[channel(ch)][redirection(k)]; });
}

void ConfigClass::SetInRedir(int ch, int k, std::uint8_t value)
{
    Trap("ConfigClass.InRedir", [&] { m_inRedir[channel(ch)][redirection(k)] = value; });
}

std::uint8_t ConfigClass::GenParam(int i) const
{
    return Trap("ConfigClass.GenParam", [&] { return m_genParam[genIndex(i)]; });
}

void ConfigClass::SetGenParam(int i, std::uint8_t value)
{
    Trap("ConfigClass.GenParam", [&] {
        m_genParam[genIndex(i)] = value;
        if (i == 23)
            m_moduleNo = value;
    });
}
