#include "core/bytestore.h"

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

};

QTEST_GUILESS_MAIN(TstByteStore)
#include "tst_bytestore.moc"
