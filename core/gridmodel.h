#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// Cells of a small string grid: row 0 and column 0 are its fixed cells,
// also offered as header data so a view may draw them as headers.
// Shrinking drops rows; cells beyond the grid are not kept.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    GridModel(int rows, int columns, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool moveRows(const QModelIndex &sourceParent, int sourceRow, int count,
                  const QModelIndex &destinationParent, int destinationChild) override;

    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString &text);
    void setRowCount(int rows);
    // Replaces every row below the header at once (one reset, not a signal per cell).
    void setBodyRows(const QList<QStringList> &rows);
    // What the fixed cells offer as their background (the view's button colour).
    void setFixedCellBackground(const QVariant &background) { m_fixedBackground = background; }

signals:
    // Text of an editable cell changed through the view (every keystroke of
    // the editor); a commit of the text the cell already holds is no change.
    void cellEdited(int column, int row, const QString &text);

private:
    int m_columns;
    QList<QStringList> m_rows;
    QVariant m_fixedBackground;
};
