#include "HelpViewer.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr int AnchorRole = Qt::UserRole + 1;
}

HelpViewer::HelpViewer(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("HelpViewer"));
    resize(1080, 660);

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("tbsHelp"));
    m_contents = new QTreeWidget;
    m_contents->setObjectName(QStringLiteral("trvContents"));
    m_contents->setHeaderHidden(true);
    // Long titles scroll sideways instead of being cut.
    m_contents->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_contents->header()->setStretchLastSection(false);
    m_tabs->addTab(m_contents, QStringLiteral("Contents"));

    auto* indexPage = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(4, 4, 4, 4);
    m_indexFilter = new QLineEdit;
    m_indexFilter->setObjectName(QStringLiteral("txtIndex"));
    m_indexFilter->setClearButtonEnabled(true);
    m_index = new QListWidget;
    m_index->setObjectName(QStringLiteral("lstIndex"));
    indexLayout->addWidget(m_indexFilter);
    indexLayout->addWidget(m_index);
    m_tabs->addTab(indexPage, QStringLiteral("Index"));

    m_browser = new QTextBrowser;
    m_browser->setObjectName(QStringLiteral("brwTopic"));
    m_browser->setOpenExternalLinks(true);

    auto* splitter = new QSplitter;
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({380, 700});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    auto open = [this](const QString& anchor) {
        if (!anchor.isEmpty())
            GoTo(anchor);
    };
    connect(m_contents, &QTreeWidget::itemActivated, this,
            [open](QTreeWidgetItem* item) { open(item->data(0, AnchorRole).toString()); });
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [open](QTreeWidgetItem* item) { open(item->data(0, AnchorRole).toString()); });
    connect(m_index, &QListWidget::itemActivated, this,
            [open](QListWidgetItem* item) { open(item->data(AnchorRole).toString()); });
    connect(m_index, &QListWidget::itemClicked, this,
            [open](QListWidgetItem* item) { open(item->data(AnchorRole).toString()); });
    connect(m_indexFilter, &QLineEdit::textChanged, this, &HelpViewer::FilterIndex);
    connect(m_indexFilter, &QLineEdit::returnPressed, this, [this, open] {
        for (int i = 0; i < m_index->count(); ++i)
            if (!m_index->item(i)->isHidden()) {
                open(m_index->item(i)->data(AnchorRole).toString());
                return;
            }
    });
    // Links inside the page to one of its own headings.
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme().isEmpty() && url.path().isEmpty() && url.hasFragment())
            m_currentAnchor = url.fragment();
    });
}

bool HelpViewer::Load(const QString& path)
{
    HelpDocument document;
    if (!document.Load(path))
        return false;
    m_document = document;
    m_browser->setSearchPaths({m_document.Folder()});
    m_browser->document()->setBaseUrl(QUrl::fromLocalFile(m_document.Folder() + QLatin1Char('/')));
    m_browser->setHtml(m_document.Html());
    m_currentAnchor.clear();
    setWindowTitle(m_document.Title());
    FillContents();
    FillIndex();
    return true;
}

void HelpViewer::SetPaneCaptions(const QString& contents, const QString& index)
{
    m_tabs->setTabText(0, contents);
    m_tabs->setTabText(1, index);
}

void HelpViewer::FillContents()
{
    m_contents->clear();
    QTreeWidgetItem* topic = nullptr;
    for (const HelpHeading& h : m_document.Headings()) {
        QTreeWidgetItem* item = nullptr;
        if (h.level == 3 && topic)
            item = new QTreeWidgetItem(topic);
        else
            item = new QTreeWidgetItem(m_contents);
        if (h.level == 2)
            topic = item;
        item->setText(0, h.title);
        item->setToolTip(0, h.title);
        item->setData(0, AnchorRole, h.anchor);
    }
}

void HelpViewer::FillIndex()
{
    m_index->clear();
    for (const HelpIndexEntry& entry : m_document.IndexEntries()) {
        auto* item = new QListWidgetItem(entry.text, m_index);
        item->setData(AnchorRole, entry.anchor);
    }
}

void HelpViewer::FilterIndex(const QString& text)
{
    const QString wanted = text.trimmed();
    bool selected = false;
    for (int i = 0; i < m_index->count(); ++i) {
        QListWidgetItem* item = m_index->item(i);
        const bool shown = wanted.isEmpty() || item->text().contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && !selected && !wanted.isEmpty()) {
            m_index->setCurrentItem(item);
            selected = true;
        }
    }
}

void HelpViewer::GoTo(const QString& anchor)
{
    m_currentAnchor = anchor;
    m_browser->scrollToAnchor(anchor);
}

void HelpViewer::Present()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void HelpViewer::ShowContents()
{
    m_tabs->setCurrentIndex(0);
    Present();
    if (m_currentAnchor.isEmpty() && !m_document.Headings().isEmpty())
        GoTo(m_document.Headings().first().anchor);
}

void HelpViewer::ShowIndex()
{
    m_tabs->setCurrentIndex(1);
    Present();
}

void HelpViewer::ShowSearch()
{
    ShowIndex();
    m_indexFilter->setFocus();
    m_indexFilter->selectAll();
}

bool HelpViewer::ShowTopic(int contextId)
{
    const QString anchor = HelpDocument::ContextAnchor(contextId);
    if (!m_document.HasAnchor(anchor)) {
        ShowContents();
        return false;
    }
    m_tabs->setCurrentIndex(0);
    const auto found =
        m_contents->findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive);
    for (QTreeWidgetItem* item : found)
        if (item->data(0, AnchorRole).toString() == anchor) {
            m_contents->setCurrentItem(item);
            break;
        }
    Present();
    GoTo(anchor);
    return true;
}
