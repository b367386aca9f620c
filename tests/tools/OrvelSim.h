#pragma once

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

// orvel-sim serving simulated panels on a pseudo-terminal for a test: started
// with --verbose (every request and reply logged to a file) and a --link,
// stopped with SIGTERM at the end.
class OrvelSim
{
public:
    ~OrvelSim() { stop(); }

    // Starts it, its link in a folder of its own; true once it named its device.
    bool start(const QStringList& arguments)
    {
        m_process.setStandardErrorFile(m_dir.filePath(QStringLiteral("sim.log")));
        m_process.start(QStringLiteral(ORVEL_BIN_DIR "/orvel-sim"), QStringList(arguments)
                                                                        << "--verbose"
                                                                        << "--link" << m_link);
        // The device path is the first line, printed once the panels answer.
        QByteArray out;
        QElapsedTimer clock;
        clock.start();
        while (!out.contains('\n') && clock.elapsed() < 10000 && m_process.waitForStarted()) {
            m_process.waitForReadyRead(100);
            out += m_process.readAllStandardOutput();
        }
        m_device = QString::fromLocal8Bit(out.left(out.indexOf('\n'))).trimmed();
        return !m_device.isEmpty();
    }

    // SIGTERM; the exit code (-1 when it had to be killed).
    int stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return m_process.exitCode();
        m_process.terminate();
        if (m_process.waitForFinished(5000))
            return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
        m_process.kill();
        m_process.waitForFinished(5000);
        return -1;
    }

    QString device() const { return m_device; }
    QString link() const { return m_link; }

    // The requests heard, oldest first, once the log has been quiet for a
    // moment (a request is logged just after its reply).
    QList<QByteArray> requests() const
    {
        QList<QByteArray> frames;
        for (const QByteArray& line : log().split('\n')) {
            const qsizetype arrow = line.indexOf(" -> ");
            if (arrow > 0)
                frames.append(QByteArray::fromHex(line.left(arrow)));
        }
        return frames;
    }

    // The write requests in order, separated by spaces: the address and word
    // count ("337/12"), or for a single word the address and the word ("336=0").
    QString writes() const
    {
        QStringList list;
        for (const QByteArray& f : requests()) {
            if (f.size() < 9 || f[1] != char(16))
                continue;
            const int count = word(f, 4);
            list << (count == 1 ? QStringLiteral("%1=%2").arg(word(f, 2)).arg(qint16(word(f, 7)))
                                : QStringLiteral("%1/%2").arg(word(f, 2)).arg(count));
        }
        return list.join(' ');
    }

private:
    static int word(const QByteArray& frame, int offset)
    {
        return quint8(frame[offset]) << 8 | quint8(frame[offset + 1]);
    }

    QByteArray log() const
    {
        const QString path = m_dir.filePath(QStringLiteral("sim.log"));
        QElapsedTimer clock;
        clock.start();
        for (qint64 size = -1; clock.elapsed() < 2000 && QFileInfo(path).size() != size;) {
            size = QFileInfo(path).size();
            QThread::msleep(40);
        }
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_device;
    QString m_link = m_dir.filePath(QStringLiteral("line"));
};
