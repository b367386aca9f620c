// Indexing of the help files: topics, sections, anchors, section texts, and
// the shipped files in every language.

#include "shell/HelpDocument.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
const char* const Page = R"(<html><head><title>Orvel &amp; help</title></head><body>
<h1>Orvel</h1>
<p>Intro.</p>
<h2 id="topic-overview">About the console</h2>
<p>First paragraph.</p>
<h3 id="topic-menus">Menus &amp; keys</h3>
<p>Menu text.</p>
<h2 ID='topic-220'>Inputs <i>page</i></h2>
<p>Inputs text.</p>
<h3><a name="topic-221">Columns</a></h3>
<p>Columns text.</p>
<h3>No anchor</h3>
<p>Loose text.</p>
</body></html>)";
} // namespace

class tst_HelpDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headingsInOrder()
    {
        HelpDocument doc;
        doc.SetHtml(QString::fromUtf8(Page));
        QCOMPARE(doc.Title(), QStringLiteral("Orvel & help"));
        const QList<HelpHeading>& h = doc.Headings();
        QCOMPARE(h.size(), 5);
        QCOMPARE(h[0].level, 2);
        QCOMPARE(h[0].anchor, QStringLiteral("topic-overview"));
        QCOMPARE(h[0].title, QStringLiteral("About the console"));
        QCOMPARE(h[1].level, 3);
        QCOMPARE(h[1].title, QStringLiteral("Menus & keys"));
        QCOMPARE(h[2].anchor, QStringLiteral("topic-220"));
        QCOMPARE(h[2].title, QStringLiteral("Inputs page"));
        QCOMPARE(h[3].anchor, QStringLiteral("topic-221"));
        QCOMPARE(h[3].title, QStringLiteral("Columns"));
        QCOMPARE(h[4].anchor, QString());
        QCOMPARE(h[4].title, QStringLiteral("No anchor"));
    }

    void anchorsForTheBrowser()
    {
        HelpDocument doc;
        doc.SetHtml(QString::fromUtf8(Page));
        // A heading with an id gets a named anchor; one that has a named
        // anchor already keeps just that one.
        QVERIFY(doc.Html().contains(QStringLiteral("<a name=\"topic-overview\"></a>")));
        QVERIFY(doc.Html().contains(QStringLiteral("<a name=\"topic-220\"></a>")));
        QCOMPARE(doc.Html().count(QStringLiteral("topic-221")), 1);
        QVERIFY(doc.Html().contains(QStringLiteral("<p>Loose text.</p>")));
        QVERIFY(doc.Html().contains(QStringLiteral("<h1>Orvel</h1>")));
    }

    void contextAnchors()
    {
        QCOMPARE(HelpDocument::ContextAnchor(220), QStringLiteral("topic-220"));
        HelpDocument doc;
        doc.SetHtml(QString::fromUtf8(Page));
        QVERIFY(doc.HasAnchor(QStringLiteral("topic-220")));
        QVERIFY(doc.HasAnchor(QStringLiteral("topic-221")));
        QVERIFY(!doc.HasAnchor(QStringLiteral("topic-230")));
        QVERIFY(!doc.HasAnchor(QString()));
    }

    void sectionTexts()
    {
        HelpDocument doc;
        doc.SetHtml(QString::fromUtf8(Page));
        const QString overview = doc.SectionText(QStringLiteral("topic-overview"));
        QVERIFY(overview.startsWith(QStringLiteral("About the console")));
        QVERIFY(overview.contains(QStringLiteral("First paragraph.")));
        QVERIFY(!overview.contains(QStringLiteral("Menu text.")));
        const QString columns = doc.SectionText(QStringLiteral("topic-221"));
        QVERIFY(columns.contains(QStringLiteral("Columns text.")));
        QVERIFY(!columns.contains(QStringLiteral("Loose text.")));
        QCOMPARE(doc.SectionText(QStringLiteral("topic-999")), QString());
    }

    // Each index entry names one heading: a section title that another
    // heading shares is followed by its topic, in any order of the page.
    void indexEntries()
    {
        HelpDocument doc;
        doc.SetHtml(QStringLiteral(R"(
<h2 id="a">Main window</h2><h3 id="a1">Tool bar</h3><h3 id="a2">Status bar</h3>
<h2 id="b">Event list</h2><h3 id="b1">Tool bar</h3><h3>Tool bar</h3>
<h2 id="c">Panel window</h2><h3 id="c1">Status bar</h3><h3 id="c2">Pages</h3>
<h2 id="d">Tool bar</h2>)"));
        const QList<HelpIndexEntry> expected = {
            {"Event list", "b"},
            {"Main window", "a"},
            {"Pages", "c2"},
            {"Panel window", "c"},
            {"Status bar (Main window)", "a2"},
            {"Status bar (Panel window)", "c1"},
            {"Tool bar", "d"},
            {"Tool bar (Event list)", "b1"},
            {"Tool bar (Main window)", "a1"},
        };
        QCOMPARE(doc.IndexEntries(), expected);
    }

    void loadFromFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("help.html"));
        TestFiles::WriteBytes(path, QByteArray("<h2 id=\"topic-1\">Caf\xc3\xa9</h2><p>x</p>"));
        HelpDocument doc;
        QVERIFY(doc.Load(path));
        QCOMPARE(doc.Path(), path);
        QCOMPARE(doc.Folder(), dir.path());
        QCOMPARE(doc.Headings().value(0).title, QString::fromUtf8("Caf\xc3\xa9"));
        QVERIFY(!doc.Load(dir.filePath(QStringLiteral("missing.html"))));
    }

    // The help of each language has the topics the console opens by id.
    void shippedHelpFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("English") << QStringLiteral("orvel-en.html");
        QTest::newRow("Français") << QStringLiteral("orvel-fr.html");
        QTest::newRow("Español") << QStringLiteral("orvel-es.html");
    }
    void shippedHelpFiles()
    {
        QFETCH(QString, file);
        HelpDocument doc;
        QVERIFY(doc.Load(QStringLiteral(ORVEL_BIN_DIR "/") + file));
        QVERIFY(!doc.Title().isEmpty());
        for (int id : {220, 230, 240, 250, 103000, 103100})
            QVERIFY2(doc.HasAnchor(HelpDocument::ContextAnchor(id)),
                     qPrintable(QString::number(id)));
        int topics = 0;
        for (const HelpHeading& h : doc.Headings()) {
            QVERIFY2(!h.title.isEmpty(), qPrintable(h.anchor));
            QVERIFY2(!h.title.contains(QLatin1Char('#')), qPrintable(h.title));
            topics += h.level == 2 ? 1 : 0;
        }
        QVERIFY(topics >= 10);
        QStringList entries;
        for (const HelpIndexEntry& entry : doc.IndexEntries())
            entries << entry.text;
        entries.removeDuplicates();
        QCOMPARE(entries.size(), doc.IndexEntries().size());
    }
};

QTEST_MAIN(tst_HelpDocument)
#include "tst_helpdocument.moc"
