#pragma once

#include <QList>
#include <QStringList>
#include <QTableView>

class GridEvents;
class GridHeader;
class QAbstractTableModel;

// The grid of the input and output pages: fixed heading rows (the first may
// merge equal neighbouring cells into one heading), a fixed first column, and
// cells that are edited through a drop-down list or an up-down field, as each
// column declares. Cells are addressed as in a sheet, fixed rows and column
// included: row 0 is the first heading row, column 0 the fixed column.
//
// Keyboard: the arrow keys move between cells, typing or F2 starts an edit,
// Enter commits it and Escape cancels it. Every step is reported to the
// owner's GridEvents: the list and range of a cell, the refusal of an edit,
// the new text (which the owner may refuse), the moves and the focus.
class EditGrid : public QTableView
{
    Q_OBJECT

public:
    enum class EditKind
    {
        None,
        List,
        UpDown
    };

    EditGrid(int rows, int cols, int fixedRows, QWidget* parent = nullptr);
    ~EditGrid() override;

    void SetEvents(GridEvents* events) { m_events = events; }
    GridEvents* Events() const { return m_events; }

    int Rows() const { return m_rows; }
    int Cols() const { return m_cols; }
    int FixedRows() const { return m_fixedRows; }
    int FixedCols() const { return 1; }

    QString TextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, const QString& text);

    // Column layout, by the grid's column numbers.
    void SetColWidth(int col, int width);
    int ColWidth(int col) const;
    // One letter per column, "|" separated: "^" centred, "<" left, ">" right.
    void SetFormat(const QString& alignments);
    Qt::Alignment ColAlignment(int col) const;
    void SetColEditKind(int col, EditKind kind);
    EditKind ColEditKind(int col) const;
    // Equal neighbouring texts of this heading row show as one heading.
    void SetMergeRow(int row, bool merge);
    bool MergeRow(int row) const;
    // A double line at the left edge of these columns groups them.
    void SetSeparators(const QList<int>& cols);
    const QList<int>& Separators() const { return m_separators; }
    // Height of every row, headings included.
    int RowHeight() const;
    // The width the grid needs to show every column without scrolling.
    int FullWidth() const;
    int FullHeight() const;
    // The grid wants room for every cell, and can do with less by scrolling.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The current cell.
    int Row() const;
    int Col() const;
    void SetCurrentCell(int row, int col);

    // Starts editing the current cell, as F2 does. False when the cell is not
    // editable or the owner refused.
    bool EditCell();
    // The editor open on the current cell, or null.
    QWidget* CellEditor() const;
    // Finishes the edit in progress: its text is committed.
    void CommitEdit();

    // Called by the cell delegate with the editor's text.
    void CommitText(const QModelIndex& index, const QString& text);
    // The grid row and column of a model index.
    int GridRow(const QModelIndex& index) const { return index.row() + m_fixedRows; }
    int GridCol(const QModelIndex& index) const { return index.column() + 1; }

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void updateGeometries() override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

protected Q_SLOTS:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void focusChanged(QWidget* old, QWidget* now);
    bool ownsFocus(QWidget* widget) const;
    QModelIndex modelIndex(int row, int col) const;

    int m_rows;
    int m_cols;
    int m_fixedRows;
    int m_fixedColWidth = 40;
    QList<QStringList> m_cells;
    QList<Qt::Alignment> m_alignments;
    QList<EditKind> m_kinds;
    QList<bool> m_mergeRows;
    QList<int> m_separators;
    QAbstractTableModel* m_model = nullptr;
    GridHeader* m_header = nullptr;
    QWidget* m_corner = nullptr;
    GridEvents* m_events = nullptr;
    bool m_committing = false;
    bool m_hasFocus = false;
};
