#include "util/SafeFile.h"

#include "util/PathFunctions.h"
#include "util/RuntimeError.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Lets a read-only, hidden or system file be replaced.
void clearAttributes(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return;
#ifdef Q_OS_WIN
    SetFileAttributesW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                       FILE_ATTRIBUTE_NORMAL);
#else
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner |
                                    QFileDevice::WriteUser);
#endif
}

bool fail(FileWriteFailure* failure, int number, const QString& text)
{
    if (failure)
        *failure = {number, text};
    return false;
}

} // namespace

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

bool SafeWriteFile(const QString& path, const QByteArray& bytes, FileWriteFailure* failure)
{
    if (path.isEmpty())
        return fail(failure, ErrNo::BadFileName, {});
    if (QFileInfo(path).isDir())
        return fail(failure, ErrNo::PathFileAccess, path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(failure, FileErrorNumber(file, path), file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int number = FileErrorNumber(file, path);
        const QString text = file.errorString();
        file.cancelWriting();
        return fail(failure, number, text);
    }
    clearAttributes(path);
    if (!file.commit())
        return fail(failure, FileErrorNumber(file, path), file.errorString());
    return true;
}

void SafeWriteFileOrRaise(const QString& path, const QByteArray& bytes)
{
    FileWriteFailure failure;
    if (!SafeWriteFile(path, bytes, &failure))
        Raise(failure.number, failure.text);
}
