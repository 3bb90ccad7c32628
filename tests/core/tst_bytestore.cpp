#include "core/bytefile.h"
#include "core/bytestore.h"
#include "support/filesizelimit.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr qint64 MiB = ByteStore::ChunkSize;

QByteArray pattern(qint64 n, quint32 seed)
{
    QByteArray out(n + 3, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(out.data()), out.size() / 4);
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

class TstByteStore : public QObject
{
    Q_OBJECT
private slots:
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
        QVERIFY(ReadByteFile(saved, &back, &error) && back == bytes);

        const ByteStore view = store.share();
        store.clear();
        QCOMPARE(store.spilledBytes(), 0);
        QCOMPARE(view.toByteArray(), bytes);
    }

    // The temporary file cannot grow: the store keeps every byte it took,
    // refuses the rest and says why; a clear gives it room again.
    void stopsWhenFileCannotGrow()
    {
        QTemporaryDir dir;
        ByteStore store(MiB, dir.path());
        const QByteArray bytes = pattern(8 * MiB, 3);
        qint64 kept = 0;
        {
            const FileSizeLimit limit(rlim_t(3 * MiB + 100));
            kept = appendInPieces(store, bytes);
        }
        QVERIFY2(store.hasStopped() && store.stopReason().contains(QStringLiteral("large"), Qt::CaseInsensitive),
                 qPrintable(store.stopReason()));
        QVERIFY(kept >= 4 * MiB && kept < bytes.size());
        QCOMPARE(store.refusedBytes(), bytes.size() - kept);
        QCOMPARE(store.toByteArray(), bytes.left(kept));
        QCOMPARE(store.append("more", 4), 0);
        store.clear();
        QCOMPARE(appendInPieces(store, bytes), bytes.size());
        QCOMPARE(store.toByteArray(), bytes);
    }
};

QTEST_GUILESS_MAIN(TstByteStore)
#include "tst_bytestore.moc"
