#pragma once

#include <QByteArray>
#include <QString>

class QFileDevice;

// Every file the console and orvelctl write (configurations, event exports,
// the INI file, reports) goes through SafeWriteFile, and the files they read
// whole (configurations, the INI file) through ReadWholeFile.
//
// Writing: the bytes go to a temporary file beside the target, every write,
// the flush to disk and the close are checked, and the target is replaced
// only once everything is on disk. A failed write leaves the previous file
// byte for byte and no temporary file behind.
// - A target that is a symbolic link is written through: the file it points
//   to is replaced and the link stays.
// - A replaced file keeps its permissions (a read-only file stays read-only,
//   nothing is added) and, when the program may give them, its owner and
//   group; a new file gets the usual permissions for the user.
// - Only regular files are written: a folder, a named pipe, a device or a
//   socket at the target is refused (nothing is opened there).
//
// Reading: only a regular file is read (a named pipe or a device is refused
// without blocking on it), and never more than the caller's bound.

// Why a file operation failed: an error number of the error report (disk
// full, path not found, permission denied, ...) and a description for the
// person who gave the path.
struct FileFailure
{
    int number = 0;
    QString text;
};
using FileWriteFailure = FileFailure;

[[nodiscard]] bool SafeWriteFile(const QString& path, const QByteArray& bytes,
                                 FileFailure* failure = nullptr);

// As SafeWriteFile, raising the failure as a run-time error (for procedures
// whose error trap reports it).
void SafeWriteFileOrRaise(const QString& path, const QByteArray& bytes);

// Whether SafeWriteFile could write path now (a folder that exists and can be
// written, a target that is a regular file or absent): checked before a long
// operation whose result goes there, so that it fails before any work.
[[nodiscard]] bool CheckFileWritable(const QString& path, FileFailure* failure = nullptr);

// The whole content of a regular file of at most maxBytes bytes. A missing
// file fails with error 53, anything but a regular file and a larger file
// with 75.
[[nodiscard]] bool ReadWholeFile(const QString& path, qint64 maxBytes, QByteArray& bytes,
                                 FileFailure* failure = nullptr);

// What exists at path: nothing, a regular file (symbolic links followed), or
// something else (a folder, a pipe, a device, a socket).
enum class FileKind
{
    Missing,
    Regular,
    Other
};
FileKind KindOfFile(const QString& path);

// The description of a refused non-regular file.
QString NotRegularFileText();

// The error number that a failed open, read or write of file stands for.
int FileErrorNumber(const QFileDevice& file, const QString& path);
