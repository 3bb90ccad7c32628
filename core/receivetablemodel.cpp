#include "core/receivetablemodel.h"

#include "core/celltexts.h"

#include <QDateTime>

#include <algorithm>
#include <climits>

ReceiveTableModel::ReceiveTableModel(QObject *parent)
    : LongTableModel(parent)
    , m_clock([] { return QDateTime::currentMSecsSinceEpoch(); })
{
    m_numbered.add(1, 1);
}

void ReceiveTableModel::setArrivalClock(std::function<qint64()> msecsSinceEpoch)
{
    m_clock = std::move(msecsSinceEpoch);
}

qint64 ReceiveTableModel::store(const char *data, qint64 n)
{
    if (n <= 0)
        return 0;
    const qint64 now = m_clock();
    emit received(data, n, now);
    const qint64 first = m_store.size();
    const qint64 kept = m_store.append(data, n);
    m_arrivals.add(first, kept, now);
    if (m_store.hasStopped() && !m_stopReported) {
        m_stopReported = true;
        emit storeStopped(m_store.stopReason());
    }
    return kept;
}

void ReceiveTableModel::setColumnCount(qint64 count)
{
    // Item indexes count in int; the columns beyond are read as long columns.
    const qint64 oldLong = m_longColumnCount;
    m_longColumnCount = qMax<qint64>(1, count);
    const int target = int(std::clamp<qint64>(count, 1, INT_MAX));
    if (target > m_columnCount) {
        beginInsertColumns({}, m_columnCount, target - 1);
        m_columnCount = target;
        endInsertColumns();
    } else if (target < m_columnCount) {
        beginRemoveColumns({}, target, m_columnCount - 1);
        m_columnCount = target;
        endRemoveColumns();
    }
    if (m_longColumnCount != oldLong && qMax(m_longColumnCount, oldLong) > INT_MAX)
        emit longColumnsChanged();
}

void ReceiveTableModel::appendShown(const char *data, qint64 n, const QString &stamp)
{
    const qint64 p = m_store.size();
    const int oldCount = m_columnCount;
    n = store(data, n);
    if (n > 0) {
        m_numbered.add(p + 1, p + n);
        m_written.add(p + 1, p + n);
        m_stamps.assign(p + 1, p + n, stamp);
    }
    setColumnCount(m_store.size() + 1);
    // After a clear the first data column already exists and is rewritten in place.
    const qint64 lastExisting = qMin<qint64>(p + n, oldCount - 1);
    if (n > 0 && p + 1 <= qMin<qint64>(lastExisting, INT_MAX - 1))
        emit dataChanged(index(0, int(p + 1)), index(rowCount() - 1, int(qMin<qint64>(lastExisting, INT_MAX - 1))));
    if (n > 0 && p + n >= INT_MAX && oldCount == m_columnCount)
        emit longColumnsChanged();
}

void ReceiveTableModel::appendHidden(const char *data, qint64 n)
{
    store(data, n);
}

void ReceiveTableModel::clear()
{
    m_store.clear();
    m_arrivals.clear();
    m_stopReported = false;
    m_written.clear();
    setColumnCount(2);
    emit dataChanged(index(HexRow, 1), index(AsciiRow, 1));
}

void ReceiveTableModel::setShowSeconds(bool show)
{
    if (show == m_showSeconds)
        return;
    if (show) {
        beginInsertRows({}, SecondsRow, SecondsRow);
        m_showSeconds = true;
        endInsertRows();
    } else {
        beginRemoveRows({}, SecondsRow, SecondsRow);
        m_showSeconds = false;
        endRemoveRows();
    }
}

void ReceiveTableModel::loadBytes(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    const int oldCount = m_columnCount;
    const qint64 n = bytes.size();
    m_store.assign(bytes);
    m_arrivals.clear();
    m_stopReported = false;
    // Hex and character texts left in columns beyond the file belonged to the
    // replaced bytes; they must not resurface next to later bytes.
    m_written.clear();
    m_written.add(1, n);
    m_numbered.add(1, n);
    setColumnCount(n + 1);
    const int lastExisting = int(qMin<qint64>(n, oldCount - 1));
    if (lastExisting >= 1)
        emit dataChanged(index(NumberRow, 1), index(AsciiRow, lastExisting));
    if (n >= INT_MAX)
        emit longColumnsChanged();
}

int ReceiveTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : (m_showSeconds ? 4 : 3);
}

int ReceiveTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columnCount;
}

QString ReceiveTableModel::longCellText(int row, qint64 column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_longColumnCount)
        return {};
    return cellText(row, column);
}

QString ReceiveTableModel::longToolTip(int row, qint64 column) const
{
    if (row < 0 || row >= rowCount() || column < 1 || column > m_store.size() || !m_written.contains(column))
        return {};
    return ArrivalToolTip(m_arrivals.stepAt(column - 1));
}

QString ReceiveTableModel::cellText(int row, qint64 column) const
{
    if (column == 0) {
        switch (row) {
        case NumberRow: return QStringLiteral("№");
        case HexRow: return QStringLiteral("Hex");
        case AsciiRow: return QStringLiteral("ASCII");
        default: return QStringLiteral("Секунды");
        }
    }
    switch (row) {
    case NumberRow:
        return m_numbered.contains(column) ? QString::number(column) : QString();
    case HexRow:
    case AsciiRow:
        if (!m_written.contains(column) || column > m_store.size())
            return {};
        return row == HexRow ? celltexts::hexPairText(m_store.at(column - 1))
                             : celltexts::charText(m_store.at(column - 1));
    default:
        return m_stamps.at(column);
    }
}

QVariant ReceiveTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= rowCount()
        || index.column() >= m_columnCount)
        return {};
    if (role == Qt::ToolTipRole) {
        const QString tip = longToolTip(index.row(), index.column());
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return cellText(index.row(), index.column());
}

Qt::ItemFlags ReceiveTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.row() == NumberRow || index.column() == 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
