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

bool WriteStdout(const QByteArray& bytes)
{
    const size_t written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    return std::fflush(stdout) == 0 && written == size_t(bytes.size());
}

bool WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    FileWriteFailure failure;
    if (SafeWriteFile(path, bytes, &failure))
        return true;
    MsgBox(QStringLiteral("%1: %2").arg(path, failure.text), MsgIcon::Critical);
    return false;
}

bool StderrIsTerminal()
{
    return isatty(STDERR_FILENO) != 0;
}
