#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the factory password, every character shown as "*". Ok is true
// when the default button was pressed; the caller compares the password.
class wPassword : public QDialog
{
    Q_OBJECT

public:
    explicit wPassword(QWidget* parent = nullptr);

    bool Ok() const { return m_ok; }
    QString Password() const;

public Q_SLOTS:
    void Nationality();

private:
    void buttonPressed(int index);

    bool m_ok = false;
    QLabel* m_lblPassword = nullptr;
    QLineEdit* m_txtPassword = nullptr;
    QPushButton* m_cmdBoutons[2] = {};
};
