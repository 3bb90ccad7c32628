#include "tables/bytestore.h"
#include "tables/columnruns.h"

#include <QTest>

namespace {

QByteArray pattern(qint64 n, int shift)
{
    QByteArray b(n, Qt::Uninitialized);
    for (qint64 i = 0; i < n; ++i)
        b[i] = char((i * 31 + shift) & 0xFF);
    return b;
}

} // namespace

class TstByteStore : public QObject
{
    Q_OBJECT
private slots:
    void appendAcrossChunks_data()
    {
        QTest::addColumn<QList<qint64>>("pieces");
        const qint64 c = ByteStore::ChunkSize;
        QTest::newRow("small") << QList<qint64>{1, 2, 3};
        QTest::newRow("exactly one chunk") << QList<qint64>{c};
        QTest::newRow("chunk then one") << QList<qint64>{c, 1};
        QTest::newRow("straddling") << QList<qint64>{c - 3, 7, c, c + 5};
        QTest::newRow("one piece of three chunks") << QList<qint64>{3 * c + 11};
        QTest::newRow("empty pieces") << QList<qint64>{0, 5, 0};
    }
    void appendAcrossChunks()
    {
        QFETCH(QList<qint64>, pieces);
        ByteStore store;
        QByteArray expected;
        int shift = 0;
        for (qint64 n : pieces) {
            const QByteArray p = pattern(n, ++shift);
            store.append(p.constData(), p.size());
            expected += p;
        }
        QCOMPARE(store.size(), expected.size());
        QCOMPARE(store.toByteArray(), expected);
        for (qint64 i = 0; i < expected.size(); i += 4099)
            QCOMPARE(store.at(i), quint8(expected[i]));
        if (!expected.isEmpty())
            QCOMPARE(store.at(expected.size() - 1), quint8(expected.back()));
        // Slices that cross chunk borders, and slices clipped at either end.
        const qint64 c = ByteStore::ChunkSize;
        for (qint64 pos : {qint64(0), c - 2, c, 2 * c - 1, expected.size() - 3}) {
            QCOMPARE(store.mid(pos, 9), expected.mid(pos, 9));
        }
        QCOMPARE(store.mid(-4, 10), expected.left(6));
        QCOMPARE(store.mid(expected.size(), 5), QByteArray());
    }

    void clearAndAssign()
    {
        ByteStore store;
        const QByteArray a = pattern(ByteStore::ChunkSize + 10, 1);
        store.append(a.constData(), a.size());
        store.clear();
        QCOMPARE(store.size(), 0);
        QVERIFY(store.toByteArray().isEmpty());
        store.append("xy", 2);
        QCOMPARE(store.toByteArray(), QByteArray("xy"));
        store.assign(a);
        QCOMPARE(store.toByteArray(), a);
        store.assign(QByteArray());
        QVERIFY(store.isEmpty());
    }

    void intervals()
    {
        ColumnIntervals set;
        set.add(1, 1);
        set.add(11, 12);
        set.add(5, 5);
        QVERIFY(set.contains(1) && set.contains(5) && set.contains(12));
        QVERIFY(!set.contains(2) && !set.contains(10) && !set.contains(13) && !set.contains(0));
        set.add(2, 4);               // touches 1 and 5
        QCOMPARE(set.intervalCount(), 2);
        set.add(6, 10);              // bridges to 11..12
        QCOMPARE(set.intervalCount(), 1);
        QVERIFY(set.contains(8));
        set.add(3, 7);               // inside: no change
        QCOMPARE(set.intervalCount(), 1);
        set.add(20, 30);
        set.add(15, 40);             // swallows 20..30
        QCOMPARE(set.intervalCount(), 2);
        QVERIFY(set.contains(40) && !set.contains(14) && !set.contains(41));
    }

    void textRuns()
    {
        ColumnTextRuns runs;
        runs.assign(1, 3, "00:01");
        runs.assign(4, 6, "00:01");   // same stamp merges
        QCOMPARE(runs.runCount(), 2); // the run and its end marker
        runs.assign(7, 7, "00:02");
        QCOMPARE(runs.at(6), QString("00:01"));
        QCOMPARE(runs.at(7), QString("00:02"));
        QVERIFY(runs.at(8).isEmpty());
        QVERIFY(runs.at(0).isEmpty());
        // Overwriting the middle of a run keeps both ends.
        runs.assign(2, 3, "00:09");
        QCOMPARE(runs.at(1), QString("00:01"));
        QCOMPARE(runs.at(2), QString("00:09"));
        QCOMPARE(runs.at(3), QString("00:09"));
        QCOMPARE(runs.at(4), QString("00:01"));
        QCOMPARE(runs.at(7), QString("00:02"));
        // Overwriting across run borders.
        runs.assign(1, 7, "00:05");
        for (int c = 1; c <= 7; ++c)
            QCOMPARE(runs.at(c), QString("00:05"));
        QVERIFY(runs.at(8).isEmpty());
        QCOMPARE(runs.runCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TstByteStore)
#include "tst_bytestore.moc"
