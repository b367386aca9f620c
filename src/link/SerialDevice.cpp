#include "link/SerialDevice.h"

#include "util/RuntimeError.h"

#include <QByteArray>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX

namespace {

// Where the serial port library and other programs keep "LCK..name" files.
QStringList lockFolders()
{
    return {QStringLiteral("/var/lock"),
            QStringLiteral("/etc/locks"),
            QStringLiteral("/var/spool/locks"),
            QStringLiteral("/var/spool/uucp"),
            QStringLiteral("/tmp"),
            QStringLiteral("/var/tmp"),
            QStringLiteral("/var/lock/lockdev"),
            QStringLiteral("/run/lock"),
            QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
}

// Whether a lock file names a program that still runs. Its first line is the
// owner's process number, its third (when present) the owner's host.
bool hasLiveOwner(const QByteArray& content)
{
    const QList<QByteArray> lines = content.split('\n');
    bool number = false;
    const qint64 pid = lines.value(0).trimmed().toLongLong(&number);
    if (!number || pid <= 0 || pid > INT_MAX)
        return false;
    const QByteArray host = lines.value(2).trimmed();
    if (!host.isEmpty() && host != QSysInfo::machineHostName().toUtf8())
        return true; // another machine's program: not ours to judge
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

} // namespace

QString SerialDevicePath(const QString& device)
{
    const QByteArray name = QFile::encodeName(device);
    if (name.isEmpty() || name.contains('\0') || name.size() >= PATH_MAX)
        Raise(ErrNo::PortInvalid, device);
    char resolved[PATH_MAX];
    if (!::realpath(name.constData(), resolved))
        Raise(ErrNo::PortInvalid, device);
    struct stat st
    {
    };
    if (::stat(resolved, &st) != 0 || !S_ISCHR(st.st_mode))
        Raise(ErrNo::PortInvalid, device);
    // A character device is a serial line only when it is a terminal. The
    // look is read-only and takes no control of it; a device this user may
    // not open, or one in use, is left for the real open to report.
    const int fd = ::open(resolved, O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        const bool terminal = ::isatty(fd) != 0;
        ::close(fd);
        if (!terminal)
            Raise(ErrNo::PortInvalid, device);
    }
    return QFile::decodeName(resolved);
}

void RemoveStaleLockFiles(const QString& devicePath)
{
    QString name = devicePath;
    if (name.startsWith(QLatin1String("/dev/")))
        name = name.mid(5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const QString& folder : lockFolders()) {
        const QString path = folder + QStringLiteral("/LCK..") + name;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray content = file.read(256);
        file.close();
        if (!hasLiveOwner(content))
            QFile::remove(path);
    }
}

bool LockOpenDevice(qintptr handle)
{
    return ::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB) == 0;
}

#else

QString SerialDevicePath(const QString& device)
{
    if (device.isEmpty())
        Raise(ErrNo::PortInvalid);
    return device;
}

void RemoveStaleLockFiles(const QString&) {}

bool LockOpenDevice(qintptr)
{
    return true; // the system opens a port for one program only
}

#endif
