#pragma once

#include <QDialog>

class ComCtrl;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks which panel to address: the serial port (choosing another one reopens
// the port at once), the slave number 0..64 (0 asks for a search on the line)
// and whether to search baud rates and stop bits automatically. OK with a
// slave number outside 0..64, or not a number, beeps and keeps the dialog
// open; a valid OK stores "LastSlave", "AutoSearch" and "Port".
class wAskSlave : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 20200;

    explicit wAskSlave(ComCtrl& port, QWidget* parent = nullptr);

    bool Ok() const { return m_ok; }
    QString SlaveText() const;
    void SetSlaveText(const QString& text);
    bool AutoSearch() const;
    // The warning label is shown for a write to a panel; a read hides it and
    // the dialog ends above it.
    void SetWarningVisible(bool visible);

public Q_SLOTS:
    void Nationality();

Q_SIGNALS:
    // The Help button or F1: the caller opens the help topic.
    void HelpRequested(int contextId);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void portChosen();
    bool reopenPort(const QString& portText);
    void okPressed();

    ComCtrl& m_port;
    bool m_ok = false;
    QComboBox* m_cboPort = nullptr;
    QLineEdit* m_txtSlave = nullptr;
    QCheckBox* m_chkAutoSearch = nullptr;
    QLabel* m_lblWarning = nullptr;
    QPushButton* m_cmdButtons[3] = {};
    QList<QPair<QWidget*, int>> m_tagged;
};
