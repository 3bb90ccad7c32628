#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <vector>

// Append-only byte storage in fixed chunks: growth never copies what is
// already stored, and a capture costs about one byte of memory per byte.
//
// Memory is bounded by a RAM budget: once the chunks held in memory would
// exceed it, the oldest one moves to an unlinked temporary file (in the
// system's temp directory unless told otherwise) and is read back on demand,
// so every byte stays readable in order however long the capture runs. When
// that file cannot grow (disk full, file size limit) the store keeps all it
// holds and stops adding; stopReason() gives the system's text.
//
// A store is a handle on its bytes: share() gives a second handle that reads
// the same bytes, and clear() or assign() start a fresh set without touching
// what other handles still read (so a view may keep showing a capture the
// table has dropped, without a copy of its own).
class ByteStore
{
public:
    static constexpr int ChunkShift = 20;               // 1 MiB chunks
    static constexpr qint64 ChunkSize = qint64(1) << ChunkShift;
    static constexpr qint64 DefaultRamBudget = qint64(256) << 20;

    // The budget VARNEL_RAM_BUDGET_MB sets (whole MiB), else DefaultRamBudget.
    static qint64 defaultRamBudget();

    ByteStore();
    // `spillDirectory` empty: the system's temp directory.
    explicit ByteStore(qint64 ramBudget, const QString &spillDirectory = {});
    ByteStore(ByteStore &&other);
    ByteStore &operator=(ByteStore &&other);
    ByteStore(const ByteStore &) = delete;
    ByteStore &operator=(const ByteStore &) = delete;
    ~ByteStore();

    ByteStore share() const;
    bool sharesWith(const ByteStore &other) const { return m_d == other.m_d; }

    // Returns how many bytes were kept: fewer than n only once the store has stopped.
    qint64 append(const char *data, qint64 n);
    quint8 at(qint64 pos) const
    {
        Q_ASSERT(pos >= 0 && pos < size());
        const char *chunk = m_d->ram[size_t(pos >> ChunkShift)];
        return chunk ? quint8(chunk[pos & (ChunkSize - 1)]) : spilledAt(pos);
    }
    qint64 size() const { return m_d->size; }
    bool isEmpty() const { return size() == 0; }
    // Starts an empty set of bytes with the same budget; fast at any size.
    void clear();
    QByteArray toByteArray() const { return mid(0, size()); }
    // Bytes [pos, pos + len) clipped to the stored range.
    QByteArray mid(qint64 pos, qint64 len) const;
    // Copies bytes [pos, pos + len) (which must be stored) to dst; false
    // when the temporary file could not be read.
    bool read(qint64 pos, char *dst, qint64 len) const;
    // Calls f with consecutive pieces of bytes [from, to), clipped to the
    // stored range; pieces held in memory are passed without a copy. Stops
    // early, returning false, when f returns false or a read fails.
    bool forEachPiece(qint64 from, qint64 to, const std::function<bool(const char *, qint64)> &f) const;
    void assign(const QByteArray &bytes);

    qint64 ramBudget() const { return m_d->budget; }
    void setRamBudget(qint64 bytes);
    QString spillDirectory() const { return m_d->directory; }
    // Bytes held in memory and in the temporary file.
    qint64 ramBytes() const { return m_d->ramChunks * ChunkSize; }
    qint64 spilledBytes() const { return m_d->firstRamChunk * ChunkSize; }
    // Set once adding failed; cleared only by clear() or assign().
    bool hasStopped() const { return m_d->stopped; }
    QString stopReason() const { return m_d->stopReason; }
    // Bytes refused since the store stopped.
    qint64 refusedBytes() const { return m_d->refused; }

private:
    struct CacheSlot {
        qint64 chunk = -1;
        std::unique_ptr<char[]> bytes;
        quint64 lastUse = 0;
    };
    struct Data {
        Data(qint64 budget, QString directory);
        ~Data();
        Data(const Data &) = delete;
        Data &operator=(const Data &) = delete;

        qint64 budget;
        QString directory;
        std::vector<char *> ram;        // per chunk; null once it lives in the file
        qint64 size = 0;
        qint64 ramChunks = 0;
        qint64 firstRamChunk = 0;       // chunks before it are in the file
        int fd = -1;
        bool stopped = false;
        QString stopReason;
        qint64 refused = 0;
        // Recently read file chunks, so painting a screenful costs one read.
        mutable CacheSlot cache[4];
        mutable quint64 useCounter = 0;
        mutable int lastSlot = 0;
    };

    quint8 spilledAt(qint64 pos) const;
    const char *cachedChunk(qint64 chunk) const;
    bool spillOldest();
    void stop(const QString &reason);

    std::shared_ptr<Data> m_d;
};
