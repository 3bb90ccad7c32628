#include "tables/commandfile.h"

#include <QTest>

using Commands = QList<Command>;
Q_DECLARE_METATYPE(Commands)

class TstCommandFile : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("changes"); // false: the list stays as it was
        QTest::addColumn<Commands>("commands");
        QTest::newRow("short file") << QByteArray("3\r\nA\r\n") << true << Commands{{"A", ""}, {"", ""}, {"", ""}};
        QTest::newRow("extra lines ignored") << QByteArray("1\nA\nB\nC\n") << true << Commands{{"A", "B"}};
        QTest::newRow("count with spaces") << QByteArray(" 1 \nA\nB\n") << true << Commands{{"A", "B"}};
        QTest::newRow("zero") << QByteArray("0\r\nA\r\nB\r\n") << false << Commands();
        QTest::newRow("negative") << QByteArray("-2\r\nA\r\nB\r\n") << false << Commands();
        QTest::newRow("empty file") << QByteArray() << false << Commands();
        QTest::newRow("not a number") << QByteArray("two\r\nA\r\nB\r\n") << false << Commands();
        QTest::newRow("too many rows") << QByteArray("100001\r\n") << false << Commands();
        QTest::newRow("beyond int32") << QByteArray("4294967297\r\nA\r\nB\r\n") << false << Commands();
    }
    void parse()
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

    void roundTrip()
    {
        QCOMPARE(SerializeCommandFile({{"", ""}}), QByteArray("1\r\n\r\n\r\n"));
        const Commands commands{{"$1", "$41"}, {QString::fromUtf8("Сброс"), "$1B"}};
        const QByteArray bytes = SerializeCommandFile(commands);
        QCOMPARE(bytes, QByteArray("2\r\n$1\r\n$41\r\n\xd1\xe1\xf0\xee\xf1\r\n$1B\r\n"));
        QCOMPARE(ParseCommandFile(bytes), std::optional<Commands>(commands));
        // A code with a line break in it does not shift the commands after it.
        QCOMPARE(ParseCommandFile(SerializeCommandFile({{"A", "x\ny"}, {"B", "z"}})),
                 std::optional<Commands>(Commands{{"A", "x y"}, {"B", "z"}}));
    }
};

QTEST_GUILESS_MAIN(TstCommandFile)
#include "tst_commandfile.moc"
