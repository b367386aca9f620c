#include "GridDelegate.h"

#include "EditGrid.h"
#include "GridEvents.h"
#include "ListEdit.h"
#include "UpDownEdit.h"

#include <QAbstractItemView>
#include <QLineEdit>

namespace {
// Typing in an up-down cell may go beyond the arrows' range: the owner
// decides what a typed value means (and refuses it with a message).
constexpr int kTypingMaximum = 999999;
} // namespace

GridDelegate::GridDelegate(EditGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                    const QModelIndex& index) const
{
    const int row = m_grid->GridRow(index);
    const int col = m_grid->GridCol(index);
    GridEvents* events = m_grid->Events();
    switch (m_grid->ColEditKind(col)) {
    case EditGrid::EditKind::List: {
        auto* list = new ListEdit(parent);
        list->setObjectName(QStringLiteral("cellList"));
        QStringList entries;
        if (events)
            events->FillList(row, col, entries);
        list->addItems(entries);
        list->setCurrentIndex(-1);
        connect(list, &ListEdit::Chosen, this, [this, list] {
            auto* self = const_cast<GridDelegate*>(this);
            Q_EMIT self->commitData(list);
            Q_EMIT self->closeEditor(list);
        });
        return list;
    }
    case EditGrid::EditKind::UpDown: {
        auto* upDown = new UpDownEdit(parent);
        upDown->setObjectName(QStringLiteral("cellUpDown"));
        upDown->setAlignment(m_grid->ColAlignment(col));
        int min = 0;
        int max = 0;
        int step = 1;
        if (events)
            events->FillUpDown(row, col, min, max, step);
        upDown->SetArrowRange(min, max, step);
        upDown->SetTypingMaximum(kTypingMaximum);
        return upDown;
    }
    case EditGrid::EditKind::None:
        break;
    }
    return nullptr;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QString text = m_grid->TextMatrix(m_grid->GridRow(index), m_grid->GridCol(index));
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        // A text the list lacks shows as no selection.
        list->setCurrentIndex(list->findText(text, Qt::MatchExactly));
    } else if (auto* upDown = qobject_cast<UpDownEdit*>(editor)) {
        upDown->SetText(text);
        upDown->selectAll();
    }
}

QString GridDelegate::EditorText(QWidget* editor)
{
    if (auto* list = qobject_cast<QComboBox*>(editor))
        return list->currentIndex() < 0 ? QString() : list->currentText();
    if (auto* upDown = qobject_cast<UpDownEdit*>(editor))
        return upDown->Text();
    return QString();
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* /*model*/,
                                const QModelIndex& index) const
{
    m_grid->CommitText(index, EditorText(editor));
}

void GridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex& /*index*/) const
{
    // An editor keeps the room its arrows and text need, over the next
    // cells if the column is narrow.
    QRect rect = option.rect;
    rect.setWidth(std::max(rect.width(), editor->sizeHint().width()));
    editor->setGeometry(rect);
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        // The open list shows its entries whole, however narrow the column.
        int widest = option.rect.width();
        for (int i = 0; i < list->count(); ++i)
            widest =
                std::max(widest, list->fontMetrics().horizontalAdvance(list->itemText(i)) + 24);
        list->view()->setMinimumWidth(widest);
    }
}
