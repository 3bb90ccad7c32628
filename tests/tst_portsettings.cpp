#include "serial/portsettings.h"

#include <QTest>

class TstPortSettings : public QObject
{
    Q_OBJECT
private slots:
    void resolve_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::newRow("COM1") << "COM1" << "/dev/ttyS0";
        QTest::newRow("COM9") << "COM9" << "/dev/ttyS8";
        QTest::newRow("com12") << "com12" << "/dev/ttyS11";
        QTest::newRow("COM0 is a plain name") << "COM0" << "/dev/COM0";
        QTest::newRow("COM01 is a plain name") << "COM01" << "/dev/COM01";
        QTest::newRow("COM alone") << "COM" << "/dev/COM";
        QTest::newRow("usb") << "ttyUSB0" << "/dev/ttyUSB0";
        QTest::newRow("pts") << "pts/3" << "/dev/pts/3";
        QTest::newRow("path") << "/dev/pts/3" << "/dev/pts/3";
    }
    void resolve()
    {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QCOMPARE(portsettings::resolvePortName(name), path);
    }

    void baud_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rate"); // -1: not taken
        QTest::newRow("listed") << "115200" << 115200;
        QTest::newRow("unlisted") << "31250" << 31250;
        QTest::newRow("high") << "921600" << 921600;
        QTest::newRow("spaces") << " 250000 " << 250000;
        QTest::newRow("zero") << "0" << -1;
        QTest::newRow("negative") << "-9600" << -1;
        QTest::newRow("word") << "fast" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("overflow") << "99999999999" << -1;
        QTest::newRow("fraction") << "9600.5" << -1;
    }
    void baud()
    {
        QFETCH(QString, text);
        QFETCH(int, rate);
        const auto r = portsettings::parseBaudRate(text);
        QCOMPARE(r.has_value() ? *r : -1, rate);
    }

    void caption()
    {
        QCOMPARE(portsettings::portCaption("COM1", "9600", 8, "no", "1"),
                 QStringLiteral("Транслятор портов: COM1; 9600 бод; размер символа - 8 бит; паритет - no; стоп-битов - 1"));
    }

    void lists()
    {
        QCOMPARE(portsettings::baudRates().size(), 15);
        QCOMPARE(portsettings::baudRateIndex(110), 0);
        QCOMPARE(portsettings::baudRateIndex(256000), 14);
        QCOMPARE(portsettings::baudRateIndex(31250), -1);
        QCOMPARE(portsettings::parityNames().value(2), QStringLiteral("even"));
        QCOMPARE(portsettings::stopBitsNames().value(1), QStringLiteral("1,5"));
    }
};

QTEST_GUILESS_MAIN(TstPortSettings)
#include "tst_portsettings.moc"
