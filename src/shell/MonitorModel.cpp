#include "MonitorModel.h"

#include "link/FrameText.h"
#include "link/LineMonitor.h"

#include <QBrush>
#include <QFontDatabase>

#include <algorithm>

MonitorModel::MonitorModel(const LineMonitor& monitor, QObject* parent)
    : QAbstractTableModel(parent), m_monitor(monitor)
{
    Sync();
}

void MonitorModel::Sync()
{
    const auto kept = static_cast<int>(m_monitor.Frames().size());
    const std::uint64_t first = m_monitor.Recorded() - static_cast<std::uint64_t>(kept);
    if (m_monitor.Generation() != m_generation || first > m_first + std::uint64_t(m_count)) {
        beginResetModel();
        m_generation = m_monitor.Generation();
        m_first = first;
        m_count = kept;
        endResetModel();
        return;
    }
    if (first > m_first) {
        const int gone = static_cast<int>(first - m_first);
        beginRemoveRows({}, 0, gone - 1);
        m_first = first;
        m_count -= gone;
        endRemoveRows();
    }
    if (kept > m_count) {
        beginInsertRows({}, m_count, kept - 1);
        m_count = kept;
        endInsertRows();
    }
}

const MonitorFrame* MonitorModel::Frame(int row) const
{
    const auto& frames = m_monitor.Frames();
    const std::uint64_t first = m_monitor.Recorded() - frames.size();
    const std::uint64_t number = m_first + std::uint64_t(row);
    if (row < 0 || m_monitor.Generation() != m_generation || number < first ||
        number - first >= frames.size())
        return nullptr;
    return &frames[number - first];
}

void MonitorModel::SetHeadings(const QStringList& headings)
{
    m_headings = headings;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int MonitorModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int MonitorModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant MonitorModel::data(const QModelIndex& index, int role) const
{
    const MonitorFrame* frame = Frame(index.row());
    if (!frame)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case 0:
            return FrameTime(*frame);
        case 1:
            return FrameDirection(*frame);
        case 2:
            return FrameBytes(*frame);
        default:
            return FrameSummary(*frame);
        }
    case Qt::TextAlignmentRole:
        return index.column() == 0 ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case Qt::FontRole:
        return index.column() == 2 ? QVariant(QFontDatabase::systemFont(QFontDatabase::FixedFont))
                                   : QVariant();
    case Qt::ForegroundRole:
        return FrameIsFault(*frame) ? QVariant(QBrush(Qt::darkRed)) : QVariant();
    default:
        return {};
    }
}

QVariant MonitorModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_headings.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
