#include "CtlRunner.h"

#include <QProcess>

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

CtlRun CtlRunner::run(const QStringList& arguments, int timeoutMs) const
{
    QProcess process;
    process.setProcessEnvironment(m_env);
    process.start(m_program, arguments);
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
