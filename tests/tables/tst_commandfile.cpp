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
        QTest::newRow("two commands") << QByteArray("2\r\nA\r\n$41\r\nB\r\n42\r\n") << true
                                      << Commands{{"A", "$41"}, {"B", "42"}};
        QTest::newRow("LF line ends") << QByteArray("2\nA\n$41\nB\n42") << true << Commands{{"A", "$41"}, {"B", "42"}};
        QTest::newRow("one empty") << QByteArray("1\r\n\r\n\r\n") << true << Commands{{"", ""}};
        QTest::newRow("count only") << QByteArray("1\r\n") << true << Commands{{"", ""}};
        QTest::newRow("short file") << QByteArray("3\r\nA\r\n") << true << Commands{{"A", ""}, {"", ""}, {"", ""}};
        QTest::newRow("extra lines ignored") << QByteArray("1\nA\nB\nC\nD\n") << true << Commands{{"A", "B"}};
        QTest::newRow("count with spaces") << QByteArray(" 1 \nA\nB\n") << true << Commands{{"A", "B"}};
        QTest::newRow("ctrl-Z ends file") << QByteArray("2\nA\nB\x1A" "C\nD\n") << true
                                          << Commands{{"A", "B"}, {"", ""}};
        QTest::newRow("cp1251 texts") << QByteArray("1\r\n\xd1\xe1\xf0\xee\xf1\r\n$1B\r\n") << true
                                      << Commands{{QString::fromUtf8("Сброс"), "$1B"}};
        QTest::newRow("zero") << QByteArray("0\r\nA\r\nB\r\n") << false << Commands();
        QTest::newRow("negative") << QByteArray("-2\r\nA\r\nB\r\n") << false << Commands();
        QTest::newRow("empty first line") << QByteArray("\r\nA\r\nB\r\n") << false << Commands();
        QTest::newRow("empty file") << QByteArray() << false << Commands();
        QTest::newRow("not a number") << QByteArray("two\r\nA\r\nB\r\n") << false << Commands();
        QTest::newRow("too many rows") << QByteArray("100001\r\n") << false << Commands();
        QTest::newRow("beyond int32") << QByteArray("4294967297\r\nA\r\nB\r\n") << false << Commands();
    }
    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, changes);
        QFETCH(Commands, commands);
        const auto parsed = ParseCommandFile(bytes);
        QCOMPARE(parsed.has_value(), changes);
        if (changes)
            QCOMPARE(*parsed, commands);
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

    void serialize_data()
    {
        QTest::addColumn<Commands>("commands");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("start-up list") << Commands{{"", ""}} << QByteArray("1\r\n\r\n\r\n");
        QTest::newRow("two") << Commands{{"A", "$41"}, {"B", "42"}} << QByteArray("2\r\nA\r\n$41\r\nB\r\n42\r\n");
        QTest::newRow("cp1251") << Commands{{QString::fromUtf8("Сброс"), "$1B"}}
                                << QByteArray("1\r\n\xd1\xe1\xf0\xee\xf1\r\n$1B\r\n");
    }
    void serialize()
    {
        QFETCH(Commands, commands);
        QFETCH(QByteArray, bytes);
        QCOMPARE(SerializeCommandFile(commands), bytes);
        QCOMPARE(ParseCommandFile(bytes), std::optional<Commands>(commands));
    }

    // A code with a line break in it no longer shifts the commands after it.
    void lineBreakInCode()
    {
        const Commands commands{{"A", "x\ny"}, {"B", "z"}};
        const auto back = ParseCommandFile(SerializeCommandFile(commands));
        QVERIFY(back);
        QCOMPARE(*back, (Commands{{"A", "x y"}, {"B", "z"}}));
    }
};

QTEST_GUILESS_MAIN(TstCommandFile)
#include "tst_commandfile.moc"
