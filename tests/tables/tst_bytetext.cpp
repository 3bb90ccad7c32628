#include "tables/bytetext.h"

#include <QSet>
#include <QTest>

class TstByteText : public QObject
{
    Q_OBJECT
private slots:
    void hexCellByte_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("byte");
        QTest::newRow("41") << "41" << 0x41;
        QTest::newRow("one digit") << "a" << 0x0A;
        QTest::newRow("mixed case") << "fE" << 0xFE;
        QTest::newRow("low 8 bits") << "1FF" << 0xFF;
        QTest::newRow("32 bits") << "FFFFFFFF" << 0xFF;
        QTest::newRow("8 digits") << "12345678" << 0x78;
        QTest::newRow("33 bits") << "100000000" << 0;
        QTest::newRow("9 digits") << "123456789" << 0;
        QTest::newRow("leading zeros") << "000000000041" << 0x41;
        QTest::newRow("zeros then too large") << "0000000100000000" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("not hex") << "G1" << 0;
        QTest::newRow("hex then junk") << "4G" << 0;
        QTest::newRow("space before") << " 41" << 0;
        QTest::newRow("space after") << "41 " << 0;
        QTest::newRow("space inside") << "4 1" << 0;
        QTest::newRow("minus") << "-1" << 0;
        QTest::newRow("0x prefix") << "0x41" << 0;
        QTest::newRow("fullwidth digits") << QString::fromUtf8("４１") << 0;
        QTest::newRow("arabic-indic digit") << QString::fromUtf8("٣") << 0;
    }
    void hexCellByte()
    {
        QFETCH(QString, text);
        QFETCH(int, byte);
        QCOMPARE(int(HexCellByte(text)), byte);
    }

    // Every byte through the column texts and back by both rows.
    void everyByteRoundTrips()
    {
        QSet<QChar> seen;
        for (int b = 0; b < 256; ++b) {
            const ColumnTexts t = ByteColumnText(b + 1, quint8(b));
            QCOMPARE(t.number, QString::number(b + 1));
            QCOMPARE(t.hex.size(), 2);
            QCOMPARE(t.hex, t.hex.toUpper());
            QCOMPARE(int(HexCellByte(t.hex)), b);
            QCOMPARE(int(HexCellByte(t.hex.toLower())), b);
            QCOMPARE(t.ascii.size(), 1);
            QCOMPARE(int(unicodeToCp1251(t.ascii[0])), b);
            seen.insert(t.ascii[0]);
        }
        QCOMPARE(seen.size(), 256);
    }

    void columnNumber()
    {
        QCOMPARE(ByteColumnText(10000000000LL, 0x0A), (ColumnTexts{"10000000000", "0A", QString(QChar(10))}));
        const ColumnTexts zero = ByteColumnText(1, 0);
        QCOMPARE(zero.ascii.size(), 1);
        QCOMPARE(zero.ascii[0].unicode(), u'\0');
    }

    void cp1251Letters_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("ch");
        QTest::newRow("A") << 0x41 << "A";
        QTest::newRow("DEL") << 0x7F << QString(QChar(0x7F));
        QTest::newRow("first capital") << 0xC0 << QString::fromUtf8("А");
        QTest::newRow("last capital") << 0xDF << QString::fromUtf8("Я");
        QTest::newRow("first small") << 0xE0 << QString::fromUtf8("а");
        QTest::newRow("last small") << 0xFF << QString::fromUtf8("я");
        QTest::newRow("Yo") << 0xA8 << QString::fromUtf8("Ё");
        QTest::newRow("yo") << 0xB8 << QString::fromUtf8("ё");
        QTest::newRow("numero") << 0xB9 << QString::fromUtf8("№");
        QTest::newRow("euro") << 0x88 << QString::fromUtf8("€");
        QTest::newRow("Dje") << 0x80 << QString::fromUtf8("Ђ");
        QTest::newRow("dzhe") << 0x9F << QString::fromUtf8("џ");
        QTest::newRow("nbsp") << 0xA0 << QString(QChar(0xA0));
        QTest::newRow("unassigned 98") << 0x98 << QString(QChar(0x98));
        QTest::newRow("ghe upturn") << 0xA5 << QString::fromUtf8("Ґ");
        QTest::newRow("trade mark") << 0x99 << QString::fromUtf8("™");
    }
    void cp1251Letters()
    {
        QFETCH(int, byte);
        QFETCH(QString, ch);
        QCOMPARE(QString(cp1251ToUnicode(quint8(byte))), ch);
        QCOMPARE(int(unicodeToCp1251(ch[0])), byte);
    }

    void unrepresentable_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("A grave") << 0xC0;
        QTest::newRow("C1 control") << 0x80;
        QTest::newRow("kip sign") << 0x20AD;
        QTest::newRow("lone surrogate") << 0xD800;
    }
    void unrepresentable()
    {
        QFETCH(int, code);
        QCOMPARE(int(unicodeToCp1251(QChar(char16_t(code)))), int('?'));
    }

    void codecWholeStrings()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = cp1251Decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(cp1251Encode(text), all);

        QCOMPARE(cp1251Encode(QString::fromUtf8("Привет, мир")), QByteArray::fromHex("cff0e8e2e5f22c20ece8f0"));
        // A character beyond the BMP is one character, hence one "?".
        QCOMPARE(cp1251Encode(QString::fromUtf8("a😀b")), QByteArray("a?b"));
        QCOMPARE(cp1251Encode(QString(QChar(0xDC00)) + "x"), QByteArray("?x"));
        QCOMPARE(cp1251Decode(QByteArray()), QString());
    }
};

QTEST_GUILESS_MAIN(TstByteText)
#include "tst_bytetext.moc"
