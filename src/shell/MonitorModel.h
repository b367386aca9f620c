#pragma once

#include <QAbstractTableModel>

#include <cstdint>

class LineMonitor;
struct MonitorFrame;

// The frames a line monitor keeps, as a table: time, direction, bytes and
// decoding, frames that tell of a fault in dark red. The monitor records on
// its own; Sync brings the rows up to date with it (new frames added at the
// end, those it no longer keeps removed from the top, all of them after a
// Clear).
class MonitorModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit MonitorModel(const LineMonitor& monitor, QObject* parent = nullptr);

    void Sync();
    // The frame of a row, or null when the monitor no longer keeps it.
    const MonitorFrame* Frame(int row) const;
    // The column headings, in the current language.
    void SetHeadings(const QStringList& headings);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const LineMonitor& m_monitor;
    int m_generation = 0;
    std::uint64_t m_first = 0; // number of the frame in row 0
    int m_count = 0;
    QStringList m_headings;
};
