#include "core/bytetext.h"
#include "core/frames.h"
#include "core/hdlc.h"
#include "core/lineencoder.h"

#include <QTest>

class TstByteText : public QObject
{
    Q_OBJECT
private slots:
    // Every byte through the column texts and back by both rows.
    void everyByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b) {
            const ColumnTexts t = ByteColumnText(b + 1, quint8(b));
            QCOMPARE(t.hex, QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper());
            QCOMPARE(int(HexCellByte(t.hex.toLower())), b);
            QCOMPARE(t.ascii.size(), 1);
            QCOMPARE(int(unicodeToCp1251(t.ascii[0])), b);
            all.append(char(b));
        }
        QCOMPARE(cp1251Encode(cp1251Decode(all)), all);
        QCOMPARE(cp1251Decode(QByteArray::fromHex("41C0DFE0FFA8B8B988809FA5")), QString::fromUtf8("AАЯаяЁё№€ЂџҐ"));
        // Hex cells: the low 8 bits of a 32-bit number, 0 for any other text.
        for (const auto &[text, byte] : {std::pair{"1FF", 0xFF}, {"100000041", 0}, {"000000000041", 0x41}, {"", 0},
                                         {"4G", 0}, {" 41", 0}, {"-1", 0}, {"４１", 0}})
            QVERIFY2(HexCellByte(QString::fromUtf8(text)) == byte, text);
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

    void generator()
    {
        using C = GeneratorCommand;
        using F = GeneratorFields; // pulse, pause, count, divider, packets, pulses and pauses in a packet
        for (const auto &[command, fields, frame] :
             {std::tuple{C::StartGen, F{65537, 65536, 1000, 2}, "FFFEFFE803FFFF"}, // no divider; durations wrap
              {C::NeprGener, F{1000, 500, 3}, "FE17FC03000BFE"},
              {C::NeprSDelit, F{1000, 500, 3, 0x102}, "FC17FC03000BFE02"}, // the divider's low 8 bits
              {C::NPaketov, F{1000, 500, 99, 5, 10, 4, 2}, "FB17FC0A000BFE0504000200"},
              {C::PaketNepreryvno, F{0, 0, 0, 1, -1, 65536, 70000}, "FAFFFFFFFFFFFF0100007011"}}) // counts wrap
            QCOMPARE(GeneratorFrame(command, fields).toHex(' '), QByteArray::fromHex(frame).toHex(' '));
    }

    // Flags and escapes in data and in the FCS; 5E and 5D stay as they are.
    void hdlc()
    {
        for (const auto &[data, frame] : {std::pair{"010203", "7E0102032091 7E"}, {"", "7EFF007E"}, {"7E", "7E7D5EC0607E"},
                                          {"7D00", "7E7D5D0060A07E"}, {"53", "7E53007D5D7E"}, {"56", "7E56C07D5E7E"},
                                          {"5E5D", "7E5E5DB8697E"}})
            QCOMPARE(BuildHdlcFrame(QByteArray::fromHex(data)).toHex(' '), QByteArray::fromHex(frame).toHex(' '));
    }
};

QTEST_GUILESS_MAIN(TstByteText)
#include "tst_bytetext.moc"
