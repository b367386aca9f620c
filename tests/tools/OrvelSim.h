#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The orvel-sim program serving simulated panels on a pseudo-terminal for a
// test: started with --verbose and a --link, every request and reply logged to
// a file, stopped with SIGTERM at the end.
class OrvelSim
{
public:
    OrvelSim() = default;
    ~OrvelSim() { stop(); }
    OrvelSim(const OrvelSim&) = delete;
    OrvelSim& operator=(const OrvelSim&) = delete;

    // Starts orvel-sim with the arguments, its link at linkPath (default: in
    // a folder of its own); true once it has named its device.
    bool start(const QStringList& arguments, const QString& linkPath = {});
    // SIGTERM; the exit code (-1 when it had to be killed).
    int stop();
    qint64 pid() const { return m_process.processId(); }
    QString device() const { return m_device; }
    QString link() const { return m_link; }

    // The requests heard since the last clearLog, oldest first (once the log
    // has been quiet for a moment: the simulator logs a request just after
    // its reply).
    QList<QByteArray> requests() const;
    // The write requests (function 16) in order, separated by spaces: the
    // address and word count ("337/12"), or for a single word the address and
    // the word ("336=0").
    QString writes() const;
    void clearLog();

private:
    QByteArray log() const;

    QTemporaryDir m_dir;
    QString m_logPath = m_dir.filePath(QStringLiteral("sim.log"));
    QProcess m_process;
    QString m_device;
    QString m_link;
    qint64 m_mark = 0;
};
