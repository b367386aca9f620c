#pragma once

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// Runs build/bin/orvel-sim for a test: starts it with the given options and a
// --link in a temporary folder, waits for the device path it prints, and
// stops it (SIGTERM) at the end.
class SimProcess
{
public:
    // linkPath: where to put the link (default: a fresh temporary folder).
    explicit SimProcess(const QStringList& options, const QString& link = {})
    {
        linkPath = link.isEmpty() ? dir.filePath(QStringLiteral("line")) : link;
        process.setProgram(QStringLiteral(ORVEL_BIN_DIR "/orvel-sim"));
        process.setArguments(options + QStringList{QStringLiteral("--link"), linkPath});
        process.start();
        if (!process.waitForStarted(5000))
            return;
        // The device path is the first line, printed once the panels answer.
        while (!process.canReadLine() && process.state() == QProcess::Running)
            process.waitForReadyRead(100);
        devicePath = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~SimProcess() { stop(); }

    bool running() const { return process.state() == QProcess::Running && !devicePath.isEmpty(); }

    // SIGTERM; the exit code (-1 when it had to be killed).
    int stop()
    {
        if (process.state() == QProcess::NotRunning)
            return process.exitCode();
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(1000);
            return -1;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QTemporaryDir dir;
    QProcess process;
    QString linkPath;
    QString devicePath;
};
