#pragma once

#include "link/LineMonitor.h"

#include <QDockWidget>
#include <QPointer>

class MonitorModel;
class PanelLink;
class QLabel;
class QTableView;
class QTimer;
class QToolButton;

// The line monitor: a window docked in the main window (or floating) that
// records every frame the link sends or receives while it exists, keeping the
// last 10,000. It lists them in grdFrames (time since it opened, direction,
// bytes in hexadecimal, decoding; faults in dark red), with Pause (cmdPause,
// stops the recording until pressed again), Clear (cmdClear) and Save as Text
// (cmdSave: the frames listed, one line each, as orvelctl --trace writes them)
// and the count of frames in lblStatus. The list follows the newest frame
// while it is scrolled to the end.
class wLineMonitor : public QDockWidget
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 103100;

    explicit wLineMonitor(PanelLink& link, QWidget* parent = nullptr);
    ~wLineMonitor() override;

    LineMonitor& Monitor() { return m_monitor; }
    // Brings the list and the status line up to date (a timer does it while
    // the window is shown).
    void Refresh();
    int RowCount() const;
    // The cells of a row, as shown.
    QStringList Row(int row) const;
    QString StatusText() const;

public Q_SLOTS:
    void Nationality();
    void SetPaused(bool paused);
    void Clear();
    // Asks for a file name and writes the frames listed there.
    void SaveAsText();

private:
    QToolButton* button(const char* name, const QString& icon);
    void showStatus();

    // The link may go first, when the main window closes.
    QPointer<PanelLink> m_link;
    LineMonitor m_monitor;
    MonitorModel* m_model = nullptr;
    QTableView* m_grdFrames = nullptr;
    QToolButton* m_cmdPause = nullptr;
    QToolButton* m_cmdClear = nullptr;
    QToolButton* m_cmdSave = nullptr;
    QLabel* m_lblStatus = nullptr;
    QTimer* m_refresh = nullptr;
};
