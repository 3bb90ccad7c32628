#include "core/commandfile.h"
#include "core/textfile.h"

#include <QTest>

using Commands = QList<Command>;

namespace {

QStringList readAll(const QByteArray &bytes)
{
    TextLineReader reader(bytes);
    QStringList lines;
    while (!reader.atEnd())
        lines << reader.next();
    return lines;
}

QByteArray pairs(int count, int pairsFollowing, const char *tail)
{
    return QByteArray::number(count) + "\n" + QByteArray("a\nb\n").repeated(pairsFollowing) + tail;
}

} // namespace

class TstTextFile : public QObject
{
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF") << QByteArray("A\r\n\r\nB\r\n") << QStringList{"A", "", "B"};
        QTest::newRow("CR elsewhere dropped, LF alone") << QByteArray("A\rB\r\r\nC\nD") << QStringList{"AB", "C", "D"};
        QTest::newRow("ctrl-Z ends data") << QByteArray("A\x1A" "B\nC") << QStringList{"A"};
        QTest::newRow("cp1251") << QByteArray("\xcf\xf0\xe8\r\n\xb9") << QStringList{QString::fromUtf8("При"), QString::fromUtf8("№")};
        QTest::newRow("3 MB line") << QByteArray(3'000'000, 'x') + "\r\ny" << QStringList{QString(3'000'000, 'x'), "y"};
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QTEST(readAll(bytes), "lines");
    }

    void write()
    {
        QCOMPARE(WriteTextLines({"A", ""}), QByteArray("A\r\n\r\n"));
        QCOMPARE(WriteTextLines({QString::fromUtf8("При€À")}), QByteArray("\xcf\xf0\xe8\x88?\r\n"));
        // One entry must stay one line, and 0x1A would end the file early.
        QCOMPARE(WriteTextLines({"a\nb\rc", "d\x1A" "e"}), QByteArray("a b c\r\nd e\r\n"));
    }

    // Lines missing at the end read as empty up to the bound; past it the
    // count is taken only when the data holds all its lines.
    void parseCommands_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows"); // -1: the list stays as it was
        QTest::addColumn<Commands>("head");
        const int past = kMaxCommandRows + 1;
        QTest::newRow("short file") << QByteArray("3\r\nA\r\n") << 3 << Commands{{"A", ""}, {"", ""}, {"", ""}};
        QTest::newRow("extra lines ignored") << QByteArray("1\nA\nB\nC\n") << 1 << Commands{{"A", "B"}};
        QTest::newRow("zero") << QByteArray("0\r\nA\r\nB\r\n") << -1 << Commands();
        QTest::newRow("beyond int32") << QByteArray("4294967297\r\nA\r\nB\r\n") << -1 << Commands();
        QTest::newRow("at the bound, one line follows")
            << QByteArray::number(kMaxCommandRows) + "\r\nA\r\n" << kMaxCommandRows << Commands{{"A", ""}};
        QTest::newRow("past the bound, last pair unended") << pairs(past, past - 1, "a\nb") << past << Commands{{"a", "b"}};
        QTest::newRow("past the bound, one line short") << pairs(past, past - 1, "a\n") << -1 << Commands();
        // A code with a line break in it does not shift the commands after it.
        QTest::newRow("line break in a code") << SerializeCommandFile({{"A", "x\ny"}, {"B", "z"}}) << 2
                                              << Commands{{"A", "x y"}, {"B", "z"}};
    }
    void parseCommands()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rows);
        QFETCH(Commands, head);
        const auto parsed = ParseCommandFile(bytes);
        QCOMPARE(parsed ? int(parsed->size()) : -1, rows);
        if (parsed)
            QCOMPARE(parsed->first(head.size()), head);
    }

    // A refused count takes only its own line, so what follows can be read.
    void refusedCountConsumesOneLine()
    {
        TextLineReader reader("x\r\n7\r\n");
        QVERIFY(!ReadCommandBlock(reader));
        QCOMPARE(reader.next(), QStringLiteral("7"));
    }
};

QTEST_GUILESS_MAIN(TstTextFile)
#include "tst_textfile.moc"
