#include "core/receivedtext.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

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
                QFAIL(qPrintable(QStringLiteral("lineOf(%1) = %2").arg(pos).arg(t.lineOf(pos))));
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
    // Pieces arrive in a store the text follows, each caught up at once.
    void lines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<qint64>>("pieces");
        QTest::newRow("lone CR and LF do not break") << QByteArray("a\rb\nc\n\rd") << QList<qint64>{1};
        QTest::newRow("pairs split over pieces") << QByteArray("ab\r\ncd\r\n\r\n") << QList<qint64>{3, 1};
        // Line starts on both sides of 64 KiB block edges, exactly on them, blocks without any.
        QTest::newRow("on the block edges")
            << QByteArray(65534, 'a') + "\r\n" + QByteArray(65536, 'b') + "\r\nc" << QList<qint64>{65535, 7};
        QTest::newRow("spilled to the store's file") << randomText(4 * 1024 * 1024 + 11, 5, 40)
                                                     << QList<qint64>{1, 2, 70001, 1 << 20, 3};
    }
    void lines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<qint64>, pieces);
        ByteStore store(1 << 20);
        ReceivedText t;
        t.follow(store);
        for (qint64 pos = 0, i = 0; pos < bytes.size(); ++i) {
            const qint64 n = qMin(pieces[i % pieces.size()], bytes.size() - pos);
            store.append(bytes.constData() + pos, n);
            pos += n;
            QCOMPARE(t.catchUp(), n);
        }
        QCOMPARE(store.spilledBytes() > 0, bytes.size() > 2 << 20);
        checkAgainstReference(t, bytes);
        // Appending to a followed text never writes into the store.
        t.append("\r\nC", 3);
        QVERIFY(!t.follows(store));
        QCOMPARE(store.size(), bytes.size());
        checkAgainstReference(t, bytes + "\r\nC");
        t.clear();
        t.append("\nX", 2); // no CR before it any more
        checkAgainstReference(t, "\nX");
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
