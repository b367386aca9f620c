#pragma once

#include "link/SearchWindow.h"

#include <QDialog>

class ComCtrl;
class QLabel;
class QPushButton;

// The detection's search window: shows each attempt (slave, baud rate, data
// bits, parity, stop bits) while the automatic search runs, lets Cancel stop
// it, and asks for the final confirmation with OK once a panel has answered.
class wSearchSlave : public QDialog, public SearchWindow
{
    Q_OBJECT

public:
    explicit wSearchSlave(ComCtrl& port, QWidget* parent = nullptr);

    bool Ok() const { return m_ok; }

    void ShowSearching() override;
    bool Cancelled() override;
    void ShowAttempt(const QString& slave, std::int32_t bauds, std::int16_t stops) override;
    bool Confirm(std::uint8_t slaveFound, int messageTag) override;
    void Close() override;

public Q_SLOTS:
    void Nationality();
    // Cancel, Escape and the window frame: the search stops at the next
    // attempt, the confirmation answers no.
    void reject() override;

private:
    void showParity();

    ComCtrl& m_port;
    bool m_ok = false;
    bool m_cancelled = false;
    int m_messageTag = 35022;
    QLabel* m_lblMessage = nullptr;
    QLabel* m_lblSlave = nullptr;
    QLabel* m_lblBauds = nullptr;
    QLabel* m_lblDataBits = nullptr;
    QLabel* m_lblParity = nullptr;
    QLabel* m_lblStops = nullptr;
    QPushButton* m_cmdButtons[2] = {};
    QList<QPair<QWidget*, int>> m_tagged;
};
