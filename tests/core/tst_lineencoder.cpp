#include "core/lineencoder.h"
#include "core/bytetext.h"

#include <QTest>

class TstLineEncoder : public QObject
{
    Q_OBJECT
private slots:
    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Charset>("charset");
        QTest::addColumn<QByteArray>("bytes");
        for (const auto &[text, bytes] : {std::pair{"AT$0D", "41540D"}, {"$41$$x$0d", "4124780D"}, {"A$B", "4142"},
                                          {"A$", "41"}, {"$G1", "00"}, {"$$$", "24"}, {"$$41", "243431"}, {"$1FF", "1F46"},
                                          {"АяЁ€", "C0FFA888"}, {"Àb😀", "3F623F"}, {"$A😀x", "0078"}})
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

    // Each Cyrillic letter goes from its cp1251 code to its cp866 code
    // (А..п at 0x80, р..я at 0xE0); every code below the alphabet passes.
    void dosRule()
    {
        for (char16_t u = 0x0410; u <= 0x044F; ++u) {
            const int cp866 = u < 0x0440 ? 0x80 + (u - 0x0410) : 0xE0 + (u - 0x0440);
            QCOMPARE(int(dosFromWindows(unicodeToCp1251(QChar(u)))), cp866);
        }
        for (int code = 0; code < 0xC0; ++code)
            QCOMPARE(int(dosFromWindows(quint8(code))), code);
    }
};

QTEST_GUILESS_MAIN(TstLineEncoder)
#include "tst_lineencoder.moc"
