#include "core/bytetext.h"

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
        for (const auto &[text, byte] : {std::pair{"a", 0x0A}, {"fE", 0xFE}, {"1FF", 0xFF}, {"FFFFFFFF", 0xFF},
                                         {"100000000", 0}, {"000000000041", 0x41}, {"0000000100000000", 0}, {"", 0},
                                         {"4G", 0}, {" 41", 0}, {"-1", 0}, {"0x41", 0}, {"４１", 0}})
            QTest::addRow("'%s'", text) << QString::fromUtf8(text) << byte;
    }
    void hexCellByte()
    {
        QFETCH(QString, text);
        QTEST(int(HexCellByte(text)), "byte");
    }

    // Every byte through the column texts and back by both rows.
    void everyByteRoundTrips()
    {
        QSet<QChar> seen;
        QByteArray all;
        for (int b = 0; b < 256; ++b) {
            const ColumnTexts t = ByteColumnText(b + 1, quint8(b));
            QCOMPARE(t.number, QString::number(b + 1));
            QCOMPARE(t.hex, QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper());
            QCOMPARE(int(HexCellByte(t.hex.toLower())), b);
            QCOMPARE(t.ascii.size(), 1);
            QCOMPARE(int(unicodeToCp1251(t.ascii[0])), b);
            seen.insert(t.ascii[0]);
            all.append(char(b));
        }
        QCOMPARE(seen.size(), 256);
        QCOMPARE(cp1251Encode(cp1251Decode(all)), all);
        QCOMPARE(ByteColumnText(10000000000LL, 0).number, QStringLiteral("10000000000"));
    }

    void cp1251()
    {
        QCOMPARE(cp1251Decode(QByteArray::fromHex("41C0DFE0FFA8B8B988809FA5")),
                 QString::fromUtf8("AАЯаяЁё№€ЂџҐ"));
        QCOMPARE(cp1251ToUnicode(0x98), QChar(0x98)); // unassigned in cp1251: passes through
        // À, a C1 control, a sign cp1251 lacks, a lone surrogate, one character beyond the BMP.
        QCOMPARE(cp1251Encode(QString::fromUtf8("Àx") + QChar(0x80) + QChar(0x20AD) + QChar(0xD800) + QString::fromUtf8("😀")),
                 QByteArray("?x????"));
    }
};

QTEST_GUILESS_MAIN(TstByteText)
#include "tst_bytetext.moc"
