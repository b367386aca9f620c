#include "util/SafeFile.h"

#include "util/PathFunctions.h"
#include "util/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

bool fail(FileFailure* failure, int number, const QString& text)
{
    if (failure)
        *failure = {number, text};
    return false;
}

QString tooLargeText(qint64 maxBytes)
{
    return QStringLiteral("larger than %1 bytes").arg(maxBytes);
}

#ifdef Q_OS_UNIX

// The error number of the error report that a system error stands for.
int numberOf(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return ErrNo::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return ErrNo::PermissionDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrNo::DiskFull;
    case EIO:
        return ErrNo::DeviceIO;
    case ENAMETOOLONG:
        return ErrNo::BadFileName;
    default:
        return ErrNo::PathFileAccess;
    }
}

bool failErrno(FileFailure* failure, int err)
{
    return fail(failure, numberOf(err), qt_error_string(err));
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

// The file that a path names once its symbolic links are followed; a link
// whose target does not exist yet names that target. Empty with err set when
// the chain cannot be followed.
QByteArray followLinks(QByteArray path, int& err)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st
        {
        };
        if (::lstat(path.constData(), &st) != 0) {
            if (errno == ENOENT)
                return path;
            err = errno;
            return {};
        }
        if (!S_ISLNK(st.st_mode))
            return path;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (n < 0 || n >= target.size()) {
            err = n < 0 ? errno : ENAMETOOLONG;
            return {};
        }
        target.truncate(n);
        path = target.startsWith('/') ? target : folderOf(path) + '/' + target;
    }
    err = ELOOP;
    return {};
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The file a write replaces, resolved and checked.
struct Target
{
    QByteArray path; // the regular file to replace or create
    bool exists = false;
    struct stat st
    {
    };
};

bool prepare(const QString& path, Target& target, FileFailure* failure)
{
    const QByteArray encoded = QFile::encodeName(path);
    if (path.isEmpty() || encoded.contains('\0'))
        return fail(failure, ErrNo::BadFileName, path);
    int err = 0;
    target.path = followLinks(encoded, err);
    if (target.path.isEmpty())
        return failErrno(failure, err);
    if (::stat(target.path.constData(), &target.st) == 0) {
        if (!S_ISREG(target.st.st_mode))
            return fail(failure, ErrNo::PathFileAccess, NotRegularFileText());
        target.exists = true;
    } else if (errno != ENOENT) {
        return failErrno(failure, errno);
    }
    struct stat folder
    {
    };
    if (::stat(folderOf(target.path).constData(), &folder) != 0)
        return failErrno(failure, errno);
    if (!S_ISDIR(folder.st_mode))
        return failErrno(failure, ENOTDIR);
    return true;
}

// A new temporary file beside the target, or -1 with err set.
int openTemporary(const Target& target, QByteArray& tempPath, int& err)
{
    tempPath = folderOf(target.path) + "/.orvel-XXXXXX";
    const int fd = ::mkostemp(tempPath.data(), O_CLOEXEC);
    if (fd < 0)
        err = errno;
    return fd;
}

bool writeAll(int fd, const QByteArray& bytes, int& err)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done,
                                  size_t(qMin<qsizetype>(bytes.size() - done, 1 << 20)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            err = n < 0 ? errno : EIO;
            return false;
        }
        done += n;
    }
    return true;
}

// The replacement takes the replaced file's permissions (and its owner, when
// the program runs with the right to give it); a new file the user's usual ones.
void givePermissions(int fd, const Target& target)
{
    if (!target.exists) {
        ::fchmod(fd, 0666 & ~currentUmask());
        return;
    }
    if (::geteuid() == 0 && ::fchown(fd, target.st.st_uid, target.st.st_gid) != 0) {
        // The owner cannot be given: the file stays the program's own.
    }
    ::fchmod(fd, target.st.st_mode & 07777);
}

void syncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

#endif

} // namespace

QString NotRegularFileText()
{
    return QStringLiteral("not a regular file");
}

#ifdef Q_OS_UNIX

bool SafeWriteFile(const QString& path, const QByteArray& bytes, FileFailure* failure)
{
    Target target;
    if (!prepare(path, target, failure))
        return false;
    QByteArray tempPath;
    int err = 0;
    int fd = openTemporary(target, tempPath, err);
    if (fd < 0)
        return failErrno(failure, err);
    givePermissions(fd, target);
    bool ok = writeAll(fd, bytes, err);
    if (ok && ::fsync(fd) != 0) {
        err = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        err = errno;
        ok = false;
    }
    fd = -1;
    if (ok && ::rename(tempPath.constData(), target.path.constData()) != 0) {
        err = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(tempPath.constData());
        return failErrno(failure, err);
    }
    syncFolder(folderOf(target.path));
    return true;
}

bool CheckFileWritable(const QString& path, FileFailure* failure)
{
    Target target;
    if (!prepare(path, target, failure))
        return false;
    QByteArray tempPath;
    int err = 0;
    const int fd = openTemporary(target, tempPath, err);
    if (fd < 0)
        return failErrno(failure, err);
    ::close(fd);
    ::unlink(tempPath.constData());
    return true;
}

bool ReadWholeFile(const QString& path, qint64 maxBytes, QByteArray& bytes, FileFailure* failure)
{
    const QByteArray encoded = QFile::encodeName(path);
    if (path.isEmpty() || encoded.contains('\0'))
        return fail(failure, ErrNo::BadFileName, path);
    // Looked at before it is opened: opening a pipe or a device may block or
    // act on the device.
    if (KindOfFile(path) == FileKind::Other)
        return fail(failure, ErrNo::PathFileAccess, NotRegularFileText());
    const int fd = ::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return fail(failure, ErrNo::FileNotFound, qt_error_string(ENOENT));
        return failErrno(failure, errno);
    }
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(failure, ErrNo::PathFileAccess, NotRegularFileText());
    }
    if (st.st_size > maxBytes) {
        ::close(fd);
        return fail(failure, ErrNo::PathFileAccess, tooLargeText(maxBytes));
    }
    QByteArray content(qsizetype(st.st_size) + 1, Qt::Uninitialized);
    qsizetype done = 0;
    for (;;) {
        if (done == content.size()) {
            if (content.size() > maxBytes)
                break;
            content.resize(qMin<qint64>(maxBytes + 1, content.size() * 2 + 4096));
        }
        const ssize_t n = ::read(fd, content.data() + done, size_t(content.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return failErrno(failure, err);
        }
        if (n == 0)
            break;
        done += n;
    }
    ::close(fd);
    if (done > maxBytes)
        return fail(failure, ErrNo::PathFileAccess, tooLargeText(maxBytes));
    content.truncate(done);
    bytes = content;
    return true;
}

FileKind KindOfFile(const QString& path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return FileKind::Missing;
    return S_ISREG(st.st_mode) ? FileKind::Regular : FileKind::Other;
}

#else

bool SafeWriteFile(const QString& path, const QByteArray& bytes, FileFailure* failure)
{
    if (!CheckFileWritable(path, failure))
        return false;
    // A read-only, hidden or system target can be replaced; its attributes go
    // only once the new content is on disk.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail(failure, FileErrorNumber(file, path), file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int number = FileErrorNumber(file, path);
        const QString text = file.errorString();
        file.cancelWriting();
        return fail(failure, number, text);
    }
    SetFileAttributesW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                       FILE_ATTRIBUTE_NORMAL);
    if (!file.commit())
        return fail(failure, FileErrorNumber(file, path), file.errorString());
    return true;
}

bool CheckFileWritable(const QString& path, FileFailure* failure)
{
    if (path.isEmpty())
        return fail(failure, ErrNo::BadFileName, path);
    if (KindOfFile(path) == FileKind::Other)
        return fail(failure, ErrNo::PathFileAccess, NotRegularFileText());
    const QString folder = FolderOf(path).isEmpty() ? QStringLiteral(".") : FolderOf(path);
    if (!QFileInfo(folder).isDir())
        return fail(failure, ErrNo::PathNotFound, folder);
    return true;
}

bool ReadWholeFile(const QString& path, qint64 maxBytes, QByteArray& bytes, FileFailure* failure)
{
    if (KindOfFile(path) == FileKind::Other)
        return fail(failure, ErrNo::PathFileAccess, NotRegularFileText());
    QFile file(path);
    if (!file.exists())
        return fail(failure, ErrNo::FileNotFound, path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(failure, FileErrorNumber(file, path), file.errorString());
    if (file.size() > maxBytes)
        return fail(failure, ErrNo::PathFileAccess, tooLargeText(maxBytes));
    const QByteArray content = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(failure, FileErrorNumber(file, path), file.errorString());
    if (content.size() > maxBytes)
        return fail(failure, ErrNo::PathFileAccess, tooLargeText(maxBytes));
    bytes = content;
    return true;
}

FileKind KindOfFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return FileKind::Missing;
    return info.isFile() ? FileKind::Regular : FileKind::Other;
}

#endif

void SafeWriteFileOrRaise(const QString& path, const QByteArray& bytes)
{
    FileFailure failure;
    if (!SafeWriteFile(path, bytes, &failure))
        Raise(failure.number, failure.text);
}

int FileErrorNumber(const QFileDevice& file, const QString& path)
{
    switch (file.error()) {
    case QFileDevice::ResourceError:
        return ErrNo::DiskFull;
    case QFileDevice::WriteError:
    case QFileDevice::ReadError:
        return ErrNo::DeviceIO;
    case QFileDevice::PermissionsError:
        return ErrNo::PermissionDenied;
    case QFileDevice::OpenError:
        if (!QFileInfo(FolderOf(path).isEmpty() ? QStringLiteral(".") : FolderOf(path)).isDir())
            return ErrNo::PathNotFound;
        return ErrNo::PathFileAccess;
    default:
        return ErrNo::PathFileAccess;
    }
}
