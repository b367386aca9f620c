#include "PdfText.h"

#include <QProcess>
#include <QXmlStreamReader>

#include <algorithm>

namespace {
constexpr double MmPerPoint = 25.4 / 72.0;

QByteArray Run(const QStringList& arguments, const QByteArray& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), arguments + QStringList{"-", "-"});
    if (!process.waitForStarted(10000))
        qFatal("pdftotext cannot be started (poppler-utils missing?)");
    process.write(pdf);
    process.closeWriteChannel();
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
}

double Attribute(const QXmlStreamReader& xml, const char* name)
{
    return xml.attributes().value(QLatin1String(name)).toDouble() * MmPerPoint;
}
} // namespace

QStringList PdfText::Pages(const QByteArray& pdf)
{
    QStringList pages = QString::fromUtf8(Run({"-layout"}, pdf)).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

PdfText::Document PdfText::Words(const QByteArray& pdf)
{
    Document d;
    QXmlStreamReader xml(Run({"-bbox"}, pdf));
    int page = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("title")) {
            d.title = xml.readElementText();
        } else if (xml.name() == QLatin1String("page")) {
            if (++page == 1)
                d.pageSize = QSizeF(Attribute(xml, "width"), Attribute(xml, "height"));
        } else if (xml.name() == QLatin1String("word")) {
            Word w{page,
                   {},
                   Attribute(xml, "xMin"),
                   Attribute(xml, "yMin"),
                   Attribute(xml, "xMax"),
                   Attribute(xml, "yMax")};
            w.text = xml.readElementText();
            d.words << w;
        }
    }
    return d;
}

PdfText::Word PdfText::Document::find(const QString& text, int page) const
{
    for (const Word& w : words)
        if (w.text == text && (page == 0 || w.page == page))
            return w;
    return {};
}

QList<PdfText::Word> PdfText::Document::line(int page, double y) const
{
    QList<Word> found;
    for (const Word& w : words)
        if (w.page == page && qAbs(w.middleY() - y) < 0.8)
            found << w;
    std::sort(found.begin(), found.end(),
              [](const Word& a, const Word& b) { return a.left < b.left; });
    return found;
}

QString PdfText::Between(const QList<Word>& line, double left, double right, double* first,
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
