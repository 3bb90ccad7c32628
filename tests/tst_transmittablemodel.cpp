#include "tables/transmittablemodel.h"

#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

namespace {

QStringList hexTexts(const TransmitTableModel &m, int last)
{
    QStringList out;
    for (int c = 1; c <= last; ++c)
        out << m.hexText(c);
    return out;
}

QStringList numbers(const TransmitTableModel &m, int last)
{
    QStringList out;
    for (int c = 1; c <= last; ++c)
        out << m.numberText(c);
    return out;
}

// The table as the byte operations of the editor would leave it, texts typed
// by hand so that they are kept as typed.
void typeTable(TransmitTableModel &m, const QStringList &hex)
{
    m.setDataColumnCount(int(hex.size()));
    m.renumber(1, int(hex.size()));
    for (int c = 1; c <= hex.size(); ++c) {
        m.setHexText(c, hex[c - 1]);
        m.setAsciiText(c, QString(QChar(hex[c - 1].toInt(nullptr, 16))));
    }
}

} // namespace

class TstTransmitTableModel : public QObject
{
    Q_OBJECT
private slots:
    void startsWithOneEmptyColumn()
    {
        TransmitTableModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(m.dataColumnCount(), 1);
        QCOMPARE(m.columnCount(), 2);
        QCOMPARE(m.rowCount(), 3);
        QCOMPARE(m.index(0, 0).data().toString(), QString("№"));
        QCOMPARE(m.index(1, 0).data().toString(), QString("Hex"));
        QCOMPARE(m.index(2, 0).data().toString(), QString("ASCII"));
        QCOMPARE(m.index(0, 1).data().toString(), QString("1"));
        QCOMPARE(m.readBytes(), QByteArray(1, '\0'));
        QVERIFY(m.flags(m.index(1, 1)) & Qt::ItemIsEditable);
        QVERIFY(m.flags(m.index(2, 1)) & Qt::ItemIsEditable);
        QVERIFY(!(m.flags(m.index(0, 1)) & Qt::ItemIsEditable));
        QVERIFY(!(m.flags(m.index(1, 0)) & Qt::ItemIsEditable));
    }

    void hexCellsReadAsBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("byte");
        QTest::newRow("pair") << "41" << 0x41;
        QTest::newRow("one digit") << "a" << 0x0A;
        QTest::newRow("lower pair") << "0a" << 0x0A;
        QTest::newRow("three digits") << "1FF" << 0xFF;
        QTest::newRow("32 bits") << "FFFFFFFF" << 0xFF;
        QTest::newRow("leading zeros") << "0000000041" << 0x41;
        QTest::newRow("beyond 32 bits") << "100000000" << 0;
        QTest::newRow("not hex") << "G1" << 0;
        QTest::newRow("zz") << "zz" << 0;
        QTest::newRow("space before") << " 41" << 0;
        QTest::newRow("space after") << "41 " << 0;
        QTest::newRow("sign") << "+1" << 0;
        QTest::newRow("prefix") << "0x41" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void hexCellsReadAsBytes()
    {
        QFETCH(QString, text);
        QFETCH(int, byte);
        TransmitTableModel m;
        m.setDataColumnCount(2);
        m.setHexText(1, text);
        m.setHexText(2, "7E");
        QCOMPARE(m.hexText(1), text); // kept as typed
        const char expected[2] = {char(byte), char(0x7E)};
        QCOMPARE(m.readBytes(), QByteArray(expected, 2));
    }

    // Every byte written by setBytes reads back, with its texts.
    void bytesRoundTrip()
    {
        TransmitTableModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        m.setBytes(all);
        QCOMPARE(m.dataColumnCount(), 256);
        QCOMPARE(m.readBytes(), all);
        QCOMPARE(m.hexText(11), QString("0A"));
        QCOMPARE(m.hexText(256), QString("FF"));
        QCOMPARE(m.asciiText(0x42), QString("A"));
        QCOMPARE(m.asciiText(0xC1), QString("А"));
        QCOMPARE(m.asciiText(1), QString(QChar(0)));
        QCOMPARE(m.numberText(256), QString("256"));
        m.setBytes("\x11\x22");
        QCOMPARE(m.dataColumnCount(), 2);
        QCOMPARE(m.readBytes(), QByteArray("\x11\x22"));
        // Columns beyond the shown ones keep what they held.
        QCOMPARE(m.hexText(3), QString("02"));
    }

    void shrinkThenGrowShowsOldTexts()
    {
        TransmitTableModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        typeTable(m, {"11", "22", "33"});
        m.setDataColumnCount(1);
        QCOMPARE(m.readBytes(), QByteArray("\x11"));
        QVERIFY(!m.index(1, 2).isValid());
        m.setDataColumnCount(3);
        QCOMPARE(m.index(1, 2).data().toString(), QString("22"));
        QCOMPARE(m.readBytes(), QByteArray("\x11\x22\x33"));
        // Columns that never held text read as empty, byte 0.
        m.setDataColumnCount(5);
        QCOMPARE(hexTexts(m, 5), (QStringList{"11", "22", "33", "", ""}));
        QCOMPARE(m.readBytes(), QByteArray("\x11\x22\x33\0\0", 5));
        // A clear of the shown columns leaves the hidden ones alone.
        m.setDataColumnCount(1);
        m.clearTexts(1, 1);
        m.setDataColumnCount(3);
        QCOMPARE(hexTexts(m, 3), (QStringList{"", "22", "33"}));
    }

    void editsStoreTextAsTyped()
    {
        TransmitTableModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.setDataColumnCount(2);
        QSignalSpy edited(&m, &TransmitTableModel::cellEdited);
        QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
        QVERIFY(m.setData(m.index(1, 2), "1ff"));
        QVERIFY(m.setData(m.index(2, 1), "abc"));
        QCOMPARE(m.hexText(2), QString("1ff"));
        QCOMPARE(m.asciiText(1), QString("abc"));
        QCOMPARE(edited.count(), 2);
        QCOMPARE(edited.at(0), (QList<QVariant>{2, 1, QString("1ff")}));
        QCOMPARE(edited.at(1), (QList<QVariant>{1, 2, QString("abc")}));
        QCOMPARE(changed.count(), 2);
        // Numbers and headers are not edited.
        QVERIFY(!m.setData(m.index(0, 1), "9"));
        QVERIFY(!m.setData(m.index(1, 0), "x"));
        QCOMPARE(m.numberText(1), QString("1"));
        QCOMPARE(edited.count(), 2);
        // Program writes do not count as edits.
        m.setAsciiText(2, QString(QChar(0xFF)));
        QCOMPARE(edited.count(), 2);
        QCOMPARE(m.index(2, 2).data().toString(), QString(QChar(0xFF)));
    }

    void numbersAreWrittenNotComputed()
    {
        TransmitTableModel m;
        m.setDataColumnCount(3);
        QCOMPARE(numbers(m, 3), (QStringList{"1", "", ""}));
        m.renumber(1, 3);
        QCOMPARE(numbers(m, 3), (QStringList{"1", "2", "3"}));
        // A column added without renumbering keeps an unwritten number cell.
        m.setDataColumnCount(8192);
        m.renumber(1, 8192);
        m.setDataColumnCount(8193);
        QCOMPARE(m.numberText(8193), QString());
        QCOMPARE(m.numberText(8192), QString("8192"));
        // ... until something writes it; shrinking keeps written numbers.
        m.setNumberText(8195, "8195");
        QCOMPARE(m.numberText(8194), QString());
        QCOMPARE(m.numberText(8195), QString("8195"));
        m.setNumberText(8193, "8193");
        m.setNumberText(8194, "8194");
        QCOMPARE(numbers(m, 8196).mid(8191), (QStringList{"8192", "8193", "8194", "8195", ""}));
        m.setDataColumnCount(1);
        m.setDataColumnCount(8196);
        QCOMPARE(m.numberText(8195), QString("8195"));
        m.setNumberText(2, "x");
        QCOMPARE(m.numberText(2), QString("x"));
        m.renumber(1, 4);
        QCOMPARE(m.numberText(2), QString("2"));
    }

    // Insert and delete move texts, typed ones included; numbers stay put.
    void shiftingTexts_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("hex");
        QTest::newRow("insert at 1") << "insert" << 1 << QStringList{"", "11", "zz", "33"};
        QTest::newRow("insert at 3") << "insert" << 3 << QStringList{"11", "zz", "", "33"};
        QTest::newRow("menu delete at 1") << "menu delete" << 1 << QStringList{"zz", "33", ""};
        QTest::newRow("menu delete at 2") << "menu delete" << 2 << QStringList{"11", "33", ""};
        QTest::newRow("button delete at 1") << "button delete" << 1 << QStringList{"zz", "33", "33"};
        QTest::newRow("button delete at 3") << "button delete" << 3 << QStringList{"11", "zz", "33"};
    }
    void shiftingTexts()
    {
        QFETCH(QString, operation);
        QFETCH(int, column);
        QFETCH(QStringList, hex);
        TransmitTableModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        typeTable(m, {"11", "zz", "33"});
        m.setHexText(5, "55"); // hidden beyond the table
        if (operation == "insert") {
            m.setDataColumnCount(4);
            m.shiftTextsRight(column, 4);
        } else {
            m.shiftTextsLeft(column, 3);
            if (operation == "menu delete")
                m.clearTexts(3, 3);
            m.setDataColumnCount(2);
            m.setDataColumnCount(3); // grown again to show what column 3 kept
        }
        QCOMPARE(hexTexts(m, int(hex.size())), hex);
        QCOMPARE(m.hexText(5), QString("55"));
        QCOMPARE(m.numberText(4), QString());
        // The ASCII row moves with the hex row.
        for (int c = 1; c <= hex.size(); ++c)
            QCOMPARE(m.asciiText(c).isEmpty(), hex[c - 1].isEmpty());
    }

    // Ten million bytes take no per-cell strings: fast, and exact.
    void tenMillionBytes()
    {
        QByteArray big(10'000'000, Qt::Uninitialized);
        for (qsizetype i = 0; i < big.size(); ++i)
            big[i] = char(i * 7);
        TransmitTableModel m;
        QElapsedTimer timer;
        timer.start();
        m.setBytes(big);
        const QByteArray back = m.readBytes();
#if !defined(__SANITIZE_ADDRESS__)
        // Per-cell strings would take seconds; the byte form takes a fraction of one.
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
#endif
        QCOMPARE(back, big);
        QCOMPARE(m.numberText(10'000'000), QString("10000000"));
        QCOMPARE(m.hexText(9'999'999), QString::number(quint8(big[9'999'998]), 16).toUpper().rightJustified(2, '0'));
        m.setHexText(5'000'000, "abc");
        QCOMPARE(m.readBytes().at(4'999'999), char(0xBC));
    }
};

QTEST_GUILESS_MAIN(TstTransmitTableModel)
#include "tst_transmittablemodel.moc"
