#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <map>
#include <optional>

// The Hex and character rows of the transmit table, indexed by data column
// from 1 and unbounded to the right. A text the program renders from a byte
// (a hex pair, a character) is kept as that byte; other texts as typed.
//
// Both rows render from one byte array, which a loaded file shares as it is:
// a table of n loaded bytes costs about n bytes. What a cell is (empty,
// rendered, typed) is kept as runs of columns, and the few cells whose two
// rows disagree keep their own byte or text beside the array.
class TransmitCells
{
public:
    enum Row { Hex = 0, Char = 1 };
    using Render = const QString &(*)(quint8);
    using Canonical = std::optional<quint8> (*)(QStringView);

    TransmitCells(std::array<Render, 2> render, std::array<Canonical, 2> canonical)
        : m_render(render), m_canonical(canonical) {}

    QString text(Row row, qint64 column) const;
    // The byte a cell was rendered from, if it holds such a text.
    std::optional<quint8> renderedByte(Row row, qint64 column) const;
    void setText(Row row, qint64 column, const QString &text);
    // Both rows of columns first .. first + bytes.size() - 1 render the bytes.
    void setBytes(qint64 first, const QByteArray &bytes);
    // Both rows of columns first .. last emptied.
    void clear(qint64 first, qint64 last);
    // Column c takes the texts of c - 1 for c = last down to first + 1; first is emptied.
    void shiftRight(qint64 first, qint64 last);
    // Column c takes the texts of c + 1 for c = first to last - 1; last keeps its texts.
    void shiftLeft(qint64 first, qint64 last);

    // One byte per column 1..count of a row: a rendered cell gives its byte,
    // any other its text read by `typed`. Shares the array when it can.
    QByteArray rowBytes(Row row, qint64 count, quint8 (*typed)(QStringView)) const;

private:
    enum Kind : quint8 { Empty, Rendered, Typed };

    // A kind per column index as runs: a run starts at its key and lasts up
    // to the next key; before the first key every column is empty.
    class Kinds
    {
    public:
        Kind at(qint64 i) const;
        void assign(qint64 a, qint64 b, Kind kind);
        // Calls f(first, last, kind) for the runs covering a .. b, clipped.
        template <typename F> void forRuns(qint64 a, qint64 b, F f) const;

    private:
        std::map<qint64, Kind> m_runs;
    };

    struct RowState
    {
        Kinds kinds;
        std::map<qint64, quint8> ownByte;   // rendered from a byte the array does not hold
        std::map<qint64, QString> typed;
    };

    void ensureLength(qint64 length);
    void setRenderedByte(Row row, qint64 i, quint8 byte);
    void forget(RowState &row, qint64 a, qint64 b);

    std::array<Render, 2> m_render;
    std::array<Canonical, 2> m_canonical;
    QByteArray m_bytes; // index column - 1
    std::array<RowState, 2> m_rows;
};
