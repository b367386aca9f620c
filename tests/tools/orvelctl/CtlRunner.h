#pragma once

#include "config/ConfigClass.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"

#include <QProcess>

// The outcome of one run of orvelctl.
struct CtlRun
{
    int exitCode = -1; // -2: it crashed
    QByteArray out;
    QByteArray err;
    QString errText() const { return QString::fromUtf8(err); }
};

// Runs the built orvelctl as a user would, with its own INI file.
class CtlRunner
{
public:
    explicit CtlRunner(const QString& iniPath, const QString& program = DefaultProgram())
        : m_program(program), m_env(QProcessEnvironment::systemEnvironment())
    {
        m_env.insert(QStringLiteral("ORVEL_INI"), iniPath);
        // The tool checks its leaks, without the test programs' other checks.
        m_env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=1"));
    }

    static QString DefaultProgram() { return QStringLiteral(ORVEL_BIN_DIR "/orvelctl"); }
    QProcessEnvironment& environment() { return m_env; }

    // Starts it without waiting, for a test that signals it while it runs.
    void start(QProcess& process, const QStringList& arguments) const
    {
        process.setProcessEnvironment(m_env);
        process.start(m_program, arguments);
    }

    CtlRun run(const QStringList& arguments, int timeoutMs = 30000) const
    {
        QProcess process;
        start(process, arguments);
        CtlRun result;
        process.closeWriteChannel();
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished(5000);
            result.err = "orvelctl did not finish in time";
            return result;
        }
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        return result;
    }

private:
    QString m_program;
    QProcessEnvironment m_env;
};

// orvelctl's texts in the default language; an INI file of the test's own.
namespace CtlTexts {

inline bool SetUp(const QString& iniPath)
{
    if (!OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")))
        return false;
    SetCurrentLanguage(QString());
    SetIniFileNameOverride(iniPath);
    SetIniParam("Communication", "FrameDelay", "0");
    return true;
}

// A text with "\n" between its lines; two texts one under the other.
inline QString Lines(int tag)
{
    return GetText(tag).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

inline QString Lines(int first, int second)
{
    return Lines(first) + QLatin1Char('\n') + Lines(second);
}

// The line detection prints once it found the panel.
inline QString FoundLine(int slave, int tag = 35021)
{
    return QStringLiteral("%1 %2 %3\n")
        .arg(GetText(tag).section(QStringLiteral("\r\n"), 0, 0), GetText(35031))
        .arg(slave);
}

// One attempt of the search ("?" for a slave number being searched).
inline QString AttemptLine(const QString& slave, int bauds, int stops)
{
    return QStringLiteral("%1 %2  %3 %4  %5 %6")
        .arg(GetText(35031), slave, GetText(35032))
        .arg(bauds)
        .arg(GetText(35034))
        .arg(stops);
}

// Every field a panel holds its own value (horn type 4, driving kind 5, 2 h 15
// of horn stop); texts, GenParam(13) and CommonType as a read leaves them.
inline ConfigClass SourceConfig()
{
    ConfigClass c;
    GetAllDefaults(c);
    using C = ConfigClass; // the byte fields of channel ch: base + ch
    const std::pair<void (C::*)(int, std::uint8_t), int> bytes[] = {
        {&C::SetInSecu, 0},      {&C::SetInSequence, 20},  {&C::SetInDetect, 40},
        {&C::SetInRelance, 60},  {&C::SetInBlocage, 80},   {&C::SetInSynth, 100},
        {&C::SetInDisturb, 120}, {&C::SetInRepBlock, 140}, {&C::SetOutSecu, 160}};
    for (int ch = 1; ch <= 12; ++ch) {
        for (const auto& [set, base] : bytes)
            (c.*set)(ch, std::uint8_t(base + ch));
        c.SetInTempo(ch, ch * 1000003 + 7);
        for (int k = 1; k <= 4; ++k)
            c.SetInRedir(ch, k, std::uint8_t((ch + k) % 13));
        c.SetInTypeKL(ch, std::uint8_t(ch % 5));
        c.SetOutPilot(ch, std::uint8_t(ch % 6));
        c.SetOutMode(ch, std::uint8_t(ch % 3));
    }
    for (int i = 0; i < 33; ++i) {
        if (i != 13)
            c.SetGenParam(i, std::uint8_t(50 + i));
    }
    c.SetGenParam(21, 3);
    c.SetGenParam(23, 7);
    c.SetGenParam(30, 2);
    c.SetGenParam(31, 15);
    c.SetGenTempoRelance(123456789);
    c.SetBrightMin(-200);
    c.SetSupplyType(6);
    c.SetCommonType(0);
    return c;
}

} // namespace CtlTexts
