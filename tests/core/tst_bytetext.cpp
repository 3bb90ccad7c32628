#include "core/bytetext.h"
#include "core/lineencoder.h"

#include <QTest>

class TstByteText : public QObject
{
    Q_OBJECT
private slots:
    void hexCellByte_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("byte");
        for (const auto &[text, byte] : {std::pair{"a", 0x0A}, {"1FF", 0xFF}, {"100000041", 0}, {"000000000041", 0x41},
                                         {"", 0}, {"4G", 0}, {" 41", 0}, {"-1", 0}, {"４１", 0}})
            QTest::addRow("'%s'", text) << QString::fromUtf8(text) << byte;
    }
    void hexCellByte()
    {
        QFETCH(QString, text);
        QTEST(int(HexCellByte(text)), "byte");
    }

    // Every byte through the column texts and back by both rows, and
    // through the DOS rule: Cyrillic А..п to 0x80, р..я to 0xE0, the rest as is.
    void everyByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b) {
            const ColumnTexts t = ByteColumnText(b + 1, quint8(b));
            QCOMPARE(t.hex, QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper());
            QCOMPARE(int(HexCellByte(t.hex.toLower())), b);
            QCOMPARE(t.ascii.size(), 1);
            QCOMPARE(int(unicodeToCp1251(t.ascii[0])), b);
            QCOMPARE(int(dosFromWindows(quint8(b))), b < 0xC0 ? b : b < 0xF0 ? b - 0x40 : b - 0x10);
            all.append(char(b));
        }
        QCOMPARE(cp1251Encode(cp1251Decode(all)), all);
        QCOMPARE(cp1251Decode(QByteArray::fromHex("41C0DFE0FFA8B8B988809FA5")), QString::fromUtf8("AАЯаяЁё№€ЂџҐ"));
    }

    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Charset>("charset");
        QTest::addColumn<QByteArray>("bytes");
        for (const auto &[text, bytes] : {std::pair{"$41$$x$0d", "4124780D"}, {"A$B", "4142"}, {"A$", "41"},
                                          {"$G1", "00"}, {"$$$", "24"}, {"$1FF", "1F46"}, {"АяЁ€", "C0FFA888"},
                                          {"Àb😀\xC2\x80₭", "3F623F3F3F"}, {"$A😀x", "0078"}})
            QTest::addRow("%s", text) << QString::fromUtf8(text) << Charset::Windows << QByteArray::fromHex(bytes);
        // The DOS rule applies to characters, not to what "$" escapes give.
        for (const auto &[text, bytes] : {std::pair{"АпряЁ", "80AFE0EFA8"}, {"$C0", "C0"}})
            QTest::addRow("DOS %s", text) << QString::fromUtf8(text) << Charset::Dos << QByteArray::fromHex(bytes);
    }
    void encode()
    {
        QFETCH(QString, text);
        QFETCH(Charset, charset);
        QFETCH(QByteArray, bytes);
        QCOMPARE(EncodeTransmitLine(text, charset).toHex(' '), bytes.toHex(' '));
    }
};

QTEST_GUILESS_MAIN(TstByteText)
#include "tst_bytetext.moc"
