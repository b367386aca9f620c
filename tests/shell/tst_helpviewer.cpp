// The help window: contents, index with its filter, topics by context id.

#include "shell/HelpViewer.h"
#include "TestFiles.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {
const char* const Page = R"(<html><head><title>Test help</title></head><body>
<h2 id="topic-overview">Overview</h2><p>One.</p>
<h3 id="topic-keys">Keys</h3><p>Two.</p>
<h2 id="topic-220">Inputs page</h2><p>Three.</p>
<h3 id="topic-alarm">Alarm sequence</h3><p>Four.</p>
<h2 id="topic-230">Outputs page</h2><p>Five.</p>
</body></html>)";

QString WritePage(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("help.html"));
    TestFiles::WriteBytes(path, Page);
    return path;
}
} // namespace

class tst_HelpViewer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void contentsTree()
    {
        QTemporaryDir dir;
        HelpViewer viewer;
        QVERIFY(viewer.Load(WritePage(dir)));
        QCOMPARE(viewer.windowTitle(), QStringLiteral("Test help"));
        auto* tree = viewer.findChild<QTreeWidget*>(QStringLiteral("trvContents"));
        QCOMPARE(tree->topLevelItemCount(), 3);
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Overview"));
        QCOMPARE(tree->topLevelItem(0)->childCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->child(0)->text(0), QStringLiteral("Keys"));
        QCOMPARE(tree->topLevelItem(1)->child(0)->text(0), QStringLiteral("Alarm sequence"));
        QCOMPARE(tree->topLevelItem(2)->childCount(), 0);

        // A click on an entry goes to its heading.
        QTreeWidgetItem* alarm = tree->topLevelItem(1)->child(0);
        Q_EMIT tree->itemClicked(alarm, 0);
        QCOMPARE(viewer.CurrentAnchor(), QStringLiteral("topic-alarm"));
    }

    void indexSortedAndFiltered()
    {
        QTemporaryDir dir;
        HelpViewer viewer;
        QVERIFY(viewer.Load(WritePage(dir)));
        auto* index = viewer.findChild<QListWidget*>(QStringLiteral("lstIndex"));
        QStringList titles;
        for (int i = 0; i < index->count(); ++i)
            titles << index->item(i)->text();
        QCOMPARE(titles, (QStringList{"Alarm sequence", "Inputs page", "Keys", "Outputs page",
                                      "Overview"}));

        auto* filter = viewer.findChild<QLineEdit*>(QStringLiteral("txtIndex"));
        filter->setText(QStringLiteral("PAGE"));
        QStringList shown;
        for (int i = 0; i < index->count(); ++i)
            if (!index->item(i)->isHidden())
                shown << index->item(i)->text();
        QCOMPARE(shown, (QStringList{"Inputs page", "Outputs page"}));
        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(viewer.CurrentAnchor(), QStringLiteral("topic-220"));
        filter->clear();
        for (int i = 0; i < index->count(); ++i)
            QVERIFY(!index->item(i)->isHidden());
    }

    void topicsById()
    {
        QTemporaryDir dir;
        HelpViewer viewer;
        QVERIFY(viewer.Load(WritePage(dir)));
        QVERIFY(viewer.ShowTopic(230));
        QCOMPARE(viewer.CurrentAnchor(), QStringLiteral("topic-230"));
        QVERIFY(viewer.isVisible());
        auto* tabs = viewer.findChild<QTabWidget*>(QStringLiteral("tbsHelp"));
        QCOMPARE(tabs->currentIndex(), 0);
        auto* tree = viewer.findChild<QTreeWidget*>(QStringLiteral("trvContents"));
        QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Outputs page"));
        // No such topic: the contents, and false.
        QVERIFY(!viewer.ShowTopic(999));
        QCOMPARE(tabs->currentIndex(), 0);
    }

    void searchFocusesTheFilter()
    {
        QTemporaryDir dir;
        HelpViewer viewer;
        QVERIFY(viewer.Load(WritePage(dir)));
        viewer.ShowSearch();
        auto* tabs = viewer.findChild<QTabWidget*>(QStringLiteral("tbsHelp"));
        QCOMPARE(tabs->currentIndex(), 1);
        viewer.SetPaneCaptions(QStringLiteral("Sommaire"), QStringLiteral("Index"));
        QCOMPARE(tabs->tabText(0), QStringLiteral("Sommaire"));
    }

    void unreadableFileKeepsNothing()
    {
        HelpViewer viewer;
        QVERIFY(!viewer.Load(QStringLiteral("/nonexistent/help.html")));
        QVERIFY(viewer.Document().Headings().isEmpty());
    }
};

QTEST_MAIN(tst_HelpViewer)
#include "tst_helpviewer.moc"
