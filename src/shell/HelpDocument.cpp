#include "HelpDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTextDocumentFragment>

#include <algorithm>

namespace {
QString PlainText(const QString& html)
{
    return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}
} // namespace

bool HelpDocument::Load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    SetHtml(QString::fromUtf8(bytes), QFileInfo(path).absolutePath());
    m_path = path;
    return true;
}

void HelpDocument::SetHtml(const QString& source, const QString& folder)
{
    m_path.clear();
    m_folder = folder;
    m_headings.clear();
    m_starts.clear();
    m_ends.clear();

    static const QRegularExpression titleRx(QStringLiteral("<title[^>]*>(.*?)</title>"),
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch title = titleRx.match(source);
    m_title = title.hasMatch() ? PlainText(title.captured(1)) : QString();

    static const QRegularExpression headingRx(
        QStringLiteral("<h([23])(\\s[^>]*)?>(.*?)</h\\1\\s*>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression idRx(QStringLiteral("\\bid\\s*=\\s*[\"']([^\"']+)[\"']"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression nameRx(
        QStringLiteral("<a\\s[^>]*\\bname\\s*=\\s*[\"']([^\"']+)[\"']"),
        QRegularExpression::CaseInsensitiveOption);

    // Rebuild the page, giving every heading with an id an <a name> as well.
    m_html.clear();
    m_html.reserve(source.size() + 1024);
    qsizetype copied = 0;
    auto it = headingRx.globalMatch(source);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        m_html += source.mid(copied, m.capturedStart() - copied);
        copied = m.capturedEnd();

        HelpHeading heading;
        heading.level = m.captured(1).toInt();
        heading.title = PlainText(m.captured(3));
        const QRegularExpressionMatch id = idRx.match(m.captured(2));
        const QRegularExpressionMatch name = nameRx.match(m.captured(3));
        QString inner = m.captured(3);
        if (id.hasMatch()) {
            heading.anchor = id.captured(1);
            if (!name.hasMatch())
                inner.prepend(QStringLiteral("<a name=\"%1\"></a>").arg(heading.anchor));
        } else if (name.hasMatch()) {
            heading.anchor = name.captured(1);
        }
        if (!m_starts.isEmpty()) // the previous section ends here
            m_ends << m_html.size();
        m_starts << m_html.size();
        m_html += QStringLiteral("<h%1%2>%3</h%1>").arg(m.captured(1), m.captured(2), inner);
        m_headings << heading;
    }
    m_html += source.mid(copied);
    if (!m_starts.isEmpty()) {
        static const QRegularExpression bodyEndRx(QStringLiteral("</body\\s*>"),
                                                  QRegularExpression::CaseInsensitiveOption);
        const qsizetype end = m_html.indexOf(bodyEndRx, m_starts.last());
        m_ends << (end >= 0 ? end : m_html.size());
    }
}

QList<HelpIndexEntry> HelpDocument::IndexEntries() const
{
    QHash<QString, int> uses;
    for (const HelpHeading& h : m_headings)
        if (!h.anchor.isEmpty() && !h.title.isEmpty())
            ++uses[h.title];
    QList<HelpIndexEntry> entries;
    const HelpHeading* topic = nullptr;
    for (const HelpHeading& h : m_headings) {
        if (h.level == 2)
            topic = &h;
        if (h.anchor.isEmpty() || h.title.isEmpty())
            continue;
        QString text = h.title;
        if (h.level == 3 && topic && uses.value(h.title) > 1)
            text += QStringLiteral(" (%1)").arg(topic->title);
        entries << HelpIndexEntry{text, h.anchor};
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const HelpIndexEntry& a, const HelpIndexEntry& b) {
                         return QString::localeAwareCompare(a.text, b.text) < 0;
                     });
    return entries;
}

QString HelpDocument::ContextAnchor(int contextId)
{
    return QStringLiteral("topic-") + QString::number(contextId);
}

bool HelpDocument::HasAnchor(const QString& anchor) const
{
    if (anchor.isEmpty())
        return false;
    for (const HelpHeading& h : m_headings)
        if (h.anchor == anchor)
            return true;
    return false;
}

QString HelpDocument::SectionText(const QString& anchor) const
{
    for (qsizetype i = 0; i < m_headings.size(); ++i) {
        if (m_headings[i].anchor != anchor || anchor.isEmpty())
            continue;
        const QString html = m_html.mid(m_starts[i], m_ends[i] - m_starts[i]);
        // Keep paragraph breaks: the plain text of a fragment keeps them.
        return QTextDocumentFragment::fromHtml(html).toPlainText().trimmed();
    }
    return {};
}
