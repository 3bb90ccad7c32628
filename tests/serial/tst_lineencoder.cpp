#include "serial/lineencoder.h"
#include "tables/bytetext.h"

#include <QTest>

Q_DECLARE_METATYPE(Charset)

class TstLineEncoder : public QObject
{
    Q_OBJECT
private slots:
    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Charset>("charset");
        QTest::addColumn<QByteArray>("bytes");
        const Charset W = Charset::Windows, D = Charset::Dos;
        auto hex = [](const char *h) { return QByteArray::fromHex(h); };
        QTest::newRow("AT CR") << "AT$0D" << W << hex("41540D");
        QTest::newRow("mixed escapes") << "$41$$x$0d" << W << hex("4124780D");
        QTest::newRow("dollar and one char") << "A$B" << W << hex("4142");
        QTest::newRow("trailing dollar") << "A$" << W << hex("41");
        QTest::newRow("bad escape") << "$G1" << W << hex("00");
        QTest::newRow("dollar in escape") << "$4$" << W << hex("00");
        QTest::newRow("three dollars") << "$$$" << W << hex("24");
        QTest::newRow("pair then digits") << "$$41" << W << hex("243431");
        QTest::newRow("three hex digits") << "$1FF" << W << hex("1F46");
        QTest::newRow("cyrillic windows") << QString::fromUtf8("АяЁ€") << W << hex("C0FFA888");
        QTest::newRow("cyrillic dos") << QString::fromUtf8("АпряЁ") << D << hex("80AFE0EFA8");
        QTest::newRow("dos escape untouched") << "$C0" << D << hex("C0");
        QTest::newRow("not in cp1251") << QString::fromUtf8("Àb😀") << W << hex("3F623F");
        QTest::newRow("escape with emoji") << QString::fromUtf8("$A😀x") << W << hex("0078");
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
