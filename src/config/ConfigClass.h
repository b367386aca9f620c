#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

// The in-memory image of one panel's configuration: 12 inputs, 12 outputs, 33
// general parameter bytes with the re-trigger delay, the identification and
// the factory section. Channels are numbered 1..12, redirections 1..4 and
// general parameters 0..32. The record holds plain values: it checks no range
// of values and keeps no modified flag; an index out of range stores nothing
// and is reported as "subscript out of range" under ConfigClass.<Property>.
//
// Save and Load keep the flat little-endian file format the console shares
// with existing installations (see ConfigClassFile.cpp).
class ConfigClass
{
public:
    static constexpr int Channels = 12;
    static constexpr int Redirections = 4;
    static constexpr int GenParamCount = 33;

    ConfigClass();

    std::int16_t BrightMin() const { return m_brightMin; }
    void SetBrightMin(std::int16_t value) { m_brightMin = value; }
    std::uint8_t CommonType() const { return m_commonType; }
    void SetCommonType(std::uint8_t value) { m_commonType = value; }
    // General parameter i (0..32). Setting index 23, the slave number, also sets
    // ModuleNo; setting ModuleNo leaves GenParam(23) as it is.
    std::uint8_t GenParam(int i) const;
    void SetGenParam(int i, std::uint8_t value);
    // Re-trigger delay in 5 ms ticks.
    std::int32_t GenTempoRelance() const { return m_genTempoRelance; }
    void SetGenTempoRelance(std::int32_t value) { m_genTempoRelance = value; }

    std::uint8_t InBlocage(int ch) const;
    void SetInBlocage(int ch, std::uint8_t value);
    std::uint8_t InDetect(int ch) const;
    void SetInDetect(int ch, std::uint8_t value);
    std::uint8_t InDisturb(int ch) const;
    void SetInDisturb(int ch, std::uint8_t value);
    // Redirection k (1..4) of input ch: an output channel, or 0 for an empty slot.
    std::uint8_t InRedir(int ch, int k) const;
    void SetInRedir(int ch, int k, std::uint8_t value);
    std::uint8_t InRelance(int ch) const;
    void SetInRelance(int ch, std::uint8_t value);
    std::uint8_t InRepBlock(int ch) const;
    void SetInRepBlock(int ch, std::uint8_t value);
    std::uint8_t InSecu(int ch) const;
    void SetInSecu(int ch, std::uint8_t value);
    std::uint8_t InSequence(int ch) const;
    void SetInSequence(int ch, std::uint8_t value);
    std::uint8_t InSynth(int ch) const;
    void SetInSynth(int ch, std::uint8_t value);
    // Input delay in 5 ms ticks; any 32-bit value is kept here and in the file.
    std::int32_t InTempo(int ch) const;
    void SetInTempo(int ch, std::int32_t value);
    std::uint8_t InTypeKL(int ch) const;
    void SetInTypeKL(int ch, std::uint8_t value);

    const QString& ModuleName() const { return m_moduleName; }
    void SetModuleName(const QString& value) { m_moduleName = value; }
    std::uint8_t ModuleNo() const { return m_moduleNo; }
    void SetModuleNo(std::uint8_t value) { m_moduleNo = value; }
    const QString& ModuleType() const { return m_moduleType; }
    void SetModuleType(const QString& value) { m_moduleType = value; }

    std::uint8_t OutMode(int ch) const;
    void SetOutMode(int ch, std::uint8_t value);
    std::uint8_t OutPilot(int ch) const;
    void SetOutPilot(int ch, std::uint8_t value);
    std::uint8_t OutSecu(int ch) const;
    void SetOutSecu(int ch, std::uint8_t value);

    std::uint8_t SupplyType() const { return m_supplyType; }
    void SetSupplyType(std::uint8_t value) { m_supplyType = value; }

    // Writes the whole file, tail included, to a temporary file beside the
    // target and replaces the target only once every byte is on disk: a failed
    // save leaves the previous file exactly as it was. A read-only target is
    // replaced. Errors are reported under ConfigClass.Save; returns success.
    bool Save(const QString& path) const;
    // Reads a file into this record, field by field. A missing file returns
    // false silently; a damaged one is reported under ConfigClass.Load and
    // returns false with the fields read so far kept.
    bool Load(const QString& path);

    // The file image, and its parse (used by Save and Load, and by tests and
    // the fuzzer). FromFileBytes raises the error that Load reports.
    QByteArray ToFileBytes() const;
    void FromFileBytes(const QByteArray& bytes);

    bool operator==(const ConfigClass&) const = default;

private:
    template <class T> using PerChannel = std::array<T, Channels>;

    PerChannel<std::uint8_t> m_inSecu{};
    PerChannel<std::int32_t> m_inTempo{};
    PerChannel<std::uint8_t> m_inSequence{};
    PerChannel<std::uint8_t> m_inDetect{};
    PerChannel<std::uint8_t> m_inRelance{};
    PerChannel<std::uint8_t> m_inBlocage{};
    std::array<std::array<std::uint8_t, Redirections>, Channels> m_inRedir{};
    PerChannel<std::uint8_t> m_inSynth{};
    PerChannel<std::uint8_t> m_inTypeKL{};
    PerChannel<std::uint8_t> m_inDisturb{};
    PerChannel<std::uint8_t> m_inRepBlock{};
    PerChannel<std::uint8_t> m_outSecu{};
    PerChannel<std::uint8_t> m_outPilot{};
    PerChannel<std::uint8_t> m_outMode{};
    std::array<std::uint8_t, GenParamCount> m_genParam{};
    std::int32_t m_genTempoRelance = 0;
    std::uint8_t m_moduleNo = 0;
    QString m_moduleName;
    QString m_moduleType;
    std::int16_t m_brightMin = 0;
    std::uint8_t m_supplyType = 0;
    std::uint8_t m_commonType = 0;
};
