#include "core/transmittablemodel.h"

#include "core/bytetext.h"
#include "core/celltexts.h"

using namespace celltexts;

namespace {

std::optional<quint8> canonicalChar(QStringView text)
{
    if (text.size() != 1)
        return std::nullopt;
    return cp1251Byte(text[0]);
}

} // namespace

TransmitTableModel::TransmitTableModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_cells({&hexPairText, &charText}, {&canonicalHexPair, &canonicalChar})
{
}

void TransmitTableModel::setDataColumnCount(int n)
{
    n = qMax(0, n);
    if (n > m_dataColumns) {
        beginInsertColumns({}, m_dataColumns + 1, n);
        m_dataColumns = n;
        endInsertColumns();
    } else if (n < m_dataColumns) {
        beginRemoveColumns({}, n + 1, m_dataColumns);
        m_dataColumns = n;
        endRemoveColumns();
    }
}

void TransmitTableModel::textsChanged(int from, int to, int firstRow, int lastRow)
{
    from = qMax(from, 1);
    to = qMin(to, m_dataColumns);
    if (from <= to)
        emit dataChanged(index(firstRow, from), index(lastRow, to));
}

QString TransmitTableModel::numberText(int column) const
{
    if (column < 1)
        return {};
    const auto it = m_numberOverrides.find(column);
    if (it != m_numberOverrides.end())
        return it->second;
    return column <= m_numberedUpTo ? QString::number(column) : QString();
}

void TransmitTableModel::setNumberText(int column, const QString &text)
{
    if (column < 1)
        return;
    const bool own = text == QString::number(column);
    if (own && column <= m_numberedUpTo) {
        m_numberOverrides.erase(column);
    } else if (own && column == m_numberedUpTo + 1) {
        m_numberOverrides.erase(column);
        ++m_numberedUpTo;
        // Absorb overrides that merely repeat the column's own number.
        for (auto it = m_numberOverrides.find(m_numberedUpTo + 1);
             it != m_numberOverrides.end() && it->first == m_numberedUpTo + 1
             && it->second == QString::number(it->first);
             it = m_numberOverrides.erase(it))
            ++m_numberedUpTo;
    } else if (text.isEmpty() && column > m_numberedUpTo) {
        m_numberOverrides.erase(column);
    } else {
        m_numberOverrides[column] = text;
    }
    textsChanged(column, column, NumberRow, NumberRow);
}

void TransmitTableModel::renumber(int from, int to)
{
    from = qMax(from, 1);
    if (from > to)
        return;
    if (from <= m_numberedUpTo + 1) {
        m_numberOverrides.erase(m_numberOverrides.lower_bound(from), m_numberOverrides.upper_bound(to));
        m_numberedUpTo = qMax(m_numberedUpTo, to);
    } else {
        for (int c = from; c <= to; ++c)
            m_numberOverrides[c] = QString::number(c);
    }
    textsChanged(from, to, NumberRow, NumberRow);
}

void TransmitTableModel::setHexText(int column, const QString &text)
{
    m_cells.setText(TransmitCells::Hex, column, text);
    textsChanged(column, column, HexRow, HexRow);
}

void TransmitTableModel::setAsciiText(int column, const QString &text)
{
    m_cells.setText(TransmitCells::Char, column, text);
    textsChanged(column, column, AsciiRow, AsciiRow);
}

void TransmitTableModel::clearTexts(int from, int to)
{
    m_cells.clear(from, to);
    textsChanged(from, to, HexRow, AsciiRow);
}

void TransmitTableModel::shiftTextsRight(int from, int to)
{
    m_cells.shiftRight(from, to);
    textsChanged(from, to, HexRow, AsciiRow);
}

void TransmitTableModel::shiftTextsLeft(int from, int to)
{
    m_cells.shiftLeft(from, to);
    textsChanged(from, to, HexRow, AsciiRow);
}

void TransmitTableModel::setBytes(const QByteArray &bytes)
{
    const int n = int(bytes.size());
    const int oldCount = m_dataColumns;
    m_cells.setBytes(1, bytes);
    if (n > 0) {
        m_numberOverrides.erase(m_numberOverrides.begin(), m_numberOverrides.upper_bound(n));
        m_numberedUpTo = qMax(m_numberedUpTo, n);
    }
    setDataColumnCount(n);
    textsChanged(1, qMin(n, oldCount), NumberRow, AsciiRow);
}

QByteArray TransmitTableModel::readBytes() const
{
    return m_cells.rowBytes(TransmitCells::Hex, m_dataColumns, &HexCellByte);
}

int TransmitTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

int TransmitTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_dataColumns + 1;
}

QVariant TransmitTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= 3
        || index.column() > m_dataColumns)
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const int c = index.column();
    switch (index.row()) {
    case NumberRow: return c == 0 ? QStringLiteral("№") : numberText(c);
    case HexRow: return c == 0 ? QStringLiteral("Hex") : hexText(c);
    default: return c == 0 ? QStringLiteral("ASCII") : asciiText(c);
    }
}

bool TransmitTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int c = index.column(), r = index.row();
    const QString text = value.toString();
    m_cells.setText(r == HexRow ? TransmitCells::Hex : TransmitCells::Char, c, text);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    emit cellEdited(c, r, text);
    return true;
}

Qt::ItemFlags TransmitTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this || index.column() > m_dataColumns || index.row() >= 3)
        return Qt::NoItemFlags;
    if (index.row() == NumberRow || index.column() == 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}
