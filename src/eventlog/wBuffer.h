#pragma once

#include "eventlog/EventDecoder.h"

#include <QDialog>
#include <QIcon>
#include <QList>

#include <cstdint>

class PanelLink;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// The event list of one panel: the tool bar tbrTools (Refresh, Copy, and
// Save with its menu of three formats), the panel number (lblPanelNum and
// txtPnlNum), the six-column list lvwBuffer and the status line sbrStatus
// with the time of reading. A click on a heading sorts by that column (the
// same heading again reverses the order); Refresh reads the panel of the box
// again and keeps the sort. Copy puts the preamble and the tab-separated list
// on the clipboard; Save writes it in the format chosen from the menu, in
// Windows-1252. In the list, Ctrl+C copies the selected rows.
//
// Keys: F5 refreshes, Ctrl+Shift+C copies the list, Ctrl+S opens the menu of
// save formats, Ctrl+1 to Ctrl+6 click the headings.
class wBuffer : public QDialog
{
    Q_OBJECT

public:
    explicit wBuffer(PanelLink& link, QWidget* parent = nullptr);

    // The panel-number box (the panel that Refresh reads).
    QString PanelNumber() const;
    void SetPanelNumber(int slave);
    // Reads the panel's event log into the list, replacing its rows. True
    // when the log was read, also when it was empty; a failure (message
    // 102001) keeps the rows read before it and gives false.
    bool ReadBuffer(std::uint8_t slave);

    int RowCount() const;
    // The rows in the list's current order.
    QList<EventRow> Rows() const;
    QStringList Headings() const;
    QString StatusText() const;
    // The two lines that come before the table in a copy or a file.
    QString Preamble() const;

public Q_SLOTS:
    void Nationality();
    // A click on the heading of a column (0-based).
    void lvwBuffer_ColumnClick(int column);
    // A tool bar button by its key; the save formats by theirs ("TEXT",
    // "CSV_FR", "CSV_EN").
    void tbrTools_ButtonClick(const QString& key);
    void tbrTools_ButtonMenuClick(const QString& key);

private:
    QToolBar* buildToolBar();
    QWidget* buildPanelNumber();
    QTreeWidget* buildList();
    QAction* addButton(const char* key);
    void buildSaveMenu(QAction* save);
    void refresh();
    void CopyValues();
    void copySelection();
    void SaveValues(const QString& key);
    void addRows(const QList<EventRow>& rows);
    void applySort();
    void fitColumns(bool widenOnly);
    void fitWindow();

    PanelLink& m_link;
    QToolBar* m_tbrTools = nullptr;
    QToolButton* m_saveButton = nullptr;
    QMenu* m_saveMenu = nullptr;
    QLabel* m_lblPanelNum = nullptr;
    QLineEdit* m_txtPnlNum = nullptr;
    QTreeWidget* m_lvwBuffer = nullptr;
    QLabel* m_sbrStatus = nullptr;
    QIcon m_sortUp;
    QIcon m_sortDown;
    // Sort state: column 0 ascending until a first heading click turns it on.
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_sorted = false;
};
