#include "tables/bytestore.h"
#include "tables/columnruns.h"

#include <QRandomGenerator>
#include <QTest>

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

    // Both against plain per-column lists, over random overlapping writes;
    // the counts are the maximal runs, so the structures stay minimal.
    void intervalsAndRunsMatchPlainLists()
    {
        QRandomGenerator rng(7);
        for (int round = 0; round < 300; ++round) {
            ColumnIntervals set;
            ColumnTextRuns runs;
            QList<bool> in(40);
            QStringList texts(40);
            for (int k = 0; k < 5; ++k) {
                const int first = rng.bounded(1, 30), last = first + rng.bounded(8);
                const QString text(QChar(u'a' + rng.bounded(3)));
                set.add(first, last);
                runs.assign(first, last, text);
                for (int c = first; c <= last; ++c)
                    in[c] = true, texts[c] = text;
            }
            int intervals = 0, textRuns = 0;
            for (int c = 0; c < 40; ++c) {
                QCOMPARE(set.contains(c), in[c]);
                QCOMPARE(runs.at(c), texts[c]);
                intervals += in[c] && (c == 0 || !in[c - 1]);
                textRuns += c > 0 && texts[c] != texts[c - 1];
            }
            QCOMPARE(set.intervalCount(), intervals);
            QCOMPARE(runs.runCount(), textRuns);
        }
    }
};

QTEST_GUILESS_MAIN(TstByteStore)
#include "tst_bytestore.moc"
