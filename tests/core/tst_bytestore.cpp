#include "core/bytefile.h"
#include "core/bytestore.h"
#include "support/filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr qint64 MiB = ByteStore::ChunkSize;

QByteArray pattern(qint64 n, quint32 seed)
{
    QByteArray out(n, Qt::Uninitialized);
    quint32 s = seed * 2654435761u + 1;
    for (qint64 i = 0; i < n; ++i) {
        s = s * 1664525u + 1013904223u;
        out[i] = char(s >> 24);
    }
    return out;
}

// Appends `bytes` in pieces of awkward sizes; returns how many were kept.
qint64 appendInPieces(ByteStore &store, const QByteArray &bytes)
{
    qint64 kept = 0;
    const qint64 sizes[] = {1, 4093, 65537, MiB - 1, 3 * MiB + 7};
    for (qint64 pos = 0, i = 0; pos < bytes.size(); ++i) {
        const qint64 n = qMin(sizes[i % 5], bytes.size() - pos);
        kept += store.append(bytes.constData() + pos, n);
        pos += n;
    }
    return kept;
}

} // namespace

class TstByteStore : public QObject
{
    Q_OBJECT
private slots:
    // Pieces that end short of, on and past chunk borders.
    void appendAcrossChunks()
    {
        const qint64 c = ByteStore::ChunkSize;
        ByteStore store;
        QByteArray expected;
        for (qint64 n : {c - 3, qint64(0), qint64(3), c, c + 5}) {
            QByteArray p(n, Qt::Uninitialized);
            for (qint64 i = 0; i < n; ++i)
                p[i] = char((i * 31 + expected.size()) & 0xFF);
            store.append(p.constData(), p.size());
            expected += p;
        }
        QCOMPARE(store.toByteArray(), expected);
        for (qint64 i = 0; i < expected.size(); i += 4099)
            QCOMPARE(store.at(i), quint8(expected[i]));
        for (qint64 pos : {qint64(0), c - 2, c, 2 * c - 1, expected.size() - 3})
            QCOMPARE(store.mid(pos, 9), expected.mid(pos, 9));
        QCOMPARE(store.mid(-4, 10), expected.left(6));
        QCOMPARE(store.mid(expected.size(), 5), QByteArray());
        store.clear();
        store.append("xy", 2);
        QCOMPARE(store.toByteArray(), QByteArray("xy"));
        store.assign(expected);
        QCOMPARE(store.toByteArray(), expected);
    }


    // Past the budget older chunks go to the temporary file; every byte still
    // reads back in order, through every way of reading.
    void spillsPastBudget_data()
    {
        QTest::addColumn<qint64>("budget");
        QTest::addColumn<qint64>("size");
        QTest::newRow("budget below one chunk") << qint64(0) << 5 * MiB + 123;
        QTest::newRow("two chunks") << 2 * MiB << 9 * MiB + 1;
        QTest::newRow("ends on a chunk border") << 3 * MiB << 8 * MiB;
        QTest::newRow("never spills") << 64 * MiB << 6 * MiB + 5;
    }
    void spillsPastBudget()
    {
        QFETCH(qint64, budget);
        QFETCH(qint64, size);
        QTemporaryDir dir;
        ByteStore store(budget, dir.path());
        const QByteArray bytes = pattern(size, quint32(budget + size));
        QCOMPARE(appendInPieces(store, bytes), size);
        QCOMPARE(store.size(), size);
        QVERIFY(store.ramBytes() <= qMax(budget, MiB));
        QCOMPARE(store.spilledBytes() > 0, size > qMax(budget, MiB));
        QVERIFY(!store.hasStopped());
        // The file has no name: nothing shows in its directory.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);

        QCOMPARE(store.toByteArray(), bytes);
        for (qint64 pos = 0; pos < size; pos += 7919)
            QCOMPARE(store.at(pos), quint8(bytes[pos]));
        QCOMPARE(store.at(size - 1), quint8(bytes[size - 1]));
        for (qint64 pos : {qint64(0), MiB - 3, 2 * MiB - 1, size - 10})
            QCOMPARE(store.mid(pos, 2 * MiB), bytes.mid(pos, 2 * MiB));
        QByteArray pieces;
        QVERIFY(store.forEachPiece(5, size, [&](const char *p, qint64 n) {
            pieces.append(p, n);
            return true;
        }));
        QCOMPARE(pieces, bytes.mid(5));

        const QString saved = dir.filePath(QStringLiteral("saved.rcv"));
        QString error;
        QVERIFY2(WriteByteFileFrom(saved, store, &error), qPrintable(error));
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);

        store.clear();
        QCOMPARE(store.size(), 0);
        QCOMPARE(store.spilledBytes(), 0);
        QCOMPARE(store.ramBudget(), budget);
        store.append("ab", 2);
        QCOMPARE(store.toByteArray(), QByteArray("ab"));
    }

    // A second handle keeps reading the bytes the first one dropped.
    void sharedBytesOutliveClear()
    {
        ByteStore store(MiB);
        const QByteArray bytes = pattern(3 * MiB + 9, 7);
        store.append(bytes.constData(), bytes.size());
        const ByteStore view = store.share();
        QVERIFY(view.sharesWith(store));
        store.append("xyz", 3);
        QCOMPARE(view.size(), bytes.size() + 3);
        store.clear();
        QVERIFY(!view.sharesWith(store));
        QCOMPARE(store.size(), 0);
        QCOMPARE(view.toByteArray(), bytes + "xyz");
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
        QVERIFY(store.hasStopped());
        QVERIFY2(store.stopReason().contains(QStringLiteral("large"), Qt::CaseInsensitive),
                 qPrintable(store.stopReason()));
        QVERIFY(kept >= 4 * MiB && kept < bytes.size());
        QCOMPARE(store.size(), kept);
        QCOMPARE(store.refusedBytes(), bytes.size() - kept);
        QCOMPARE(store.toByteArray(), bytes.left(kept));
        QCOMPARE(store.append("more", 4), 0);
        QCOMPARE(store.size(), kept);

        store.clear();
        QVERIFY(!store.hasStopped());
        QCOMPARE(appendInPieces(store, bytes), bytes.size());
        QCOMPARE(store.toByteArray(), bytes);
    }

    void budgetFromEnvironment()
    {
        qputenv("VARNEL_RAM_BUDGET_MB", "16");
        QCOMPARE(ByteStore().ramBudget(), 16 * MiB);
        qputenv("VARNEL_RAM_BUDGET_MB", "lots");
        QCOMPARE(ByteStore().ramBudget(), ByteStore::DefaultRamBudget);
        qunsetenv("VARNEL_RAM_BUDGET_MB");
        QCOMPARE(ByteStore().ramBudget(), ByteStore::DefaultRamBudget);
    }
};

QTEST_GUILESS_MAIN(TstByteStore)
#include "tst_bytestore.moc"
