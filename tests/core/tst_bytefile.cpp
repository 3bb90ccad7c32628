#include "support/filesizelimit.h"
#include "core/bytefile.h"
#include "core/bytestore.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Writes `bytes` over an older, longer file.
bool write(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile old(path);
    return old.open(QIODevice::WriteOnly) && old.write("old bytes") == 9 && old.flush() && WriteByteFile(path, bytes, error);
}

constexpr qint64 MiB = ByteStore::ChunkSize;

QByteArray pattern(qint64 n, quint32 salt)
{
    QByteArray out(n + 3, Qt::Uninitialized);
    QRandomGenerator(salt).fillRange(reinterpret_cast<quint32 *>(out.data()), out.size() / 4);
    return out.left(n);
}

// Appends `bytes` in pieces of awkward sizes; returns how many were kept.
qint64 appendInPieces(ByteStore &store, const QByteArray &bytes)
{
    qint64 kept = 0;
    const qint64 sizes[] = {1, 65537, MiB - 1, 3 * MiB + 7};
    for (qint64 pos = 0, i = 0; pos < bytes.size(); pos += sizes[i++ % 4])
        kept += store.append(bytes.constData() + pos, qMin(sizes[i % 4], bytes.size() - pos));
    return kept;
}

} // namespace

class TstByteFile : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    // A write that runs out of room leaves the old file whole and no
    // temporary file behind, also below Qt's write buffer.
    void failedWriteKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("varnel.trn");
        QString error;
        QVERIFY(![&] { FileSizeLimit limit(1000); return write(file, QByteArray(3000, 'n'), &error); }());
        QVERIFY2(!error.isEmpty() && error != QLatin1String("Unknown error"), qPrintable(error));
        QFile old(file);
        QVERIFY(old.open(QIODevice::ReadOnly) && old.readAll() == "old bytes");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"varnel.trn"});
    }

    // A file larger than the memory left is a failed read, not the end of the program.
    void readPastMemoryFails()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer's allocator ends the process instead of failing an allocation");
#endif
        QFile big(path("big"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(qint64(1) << 30)); // sparse
        QFile statm(QStringLiteral("/proc/self/statm"));
        QVERIFY(statm.open(QIODevice::ReadOnly));
        rlimit old{};
        getrlimit(RLIMIT_AS, &old);
        const rlimit limit{rlim_t(statm.readAll().split(' ').value(0).toLongLong() * getpagesize() + (qint64(256) << 20)), old.rlim_max};
        QVERIFY(setrlimit(RLIMIT_AS, &limit) == 0);
        QByteArray out("untouched");
        QString error;
        const bool read = ReadByteFile(big.fileName(), &out, &error);
        setrlimit(RLIMIT_AS, &old);
        QVERIFY(!read && out == "untouched");
        QCOMPARE(error, qt_error_string(ENOMEM));
    }

    // Past the budget older chunks go to an unnamed temporary file; every
    // byte still reads back in order, through every way of reading, also
    // through a second handle after the first dropped them.
    void spillsPastBudget()
    {
        QTemporaryDir dir;
        ByteStore store(0, dir.path());
        const QByteArray bytes = pattern(6 * MiB, 1); // ends on a chunk border
        QCOMPARE(appendInPieces(store, bytes), bytes.size());
        QVERIFY(store.ramBytes() <= MiB && store.spilledBytes() > 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
        QCOMPARE(store.toByteArray(), bytes);
        for (qint64 pos = 0; pos < bytes.size(); pos += 7919)
            QCOMPARE(store.at(pos), quint8(bytes[pos]));
        for (qint64 pos : {qint64(-4), MiB - 3, bytes.size() - 10})
            QCOMPARE(store.mid(pos, 2 * MiB), bytes.mid(qMax(pos, 0), 2 * MiB + qMin(pos, 0)));
        const QString saved = dir.filePath(QStringLiteral("saved.rcv"));
        QString error;
        QByteArray back;
        QVERIFY2(WriteByteFileFrom(saved, store, &error), qPrintable(error));
        // Read-only files load: the reader does not ask for write access.
        QVERIFY(QFile::setPermissions(saved, QFile::ReadOwner));
        QVERIFY(ReadByteFile(saved, &back, &error) && back == bytes);
        QVERIFY(ReadByteFileStart(saved, 300000, &back, &error) && back == bytes.left(300000));
        const QString empty = dir.filePath(QStringLiteral("empty.rcv"));
        QVERIFY(write(empty, {}, &error) && ReadByteFile(empty, &back, &error) && back.isEmpty());

        const ByteStore view = store.share();
        store.clear();
        QCOMPARE(store.spilledBytes(), 0);
        QCOMPARE(view.toByteArray(), bytes);
    }
};

QTEST_GUILESS_MAIN(TstByteFile)
#include "tst_bytefile.moc"
