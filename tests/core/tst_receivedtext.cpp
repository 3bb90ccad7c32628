#include "core/receivedtext.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// In pieces of the given sizes in turn, or (none given) from a byte store,
// which hands them over in bounded pieces.
void appendInPieces(ReceivedText &t, const QByteArray &bytes, const QList<int> &pieces)
{
    if (pieces.isEmpty()) {
        ByteStore store;
        store.append(bytes.constData(), bytes.size());
        t.appendFrom(store, 0, 10);
        t.appendFrom(store, 10, store.size());
        return;
    }
    qsizetype pos = 0;
    for (int i = 0; pos < bytes.size(); pos += pieces[i++ % pieces.size()])
        t.append(bytes.constData() + pos, qMin<qsizetype>(pieces[i % pieces.size()], bytes.size() - pos));
}

// Checks the line index the slow way: a line starts after every CR LF pair.
void checkAgainstReference(const ReceivedText &t, const QByteArray &bytes)
{
    QList<qint64> starts{0};
    for (qsizetype i = 1; i < bytes.size(); ++i)
        if (bytes[i] == '\n' && bytes[i - 1] == '\r')
            starts << i + 1;
    starts << bytes.size() + 2; // as if the last line ended with CR LF
    QCOMPARE(t.size(), bytes.size());
    QCOMPARE(t.lineCount(), starts.size() - 1);
    qint64 longest = 0;
    for (qsizetype l = 0; l + 1 < starts.size(); ++l) {
        QCOMPARE(t.lineStart(l), starts[l]);
        QCOMPARE(t.lineEnd(l), starts[l + 1] - 2);
        longest = qMax(longest, starts[l + 1] - 2 - starts[l]);
        // Every position maps to the line that shows it; CR LF belongs to the line it ends.
        for (qint64 pos = starts[l]; pos < qMin(starts[l + 1], bytes.size() + 1); ++pos)
            if (t.lineOf(pos) != l)
                QFAIL(qPrintable(QStringLiteral("lineOf(%1) = %2, expected %3").arg(pos).arg(t.lineOf(pos)).arg(l)));
    }
    QCOMPARE(t.maxLineLength(), longest);
}

// Random bytes with a CR LF pair about every `crlfEvery` bytes.
QByteArray randomText(int size, quint32 variant, int crlfEvery)
{
    QRandomGenerator rng(variant);
    QByteArray b;
    while (b.size() < size)
        b += rng.bounded(crlfEvery) ? QByteArray(1, char(rng.bounded(256))) : QByteArray("\r\n");
    return b;
}

} // namespace

class TstReceivedText : public QObject
{
    Q_OBJECT
private slots:
    void lines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("pieces");
        QTest::newRow("lone CR and LF do not break") << QByteArray("a\rb\nc\n\rd") << QList<int>{1};
        QTest::newRow("pairs split over appends") << QByteArray("ab\r\ncd\r\n\r\n") << QList<int>{3, 1};
        // Line starts on both sides of 64 KiB block edges, exactly on them,
        // blocks without any; read from a store when no pieces are given.
        QTest::newRow("blocks, dense") << randomText(300000, 1, 3) << QList<int>{4093, 65536, 7};
        QTest::newRow("on the block edges")
            << QByteArray(65534, 'a') + "\r\n" + QByteArray(65536, 'b') + "\r\nc" << QList<int>{};
    }
    void lines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, pieces);
        ReceivedText t;
        appendInPieces(t, bytes, pieces);
        checkAgainstReference(t, bytes);
        t.clear();
        t.append("\nX", 2); // no CR before it any more
        checkAgainstReference(t, "\nX");
    }

    // Following a store that spills to its file: lines are indexed as the
    // store grows, CR LF split across catch-ups and chunk borders included.
    void followsSpillingStore()
    {
        const QByteArray bytes = randomText(4 * 1024 * 1024 + 11, 5, 40);
        ByteStore store(1 << 20);
        ReceivedText t;
        t.follow(store);
        qint64 pos = 0;
        for (qint64 n : {1, 2, 70001, 1 << 20, 3, 2 << 20}) {
            n = qMin(n, bytes.size() - pos);
            store.append(bytes.constData() + pos, n);
            pos += n;
            QCOMPARE(t.catchUp(), n);
        }
        store.append(bytes.constData() + pos, bytes.size() - pos);
        t.catchUp();
        QVERIFY(store.spilledBytes() > 0);
        checkAgainstReference(t, bytes);

        // The owner drops the bytes: the text keeps showing them.
        store.clear();
        QCOMPARE(t.catchUp(), 0);
        QCOMPARE(t.at(bytes.size() - 1), quint8(bytes.back()));

        // Appending to a followed text never writes into the store.
        store.append("AB", 2);
        t.follow(store);
        t.append("\r\nC", 3);
        QVERIFY(!t.follows(store));
        QCOMPARE(store.toByteArray(), QByteArray("AB"));
        QCOMPARE(t.text(), QStringLiteral("AB\nC"));
    }

    // CR LF is one line break; bytes 0 and 0x98 are kept, and painted
    // as blanks with the other control characters.
    void text()
    {
        ReceivedText t;
        t.append("A\r\nB\xcf\0\x98", 7);
        QCOMPARE(t.text(), QStringLiteral("A\nBП") + QChar(0) + QChar(0x98));
        QCOMPARE(t.text(0, 2), QStringLiteral("A\r"));
        QCOMPARE(t.text(-5, 99), t.text());
        QString shown;
        for (quint8 b : {0x00, 0x1F, 0x20, 0x41, 0x7F, 0x98, 0xB9, 0xC0})
            shown += ReceivedText::displayChar(b);
        QCOMPARE(shown, QStringLiteral("   A  №А"));
    }
};

QTEST_GUILESS_MAIN(TstReceivedText)
#include "tst_receivedtext.moc"
