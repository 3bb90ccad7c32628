#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// One row of texts of a byte table, indexed by data column from 1 and
// unbounded to the right. A text the program renders from a byte (a hex pair,
// a character) is kept as that byte; other texts are kept as typed. Columns
// never written read as empty, so a loaded table costs two bytes per cell.
class CellTextRow
{
public:
    using Render = const QString &(*)(quint8);
    using Canonical = std::optional<quint8> (*)(QStringView);

    CellTextRow(Render render, Canonical canonical)
        : m_render(render), m_canonical(canonical) {}

    QString text(int column) const;
    // The byte a cell was rendered from, if it holds such a text.
    std::optional<quint8> renderedByte(int column) const;
    void setText(int column, const QString &text);
    // Columns first .. first + bytes.size() - 1 get the rendered texts of the bytes.
    void setBytes(int first, const QByteArray &bytes);
    void clear(int first, int last);
    // Column c takes the text of c - 1 for c = last down to first + 1; first is emptied.
    void shiftRight(int first, int last);
    // Column c takes the text of c + 1 for c = first to last - 1; last keeps its text.
    void shiftLeft(int first, int last);
    // Columns that may hold a text; all beyond are empty.
    int length() const { return int(m_kind.size()); }

private:
    enum Kind : quint8 { Empty, Rendered, Typed };
    void ensureLength(int length);
    void dropTyped(int firstIndex, int lastIndex);

    Render m_render;
    Canonical m_canonical;
    std::vector<quint8> m_kind;      // index column - 1
    std::vector<quint8> m_byte;
    QHash<int, QString> m_typed;     // by index, for Kind::Typed only
};
