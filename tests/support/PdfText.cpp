#include "PdfText.h"

#include <QProcess>

QStringList PdfText::Pages(const QByteArray& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {"-layout", "-", "-"});
    if (!process.waitForStarted(10000))
        qFatal("pdftotext cannot be started (poppler-utils missing?)");
    process.write(pdf);
    process.closeWriteChannel();
    process.waitForFinished(30000);
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}
