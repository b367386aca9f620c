#pragma once

#include <QByteArray>
#include <QString>

class QFileDevice;

// Every file the console and orvelctl write (configurations, event exports,
// the INI file, reports) goes through SafeWriteFile: the bytes go to a
// temporary file beside the target, every write and the flush are checked,
// and the target is replaced only once everything is on disk. A failed write
// leaves the previous file byte for byte and no temporary file behind.

// Why a write failed: an error number of the error report (disk full, path
// not found, permission denied, ...) and the system's description.
struct FileWriteFailure
{
    int number = 0;
    QString text;
};

[[nodiscard]] bool SafeWriteFile(const QString& path, const QByteArray& bytes,
                                 FileWriteFailure* failure = nullptr);

// As SafeWriteFile, raising the failure as a run-time error (for procedures
// whose error trap reports it).
void SafeWriteFileOrRaise(const QString& path, const QByteArray& bytes);

// The error number that a failed open, read or write of file stands for.
int FileErrorNumber(const QFileDevice& file, const QString& path);
