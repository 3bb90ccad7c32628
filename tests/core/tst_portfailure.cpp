#include "core/portfailure.h"

#include <QTest>

Q_DECLARE_METATYPE(PortProblem)
Q_DECLARE_METATYPE(PortFacts)

class TstPortFailure : public QObject
{
    Q_OBJECT
private slots:
    // Linux lines take 5 to 8 data bits, one or two stop bits and a positive rate.
    void unsupportedSetting_data()
    {
        QTest::addColumn<PortSettings>("settings");
        QTest::addColumn<QString>("named");
        QTest::newRow("5 bits, space, two stop") << PortSettings{"", 110, 5, 4, 2} << "";
        QTest::newRow("1.5 stop bits") << PortSettings{"", 9600, 8, 0, 1} << "1,5 стоп-бита";
        QTest::newRow("4 data bits") << PortSettings{"", 9600, 4, 0, 0} << "4 бита данных";
        QTest::newRow("negative rate") << PortSettings{"", -5, 8, 0, 0} << "скорость -5";
        QTest::newRow("no parity chosen") << PortSettings{"", 9600, 8, 255, 0} << "паритет не выбран";
        QTest::newRow("rate named first") << PortSettings{"", 0, 4, 0, 1} << "скорость 0";
    }
    void unsupportedSetting()
    {
        QFETCH(PortSettings, settings);
        QTEST(portfailure::unsupportedSetting(settings), "named");
    }

    // The remedy comes where there is one.
    void failureText()
    {
        const QString text = portfailure::failureText(PortProblem::NoPermission, QStringLiteral("/dev/ttyUSB7"),
                                                      QStringLiteral("dialout"));
        QVERIFY2(text.contains(QStringLiteral("/dev/ttyUSB7")) && text.contains(QStringLiteral("группа dialout"))
                     && text.contains(QStringLiteral("добавьте пользователя в группу dialout и войдите в систему заново")),
                 qPrintable(text));
    }

    void describe_data()
    {
        QTest::addColumn<PortFacts>("facts");
        QTest::addColumn<QString>("text");
        PortFacts usb{.path = "/dev/serial/by-id/usb-FTDI_X-if00-port0", .target = "/dev/ttyUSB0", .listed = true,
                      .description = "FT232R USB UART", .manufacturer = "FTDI", .serialNumber = "A50285BI",
                      .vendorId = 0x0403, .productId = 0x6001};
        QTest::newRow("usb adapter by id")
            << usb
            << "→ /dev/ttyUSB0: FT232R USB UART, FTDI, серийный номер "
               "A50285BI, 0403:6001";
        QTest::newRow("plain uart, no access")
            << PortFacts{.path = "/dev/ttyS0", .listed = true, .problem = PortProblem::NoPermission, .detail = "dialout"}
            << "/dev/ttyS0: последовательный порт; нет прав доступа (группа dialout)";
    }
    void describe()
    {
        QFETCH(PortFacts, facts);
        QTEST(portfailure::describe(facts), "text");
    }
};

QTEST_GUILESS_MAIN(TstPortFailure)
#include "tst_portfailure.moc"
