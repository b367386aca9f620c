#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The orvel-sim program serving simulated panels on a pseudo-terminal, with
// every request and reply logged to a file.
class OrvelSim
{
public:
    OrvelSim();
    ~OrvelSim();
    OrvelSim(const OrvelSim&) = delete;
    OrvelSim& operator=(const OrvelSim&) = delete;

    static QString Program();

    // Starts orvel-sim with the arguments (and --verbose); true once it has
    // named its device.
    bool start(const QStringList& arguments);
    void stop();
    // Stops (SIGSTOP) or resumes (SIGCONT) the simulator: a frozen panel
    // answers nothing.
    void freeze(bool frozen);
    QString device() const { return m_device; }

    // The requests heard since the last clearLog, oldest first (once the log
    // has been quiet for a moment: the simulator logs a request just after
    // its reply).
    QList<QByteArray> requests() const;
    // The write requests (function 16): register address and word count.
    QList<QPair<int, int>> writes() const;
    // The words of each write request at a register address.
    QList<QList<int>> wordsWrittenAt(int address) const;
    void clearLog();

private:
    QByteArray log() const;

    QTemporaryDir m_dir;
    QString m_logPath;
    QProcess m_process;
    QString m_device;
    qint64 m_mark = 0;
};
