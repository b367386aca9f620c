#include "PtyServer.h"

#include "link/CommFunctions.h"
#include "SimulatedLine.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {
int bauds(speed_t speed)
{
    switch (speed) {
    case B300:
        return 300;
    case B600:
        return 600;
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}
} // namespace

PtyServer::PtyServer(QObject* parent) : QObject(parent)
{
    m_silence.setSingleShot(true);
    m_silence.setInterval(50);
    connect(&m_silence, &QTimer::timeout, this, [this] { m_buffer.clear(); });
}

PtyServer::~PtyServer()
{
    if (!m_link.isEmpty())
        QFile::remove(m_link);
    delete m_notifier;
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
}

bool PtyServer::open(QString* error)
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // The terminal starts raw, as a serial line is: no echo, no line editing.
    termios tio{};
    ::tcgetattr(m_slave, &tio);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    ::tcsetattr(m_slave, TCSANOW, &tio);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_devicePath = QString::fromLocal8Bit(name);
    // The server keeps its own descriptor of the terminal open, so the line
    // stays up while consoles open and close it and its settings can be read.
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyServer::readable);
    return true;
}

bool PtyServer::linkAt(const QString& path, QString* error)
{
    QFile::remove(path);
    if (!QFile::link(m_devicePath, path)) {
        if (error)
            *error = QStringLiteral("cannot create the link %1").arg(path);
        return false;
    }
    m_link = path;
    return true;
}

SimulatedPanel& PtyServer::addPanel(std::uint8_t slave, std::int32_t version,
                                    const QString& lineSettings)
{
    return m_panels.add(slave, version, lineSettings);
}

SimulatedPanel* PtyServer::panel(std::uint8_t slave) const
{
    return m_panels.find(slave);
}

QList<SimulatedPanel*> PtyServer::panels() const
{
    return m_panels.all();
}

QString PtyServer::lineSettings() const
{
    termios tio{};
    if (m_slave < 0 || ::tcgetattr(m_slave, &tio) != 0)
        return {};
    const char parity = (tio.c_cflag & PARENB) ? ((tio.c_cflag & PARODD) ? 'O' : 'E') : 'N';
    int data = 8;
    switch (tio.c_cflag & CSIZE) {
    case CS5:
        data = 5;
        break;
    case CS6:
        data = 6;
        break;
    case CS7:
        data = 7;
        break;
    default:
        data = 8;
    }
    return QStringLiteral("%1,%2,%3,%4")
        .arg(bauds(::cfgetospeed(&tio)))
        .arg(QLatin1Char(parity))
        .arg(data)
        .arg((tio.c_cflag & CSTOPB) ? 2 : 1);
}

void PtyServer::readable()
{
    char chunk[512];
    for (;;) {
        const ssize_t n = ::read(m_master, chunk, sizeof chunk);
        if (n <= 0)
            break;
        m_buffer.append(chunk, n);
    }
    assemble();
    if (!m_buffer.isEmpty())
        m_silence.start();
}

void PtyServer::assemble()
{
    while (m_buffer.size() >= 8) {
        const int function = static_cast<std::uint8_t>(m_buffer[1]);
        qsizetype length = 8;
        if (function == 16)
            length = 9 + static_cast<std::uint8_t>(m_buffer[6]);
        if (m_buffer.size() < length)
            return;
        const QByteArray frame = m_buffer.left(length);
        const std::uint16_t crc = CRC16(frame, static_cast<int>(length - 2));
        if (static_cast<std::uint8_t>(frame[length - 2]) != (crc & 0xFF) ||
            static_cast<std::uint8_t>(frame[length - 1]) != (crc >> 8)) {
            m_buffer.remove(0, 1); // not a frame start: look further
            continue;
        }
        m_buffer.remove(0, length);
        serve(frame);
    }
}

void PtyServer::serve(const QByteArray& request)
{
    const QString settings = lineSettings();
    const qint64 charUs = m_wireTime ? SimulatedLine::wireTimeUs(1, settings) : 0;
    const qint64 requestUs = static_cast<qint64>(request.size()) * charUs;
    QByteArray all;
    for (const SimulatedPanel::Reply& reply : m_panels.answer(request, settings)) {
        if (!reply.echo.isEmpty())
            send(reply.echo, requestUs);
        // A reply held back from the previous request comes first.
        const qint64 heldUs = static_cast<qint64>(reply.held.size()) * charUs;
        if (!reply.held.isEmpty()) {
            send(reply.held, requestUs + heldUs);
            all += reply.held;
        }
        if (!reply.bytes.isEmpty()) {
            send(reply.bytes,
                 requestUs + heldUs + reply.delayMs * 1000LL + reply.bytes.size() * charUs);
            all += reply.bytes;
        }
    }
    if (m_verbose) {
        std::fprintf(stderr, "%s -> %s  [%s]\n", request.toHex(' ').constData(),
                     all.isEmpty() ? "(silence)" : all.toHex(' ').constData(),
                     qPrintable(settings));
        std::fflush(stderr);
    }
    Q_EMIT requestHandled(request, all);
}

void PtyServer::send(const QByteArray& bytes, qint64 afterUs)
{
    auto write = [this, bytes] {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done,
                                      static_cast<size_t>(bytes.size() - done));
            if (n < 0 && errno == EAGAIN) {
                ::usleep(1000);
                continue;
            }
            if (n <= 0)
                return;
            done += n;
        }
    };
    if (afterUs <= 0) {
        write();
        return;
    }
    // The timer has millisecond steps: it wakes at the whole millisecond
    // before the moment, and a short sleep covers the rest.
    const auto due = std::chrono::steady_clock::now() + std::chrono::microseconds(afterUs);
    QTimer::singleShot(std::chrono::milliseconds(afterUs / 1000), Qt::PreciseTimer, this,
                       [write, due] {
                           std::this_thread::sleep_until(due);
                           write();
                       });
}
