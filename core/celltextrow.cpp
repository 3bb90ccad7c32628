#include "core/celltextrow.h"

#include <algorithm>
#include <cstring>

void CellTextRow::ensureLength(int length)
{
    if (length > int(m_kind.size())) {
        m_kind.resize(size_t(length), Empty);
        m_byte.resize(size_t(length), 0);
    }
}

void CellTextRow::dropTyped(int firstIndex, int lastIndex)
{
    if (m_typed.isEmpty())
        return;
    for (auto it = m_typed.begin(); it != m_typed.end();) {
        if (it.key() >= firstIndex && it.key() <= lastIndex)
            it = m_typed.erase(it);
        else
            ++it;
    }
}

QString CellTextRow::text(int column) const
{
    const int i = column - 1;
    if (i < 0 || i >= int(m_kind.size()))
        return {};
    switch (m_kind[size_t(i)]) {
    case Rendered: return m_render(m_byte[size_t(i)]);
    case Typed: return m_typed.value(i);
    default: return {};
    }
}

std::optional<quint8> CellTextRow::renderedByte(int column) const
{
    const int i = column - 1;
    if (i < 0 || i >= int(m_kind.size()) || m_kind[size_t(i)] != Rendered)
        return std::nullopt;
    return m_byte[size_t(i)];
}

void CellTextRow::setText(int column, const QString &text)
{
    const int i = column - 1;
    if (i < 0)
        return;
    if (text.isEmpty()) {
        if (i < int(m_kind.size())) {
            if (m_kind[size_t(i)] == Typed)
                m_typed.remove(i);
            m_kind[size_t(i)] = Empty;
        }
        return;
    }
    ensureLength(i + 1);
    if (const auto b = m_canonical(text)) {
        if (m_kind[size_t(i)] == Typed)
            m_typed.remove(i);
        m_kind[size_t(i)] = Rendered;
        m_byte[size_t(i)] = *b;
    } else {
        m_kind[size_t(i)] = Typed;
        m_typed.insert(i, text);
    }
}

void CellTextRow::setBytes(int first, const QByteArray &bytes)
{
    const int i0 = first - 1;
    const int n = int(bytes.size());
    if (i0 < 0 || n == 0)
        return;
    ensureLength(i0 + n);
    dropTyped(i0, i0 + n - 1);
    std::memset(m_kind.data() + i0, Rendered, size_t(n));
    std::memcpy(m_byte.data() + i0, bytes.constData(), size_t(n));
}

void CellTextRow::clear(int first, int last)
{
    const int a = qMax(first - 1, 0);
    const int b = qMin(last - 1, int(m_kind.size()) - 1);
    if (a > b)
        return;
    dropTyped(a, b);
    std::fill(m_kind.begin() + a, m_kind.begin() + b + 1, quint8(Empty));
}

void CellTextRow::shiftRight(int first, int last)
{
    const int a = first - 1, b = last - 1;
    if (a < 0 || b < a)
        return;
    if (a >= int(m_kind.size()))
        return; // all empty already
    ensureLength(b + 1);
    std::memmove(m_kind.data() + a + 1, m_kind.data() + a, size_t(b - a));
    std::memmove(m_byte.data() + a + 1, m_byte.data() + a, size_t(b - a));
    m_kind[size_t(a)] = Empty;
    if (!m_typed.isEmpty()) {
        QHash<int, QString> moved;
        for (auto it = m_typed.cbegin(); it != m_typed.cend(); ++it) {
            if (it.key() >= a && it.key() < b)
                moved.insert(it.key() + 1, it.value());
            else if (it.key() != b)
                moved.insert(it.key(), it.value());
        }
        m_typed = std::move(moved);
    }
}

void CellTextRow::shiftLeft(int first, int last)
{
    const int a = first - 1, b = last - 1;
    if (a < 0 || b <= a)
        return;
    if (a >= int(m_kind.size()))
        return;
    ensureLength(b + 1);
    std::memmove(m_kind.data() + a, m_kind.data() + a + 1, size_t(b - a));
    std::memmove(m_byte.data() + a, m_byte.data() + a + 1, size_t(b - a));
    if (!m_typed.isEmpty()) {
        QHash<int, QString> moved;
        for (auto it = m_typed.cbegin(); it != m_typed.cend(); ++it) {
            if (it.key() > a && it.key() <= b)
                moved.insert(it.key() - 1, it.value());
            if (it.key() < a || it.key() >= b)
                moved.insert(it.key(), it.value());
        }
        m_typed = std::move(moved);
    }
}
