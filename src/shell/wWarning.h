#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// Asks before a configuration is written to a panel whose firmware is older
// than the console. Ok is true only when Yes was pressed; Escape, No and the
// window frame leave it false.
class wWarning : public QDialog
{
    Q_OBJECT

public:
    explicit wWarning(QWidget* parent = nullptr);

    bool Ok() const { return m_ok; }

public Q_SLOTS:
    void Nationality();

private:
    void buttonPressed(int index);

    bool m_ok = false;
    QLabel* m_lblMessage = nullptr;
    QLabel* m_lblcontinue = nullptr;
    QPushButton* m_cmdYes = nullptr;
    QPushButton* m_cmdNo = nullptr;
};
