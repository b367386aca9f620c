#pragma once

#include <QComboBox>

// The drop-down of a grid's list cell. A choice made in the open list is
// committed at once (Chosen); with the list closed, the arrow keys and typed
// letters only move the selection, and Enter commits it.
class ListEdit : public QComboBox
{
    Q_OBJECT

public:
    explicit ListEdit(QWidget* parent = nullptr);

    void hidePopup() override;

Q_SIGNALS:
    void Chosen();

private:
    bool m_popupClosing = false;
};
