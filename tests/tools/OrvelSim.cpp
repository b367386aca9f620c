#include "OrvelSim.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace {

int wordAt(const QByteArray& frame, int offset)
{
    return (std::uint8_t(frame[offset]) << 8) | std::uint8_t(frame[offset + 1]);
}

} // namespace

bool OrvelSim::start(const QStringList& arguments, const QString& linkPath)
{
    m_link = linkPath.isEmpty() ? m_dir.filePath(QStringLiteral("line")) : linkPath;
    m_process.setStandardErrorFile(m_logPath);
    m_process.start(QStringLiteral(ORVEL_BIN_DIR "/orvel-sim"), QStringList(arguments)
                                                                    << "--verbose"
                                                                    << "--link" << m_link);
    if (!m_process.waitForStarted(10000))
        return false;
    // The device path is the first line, printed once the panels answer.
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (!out.contains('\n') && clock.elapsed() < 10000 &&
           m_process.state() == QProcess::Running) {
        m_process.waitForReadyRead(100);
        out += m_process.readAllStandardOutput();
    }
    m_device = QString::fromLocal8Bit(out.left(out.indexOf('\n'))).trimmed();
    return !m_device.isEmpty();
}

int OrvelSim::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitCode();
    m_process.terminate(); // SIGTERM: the simulator ends its event loop
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
        return -1;
    }
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

QByteArray OrvelSim::log() const
{
    QElapsedTimer clock;
    clock.start();
    qint64 size = -1;
    while (clock.elapsed() < 2000) {
        const qint64 now = QFileInfo(m_logPath).size();
        if (now == size)
            break;
        size = now;
        QThread::msleep(40);
    }
    QFile file(m_logPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    file.seek(m_mark);
    return file.readAll();
}

QList<QByteArray> OrvelSim::requests() const
{
    QList<QByteArray> frames;
    for (const QByteArray& line : log().split('\n')) {
        const qsizetype arrow = line.indexOf(" -> ");
        if (arrow > 0)
            frames.append(QByteArray::fromHex(line.left(arrow)));
    }
    return frames;
}

QString OrvelSim::writes() const
{
    QStringList list;
    for (const QByteArray& frame : requests()) {
        if (frame.size() < 9 || frame[1] != char(16))
            continue;
        const int count = wordAt(frame, 4);
        list << (count == 1 ? QStringLiteral("%1=%2")
                                  .arg(wordAt(frame, 2))
                                  .arg(std::int16_t(wordAt(frame, 7)))
                            : QStringLiteral("%1/%2").arg(wordAt(frame, 2)).arg(count));
    }
    return list.join(' ');
}

void OrvelSim::clearLog()
{
    log(); // what is still on its way belongs to before
    m_mark = QFileInfo(m_logPath).size();
}
