// The configuration file: the record's fields in a fixed order, little-endian,
// without header or checksum, followed by a tail that grew with the panels.
//
//   0    180  inputs, 12 records of 15 bytes: InSecu, InTempo (4), InSequence,
//             InDetect, InRelance, InBlocage, InRedir 1..4, InSynth, InTypeKL
//   180   24  outputs, 12 x (OutSecu, OutPilot)
//   204    4  GenTempoRelance
//   208   28  GenParam 0..20, 22..26, 28, 32
//   236    2  BrightMin
//   238    3  SupplyType, CommonType, ModuleNo
//   241  4+n  ModuleType (count, then Windows-1252 characters)
//   245+n 4+m ModuleName
//   249+n+m   InDisturb 1..12, InRepBlock 1..12, GenParam 21, 27, 29, 30, 31
//   278+n+m   optional tail: OutMode 1..12, second copy of GenParam 32
#include "config/ConfigClass.h"

#include "util/Cp1252.h"
#include "util/ErrorHandling.h"
#include "util/SafeFile.h"

namespace {

// General parameters stored in the general block, in file order.
constexpr std::array<int, 28> kGeneralBlock = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,
                                               10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                                               20, 22, 23, 24, 25, 26, 28, 32};
// General parameters stored after the texts.
constexpr std::array<int, 5> kLateGeneral = {21, 27, 29, 30, 31};

// Largest file Load looks at; a configuration is a few hundred bytes.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

class Writer
{
public:
    void byte(std::uint8_t v) { m_out.append(static_cast<char>(v)); }
    void word(std::int16_t v)
    {
        const auto u = static_cast<std::uint16_t>(v);
        byte(static_cast<std::uint8_t>(u & 0xFF));
        byte(static_cast<std::uint8_t>(u >> 8));
    }
    void longValue(std::int32_t v)
    {
        const auto u = static_cast<std::uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8)
            byte(static_cast<std::uint8_t>((u >> shift) & 0xFF));
    }
    void text(const QString& s)
    {
        const QByteArray bytes = ToCp1252(s);
        longValue(static_cast<std::int32_t>(bytes.size()));
        m_out.append(bytes);
    }
    const QByteArray& bytes() const { return m_out; }

private:
    QByteArray m_out;
};

// Reads fields from a byte image; reading past its end raises "input past end
// of file", so a damaged file can never be read outside its bytes.
class Reader
{
public:
    explicit Reader(const QByteArray& bytes) : m_bytes(bytes) {}
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    std::uint8_t byte()
    {
        need(1);
        return static_cast<std::uint8_t>(m_bytes[m_pos++]);
    }
    std::int16_t word()
    {
        const std::uint8_t lo = byte();
        const std::uint8_t hi = byte();
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(hi << 8 | lo));
    }
    std::int32_t longValue()
    {
        std::uint32_t u = 0;
        for (int shift = 0; shift < 32; shift += 8)
            u |= static_cast<std::uint32_t>(byte()) << shift;
        return static_cast<std::int32_t>(u);
    }
    // A count, then that many characters; surrounding spaces are dropped.
    QString text()
    {
        const std::int32_t count = longValue();
        if (count < 0)
            Raise(ErrNo::InputPastEnd, QStringLiteral("negative text length"));
        need(count);
        const QString s = FromCp1252(m_bytes.mid(m_pos, count));
        m_pos += count;
        qsizetype first = 0;
        qsizetype last = s.size();
        while (first < last && s[first] == QLatin1Char(' '))
            ++first;
        while (last > first && s[last - 1] == QLatin1Char(' '))
            --last;
        return s.mid(first, last - first);
    }

private:
    void need(qint64 count) const
    {
        if (count > m_bytes.size() - m_pos)
            Raise(ErrNo::InputPastEnd);
    }
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

} // namespace

QByteArray ConfigClass::ToFileBytes() const
{
    Writer w;
    for (std::size_t c = 0; c < Channels; ++c) {
        w.byte(m_inSecu[c]);
        w.longValue(m_inTempo[c]);
        w.byte(m_inSequence[c]);
        w.byte(m_inDetect[c]);
        w.byte(m_inRelance[c]);
        w.byte(m_inBlocage[c]);
        for (std::uint8_t r : m_inRedir[c])
            w.byte(r);
        w.byte(m_inSynth[c]);
        w.byte(m_inTypeKL[c]);
    }
    for (std::size_t c = 0; c < Channels; ++c) {
        w.byte(m_outSecu[c]);
        w.byte(m_outPilot[c]);
    }
    w.longValue(m_genTempoRelance);
    for (int i : kGeneralBlock)
        w.byte(m_genParam[static_cast<std::size_t>(i)]);
    w.word(m_brightMin);
    w.byte(m_supplyType);
    w.byte(m_commonType);
    w.byte(m_moduleNo);
    w.text(m_moduleType);
    w.text(m_moduleName);
    for (std::uint8_t v : m_inDisturb)
        w.byte(v);
    for (std::uint8_t v : m_inRepBlock)
        w.byte(v);
    for (int i : kLateGeneral)
        w.byte(m_genParam[static_cast<std::size_t>(i)]);
    for (std::uint8_t v : m_outMode)
        w.byte(v);
    w.byte(m_genParam[32]);
    return w.bytes();
}

void ConfigClass::FromFileBytes(const QByteArray& bytes)
{
    Reader r(bytes);
    for (int ch = 1; ch <= Channels; ++ch) {
        SetInSecu(ch, r.byte());
        SetInTempo(ch, r.longValue());
        SetInSequence(ch, r.byte());
        SetInDetect(ch, r.byte());
        SetInRelance(ch, r.byte());
        SetInBlocage(ch, r.byte());
        for (int k = 1; k <= Redirections; ++k)
            SetInRedir(ch, k, r.byte());
        SetInSynth(ch, r.byte());
        SetInTypeKL(ch, r.byte());
    }
    for (int ch = 1; ch <= Channels; ++ch) {
        SetOutSecu(ch, r.byte());
        SetOutPilot(ch, r.byte());
    }
    SetGenTempoRelance(r.longValue());
    for (int i : kGeneralBlock)
        SetGenParam(i, r.byte());
    SetBrightMin(r.word());
    SetSupplyType(r.byte());
    SetCommonType(r.byte());
    SetModuleNo(r.byte());
    SetModuleType(r.text());
    SetModuleName(r.text());
    for (int ch = 1; ch <= Channels; ++ch)
        SetInDisturb(ch, r.byte());
    for (int ch = 1; ch <= Channels; ++ch)
        SetInRepBlock(ch, r.byte());
    for (int i : kLateGeneral)
        SetGenParam(i, r.byte());
    // An absent or zero horn stop delay becomes 0 h 10 min.
    if (GenParam(30) * 60 + GenParam(31) == 0)
        SetGenParam(31, 10);

    // Optional tail. Files written before it existed end here; a tail cut short
    // gives what it holds and the rest keeps its value.
    for (int ch = 1; ch <= Channels && !r.atEnd(); ++ch)
        SetOutMode(ch, r.byte());
    if (!r.atEnd())
        SetGenParam(32, r.byte());
}

bool ConfigClass::Save(const QString& path) const
{
    return Trap("ConfigClass.Save", [&] {
        SafeWriteFileOrRaise(path, ToFileBytes());
        return true;
    });
}

bool ConfigClass::Load(const QString& path)
{
    if (path.isEmpty() || KindOfFile(path) == FileKind::Missing)
        return false;
    return Trap("ConfigClass.Load", [&] {
        QByteArray bytes;
        FileFailure failure;
        if (!ReadWholeFile(path, kMaxFileSize, bytes, &failure))
            Raise(failure.number, failure.text);
        FromFileBytes(bytes);
        return true;
    });
}
