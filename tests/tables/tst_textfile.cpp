#include "tables/textfile.h"

#include <QTest>

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
        QTest::newRow("ctrl-Z after LF") << QByteArray("A\n\x1A") << QStringList{"A"};
        QTest::newRow("cp1251") << QByteArray("\xcf\xf0\xe8\r\n\xb9") << QStringList{QString::fromUtf8("При"), QString::fromUtf8("№")};
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

    void longLine()
    {
        QByteArray bytes(3'000'000, 'x');
        const QStringList lines = readAll(bytes + "\r\ny");
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].size(), 3'000'000);
    }

    void write_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("none") << QStringList() << QByteArray();
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
};

QTEST_GUILESS_MAIN(TstTextFile)
#include "tst_textfile.moc"
