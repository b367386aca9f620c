#include "ListEdit.h"

#include <QAbstractItemView>
#include <QTimer>

ListEdit::ListEdit(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::activated, this, [this] {
        if (m_popupClosing)
            Q_EMIT Chosen();
    });
}

void ListEdit::hidePopup()
{
    // A choice in the list closes it and then reports the activation; a
    // closing for any other reason (Escape, a click outside) reports none.
    m_popupClosing = true;
    QComboBox::hidePopup();
    QTimer::singleShot(0, this, [this] { m_popupClosing = false; });
}
