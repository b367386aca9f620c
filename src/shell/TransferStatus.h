#pragma once

#include "link/ConfigSection.h"

#include <QObject>

class PanelLink;
class QLabel;
class QProgressBar;
class QStatusBar;

// The main window's status bar during a whole transfer with a panel, for the
// life of the object: a progress bar ("block n of N") that moves after every
// block, with the windows repainted between blocks while the user's input is
// dropped (the transfer stays modal, as the blocking exchanges make it), and,
// when the transfer fails, the section that failed named in the status text.
class TransferStatus : public QObject
{
    Q_OBJECT

public:
    enum class Direction
    {
        Read,
        Write
    };

    TransferStatus(QStatusBar* statusBar, QLabel* prompt, PanelLink& link, Direction direction);
    ~TransferStatus() override;

    // The transfer failed: the status text names the section it was in.
    void Failed();

    // The status bar's progress bar, made (hidden) on first use.
    static QProgressBar* ProgressBar(QStatusBar* statusBar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void begun(int blocks);
    void blockDone();

    QProgressBar* m_bar = nullptr;
    QLabel* m_prompt = nullptr;
    Direction m_direction;
    ConfigSection m_section = ConfigSection::Inputs;
};
