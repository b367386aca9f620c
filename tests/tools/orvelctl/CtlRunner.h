#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs the built orvelctl as a user would, with its own INI file.
struct CtlRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QString errText() const { return QString::fromUtf8(err); }
};

class CtlRunner
{
public:
    // iniPath: the INI file orvelctl reads (ORVEL_INI).
    explicit CtlRunner(const QString& iniPath, const QString& program = DefaultProgram());

    static QString DefaultProgram();
    CtlRun run(const QStringList& arguments, int timeoutMs = 30000) const;

    QProcessEnvironment& environment() { return m_env; }

private:
    QString m_program;
    QProcessEnvironment m_env;
};
