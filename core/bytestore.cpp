#include "core/bytestore.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Chunks come straight from the kernel so that a dropped chunk gives its
// memory back at once (the allocator would keep freed 1 MiB blocks).
char *newChunk()
{
    void *p = ::mmap(nullptr, size_t(ByteStore::ChunkSize), PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    return static_cast<char *>(p);
}

void freeChunk(char *chunk)
{
    if (chunk)
        ::munmap(chunk, size_t(ByteStore::ChunkSize));
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A file nobody can open by name, gone with the last descriptor.
int openUnlinkedFile(const QString &directory, QString *error)
{
    const QByteArray dir = QFile::encodeName(directory);
#ifdef O_TMPFILE
    int fd = ::open(dir.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return fd;
#endif
    QByteArray name = dir + "/varnel-capture-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        *error = systemError(errno);
        return -1;
    }
    ::unlink(name.constData());
    return fd;
}

bool readFully(int fd, char *dst, qint64 len, qint64 offset)
{
    while (len > 0) {
        const ssize_t n = ::pread(fd, dst, size_t(len), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        dst += n;
        len -= n;
        offset += n;
    }
    return true;
}

} // namespace

qint64 ByteStore::defaultRamBudget()
{
    bool ok = false;
    const int mb = qEnvironmentVariableIntValue("VARNEL_RAM_BUDGET_MB", &ok);
    return ok && mb >= 0 ? qint64(mb) << 20 : DefaultRamBudget;
}

ByteStore::Data::Data(qint64 budget, QString directory)
    : budget(budget)
    , directory(std::move(directory))
{
}

ByteStore::Data::~Data()
{
    for (char *chunk : ram)
        freeChunk(chunk);
    if (fd >= 0)
        ::close(fd);
}

ByteStore::ByteStore()
    : ByteStore(defaultRamBudget())
{
}

ByteStore::ByteStore(qint64 ramBudget, const QString &spillDirectory)
    : m_d(std::make_shared<Data>(ramBudget, spillDirectory))
{
}

ByteStore::ByteStore(ByteStore &&other)
    : m_d(std::move(other.m_d))
{
    other.m_d = std::make_shared<Data>(m_d->budget, m_d->directory);
}

ByteStore &ByteStore::operator=(ByteStore &&other)
{
    if (this != &other) {
        m_d = std::move(other.m_d);
        other.m_d = std::make_shared<Data>(m_d->budget, m_d->directory);
    }
    return *this;
}

ByteStore::~ByteStore() = default;

ByteStore ByteStore::share() const
{
    ByteStore other(m_d->budget, m_d->directory);
    other.m_d = m_d;
    return other;
}

void ByteStore::setRamBudget(qint64 bytes)
{
    m_d->budget = bytes;
}

void ByteStore::stop(const QString &reason)
{
    m_d->stopped = true;
    m_d->stopReason = reason;
}

bool ByteStore::spillOldest()
{
    Data &d = *m_d;
    if (d.fd < 0) {
        QString error;
        d.fd = openUnlinkedFile(d.directory.isEmpty() ? QDir::tempPath() : d.directory, &error);
        if (d.fd < 0) {
            stop(error);
            return false;
        }
    }
    const qint64 chunk = d.firstRamChunk;
    const char *src = d.ram[size_t(chunk)];
    qint64 done = 0;
    while (done < ChunkSize) {
        const ssize_t n = ::pwrite(d.fd, src + done, size_t(ChunkSize - done), off_t(chunk * ChunkSize + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // The chunk stays in memory: nothing stored is lost.
            stop(systemError(n < 0 ? errno : ENOSPC));
            return false;
        }
        done += n;
    }
    freeChunk(d.ram[size_t(chunk)]);
    d.ram[size_t(chunk)] = nullptr;
    ++d.firstRamChunk;
    --d.ramChunks;
    return true;
}

qint64 ByteStore::append(const char *data, qint64 n)
{
    Data &d = *m_d;
    qint64 kept = 0;
    while (n > 0) {
        if (d.stopped) {
            d.refused += n;
            break;
        }
        const qint64 offset = d.size & (ChunkSize - 1);
        if (offset == 0 && size_t(d.size >> ChunkShift) == d.ram.size()) {
            if (d.ramChunks > 0 && (d.ramChunks + 1) * ChunkSize > d.budget && !spillOldest())
                continue;
            d.ram.push_back(newChunk());
            ++d.ramChunks;
        }
        const qint64 take = qMin(n, ChunkSize - offset);
        std::memcpy(d.ram.back() + offset, data, size_t(take));
        d.size += take;
        data += take;
        n -= take;
        kept += take;
    }
    return kept;
}

void ByteStore::clear()
{
    m_d = std::make_shared<Data>(m_d->budget, m_d->directory);
}

const char *ByteStore::cachedChunk(qint64 chunk) const
{
    Data &d = *m_d;
    // Reading on through one chunk is the common case.
    if (d.cache[d.lastSlot].chunk == chunk)
        return d.cache[d.lastSlot].bytes.get();
    CacheSlot *victim = &d.cache[0];
    for (CacheSlot &slot : d.cache) {
        if (slot.chunk == chunk) {
            slot.lastUse = ++d.useCounter;
            d.lastSlot = int(&slot - d.cache);
            return slot.bytes.get();
        }
        if (slot.lastUse < victim->lastUse)
            victim = &slot;
    }
    if (!victim->bytes)
        victim->bytes.reset(new char[size_t(ChunkSize)]);
    if (!readFully(d.fd, victim->bytes.get(), ChunkSize, chunk * ChunkSize)) {
        victim->chunk = -1;
        victim->lastUse = 0;
        return nullptr;
    }
    victim->chunk = chunk;
    victim->lastUse = ++d.useCounter;
    d.lastSlot = int(victim - d.cache);
    return victim->bytes.get();
}

quint8 ByteStore::spilledAt(qint64 pos) const
{
    const char *chunk = cachedChunk(pos >> ChunkShift);
    return chunk ? quint8(chunk[pos & (ChunkSize - 1)]) : 0;
}

bool ByteStore::forEachPiece(qint64 from, qint64 to, const std::function<bool(const char *, qint64)> &f) const
{
    from = qMax<qint64>(0, from);
    to = qMin(to, size());
    std::unique_ptr<char[]> buffer;
    while (from < to) {
        const qint64 chunk = from >> ChunkShift;
        const qint64 offset = from & (ChunkSize - 1);
        const qint64 take = qMin(to - from, ChunkSize - offset);
        const char *piece = m_d->ram[size_t(chunk)];
        if (piece) {
            piece += offset;
        } else {
            // Straight from the file: a long read must not evict what is on screen.
            if (!buffer)
                buffer.reset(new char[size_t(ChunkSize)]);
            if (!readFully(m_d->fd, buffer.get(), take, from))
                return false;
            piece = buffer.get();
        }
        if (!f(piece, take))
            return false;
        from += take;
    }
    return true;
}

bool ByteStore::read(qint64 pos, char *dst, qint64 len) const
{
    return forEachPiece(pos, pos + len, [&dst](const char *piece, qint64 n) {
        std::memcpy(dst, piece, size_t(n));
        dst += n;
        return true;
    });
}

QByteArray ByteStore::mid(qint64 pos, qint64 len) const
{
    if (pos < 0) {
        len += pos;
        pos = 0;
    }
    len = qMin(len, size() - pos);
    if (len <= 0)
        return {};
    QByteArray out(len, Qt::Uninitialized);
    if (!read(pos, out.data(), len))
        return {};
    return out;
}

void ByteStore::assign(const QByteArray &bytes)
{
    clear();
    append(bytes.constData(), bytes.size());
}
