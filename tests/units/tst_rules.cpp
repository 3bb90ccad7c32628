#include "core/portsettings.h"
#include "core/receivestatus.h"
#include "core/textfile.h"

#include <QLocale>
#include <QTest>
#include <QTime>

// The small text rules the port, receive and bit-sequence units apply.
class TstRules : public QObject
{
    Q_OBJECT
private slots:
    void portName_data()
    {
        QTest::addColumn<QString>("path");
        for (const auto &[name, path] : {std::pair{"COM1", "/dev/ttyS0"}, {"com12", "/dev/ttyS11"}, {"COM0", "/dev/COM0"},
                                         {"pts/3", "/dev/pts/3"}, {"/dev/pts/3", "/dev/pts/3"}})
            QTest::addRow("%s", name) << path;
    }
    void portName() { QTEST(portsettings::resolvePortName(QTest::currentDataTag()), "path"); }

    // A typed positive whole number is the rate; anything else keeps the old one.
    void baud_data()
    {
        QTest::addColumn<int>("rate"); // -1: not taken
        for (const auto &[text, rate] : {std::pair{"31250", 31250}, {" 921600 ", 921600}, {"0", -1},
                                         {"99999999999", -1}, {"9600.5", -1}})
            QTest::addRow("%s", text) << rate;
    }
    void baud() { QTEST(portsettings::parseBaudRate(QTest::currentDataTag()).value_or(-1), "rate"); }

    // A cell of the bit sequence is 1 only when it reads as the decimal number 1.
    void bit_data()
    {
        QTest::addColumn<bool>("bit");
        for (const char *one : {"1", "01", "+1", " 1 "})
            QTest::addRow("%s", one) << true;
        for (const char *zero : {"0", "11", "-1", "1A", "", "4294967297", "١"})
            QTest::addRow("%s", zero) << false;
    }
    void bit() { QTEST(DtrRtsBit(QString::fromUtf8(QTest::currentDataTag())), "bit"); }

    // Minutes and seconds whatever the clock or separator.
    void timeStamp()
    {
        QCOMPARE(TimeStamp(QTime(21, 5, 7), QLocale("en_US")), QStringLiteral("05:07")); // a 12-hour clock
        QCOMPARE(TimeStamp(QTime(23, 59, 0), QLocale("fi_FI")), QStringLiteral("59.00"));
    }
};

QTEST_GUILESS_MAIN(TstRules)
#include "tst_rules.moc"
