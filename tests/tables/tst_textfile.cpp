#include "tables/textfile.h"

#include <QTest>

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
        QTest::newRow("CR LF") << QByteArray("A\r\nB\r\n") << QStringList{"A", "B"};
        QTest::newRow("LF only") << QByteArray("A\nB") << QStringList{"A", "B"};
        QTest::newRow("empty line") << QByteArray("\n") << QStringList{""};
        QTest::newRow("two empty lines") << QByteArray("\r\n\r\n") << QStringList{"", ""};
        QTest::newRow("CR inside dropped") << QByteArray("A\rB\r\n") << QStringList{"AB"};
        QTest::newRow("CR at end of data") << QByteArray("A\r") << QStringList{"A"};
        QTest::newRow("CR CR LF") << QByteArray("A\r\r\n") << QStringList{"A"};
        QTest::newRow("lone CR is no line end") << QByteArray("A\rB") << QStringList{"AB"};
        QTest::newRow("ctrl-Z ends data") << QByteArray("A\x1A" "B\nC") << QStringList{"A"};
        QTest::newRow("ctrl-Z first") << QByteArray("\x1A" "A\n") << QStringList();
        QTest::newRow("ctrl-Z after LF") << QByteArray("A\n\x1A") << QStringList{"A"};
        QTest::newRow("cp1251") << QByteArray("\xcf\xf0\xe8\r\n\xb9") << QStringList{QString::fromUtf8("При"), QString::fromUtf8("№")};
        QTest::newRow("nul kept") << QByteArray("A\0B\n", 4) << QStringList{QString("A") + QChar(0) + "B"};
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        TextLineReader reader(bytes);
        QStringList got;
        while (!reader.atEnd())
            got << reader.next();
        QCOMPARE(got, lines);
        QCOMPARE(reader.next(), QString());
        QVERIFY(reader.atEnd());
    }

    void longLine()
    {
        QByteArray bytes(3'000'000, 'x');
        bytes += "\r\ny";
        TextLineReader reader(bytes);
        QCOMPARE(reader.next().size(), 3'000'000);
        QCOMPARE(reader.next(), QStringLiteral("y"));
        QVERIFY(reader.atEnd());
    }

    void write_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("none") << QStringList() << QByteArray();
        QTest::newRow("two") << QStringList{"A", "B"} << QByteArray("A\r\nB\r\n");
        QTest::newRow("empty line") << QStringList{""} << QByteArray("\r\n");
        QTest::newRow("cp1251") << QStringList{QString::fromUtf8("При€")} << QByteArray("\xcf\xf0\xe8\x88\r\n");
        QTest::newRow("unrepresentable") << QStringList{QString::fromUtf8("Àx")} << QByteArray("?x\r\n");
        // One entry must stay one line, and 0x1A would end the file early.
        QTest::newRow("LF inside") << QStringList{"a\nb", "c"} << QByteArray("a b\r\nc\r\n");
        QTest::newRow("CR inside") << QStringList{"a\rb"} << QByteArray("a b\r\n");
        QTest::newRow("ctrl-Z inside") << QStringList{"a\x1A" "b", "c"} << QByteArray("a b\r\nc\r\n");
    }
    void write()
    {
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, bytes);
        const QByteArray written = WriteTextLines(lines);
        QCOMPARE(written, bytes);
        TextLineReader reader(written);
        QStringList back;
        while (!reader.atEnd())
            back << reader.next();
        QCOMPARE(back.size(), lines.size());
    }
};

QTEST_GUILESS_MAIN(TstTextFile)
#include "tst_textfile.moc"
