#include "EditGrid.h"

#include "GridDelegate.h"
#include "GridEvents.h"
#include "GridHeader.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

namespace {
// The editable cells of an EditGrid: its rows below the heading rows and its
// columns right of the fixed column. The fixed column shows as the vertical
// header; the heading rows are painted by GridHeader.
class GridModel : public QAbstractTableModel
{
public:
    explicit GridModel(EditGrid* grid) : QAbstractTableModel(grid), m_grid(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_grid->Rows() - m_grid->FixedRows();
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_grid->Cols() - 1;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const int row = index.row() + m_grid->FixedRows();
        const int col = index.column() + 1;
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return m_grid->TextMatrix(row, col);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(m_grid->ColAlignment(col) | Qt::AlignVCenter);
        case Qt::ToolTipRole:
            return m_grid->toolTip();
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return m_grid->TextMatrix(section + m_grid->FixedRows(), 0);
        return m_grid->TextMatrix(0, section + 1);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (m_grid->ColEditKind(index.column() + 1) != EditGrid::EditKind::None)
            f |= Qt::ItemIsEditable;
        return f;
    }
    void cellChanged(int row, int col)
    {
        if (row < m_grid->FixedRows()) {
            if (col > 0)
                Q_EMIT headerDataChanged(Qt::Horizontal, col - 1, col - 1);
            return;
        }
        if (col == 0) {
            Q_EMIT headerDataChanged(Qt::Vertical, row - m_grid->FixedRows(),
                                     row - m_grid->FixedRows());
            return;
        }
        const QModelIndex i = index(row - m_grid->FixedRows(), col - 1);
        Q_EMIT dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
    }

private:
    EditGrid* m_grid;
};

bool IsMouseTrigger(QAbstractItemView::EditTrigger trigger)
{
    return trigger == QAbstractItemView::DoubleClicked ||
           trigger == QAbstractItemView::SelectedClicked;
}
} // namespace

EditGrid::EditGrid(int rows, int cols, int fixedRows, QWidget* parent)
    : QTableView(parent), m_rows(rows), m_cols(cols), m_fixedRows(fixedRows)
{
    for (int r = 0; r < rows; ++r)
        m_cells << QStringList(QList<QString>(cols));
    m_alignments = QList<Qt::Alignment>(cols, Qt::AlignCenter);
    m_kinds = QList<EditKind>(cols, EditKind::None);
    m_mergeRows = QList<bool>(fixedRows, false);

    m_model = new GridModel(this);
    setModel(m_model);
    m_header = new GridHeader(this);
    setHorizontalHeader(m_header);
    m_header->setModel(m_model);
    setItemDelegate(new GridDelegate(this));

    const int height = RowHeight();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(height);
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(8);
    setCornerButtonEnabled(false);

    // The fixed column's headings sit over the corner of the two headers.
    m_corner = new QWidget(this);
    m_corner->setObjectName(QStringLiteral("gridCorner"));
    m_corner->installEventFilter(this);

    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setTabKeyNavigation(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    connect(qApp, &QApplication::focusChanged, this, &EditGrid::focusChanged);
}

EditGrid::~EditGrid()
{
    disconnect(qApp, &QApplication::focusChanged, this, &EditGrid::focusChanged);
}

QString EditGrid::TextMatrix(int row, int col) const
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        return QString();
    return m_cells[row][col];
}

void EditGrid::SetTextMatrix(int row, int col, const QString& text)
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols || m_cells[row][col] == text)
        return;
    m_cells[row][col] = text;
    static_cast<GridModel*>(m_model)->cellChanged(row, col);
    if (row < m_fixedRows) {
        m_header->viewport()->update();
        m_corner->update();
    }
}

void EditGrid::SetColWidth(int col, int width)
{
    if (col == 0) {
        m_fixedColWidth = width;
        verticalHeader()->setFixedWidth(width);
    } else if (col > 0 && col < m_cols)
        setColumnWidth(col - 1, width);
    updateGeometries();
}

int EditGrid::ColWidth(int col) const
{
    if (col == 0)
        return m_fixedColWidth;
    return columnWidth(col - 1);
}

void EditGrid::SetFormat(const QString& alignments)
{
    const QStringList parts = alignments.split(QLatin1Char('|'));
    for (int c = 0; c < parts.size() && c < m_cols; ++c) {
        const QString& a = parts[c];
        m_alignments[c] = a == QLatin1String("<")   ? Qt::AlignLeft
                          : a == QLatin1String(">") ? Qt::AlignRight
                                                    : Qt::AlignCenter;
    }
    viewport()->update();
}

Qt::Alignment EditGrid::ColAlignment(int col) const
{
    return col >= 0 && col < m_cols ? m_alignments[col] : Qt::AlignCenter;
}

void EditGrid::SetColEditKind(int col, EditKind kind)
{
    if (col >= 0 && col < m_cols)
        m_kinds[col] = kind;
}

EditGrid::EditKind EditGrid::ColEditKind(int col) const
{
    return col >= 0 && col < m_cols ? m_kinds[col] : EditKind::None;
}

void EditGrid::SetMergeRow(int row, bool merge)
{
    if (row >= 0 && row < m_fixedRows)
        m_mergeRows[row] = merge;
    m_header->viewport()->update();
}

bool EditGrid::MergeRow(int row) const
{
    return row >= 0 && row < m_fixedRows && m_mergeRows[row];
}

void EditGrid::SetSeparators(const QList<int>& cols)
{
    m_separators = cols;
    viewport()->update();
}

int EditGrid::RowHeight() const
{
    // At least 21 pixels, and high enough for a cell's drop-down or up-down.
    static const int editorHeight = [] {
        QComboBox probe;
        return probe.sizeHint().height();
    }();
    return std::max({21, fontMetrics().height() + 8, editorHeight});
}

int EditGrid::FullWidth() const
{
    int width = m_fixedColWidth + 2 * frameWidth();
    for (int c = 1; c < m_cols; ++c)
        width += columnWidth(c - 1);
    return width;
}

int EditGrid::FullHeight() const
{
    return m_rows * RowHeight() + 2 * frameWidth();
}

QSize EditGrid::sizeHint() const
{
    return {FullWidth(), FullHeight()};
}

QSize EditGrid::minimumSizeHint() const
{
    return {m_fixedColWidth + 120, (m_fixedRows + 3) * RowHeight()};
}

QModelIndex EditGrid::modelIndex(int row, int col) const
{
    return m_model->index(row - m_fixedRows, col - 1);
}

int EditGrid::Row() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? GridRow(current) : m_fixedRows;
}

int EditGrid::Col() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? GridCol(current) : 1;
}

void EditGrid::SetCurrentCell(int row, int col)
{
    const QModelIndex index = modelIndex(row, col);
    if (index.isValid())
        setCurrentIndex(index);
}

bool EditGrid::EditCell()
{
    const QModelIndex current = currentIndex();
    return current.isValid() && edit(current, EditKeyPressed, nullptr);
}

QWidget* EditGrid::CellEditor() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? indexWidget(current) : nullptr;
}

void EditGrid::CommitEdit()
{
    QWidget* editor = CellEditor();
    if (!editor)
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void EditGrid::CommitText(const QModelIndex& index, const QString& text)
{
    // A message shown while the text is stored takes the focus from the
    // editor, which would commit it a second time.
    if (m_committing)
        return;
    m_committing = true;
    const int row = GridRow(index);
    const int col = GridCol(index);
    const QString previous = TextMatrix(row, col);
    SetTextMatrix(row, col, text);
    bool cancel = false;
    if (m_events)
        m_events->AfterUpdate(row, col, previous, cancel);
    if (cancel)
        SetTextMatrix(row, col, previous);
    m_committing = false;
}

void EditGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // The grid takes the keyboard back from its editor, also when a message
    // about the edit had it meanwhile (the window gives it back to the grid
    // once the message closes).
    if (editor && window()->focusWidget() &&
        (window()->focusWidget() == editor || editor->isAncestorOf(window()->focusWidget())))
        setFocus();
    QTableView::closeEditor(editor, hint);
}

bool EditGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (trigger == NoEditTriggers || !index.isValid() || m_committing)
        return QTableView::edit(index, trigger, event);
    const int row = GridRow(index);
    const int col = GridCol(index);
    const EditKind kind = ColEditKind(col);
    if (kind == EditKind::None)
        return false;
    // Typing starts an up-down edit only with a digit.
    if (trigger == AnyKeyPressed && kind == EditKind::UpDown && event &&
        event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed.isEmpty() || !typed.at(0).isDigit())
            return false;
    }
    bool cancel = false;
    if (m_events)
        m_events->BeforeUpdate(row, col, cancel);
    if (cancel)
        return false;
    if (!QTableView::edit(index, trigger, event))
        return false;
    if (auto* list = qobject_cast<QComboBox*>(indexWidget(index))) {
        if (IsMouseTrigger(trigger))
            QTimer::singleShot(0, list, [list] { list->showPopup(); });
    }
    return true;
}

void EditGrid::keyboardSearch(const QString& /*search*/)
{
    // Typed letters edit the current cell; they never jump to another row.
}

void EditGrid::keyPressEvent(QKeyEvent* event)
{
    // Ctrl+Tab belongs to the pages around the grid.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        (event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    QTableView::keyPressEvent(event);
}

void EditGrid::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    // The column separators, through the rows.
    QPainter painter(viewport());
    const int bottom = viewport()->height();
    for (int col : m_separators) {
        if (col < 1 || col >= m_cols)
            continue;
        const int x = columnViewportPosition(col - 1);
        painter.setPen(palette().color(QPalette::Shadow));
        painter.drawLine(x - 1, 0, x - 1, bottom);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(x, 0, x, bottom);
    }
}

void EditGrid::updateGeometries()
{
    QTableView::updateGeometries();
    if (m_corner) {
        const QRect headerArea = horizontalHeader()->geometry();
        const QRect columnArea = verticalHeader()->geometry();
        m_corner->setGeometry(columnArea.left(), headerArea.top(), columnArea.width(),
                              headerArea.height());
        m_corner->raise();
    }
}

bool EditGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_corner && event->type() == QEvent::Paint) {
        m_header->PaintCorner(m_corner);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void EditGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid() && m_events)
        m_events->RowColChange(GridRow(current), GridCol(current));
}

bool EditGrid::ownsFocus(QWidget* widget) const
{
    // Across window boundaries too: the open list of a cell is a window of
    // its own whose parent is the cell's editor.
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w == this)
            return true;
    return false;
}

void EditGrid::focusChanged(QWidget* old, QWidget* now)
{
    Q_UNUSED(old);
    const bool inside = ownsFocus(now);
    if (inside == m_hasFocus)
        return;
    // A message box or list popup of a cell does not take the focus away.
    if (!inside && now == nullptr)
        return;
    m_hasFocus = inside;
    if (!m_events)
        return;
    if (inside)
        m_events->GotFocus();
    else
        m_events->LostFocus();
}
