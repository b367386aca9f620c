#include "CtlRunner.h"

#include "settings/IniStore.h"
#include "texts/DataFunctions.h"

CtlRunner::CtlRunner(const QString& iniPath, const QString& program)
    : m_program(program), m_env(QProcessEnvironment::systemEnvironment())
{
    m_env.insert(QStringLiteral("ORVEL_INI"), iniPath);
    // Leaks are checked in the test programs; the tool's own run stays quiet.
    m_env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=1"));
}

QString CtlRunner::DefaultProgram()
{
    return QStringLiteral(ORVEL_BIN_DIR "/orvelctl");
}

void CtlRunner::start(QProcess& process, const QStringList& arguments) const
{
    process.setProcessEnvironment(m_env);
    process.start(m_program, arguments);
}

CtlRun CtlRunner::run(const QStringList& arguments, int timeoutMs) const
{
    QProcess process;
    start(process, arguments);
    CtlRun result;
    if (!process.waitForStarted(10000))
        return result;
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

namespace CtlTexts {

bool SetUp(const QString& iniPath)
{
    if (!OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")))
        return false;
    SetCurrentLanguage(QString());
    SetIniFileNameOverride(iniPath);
    SetIniParam("Communication", "FrameDelay", "0");
    return true;
}

QString Lines(int tag)
{
    return GetText(tag).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString Lines(int first, int second)
{
    return Lines(first) + QLatin1Char('\n') + Lines(second);
}

QString FoundLine(int slave, int tag)
{
    return QStringLiteral("%1 %2 %3\n")
        .arg(GetText(tag).section(QStringLiteral("\r\n"), 0, 0), GetText(35031))
        .arg(slave);
}

QString AttemptLine(const QString& slave, int bauds, int stops)
{
    return QStringLiteral("%1 %2  %3 %4  %5 %6")
        .arg(GetText(35031), slave, GetText(35032))
        .arg(bauds)
        .arg(GetText(35034))
        .arg(stops);
}

} // namespace CtlTexts
