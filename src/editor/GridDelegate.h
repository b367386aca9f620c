#pragma once

#include <QStyledItemDelegate>

class EditGrid;

// The cell editors of an EditGrid: a drop-down list or an up-down field, as
// the column declares, filled from the grid owner's answers; the text chosen
// goes back through the grid, which reports it to the owner.
class GridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit GridDelegate(EditGrid* grid);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The text an editor holds.
    static QString EditorText(QWidget* editor);

private:
    EditGrid* m_grid;
};
