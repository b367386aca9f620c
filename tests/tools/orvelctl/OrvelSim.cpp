#include "OrvelSim.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <csignal>

namespace {

int wordAt(const QByteArray& frame, int offset)
{
    return (std::uint8_t(frame[offset]) << 8) | std::uint8_t(frame[offset + 1]);
}

bool isWrite(const QByteArray& frame)
{
    return frame.size() >= 9 && frame[1] == char(16);
}

} // namespace

OrvelSim::OrvelSim() : m_logPath(m_dir.filePath(QStringLiteral("sim.log"))) {}

OrvelSim::~OrvelSim()
{
    stop();
}

QString OrvelSim::Program()
{
    return QStringLiteral(ORVEL_BIN_DIR "/orvel-sim");
}

bool OrvelSim::start(const QStringList& arguments)
{
    m_process.setStandardErrorFile(m_logPath);
    m_process.start(Program(), QStringList(arguments) << QStringLiteral("--verbose"));
    if (!m_process.waitForStarted(10000))
        return false;
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

void OrvelSim::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    freeze(false);
    m_process.terminate(); // SIGTERM: the simulator ends its event loop
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
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

void OrvelSim::freeze(bool frozen)
{
    if (m_process.state() == QProcess::Running)
        ::kill(pid_t(m_process.processId()), frozen ? SIGSTOP : SIGCONT);
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

QList<QPair<int, int>> OrvelSim::writes() const
{
    QList<QPair<int, int>> list;
    for (const QByteArray& frame : requests()) {
        if (isWrite(frame))
            list.append({wordAt(frame, 2), wordAt(frame, 4)});
    }
    return list;
}

QList<QList<int>> OrvelSim::wordsWrittenAt(int address) const
{
    QList<QList<int>> list;
    for (const QByteArray& frame : requests()) {
        if (!isWrite(frame) || wordAt(frame, 2) != address)
            continue;
        QList<int> words;
        for (int k = 0; k < wordAt(frame, 4); ++k)
            words.append(std::int16_t(wordAt(frame, 7 + 2 * k)));
        list.append(words);
    }
    return list;
}

void OrvelSim::clearLog()
{
    log(); // what is still on its way belongs to before
    m_mark = QFileInfo(m_logPath).size();
}
