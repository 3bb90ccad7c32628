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

} // namespace

class TstTextFile : public QObject
{
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QByteArray() << QStringList();
        QTest::newRow("no line end") << QByteArray("A") << QStringList{"A"};
        QTest::newRow("CR LF") << QByteArray("A\r\n\r\nB\r\n") << QStringList{"A", "", "B"};
        QTest::newRow("LF only") << QByteArray("A\nB") << QStringList{"A", "B"};
        QTest::newRow("CR elsewhere dropped") << QByteArray("A\rB\r\r\nC\r") << QStringList{"AB", "C"};
        QTest::newRow("ctrl-Z ends data") << QByteArray("A\x1A" "B\nC") << QStringList{"A"};
        QTest::newRow("cp1251") << QByteArray("\xcf\xf0\xe8\r\n\xb9") << QStringList{QString::fromUtf8("При"), QString::fromUtf8("№")};
        QTest::newRow("3 MB line") << QByteArray(3'000'000, 'x') + "\r\ny" << QStringList{QString(3'000'000, 'x'), "y"};
        QTest::newRow("nul kept") << QByteArray("A\0B\n", 4) << QStringList{QString("A") + QChar(0) + "B"};
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QTEST(readAll(bytes), "lines");
        TextLineReader reader(bytes);
        while (!reader.atEnd())
            reader.next();
        QCOMPARE(reader.next(), QString());
    }

    void write_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("two") << QStringList{"A", ""} << QByteArray("A\r\n\r\n");
        QTest::newRow("cp1251") << QStringList{QString::fromUtf8("При€À")} << QByteArray("\xcf\xf0\xe8\x88?\r\n");
        // One entry must stay one line, and 0x1A would end the file early.
        QTest::newRow("LF and CR inside") << QStringList{"a\nb\rc", "d"} << QByteArray("a b c\r\nd\r\n");
        QTest::newRow("ctrl-Z inside") << QStringList{"a\x1A" "b"} << QByteArray("a b\r\n");
    }
    void write()
    {
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, bytes);
        QCOMPARE(WriteTextLines(lines), bytes);
        QCOMPARE(readAll(bytes).size(), lines.size());
    }

    void parseCommands_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("changes"); // false: the list stays as it was
        QTest::addColumn<Commands>("commands");
        QTest::newRow("short file") << QByteArray("3\r\nA\r\n") << true << Commands{{"A", ""}, {"", ""}, {"", ""}};
        QTest::newRow("extra lines ignored") << QByteArray("1\nA\nB\nC\n") << true << Commands{{"A", "B"}};
        QTest::newRow("zero") << QByteArray("0\r\nA\r\nB\r\n") << false << Commands();
        QTest::newRow("not a number") << QByteArray("two\r\nA\r\nB\r\n") << false << Commands();
        QTest::newRow("too many rows") << QByteArray("100001\r\n") << false << Commands();
        QTest::newRow("beyond int32") << QByteArray("4294967297\r\nA\r\nB\r\n") << false << Commands();
    }
    void parseCommands()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, changes);
        const auto parsed = ParseCommandFile(bytes);
        QCOMPARE(parsed.has_value(), changes);
        if (changes)
            QTEST(*parsed, "commands");
    }

    void largestCount()
    {
        const auto parsed = ParseCommandFile(QByteArray::number(kMaxCommandRows) + "\r\nA\r\n");
        QVERIFY(parsed);
        QCOMPARE(parsed->size(), kMaxCommandRows);
        QCOMPARE(parsed->front(), (Command{"A", ""}));
    }

    // A refused count takes only its own line, so what follows can be read.
    void refusedCountConsumesOneLine()
    {
        TextLineReader reader("x\r\n7\r\n");
        QVERIFY(!ReadCommandBlock(reader));
        QCOMPARE(reader.next(), QStringLiteral("7"));
    }

    void lineBreakInACode()
    {
        // A code with a line break in it does not shift the commands after it.
        QCOMPARE(ParseCommandFile(SerializeCommandFile({{"A", "x\ny"}, {"B", "z"}})),
                 std::optional<Commands>(Commands{{"A", "x y"}, {"B", "z"}}));
    }
};

QTEST_GUILESS_MAIN(TstTextFile)
#include "tst_textfile.moc"
