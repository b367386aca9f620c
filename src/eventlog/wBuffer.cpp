#include "eventlog/wBuffer.h"

#include "eventlog/EventBuffer.h"
#include "eventlog/EventExport.h"
#include "eventlog/HeadingImageStyle.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

#include <QAction>
#include <QCollator>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

// The resources of a static library are registered by hand, outside any namespace.
static void InitEventLogResources()
{
    Q_INIT_RESOURCE(eventlog);
}

namespace {

// Columns: heading tag, width at design (twips, 15 to the pixel at 96 dpi)
// and alignment.
constexpr int ColumnTags[EventColumns] = {102115, 102110, 102111, 102112, 102113, 102114};
// tooltips: 102110-102115
constexpr int DesignWidths[EventColumns] = {1138, 1879, 2355, 1983, 2461, 2540};
constexpr Qt::Alignment ColumnAlignments[EventColumns] = {Qt::AlignLeft,    Qt::AlignRight,
                                                          Qt::AlignRight,   Qt::AlignHCenter,
                                                          Qt::AlignHCenter, Qt::AlignHCenter};

constexpr int CaptionTag = 102101;
constexpr int PanelLabelTag = 102102;
// tooltips: 102102

// Rows visible when the window opens.
constexpr int VisibleRows = 16;

// The list compares cell texts as text, letter case aside and accented
// letters beside their plain ones; the fixed-width numbers and times sort in
// numeric order that way.
class EventItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return collator().compare(text(column), other.text(column)) < 0;
    }

private:
    static const QCollator& collator()
    {
        static const QCollator c = [] {
            QCollator made;
            made.setCaseSensitivity(Qt::CaseInsensitive);
            return made;
        }();
        return c;
    }
};

} // namespace

wBuffer::wBuffer(PanelLink& link, QWidget* parent) : QDialog(parent), m_link(link)
{
    InitEventLogResources();
    setObjectName(QStringLiteral("wBuffer"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_sortUp = QIcon(QStringLiteral(":/eventlog/icons/SortUp.svg"));
    m_sortDown = QIcon(QStringLiteral(":/eventlog/icons/SortDown.svg"));

    auto* top = new QHBoxLayout;
    top->addWidget(buildToolBar());
    top->addSpacing(24);
    top->addWidget(buildPanelNumber());
    top->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 0);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addWidget(buildList(), 1);
    auto* sbrStatus = new QStatusBar(this);
    sbrStatus->setObjectName(QStringLiteral("sbrStatus"));
    m_sbrStatus = new QLabel(sbrStatus);
    m_sbrStatus->setObjectName(QStringLiteral("sbrStatusText"));
    sbrStatus->addWidget(m_sbrStatus, 1);
    layout->addWidget(sbrStatus);

    Trap("wBuffer.Form_Load", [&] {
        Nationality();
        fitWindow();
    });
    m_lvwBuffer->setFocus();
}

QToolBar* wBuffer::buildToolBar()
{
    m_tbrTools = new QToolBar(this);
    m_tbrTools->setObjectName(QStringLiteral("tbrTools"));
    m_tbrTools->setIconSize(QSize(16, 16));
    m_tbrTools->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    addButton("mnuEditRefresh")->setShortcut(QKeySequence(Qt::Key_F5));
    addButton("mnuEditCopyBuffer")->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    buildSaveMenu(addButton("mnuFileSave"));
    auto* saveKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(saveKey, &QShortcut::activated, m_saveButton, &QToolButton::showMenu);
    return m_tbrTools;
}

QWidget* wBuffer::buildPanelNumber()
{
    auto* fraPanel = new QFrame(this);
    fraPanel->setObjectName(QStringLiteral("fraPanel"));
    fraPanel->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    m_lblPanelNum = new QLabel(fraPanel);
    m_lblPanelNum->setObjectName(QStringLiteral("lblPanelNum"));
    m_lblPanelNum->setProperty("Tag", PanelLabelTag);
    m_txtPnlNum = new QLineEdit(fraPanel);
    m_txtPnlNum->setObjectName(QStringLiteral("txtPnlNum"));
    m_txtPnlNum->setMaxLength(2);
    m_txtPnlNum->setFixedWidth(m_txtPnlNum->fontMetrics().horizontalAdvance(QStringLiteral("000")) +
                               16);
    m_lblPanelNum->setBuddy(m_txtPnlNum);
    auto* layout = new QHBoxLayout(fraPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lblPanelNum);
    layout->addWidget(m_txtPnlNum);
    connect(m_txtPnlNum, &QLineEdit::textChanged, this,
            [this] { setWindowTitle(GetCaption(CaptionTag) + PanelNumber()); });
    connect(m_txtPnlNum, &QLineEdit::returnPressed, this, &wBuffer::refresh);
    return fraPanel;
}

QTreeWidget* wBuffer::buildList()
{
    m_lvwBuffer = new QTreeWidget(this);
    m_lvwBuffer->setObjectName(QStringLiteral("lvwBuffer"));
    m_lvwBuffer->setColumnCount(EventColumns);
    m_lvwBuffer->setRootIsDecorated(false);
    m_lvwBuffer->setUniformRowHeights(true);
    m_lvwBuffer->setAlternatingRowColors(true);
    m_lvwBuffer->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lvwBuffer->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lvwBuffer->setAllColumnsShowFocus(true);
    QHeaderView* header = m_lvwBuffer->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setSectionsMovable(false);
    auto* headingStyle = new HeadingImageStyle;
    headingStyle->setParent(header);
    header->setStyle(headingStyle);
    for (int column = 0; column < EventColumns; ++column)
        m_lvwBuffer->headerItem()->setTextAlignment(column,
                                                    ColumnAlignments[column] | Qt::AlignVCenter);
    connect(header, &QHeaderView::sectionClicked, this, &wBuffer::lvwBuffer_ColumnClick);
    auto* copyRows = new QAction(m_lvwBuffer);
    copyRows->setObjectName(QStringLiteral("copySelection"));
    copyRows->setShortcut(QKeySequence::Copy);
    copyRows->setShortcutContext(Qt::WidgetShortcut);
    m_lvwBuffer->addAction(copyRows);
    connect(copyRows, &QAction::triggered, this, &wBuffer::copySelection);
    // Ctrl+1 to Ctrl+6 click the headings, for those who work with the keyboard.
    for (int column = 0; column < EventColumns; ++column) {
        auto* sortKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + column)), this);
        connect(sortKey, &QShortcut::activated, this,
                [this, column] { lvwBuffer_ColumnClick(column); });
    }
    return m_lvwBuffer;
}

QAction* wBuffer::addButton(const char* key)
{
    const QString name = QString::fromLatin1(key);
    auto* button = new QAction(m_tbrTools);
    button->setObjectName(name);
    button->setProperty("Key", name);
    button->setIcon(QIcon(QStringLiteral(":/eventlog/icons/") + name + QStringLiteral(".svg")));
    m_tbrTools->addAction(button);
    // Reachable with Tab, for those who work with the keyboard.
    m_tbrTools->widgetForAction(button)->setFocusPolicy(Qt::TabFocus);
    connect(button, &QAction::triggered, this, [this, name] { tbrTools_ButtonClick(name); });
    return button;
}

void wBuffer::buildSaveMenu(QAction* save)
{
    m_saveMenu = new QMenu(this);
    m_saveMenu->setObjectName(QStringLiteral("SaveFormats"));
    const struct
    {
        const char* key;
        int tag;
    } formats[] = {{"TEXT", 102105}, {"CSV_FR", 102106}, {"CSV_EN", 102107}};
    // tags: 102105-102107
    for (const auto& format : formats) {
        const QString key = QString::fromLatin1(format.key);
        QAction* entry = m_saveMenu->addAction(key);
        entry->setObjectName(key);
        entry->setProperty("Tag", format.tag);
        connect(entry, &QAction::triggered, this, [this, key] { tbrTools_ButtonMenuClick(key); });
    }
    m_saveButton = qobject_cast<QToolButton*>(m_tbrTools->widgetForAction(save));
    m_saveButton->setMenu(m_saveMenu);
    m_saveButton->setPopupMode(QToolButton::MenuButtonPopup);
}

QString wBuffer::PanelNumber() const
{
    return m_txtPnlNum->text();
}

void wBuffer::SetPanelNumber(int slave)
{
    m_txtPnlNum->setText(QString::number(slave));
}

void wBuffer::Nationality()
{
    Trap("wBuffer.Nationality", [&] {
        setWindowTitle(GetCaption(CaptionTag) + PanelNumber());
        m_lblPanelNum->setText(GetCaption(PanelLabelTag));
        m_lblPanelNum->setToolTip(GetToolTip(PanelLabelTag));
        m_txtPnlNum->setToolTip(GetToolTip(PanelLabelTag));
        QTreeWidgetItem* headings = m_lvwBuffer->headerItem();
        for (int column = 0; column < EventColumns; ++column) {
            headings->setText(column, GetCaption(ColumnTags[column]));
            headings->setToolTip(column, GetToolTip(ColumnTags[column]));
        }
        for (QAction* entry : m_saveMenu->actions())
            entry->setText(GetCaption(entry->property("Tag").toInt()));
        for (QAction* button : m_tbrTools->actions()) {
            const QString key = button->property("Key").toString();
            const QString tip = key.isEmpty() ? QString() : GetMenuToolTip(key);
            if (!tip.isNull()) {
                button->setText(tip);
                button->setToolTip(tip);
            }
        }
        fitColumns(false);
    });
}

bool wBuffer::ReadBuffer(std::uint8_t slave)
{
    return Trap("wBuffer.ReadBuffer", [&] {
        m_lvwBuffer->clear();
        m_sbrStatus->setText(BufferStatusLine(QDateTime::currentDateTime()));
        QList<EventRow> rows;
        BufferReadResult result = BufferReadResult::Failed;
        {
            BusyPointer busy;
            result = ReadEventBuffer(m_link, slave, rows);
            // After a failure the rows read before it stay.
            addRows(rows);
        }
        ShowBufferMessage(ReadResultMessage(result));
        return result != BufferReadResult::Failed;
    });
}

void wBuffer::addRows(const QList<EventRow>& rows)
{
    QTreeWidgetItem* last = nullptr;
    for (const EventRow& row : rows) {
        last = new EventItem(m_lvwBuffer);
        for (int column = 0; column < EventColumns; ++column) {
            last->setText(column, row[column]);
            last->setTextAlignment(column, ColumnAlignments[column] | Qt::AlignVCenter);
        }
    }
    applySort();
    fitColumns(true);
    if (!isVisible())
        fitWindow();
    if (last) {
        // The newest event in view, and the keyboard's place in the list.
        m_lvwBuffer->scrollToItem(last);
        m_lvwBuffer->selectionModel()->setCurrentIndex(m_lvwBuffer->indexFromItem(last),
                                                       QItemSelectionModel::NoUpdate);
    }
}

int wBuffer::RowCount() const
{
    return m_lvwBuffer->topLevelItemCount();
}

QList<EventRow> wBuffer::Rows() const
{
    QList<EventRow> rows;
    for (int i = 0; i < m_lvwBuffer->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_lvwBuffer->topLevelItem(i);
        EventRow row;
        for (int column = 0; column < EventColumns; ++column)
            row[column] = item->text(column);
        rows.append(row);
    }
    return rows;
}

QStringList wBuffer::Headings() const
{
    QStringList headings;
    for (int column = 0; column < EventColumns; ++column)
        headings.append(m_lvwBuffer->headerItem()->text(column));
    return headings;
}

QString wBuffer::StatusText() const
{
    return m_sbrStatus->text();
}

QString wBuffer::Preamble() const
{
    return BufferPreamble(m_lblPanelNum->text(), PanelNumber(), StatusText());
}

void wBuffer::lvwBuffer_ColumnClick(int column)
{
    Trap("wBuffer.lvwBuffer_ColumnClick", [&] {
        if (column < 0 || column >= EventColumns)
            return;
        QTreeWidgetItem* headings = m_lvwBuffer->headerItem();
        if (column == m_sortColumn) {
            m_sortOrder =
                m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        } else {
            for (int k = 0; k < EventColumns; ++k)
                headings->setIcon(k, QIcon());
            m_sortColumn = column;
            m_sortOrder = Qt::AscendingOrder;
        }
        m_sorted = true;
        headings->setIcon(column, m_sortOrder == Qt::DescendingOrder ? m_sortDown : m_sortUp);
        applySort();
    });
}

void wBuffer::applySort()
{
    if (m_sorted)
        m_lvwBuffer->sortItems(m_sortColumn, m_sortOrder);
}

void wBuffer::fitColumns(bool widenOnly)
{
    // The design's proportions, each column at least as wide as its heading
    // (with room for the sort image) and its widest cell.
    const double scale = logicalDpiX() / 96.0;
    const int imageRoom = m_tbrTools->iconSize().width() + 8;
    QHeaderView* header = m_lvwBuffer->header();
    const QFontMetrics headerFont(header->font());
    const int margins = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 8;
    for (int column = 0; column < EventColumns; ++column) {
        const int design = qRound(DesignWidths[column] / 15.0 * scale);
        const int heading = headerFont.horizontalAdvance(m_lvwBuffer->headerItem()->text(column)) +
                            margins + imageRoom;
        const int cells =
            static_cast<const QAbstractItemView*>(m_lvwBuffer)->sizeHintForColumn(column) + 8;
        int width = std::max({design, heading, cells});
        if (widenOnly)
            width = std::max(width, m_lvwBuffer->columnWidth(column));
        m_lvwBuffer->setColumnWidth(column, width);
    }
}

void wBuffer::fitWindow()
{
    int listWidth = 2 * m_lvwBuffer->frameWidth() +
                    style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_lvwBuffer) + 2;
    for (int column = 0; column < EventColumns; ++column)
        listWidth += m_lvwBuffer->columnWidth(column);
    const int rowHeight =
        std::max(m_lvwBuffer->fontMetrics().height() + 6, m_lvwBuffer->sizeHintForRow(0));
    const int listHeight = m_lvwBuffer->header()->sizeHint().height() + VisibleRows * rowHeight +
                           2 * m_lvwBuffer->frameWidth();
    m_lvwBuffer->setMinimumSize(listWidth, listHeight);
    QSize wanted = sizeHint();
    m_lvwBuffer->setMinimumSize(0, 0);
    if (const QScreen* screen = this->screen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() * 0.95);
    resize(wanted);
}
