#include "CtlOutput.h"

#include "texts/DataFunctions.h"
#include "util/SafeFile.h"
#include "util/UiSeam.h"

#include <cstdio>
#include <unistd.h>

void Say(int tag, MsgIcon icon)
{
    MsgBox(TextLines(tag), icon);
}

QString TextLines(int tag)
{
    QString text = GetText(tag);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QString TextLines(int first, int second)
{
    return TextLines(first) + QLatin1Char('\n') + TextLines(second);
}

bool WriteStdout(const QByteArray& bytes)
{
    const size_t written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    return std::fflush(stdout) == 0 && written == size_t(bytes.size());
}

namespace {
bool reported(const QString& path, const FileFailure& failure)
{
    MsgBox(QStringLiteral("%1: %2").arg(path, failure.text), MsgIcon::Critical);
    return false;
}
} // namespace

bool WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    FileFailure failure;
    return SafeWriteFile(path, bytes, &failure) || reported(path, failure);
}

bool CheckOutputFile(const QString& path)
{
    FileFailure failure;
    return CheckFileWritable(path, &failure) || reported(path, failure);
}

bool StderrIsTerminal()
{
    return isatty(STDERR_FILENO) != 0;
}
