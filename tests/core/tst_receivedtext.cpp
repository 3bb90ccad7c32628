#include "core/receivedtext.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// Line starts the slow way: after every CR LF pair.
QList<qint64> referenceStarts(const QByteArray &bytes)
{
    QList<qint64> starts{0};
    for (qsizetype i = 1; i < bytes.size(); ++i)
        if (bytes[i] == '\n' && bytes[i - 1] == '\r')
            starts << i + 1;
    return starts;
}

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

void checkAgainstReference(const ReceivedText &t, const QByteArray &bytes)
{
    const QList<qint64> starts = referenceStarts(bytes);
    QCOMPARE(t.size(), bytes.size());
    QCOMPARE(t.lineCount(), starts.size());
    qint64 longest = 0;
    for (qsizetype l = 0; l < starts.size(); ++l) {
        const qint64 end = l + 1 < starts.size() ? starts[l + 1] - 2 : bytes.size();
        QCOMPARE(t.lineStart(l), starts[l]);
        QCOMPARE(t.lineEnd(l), end);
        longest = qMax(longest, end - starts[l]);
    }
    QCOMPARE(t.maxLineLength(), longest);
    // Every position maps to the line that shows it; CR LF belongs to the line it ends.
    qsizetype line = 0;
    for (qint64 pos = 0; pos <= bytes.size(); ++pos) {
        while (line + 1 < starts.size() && starts[line + 1] <= pos)
            ++line;
        if (t.lineOf(pos) != line)
            QFAIL(qPrintable(QStringLiteral("lineOf(%1) = %2, expected %3").arg(pos).arg(t.lineOf(pos)).arg(line)));
    }
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
        QTest::newRow("no break") << QByteArray("ABC") << QList<int>{};
        QTest::newRow("lone CR and LF do not break") << QByteArray("a\rb\nc\n\rd") << QList<int>{1};
        QTest::newRow("pairs split over appends") << QByteArray("ab\r\ncd\r\n\r\n") << QList<int>{3, 1};
        // Line starts on both sides of 64 KiB block edges, exactly on them,
        // blocks without any.
        QTest::newRow("blocks, dense") << randomText(300000, 1, 3) << QList<int>{4093, 65536, 7};
        QTest::newRow("on the block edges")
            << QByteArray(65534, 'a') + "\r\n" + QByteArray(65536, 'b') + "\r\nc" << QList<int>{};
        QTest::newRow("from a store") << randomText(3 * 1024 * 1024 + 5, 3, 50) << QList<int>{};
    }
    void lines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, pieces);
        ReceivedText t;
        appendInPieces(t, bytes, pieces);
        checkAgainstReference(t, bytes);
        t.clear();
        QCOMPARE(t.size(), 0);
        QCOMPARE(t.lineCount(), 1);
        QCOMPARE(t.maxLineLength(), 0);
        t.append("\nX", 2); // no CR before it any more
        QCOMPARE(t.lineCount(), 1);
    }

    // Following a store that spills to its file: lines are indexed as the
    // store grows, CR LF split across catch-ups and chunk borders included.
    void followsSpillingStore()
    {
        const QByteArray bytes = randomText(4 * 1024 * 1024 + 11, 5, 40);
        ByteStore store(1 << 20);
        ReceivedText t;
        t.follow(store);
        QVERIFY(t.follows(store));
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
        QVERIFY(!t.follows(store));
        QCOMPARE(t.size(), bytes.size());
        QCOMPARE(t.at(bytes.size() - 1), quint8(bytes.back()));
        QCOMPARE(t.catchUp(), 0);

        // Appending to a followed text never writes into the store.
        store.append("AB", 2);
        t.follow(store);
        t.append("\r\nC", 3);
        QVERIFY(!t.follows(store));
        QCOMPARE(store.toByteArray(), QByteArray("AB"));
        QCOMPARE(t.text(), QStringLiteral("AB\nC"));
    }

    void text_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("from");
        QTest::addColumn<qint64>("to");
        QTest::addColumn<QString>("expected");
        QTest::newRow("CR LF is one line break") << QByteArray("A\r\nB") << qint64(0) << qint64(4) << "A\nB";
        QTest::newRow("cp1251") << QByteArray("\xcf\xf0\xe8\xe5\xec") << qint64(0) << qint64(5) << "Прием";
        QTest::newRow("byte 0 and 0x98 kept")
            << QByteArray("a\0\x98z", 4) << qint64(0) << qint64(4) << QString(QStringLiteral("a") + QChar(0) + QChar(0x98) + "z");
        QTest::newRow("range ends between CR and LF") << QByteArray("A\r\nB") << qint64(0) << qint64(2) << "A\r";
        QTest::newRow("clipped to the text") << QByteArray("xyz") << qint64(-5) << qint64(99) << "xyz";
    }
    void text()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, from);
        QFETCH(qint64, to);
        ReceivedText t;
        t.append(bytes.constData(), bytes.size());
        QTEST(t.text(from, to), "expected");
    }

    // Control characters (and the unassigned 0x98) paint as blanks.
    void displayChars()
    {
        QString shown;
        for (quint8 b : {0x00, 0x0D, 0x1F, 0x20, 0x41, 0x7F, 0x98, 0xB9, 0xC0, 0xFF})
            shown += ReceivedText::displayChar(b);
        QCOMPARE(shown, QStringLiteral("    A  №Ая"));
    }
};

QTEST_GUILESS_MAIN(TstReceivedText)
#include "tst_receivedtext.moc"
