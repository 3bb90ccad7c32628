#pragma once

#include "core/transmitcells.h"

#include <QAbstractTableModel>

#include <map>

// The cells of the transmit table: an unbounded row of byte columns of which
// the first N are shown. Hex and character texts are kept per column as typed
// or as written; columns beyond N keep theirs hidden until shown again.
// Loaded bytes are held once, shared with the block they came from.
// Number cells hold what was last written into them; nothing computes them.
class TransmitTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Row { NumberRow = 0, HexRow = 1, AsciiRow = 2 };

    explicit TransmitTableModel(QObject *parent = nullptr);

    int dataColumnCount() const { return m_dataColumns; }
    void setDataColumnCount(int n);

    QString numberText(int column) const;
    QString hexText(int column) const { return m_cells.text(TransmitCells::Hex, column); }
    QString asciiText(int column) const { return m_cells.text(TransmitCells::Char, column); }
    void setNumberText(int column, const QString &text);
    void setHexText(int column, const QString &text);
    void setAsciiText(int column, const QString &text);
    // Writes the decimal numbers into the number cells of columns from..to.
    void renumber(int from, int to);

    // Hex and character cells of columns from..to emptied.
    void clearTexts(int from, int to);
    // Hex and character texts: column c takes those of c - 1 for c = to down
    // to from + 1, and column from is emptied (inserting a byte).
    void shiftTextsRight(int from, int to);
    // Column c takes the texts of c + 1 for c = from to to - 1; column to
    // keeps its own (deleting a byte).
    void shiftTextsLeft(int from, int to);

    // Column count bytes + 1, every data column written with its number, hex
    // pair and character.
    void setBytes(const QByteArray &bytes);
    // One byte per shown column: the Hex cell read as a hexadecimal number.
    QByteArray readBytes() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The user's editor changed a Hex (row 1) or ASCII (row 2) cell.
    void cellEdited(int column, int row, const QString &text);

private:
    void textsChanged(int from, int to, int firstRow, int lastRow);

    int m_dataColumns = 1;
    // Number cells: columns 1..m_numberedUpTo read their own number unless
    // overridden; columns beyond read empty unless overridden.
    int m_numberedUpTo = 1;
    std::map<int, QString> m_numberOverrides;
    TransmitCells m_cells;
};
