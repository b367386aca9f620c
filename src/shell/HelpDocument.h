#pragma once

#include <QList>
#include <QString>

// One help file of the console: an HTML page whose <h2> headings are the
// topics and whose <h3> headings are their sections. A heading carries its
// anchor as id="..." (or as <a name="..."> inside it); the topic of a help
// context id n is the anchor "topic-n".
struct HelpHeading
{
    int level = 2; // 2 = topic, 3 = section of the topic above it
    QString anchor;
    QString title;
};

// One entry of the help index: the text shown and the heading it opens.
struct HelpIndexEntry
{
    QString text;
    QString anchor;

    bool operator==(const HelpIndexEntry&) const = default;
};

class HelpDocument
{
public:
    // Reads and indexes the file; false when it cannot be read.
    bool Load(const QString& path);
    // The same from text (the folder resolves relative links and images).
    void SetHtml(const QString& html, const QString& folder = {});

    const QString& Path() const { return m_path; }
    const QString& Folder() const { return m_folder; }
    const QString& Title() const { return m_title; }
    // The page with an <a name> inserted in every heading that has an id, so
    // a text browser can scroll to it.
    const QString& Html() const { return m_html; }
    const QList<HelpHeading>& Headings() const { return m_headings; }

    // The index: every heading with an anchor, in alphabetical order. Each
    // entry names one heading: a section whose title another heading shares
    // is followed by its topic ("Tool bar (Main window)").
    QList<HelpIndexEntry> IndexEntries() const;

    static QString ContextAnchor(int contextId);
    bool HasAnchor(const QString& anchor) const;
    // Plain text of the heading's section: its title and what follows up to
    // the next heading. "" for an unknown anchor.
    QString SectionText(const QString& anchor) const;

private:
    QString m_path;
    QString m_folder;
    QString m_title;
    QString m_html;
    QList<HelpHeading> m_headings;
    QList<qsizetype> m_starts; // where each heading starts in m_html
    QList<qsizetype> m_ends;   // where each heading's section ends
};
