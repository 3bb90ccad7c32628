#include "core/bytestore.h"

#include <cstring>

void ByteStore::append(const char *data, qint64 n)
{
    while (n > 0) {
        const qint64 offset = m_size & (ChunkSize - 1);
        if (offset == 0 && size_t(m_size >> ChunkShift) == m_chunks.size())
            // new[] without value-initialisation: pages are only committed as they fill.
            m_chunks.emplace_back(new char[size_t(ChunkSize)]);
        const qint64 take = qMin(n, ChunkSize - offset);
        std::memcpy(m_chunks.back().get() + offset, data, size_t(take));
        m_size += take;
        data += take;
        n -= take;
    }
}

void ByteStore::clear()
{
    m_chunks.clear();
    m_size = 0;
}

QByteArray ByteStore::mid(qint64 pos, qint64 len) const
{
    if (pos < 0) {
        len += pos;
        pos = 0;
    }
    len = qMin(len, m_size - pos);
    if (len <= 0)
        return {};
    QByteArray out(len, Qt::Uninitialized);
    char *dst = out.data();
    while (len > 0) {
        const qint64 offset = pos & (ChunkSize - 1);
        const qint64 take = qMin(len, ChunkSize - offset);
        std::memcpy(dst, m_chunks[size_t(pos >> ChunkShift)].get() + offset, size_t(take));
        dst += take;
        pos += take;
        len -= take;
    }
    return out;
}

void ByteStore::assign(const QByteArray &bytes)
{
    clear();
    append(bytes.constData(), bytes.size());
}
