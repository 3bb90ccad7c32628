#pragma once

#include <QAbstractTableModel>
#include <QString>

// A table whose columns may outnumber what int counts. Item indexes reach
// the first columnCount() columns; a view reads the texts of the columns
// beyond from here, so every column can be shown with its right number.
class LongTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    virtual qint64 longColumnCount() const = 0;
    virtual QString longCellText(int row, qint64 column) const = 0;
    virtual QString longToolTip(int row, qint64 column) const
    {
        Q_UNUSED(row);
        Q_UNUSED(column);
        return {};
    }

signals:
    // The column count or texts of columns that have no index changed.
    void longColumnsChanged();
};
