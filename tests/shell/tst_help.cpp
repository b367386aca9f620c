// Help: the help file's topics, anchors, section texts and index, the
// shipped files, the help window, and the main window's Help commands.

#include "ShellFixture.h"

#include "shell/HelpDocument.h"
#include "shell/HelpViewer.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTreeWidget>

using namespace Shell;

namespace {
const char* const Page = R"(<html><head><title>Orvel &amp; help</title></head><body>
<h1>Orvel</h1><p>Intro.</p>
<h2 id="topic-overview">About the console</h2><p>First paragraph.</p>
<h3 id="topic-menus">Menus &amp; keys</h3><p>Menu text.</p>
<h2 ID='topic-220'>Inputs <i>page</i></h2><p>Inputs text.</p>
<h3><a name="topic-221">Columns</a></h3><p>Columns text.</p>
<h3>No anchor</h3><p>Loose text.</p>
<h2 id="topic-230">Outputs page</h2><p>Five.</p>
</body></html>)";

QStringList Shown(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        if (!list->item(i)->isHidden())
            texts << list->item(i)->text();
    return texts;
}
} // namespace

class tst_Help : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_page;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(UseShippedData());
        m_page = m_dir.filePath(QStringLiteral("help.html"));
        TestFiles::WriteBytes(m_page, Page);
    }

    // Headings 2 and 3 with anchor (id or named anchor) and plain title; a
    // section's text runs to the next heading.
    void document()
    {
        HelpDocument doc;
        QVERIFY(doc.Load(m_page));
        QCOMPARE(doc.Title(), QStringLiteral("Orvel & help"));
        QStringList headings;
        for (const HelpHeading& h : doc.Headings())
            headings << QStringLiteral("%1 %2 %3").arg(h.level).arg(h.anchor, h.title);
        QCOMPARE(headings,
                 (QStringList{"2 topic-overview About the console", "3 topic-menus Menus & keys",
                              "2 topic-220 Inputs page", "3 topic-221 Columns", "3  No anchor",
                              "2 topic-230 Outputs page"}));
        QVERIFY(doc.Html().contains("<h1>Orvel</h1>") &&
                doc.Html().contains("<a name=\"topic-overview\"></a>"));
        QCOMPARE(doc.Html().count(QStringLiteral("topic-221")), 1);
        QVERIFY(doc.HasAnchor("topic-221") && !doc.HasAnchor("topic-231") && !doc.HasAnchor({}));
        const QString overview = doc.SectionText(QStringLiteral("topic-overview"));
        QVERIFY(overview.startsWith("About the console") && overview.contains("First paragraph."));
        QVERIFY(!overview.contains("Menu text."));
        const QString columns = doc.SectionText(QStringLiteral("topic-221"));
        QVERIFY(columns.contains("Columns text.") && !columns.contains("Loose text."));
        QVERIFY(doc.SectionText(QStringLiteral("topic-999")).isEmpty());
        QCOMPARE(doc.Folder(), m_dir.path());
        TestFiles::WriteBytes(m_dir.filePath("utf8.html"), "<h2 id=\"t\">Caf\xc3\xa9</h2>");
        QVERIFY(doc.Load(m_dir.filePath("utf8.html")));
        QCOMPARE(doc.Headings().value(0).title, QString::fromUtf8("Caf\xc3\xa9"));
        QVERIFY(!doc.Load(m_dir.filePath(QStringLiteral("missing.html"))));
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

    // The help of each language has the topics the console opens by id.
    void shippedHelpFiles()
    {
        for (const char* file : {"/orvel-en.html", "/orvel-fr.html", "/orvel-es.html"}) {
            HelpDocument doc;
            QVERIFY(doc.Load(BinDir() + file) && !doc.Title().isEmpty());
            for (int id : {220, 230, 240, 250, 103000, 103100})
                QVERIFY2(doc.HasAnchor(HelpDocument::ContextAnchor(id)), file);
            int topics = 0;
            for (const HelpHeading& h : doc.Headings()) {
                QVERIFY2(!h.title.isEmpty() && !h.title.contains('#'), qPrintable(h.anchor));
                topics += h.level == 2;
            }
            QVERIFY(topics >= 10);
        }
    }

    // Contents, index filtered as typed, topics by context id; a file that
    // cannot be read leaves the one shown.
    void viewer()
    {
        HelpViewer viewer;
        QVERIFY(viewer.Load(m_page));
        QCOMPARE(viewer.windowTitle(), QStringLiteral("Orvel & help"));
        auto* tree = child<QTreeWidget>(&viewer, "trvContents");
        QStringList contents;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            contents << tree->topLevelItem(i)->text(0);
            for (int k = 0; k < tree->topLevelItem(i)->childCount(); ++k)
                contents << "- " + tree->topLevelItem(i)->child(k)->text(0);
        }
        QCOMPARE(contents, (QStringList{"About the console", "- Menus & keys", "Inputs page",
                                        "- Columns", "- No anchor", "Outputs page"}));
        Q_EMIT tree->itemClicked(tree->topLevelItem(1)->child(0), 0);
        QCOMPARE(viewer.CurrentAnchor(), QStringLiteral("topic-221"));

        auto* index = child<QListWidget>(&viewer, "lstIndex");
        QCOMPARE(Shown(index), (QStringList{"About the console", "Columns", "Inputs page",
                                            "Menus & keys", "Outputs page"}));
        auto* filter = child<QLineEdit>(&viewer, "txtIndex");
        filter->setText(QStringLiteral("PAGE"));
        QCOMPARE(Shown(index), (QStringList{"Inputs page", "Outputs page"}));
        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(viewer.CurrentAnchor(), QStringLiteral("topic-220"));

        viewer.ShowSearch();
        QVERIFY(viewer.ShowTopic(230) && viewer.isVisible() && !viewer.ShowTopic(999));
        QCOMPARE(viewer.CurrentAnchor(), QStringLiteral("topic-230"));
        QCOMPARE(child<QTabWidget>(&viewer, "tbsHelp")->currentIndex(), 0);
        QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Outputs page"));
        QVERIFY(!viewer.Load(QStringLiteral("/nonexistent/help.html")));
        QCOMPARE(viewer.Document().Path(), m_page); // the file shown stays
    }

    // Contents, Index and Find open the language's help file on their pane,
    // its captions those of the menu items.
    void helpCommands_data()
    {
        QTest::addColumn<int>("pane"); // the row's name: the command
        QTest::newRow("mnuHelpSummary") << 0;
        QTest::newRow("mnuHelpIndex") << 1;
        QTest::newRow("mnuHelpFind") << 1;
    }
    void helpCommands()
    {
        QFETCH(int, pane);
        Console c;
        for (const char* language : {"English", "Español"}) {
            SetCurrentLanguage(QString::fromUtf8(language));
            c.window->Nationality();
            c.item(QTest::currentDataTag())->trigger();
            HelpViewer* help = c.window->Help();
            QVERIFY(help && help->isVisible());
            QCOMPARE(help->Document().Path(), c.window->HelpFile());
            auto* panes = child<QTabWidget>(help, "tbsHelp");
            QCOMPARE(panes->currentIndex(), pane);
            QCOMPARE(panes->tabText(0) + '|' + panes->tabText(1),
                     GetMenuText("mnuHelpSummary").remove('&') + '|' +
                         GetMenuText("mnuHelpIndex").remove('&'));
        }
        QVERIFY(c.window->HelpFile().endsWith("/orvel-es.html") && c.ui.messages.isEmpty());
        SetCurrentLanguage(QStringLiteral("English"));
    }

    // The active window's topic, else the contents; a control's own topic
    // shows beside it, the help window closed.
    void helpContext_data()
    {
        QTest::addColumn<int>("windowId");
        QTest::addColumn<int>("controlId");
        QTest::addColumn<QString>("anchor"); // "" = the first heading; "-": beside the control
        QTest::newRow("inputs page") << 220 << 0 << "topic-220";
        QTest::newRow("no id: contents") << 0 << 0 << "";
        QTest::newRow("unknown id: contents") << 987654 << 0 << "";
        QTest::newRow("control with a topic") << 230 << 220 << "-";
        QTest::newRow("control with an unknown topic") << 230 << 987654 << "";
    }
    void helpContext()
    {
        QFETCH(int, windowId);
        QFETCH(int, controlId);
        QFETCH(QString, anchor);
        Console c;
        c.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(c.window.get()));
        QWidget* document = c.addDocument(QStringLiteral("Panel"));
        document->setProperty("HelpContextID", windowId);
        auto* field = new QLineEdit(document);
        field->setProperty("HelpContextID", controlId);
        field->show();
        c.window->MdiArea()->setActiveSubWindow(c.window->MdiArea()->subWindowList().first());
        field->setFocus();
        c.window->ToolButton(QStringLiteral("mnuHelpContext"))->trigger();
        bool popup = false;
        for (QWidget* top : QApplication::topLevelWidgets())
            popup |= top->isVisible() && QByteArray(top->metaObject()->className()) == "QWhatsThat";
        QCOMPARE(popup, anchor == "-");
        QCOMPARE(c.window->Help() && c.window->Help()->isVisible(), anchor != "-");
        if (anchor != "-")
            QCOMPARE(c.window->Help()->CurrentAnchor(),
                     anchor.isEmpty() ? c.window->Help()->Document().Headings().first().anchor
                                      : anchor);
        QVERIFY(c.ui.messages.isEmpty());
    }
};

QTEST_MAIN(tst_Help)
#include "tst_help.moc"
