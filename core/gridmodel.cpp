#include "core/gridmodel.h"


GridModel::GridModel(int rows, int columns, QObject *parent)
    : QAbstractTableModel(parent)
    , m_columns(columns)
{
    for (int r = 0; r < rows; ++r) {
        QStringList row;
        row.resize(columns);
        m_rows << row;
    }
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_rows[index.row()].value(index.column());
    case Qt::BackgroundRole:
        if (index.row() == 0 || index.column() == 0)
            return m_fixedBackground;
        return {};
    default:
        return {};
    }
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    // An editor commits its text again when it closes or loses the focus;
    // only a change of the text is an edit.
    const QString text = value.toString();
    if (cell(index.column(), index.row()) == text)
        return true;
    setCell(index.column(), index.row(), text);
    emit cellEdited(index.column(), index.row(), text);
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.row() > 0 && index.column() > 0)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    return orientation == Qt::Horizontal ? cell(section, 0) : cell(0, section);
}

bool GridModel::moveRows(const QModelIndex &sourceParent, int sourceRow, int count,
                         const QModelIndex &destinationParent, int destinationChild)
{
    if (sourceParent.isValid() || destinationParent.isValid() || count != 1 || sourceRow < 1
        || destinationChild < 1 || sourceRow >= m_rows.size() || destinationChild > m_rows.size()
        || destinationChild == sourceRow || destinationChild == sourceRow + 1)
        return false;
    if (!beginMoveRows({}, sourceRow, sourceRow, {}, destinationChild))
        return false;
    const int to = destinationChild > sourceRow ? destinationChild - 1 : destinationChild;
    m_rows.move(sourceRow, to);
    endMoveRows();
    return true;
}

QString GridModel::cell(int column, int row) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return m_rows[row].value(column);
}

void GridModel::setCell(int column, int row, const QString &text)
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns)
        return;
    if (m_rows[row][column] == text)
        return;
    m_rows[row][column] = text;
    const QModelIndex i = index(row, column);
    emit dataChanged(i, i);
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, column, column);
    if (column == 0)
        emit headerDataChanged(Qt::Vertical, row, row);
}

void GridModel::setRowCount(int rows)
{
    rows = qMax(rows, 1);
    const int old = int(m_rows.size());
    if (rows > old) {
        beginInsertRows({}, old, rows - 1);
        for (int r = old; r < rows; ++r) {
            QStringList row;
            row.resize(m_columns);
            m_rows << row;
        }
        endInsertRows();
    } else if (rows < old) {
        beginRemoveRows({}, rows, old - 1);
        m_rows.resize(rows);
        endRemoveRows();
    }
}

void GridModel::setBodyRows(const QList<QStringList> &rows)
{
    beginResetModel();
    m_rows.resize(1);
    for (QStringList row : rows) {
        row.resize(m_columns);
        m_rows << row;
    }
    if (m_rows.size() < 2) {
        QStringList empty;
        empty.resize(m_columns);
        m_rows << empty;
    }
    endResetModel();
}
