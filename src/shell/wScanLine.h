#pragma once

#include "link/BusScan.h"

#include <QDialog>
#include <QList>
#include <QPair>

class PanelLink;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

// The line scan window: the range of slave numbers (txtFrom, txtTo), the
// choice to try every speed and stop count (chkSearch), the reply margin
// (txtMargin), Scan (cmdScan), Cancel (cmdCancel), Close (cmdClose) and Help
// (cmdHelp); the panels that answered in lvwPanels (slave, firmware, baud rate,
// stop bits) as they are found, the progress in prgScan and the status line
// lblStatus. Double-clicking a panel (or Enter on it) when no scan runs asks
// for it to be read (ReadRequested); Escape cancels a scan, then closes.
class wScanLine : public QDialog, public ScanObserver
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 103000;

    explicit wScanLine(PanelLink& link, QWidget* parent = nullptr);

    ScanOptions Options() const;
    void SetOptions(const ScanOptions& options);
    bool Scanning() const { return m_scanning; }
    // The panels listed, in the order found.
    QList<ScannedPanel> Panels() const { return m_panels; }
    QString StatusText() const;

    bool Cancelled() override;
    void Probing(std::uint8_t slave, std::int32_t bauds, std::int16_t stops, int done,
                 int total) override;
    void Found(const ScannedPanel& panel) override;

public Q_SLOTS:
    void Nationality();
    // Scans with the options shown, replacing the list; nothing while a scan
    // runs.
    void Scan();
    // The status line tells that the panel was read into a window.
    void PanelRead(std::uint8_t slave);
    // Cancels a scan in progress; without one, closes the window.
    void reject() override;

Q_SIGNALS:
    void ReadRequested(const ScannedPanel& panel);
    void HelpRequested(int contextId);

private:
    void activated(QTreeWidgetItem* item);
    void setStatus(int tag, std::initializer_list<qint64> values);
    void setScanning(bool on);

    PanelLink& m_link;
    QSpinBox* m_txtFrom = nullptr;
    QSpinBox* m_txtTo = nullptr;
    QCheckBox* m_chkSearch = nullptr;
    QSpinBox* m_txtMargin = nullptr;
    QPushButton* m_cmdScan = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdClose = nullptr;
    QPushButton* m_cmdHelp = nullptr;
    QTreeWidget* m_lvwPanels = nullptr;
    QProgressBar* m_prgScan = nullptr;
    QLabel* m_lblStatus = nullptr;
    QLabel* m_lblHint = nullptr;
    QList<QPair<QWidget*, int>> m_tagged;
    QList<ScannedPanel> m_panels;
    bool m_scanning = false;
    bool m_cancel = false;
    // The status line's text and numbers, so a language change rewrites it.
    int m_statusTag = 0;
    QList<qint64> m_statusValues;
};
