#pragma once

#include <QByteArray>
#include <QProcess>
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
    // Starts it without waiting, for a test that signals it while it runs.
    void start(QProcess& process, const QStringList& arguments) const;

    QProcessEnvironment& environment() { return m_env; }

private:
    QString m_program;
    QProcessEnvironment m_env;
};

// What the tests of orvelctl share: the data file's texts in the default
// language and an INI file of their own (frame delay 0), set up once.
namespace CtlTexts {

// Opens the data file and points the INI store at iniPath; false when the
// data file cannot be opened.
bool SetUp(const QString& iniPath);
// A text of the data file as orvelctl prints it: "\n" between its lines.
QString Lines(int tag);
// Two texts, one under the other, as one message.
QString Lines(int first, int second);
// The line detection prints once it found the panel.
QString FoundLine(int slave, int tag = 35021);
// The line of one search attempt (slave "?" when searching the number).
QString AttemptLine(const QString& slave, int bauds, int stops);

} // namespace CtlTexts
