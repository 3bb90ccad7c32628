#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <memory>
#include <vector>

// Append-only byte storage in fixed chunks: growth never copies what is
// already stored, and a capture costs about one byte of memory per byte.
class ByteStore
{
public:
    static constexpr int ChunkShift = 20;               // 1 MiB chunks
    static constexpr qint64 ChunkSize = qint64(1) << ChunkShift;

    ByteStore() = default;
    ByteStore(const ByteStore &) = delete;
    ByteStore &operator=(const ByteStore &) = delete;

    void append(const char *data, qint64 n);
    quint8 at(qint64 pos) const
    {
        Q_ASSERT(pos >= 0 && pos < m_size);
        return quint8(m_chunks[size_t(pos >> ChunkShift)][pos & (ChunkSize - 1)]);
    }
    qint64 size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    void clear();
    QByteArray toByteArray() const { return mid(0, m_size); }
    // Bytes [pos, pos + len) clipped to the stored range.
    QByteArray mid(qint64 pos, qint64 len) const;
    void assign(const QByteArray &bytes);

private:
    std::vector<std::unique_ptr<char[]>> m_chunks;
    qint64 m_size = 0;
};
