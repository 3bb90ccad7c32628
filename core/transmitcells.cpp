#include "core/transmitcells.h"

#include <cstring>
#include <vector>

namespace {

struct Run
{
    qint64 first, last;
    quint8 kind;
};

// Entries keyed a .. b of `map` taken out, to be put back shifted.
template <typename Map>
std::vector<typename Map::value_type> takeRange(Map &map, qint64 a, qint64 b)
{
    const auto from = map.lower_bound(a), to = map.upper_bound(b);
    std::vector<typename Map::value_type> taken(from, to);
    map.erase(from, to);
    return taken;
}

template <typename Map>
void shiftKeysRight(Map &map, qint64 a, qint64 b)
{
    for (auto &[key, value] : takeRange(map, a, b))
        if (key < b)
            map.emplace(key + 1, std::move(value));
}

template <typename Map>
void shiftKeysLeft(Map &map, qint64 a, qint64 b)
{
    for (auto &[key, value] : takeRange(map, a, b)) {
        if (key > a)
            map.insert_or_assign(key - 1, value);
        if (key == b)
            map.insert_or_assign(key, value);
    }
}

} // namespace

TransmitCells::Kind TransmitCells::Kinds::at(qint64 i) const
{
    auto it = m_runs.upper_bound(i);
    return it == m_runs.begin() ? Empty : std::prev(it)->second;
}

void TransmitCells::Kinds::assign(qint64 a, qint64 b, Kind kind)
{
    if (a > b)
        return;
    const Kind before = at(a - 1), after = at(b + 1);
    m_runs.erase(m_runs.lower_bound(a), m_runs.upper_bound(b + 1));
    if (kind != before)
        m_runs.emplace(a, kind);
    if (after != kind)
        m_runs.emplace(b + 1, after);
}

template <typename F>
void TransmitCells::Kinds::forRuns(qint64 a, qint64 b, F f) const
{
    if (a > b)
        return;
    auto it = m_runs.upper_bound(a);
    Kind kind = it == m_runs.begin() ? Empty : std::prev(it)->second;
    qint64 first = a;
    for (; it != m_runs.end() && it->first <= b; ++it) {
        f(first, it->first - 1, kind);
        first = it->first;
        kind = it->second;
    }
    f(first, b, kind);
}

void TransmitCells::ensureLength(qint64 length)
{
    const qint64 old = m_bytes.size();
    if (length > old) {
        m_bytes.resize(length);
        std::memset(m_bytes.data() + old, 0, size_t(length - old));
    }
}

void TransmitCells::forget(RowState &row, qint64 a, qint64 b)
{
    takeRange(row.ownByte, a, b);
    takeRange(row.typed, a, b);
}

QString TransmitCells::text(Row row, qint64 column) const
{
    const qint64 i = column - 1;
    if (i < 0 || i >= m_bytes.size())
        return {};
    switch (m_rows[row].kinds.at(i)) {
    case Rendered: return m_render[row](*renderedByte(row, column));
    case Typed: return m_rows[row].typed.at(i);
    default: return {};
    }
}

std::optional<quint8> TransmitCells::renderedByte(Row row, qint64 column) const
{
    const qint64 i = column - 1;
    const RowState &r = m_rows[row];
    if (i < 0 || i >= m_bytes.size() || r.kinds.at(i) != Rendered)
        return std::nullopt;
    const auto own = r.ownByte.find(i);
    return own != r.ownByte.end() ? own->second : quint8(m_bytes.at(i));
}

void TransmitCells::setRenderedByte(Row row, qint64 i, quint8 byte)
{
    RowState &mine = m_rows[row], &other = m_rows[1 - row];
    mine.ownByte.erase(i);
    if (quint8(m_bytes.at(i)) == byte)
        return;
    const bool otherReadsArray = other.kinds.at(i) == Rendered && !other.ownByte.count(i);
    if (otherReadsArray) {
        mine.ownByte.emplace(i, byte);
        return;
    }
    m_bytes[i] = char(byte);
    const auto own = other.ownByte.find(i);
    if (own != other.ownByte.end() && own->second == byte)
        other.ownByte.erase(own);
}

void TransmitCells::setText(Row row, qint64 column, const QString &text)
{
    const qint64 i = column - 1;
    if (i < 0)
        return;
    RowState &r = m_rows[row];
    if (text.isEmpty()) {
        if (i < m_bytes.size()) {
            r.kinds.assign(i, i, Empty);
            forget(r, i, i);
        }
        return;
    }
    ensureLength(i + 1);
    if (const auto byte = m_canonical[row](text)) {
        r.kinds.assign(i, i, Rendered);
        r.typed.erase(i);
        setRenderedByte(row, i, *byte);
    } else {
        r.kinds.assign(i, i, Typed);
        r.ownByte.erase(i);
        r.typed.insert_or_assign(i, text);
    }
}

void TransmitCells::setBytes(qint64 first, const QByteArray &bytes)
{
    const qint64 i0 = first - 1, n = bytes.size();
    if (i0 < 0 || n == 0)
        return;
    if (i0 == 0 && n >= m_bytes.size()) {
        m_bytes = bytes; // shared with the caller's copy, not duplicated
    } else {
        ensureLength(i0 + n);
        std::memcpy(m_bytes.data() + i0, bytes.constData(), size_t(n));
    }
    for (RowState &r : m_rows) {
        r.kinds.assign(i0, i0 + n - 1, Rendered);
        forget(r, i0, i0 + n - 1);
    }
}

void TransmitCells::clear(qint64 first, qint64 last)
{
    const qint64 a = qMax<qint64>(first - 1, 0), b = qMin<qint64>(last - 1, m_bytes.size() - 1);
    if (a > b)
        return;
    for (RowState &r : m_rows) {
        r.kinds.assign(a, b, Empty);
        forget(r, a, b);
    }
}

void TransmitCells::shiftRight(qint64 first, qint64 last)
{
    const qint64 a = first - 1, b = last - 1;
    if (a < 0 || b < a || a >= m_bytes.size())
        return; // beyond the array every cell is empty already
    // Only the last cell that holds anything needs room to move into.
    ensureLength(qMin(b + 1, m_bytes.size() + 1));
    const qint64 end = qMin(b, m_bytes.size() - 1);
    std::memmove(m_bytes.data() + a + 1, m_bytes.constData() + a, size_t(end - a));
    for (RowState &r : m_rows) {
        std::vector<Run> runs;
        r.kinds.forRuns(a, b - 1, [&](qint64 s, qint64 e, Kind k) { runs.push_back({s, e, k}); });
        r.kinds.assign(a, a, Empty);
        for (const Run &run : runs)
            r.kinds.assign(run.first + 1, run.last + 1, Kind(run.kind));
        shiftKeysRight(r.ownByte, a, b);
        shiftKeysRight(r.typed, a, b);
    }
}

void TransmitCells::shiftLeft(qint64 first, qint64 last)
{
    const qint64 a = first - 1, b = last - 1;
    if (a < 0 || b <= a || a >= m_bytes.size())
        return;
    const qint64 end = qMin(b, m_bytes.size() - 1);
    std::memmove(m_bytes.data() + a, m_bytes.constData() + a + 1, size_t(end - a));
    for (RowState &r : m_rows) {
        std::vector<Run> runs;
        r.kinds.forRuns(a + 1, b, [&](qint64 s, qint64 e, Kind k) { runs.push_back({s, e, k}); });
        for (const Run &run : runs)
            r.kinds.assign(run.first - 1, run.last - 1, Kind(run.kind));
        shiftKeysLeft(r.ownByte, a, b);
        shiftKeysLeft(r.typed, a, b);
    }
}

QByteArray TransmitCells::rowBytes(Row row, qint64 count, quint8 (*typed)(QStringView)) const
{
    if (count <= 0)
        return {};
    QByteArray out = count == m_bytes.size() ? m_bytes : m_bytes.left(count);
    if (out.size() < count) {
        const qint64 old = out.size();
        out.resize(count);
        std::memset(out.data() + old, 0, size_t(count - old));
    }
    const RowState &r = m_rows[row];
    const char empty = char(typed({}));
    r.kinds.forRuns(0, count - 1, [&](qint64 s, qint64 e, Kind k) {
        if (k == Empty)
            std::memset(out.data() + s, empty, size_t(e - s + 1));
    });
    for (auto it = r.typed.begin(); it != r.typed.end() && it->first < count; ++it)
        out[it->first] = char(typed(it->second));
    for (auto it = r.ownByte.begin(); it != r.ownByte.end() && it->first < count; ++it)
        out[it->first] = char(it->second);
    return out;
}
