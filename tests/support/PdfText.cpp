#include "PdfText.h"

#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {
constexpr double MmPerPoint = 25.4 / 72.0;

QByteArray Run(const QStringList& arguments, const QByteArray& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), arguments);
    if (!process.waitForStarted(10000))
        qFatal("pdftotext cannot be started (poppler-utils missing?)");
    process.write(pdf);
    process.closeWriteChannel();
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
}
} // namespace

QStringList PdfText::Pages(const QByteArray& pdf)
{
    QStringList pages = QString::fromUtf8(Run({"-layout", "-", "-"}, pdf)).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QList<PdfText::Word> PdfText::Words(const QByteArray& pdf)
{
    QList<Word> words;
    QXmlStreamReader xml(Run({"-bbox", "-", "-"}, pdf));
    int page = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page")) {
            ++page;
        } else if (xml.name() == QLatin1String("word")) {
            const QXmlStreamAttributes a = xml.attributes();
            Word w;
            w.page = page;
            w.left = a.value(QLatin1String("xMin")).toDouble() * MmPerPoint;
            w.top = a.value(QLatin1String("yMin")).toDouble() * MmPerPoint;
            w.right = a.value(QLatin1String("xMax")).toDouble() * MmPerPoint;
            w.bottom = a.value(QLatin1String("yMax")).toDouble() * MmPerPoint;
            w.text = xml.readElementText();
            words << w;
        }
    }
    return words;
}

QString PdfText::Title(const QByteArray& pdf)
{
    QXmlStreamReader xml(Run({"-bbox", "-l", "1", "-", "-"}, pdf));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1String("title"))
            return xml.readElementText();
    return {};
}

QSizeF PdfText::PageSize(const QByteArray& pdf)
{
    QXmlStreamReader xml(Run({"-bbox", "-l", "1", "-", "-"}, pdf));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("page"))
            return QSizeF(xml.attributes().value(QLatin1String("width")).toDouble(),
                          xml.attributes().value(QLatin1String("height")).toDouble()) *
                   MmPerPoint;
    return {};
}

QList<PdfText::Word> PdfText::LineAt(const QList<Word>& words, int page, double middle)
{
    QList<Word> line;
    for (const Word& w : words)
        if (w.page == page && qAbs((w.top + w.bottom) / 2 - middle) < 0.8)
            line << w;
    std::sort(line.begin(), line.end(),
              [](const Word& a, const Word& b) { return a.left < b.left; });
    return line;
}

PdfText::Word PdfText::Find(const QList<Word>& words, const QString& text, int page)
{
    for (const Word& w : words)
        if (w.text == text && (page == 0 || w.page == page))
            return w;
    return {};
}

QString PdfText::TextBetween(const QList<Word>& line, double left, double right, double* first,
                             double* last)
{
    QStringList parts;
    for (const Word& w : line) {
        const double middle = (w.left + w.right) / 2;
        if (middle < left || middle > right)
            continue;
        if (parts.isEmpty() && first)
            *first = w.left;
        if (last)
            *last = w.right;
        parts << w.text;
    }
    return parts.join(QLatin1Char(' '));
}
