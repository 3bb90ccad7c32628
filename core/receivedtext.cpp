#include "core/receivedtext.h"

#include "core/bytetext.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

const std::array<QChar, 256> &charTable()
{
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> t;
        for (int b = 0; b < 256; ++b)
            t[size_t(b)] = cp1251ToUnicode(quint8(b));
        return t;
    }();
    return table;
}

const std::array<QChar, 256> &displayTable()
{
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> t = charTable();
        for (QChar &c : t)
            if (c.category() == QChar::Other_Control)
                c = QLatin1Char(' ');
        return t;
    }();
    return table;
}

} // namespace

ReceivedText::ReceivedText()
{
    clear();
}

QChar ReceivedText::displayChar(quint8 byte)
{
    return displayTable()[byte];
}

void ReceivedText::clear()
{
    // A fresh store of its own; a followed one is left to its owner.
    m_bytes = ByteStore();
    m_following = false;
    resetIndex();
}

void ReceivedText::resetIndex()
{
    m_size = 0;
    m_lineLow.clear();
    m_blockFirstLine.clear();
    m_maxClosedLine = 0;
    addLineStart(0);
}

void ReceivedText::addLineStart(qint64 pos)
{
    if (!m_lineLow.empty())
        m_maxClosedLine = qMax(m_maxClosedLine, pos - 2 - lineStart(lineCount() - 1));
    const size_t block = size_t(pos >> BlockShift);
    // Blocks passed without a line start of their own point at this line.
    while (m_blockFirstLine.size() <= block)
        m_blockFirstLine.push_back(lineCount());
    m_lineLow.push_back(quint16(pos & 0xFFFF));
}

void ReceivedText::index(const char *data, qint64 n)
{
    const qint64 base = m_size;
    const bool crBefore = base > 0 && m_bytes.at(base - 1) == '\r';
    m_size += n;
    const char *p = data;
    const char *end = data + n;
    while (const void *hit = std::memchr(p, '\n', size_t(end - p))) {
        const char *lf = static_cast<const char *>(hit);
        const bool cr = lf > data ? lf[-1] == '\r' : crBefore;
        if (cr)
            addLineStart(base + (lf - data) + 1);
        p = lf + 1;
        if (p >= end)
            break;
    }
}

void ReceivedText::append(const char *data, qint64 n)
{
    if (n <= 0)
        return;
    if (m_following) {
        // Never write into a store someone else owns: take a copy first.
        ByteStore own(m_bytes.ramBudget(), m_bytes.spillDirectory());
        m_bytes.forEachPiece(0, m_size, [&own](const char *piece, qint64 len) {
            own.append(piece, len);
            return true;
        });
        m_bytes = std::move(own);
        m_following = false;
    }
    index(data, m_bytes.append(data, n));
}

void ReceivedText::appendFrom(const ByteStore &source, qint64 from, qint64 to)
{
    source.forEachPiece(from, to, [this](const char *piece, qint64 n) {
        append(piece, n);
        return true;
    });
}

void ReceivedText::follow(const ByteStore &source)
{
    m_bytes = source.share();
    m_following = true;
    resetIndex();
    catchUp();
}

qint64 ReceivedText::catchUp()
{
    if (!m_following)
        return 0;
    const qint64 before = m_size;
    m_bytes.forEachPiece(m_size, m_bytes.size(), [this](const char *piece, qint64 n) {
        index(piece, n);
        return true;
    });
    return m_size - before;
}

qint64 ReceivedText::lineStart(qint64 line) const
{
    Q_ASSERT(line >= 0 && line < lineCount());
    const auto it = std::upper_bound(m_blockFirstLine.begin(), m_blockFirstLine.end(), line);
    const qint64 block = qint64(it - m_blockFirstLine.begin()) - 1;
    return (block << BlockShift) | m_lineLow[size_t(line)];
}

qint64 ReceivedText::lineEnd(qint64 line) const
{
    return line + 1 < lineCount() ? lineStart(line + 1) - 2 : size();
}

qint64 ReceivedText::lineOf(qint64 pos) const
{
    const size_t block = size_t(qMax<qint64>(0, pos) >> BlockShift);
    if (block >= m_blockFirstLine.size())
        return lineCount() - 1;
    const qint64 first = m_blockFirstLine[block];
    const qint64 next = block + 1 < m_blockFirstLine.size() ? m_blockFirstLine[block + 1] : lineCount();
    const auto begin = m_lineLow.begin() + first;
    const auto it = std::upper_bound(begin, m_lineLow.begin() + next, quint16(pos & 0xFFFF));
    return first + qint64(it - begin) - 1;
}

qint64 ReceivedText::maxLineLength() const
{
    return qMax(m_maxClosedLine, lineLength(lineCount() - 1));
}

QString ReceivedText::text(qint64 from, qint64 to) const
{
    from = qBound<qint64>(0, from, size());
    to = qBound<qint64>(from, to, size());
    const auto &table = charTable();
    QString out;
    out.reserve(to - from);
    for (qint64 pos = from; pos < to; ++pos) {
        const quint8 b = m_bytes.at(pos);
        if (b == '\r' && pos + 1 < to && m_bytes.at(pos + 1) == '\n') {
            out += QLatin1Char('\n');
            ++pos;
        } else {
            out += table[b];
        }
    }
    return out;
}
