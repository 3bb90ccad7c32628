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
        for (const auto &[name, path] : {std::pair{"COM1", "/dev/ttyS0"}, {"com12", "/dev/ttyS11"}, {"COM0", "/dev/COM0"},
                                         {"COM01", "/dev/COM01"}, {"pts/3", "/dev/pts/3"}, {"/dev/pts/3", "/dev/pts/3"}})
            QTest::addRow("%s", name) << name << path;
    }
    void resolve()
    {
        QFETCH(QString, name);
        QTEST(portsettings::resolvePortName(name), "path");
    }

    // A typed positive whole number is the rate; anything else keeps the old one.
    void baud_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rate"); // -1: not taken
        for (const auto &[text, rate] : {std::pair{"31250", 31250}, {" 921600 ", 921600}, {"0", -1}, {"-9600", -1},
                                         {"fast", -1}, {"", -1}, {"99999999999", -1}, {"9600.5", -1}})
            QTest::addRow("'%s'", text) << text << rate;
    }
    void baud()
    {
        QFETCH(QString, text);
        QTEST(portsettings::parseBaudRate(text).value_or(-1), "rate");
    }
};

QTEST_GUILESS_MAIN(TstPortSettings)
#include "tst_portsettings.moc"
