#include "core/netportname.h"
#include "core/portsettings.h"
#include "core/telnetstream.h"

#include <QTest>

using telnet::Event;

Q_DECLARE_METATYPE(QList<Event>)

namespace {

Event nego(quint8 verb, quint8 option) { return Event{Event::Kind::Negotiation, verb, option, {}}; }
Event dropped(quint8 option) { return Event{Event::Kind::Dropped, 0, option, {}}; }

} // namespace

class TstTelnetStream : public QObject
{
    Q_OBJECT
private slots:
    void decoderSplitsDataFromCommands_data()
    {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QList<Event>>("events");
        QTest::newRow("negotiations between data") << QByteArray::fromHex("61fffd2c62fffb0063") << QByteArray("abc")
                                                   << QList<Event>{nego(telnet::DO, 44), nego(telnet::WILL, 0)};
        QTest::newRow("subnegotiation with doubled 0xFF") << QByteArray::fromHex("fffa2c6500ffff00ffff05fff07a")
                                                          << QByteArray("z")
                                                          << QList<Event>{{Event::Kind::Subnegotiation, 0, 44,
                                                                           QByteArray::fromHex("6500ff00ff05")}};
        QTest::newRow("NOP, go-ahead, data mark and garbage after IAC vanish")
            << QByteArray::fromHex("31fff132fff933fff234ff4135fff036") << QByteArray("123456") << QList<Event>{};
        QTest::newRow("subnegotiation cut short by a command") << QByteArray::fromHex("fffa2c6b30fffb0361")
                                                               << QByteArray("a")
                                                               << QList<Event>{dropped(44), nego(telnet::WILL, 3)};
        QTest::newRow("over-long subnegotiation dropped, data after it kept")
            << QByteArray::fromHex("fffa2c") + QByteArray(300, 'x') + QByteArray::fromHex("fff0") + "ok"
            << QByteArray("ok") << QList<Event>{dropped(44)};
    }
    // Whole, and cut in two at every place.
    void decoderSplitsDataFromCommands()
    {
        QFETCH(QByteArray, wire);
        QFETCH(QByteArray, data);
        QFETCH(QList<Event>, events);
        for (qsizetype cut = 0; cut < wire.size(); ++cut) {
            telnet::Decoder d;
            QByteArray gotData;
            QList<Event> gotEvents;
            d.feed(QByteArrayView(wire).first(cut), gotData, gotEvents);
            d.feed(QByteArrayView(wire).sliced(cut), gotData, gotEvents);
            QCOMPARE(gotData.toHex(' '), data.toHex(' '));
            QCOMPARE(gotEvents, events);
        }
    }

    void portNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parsed"); // scheme, host and port; a phrase of the error; empty: a device
        QTest::newRow("device") << "/dev/socket" << "";
        QTest::newRow("IPv6 in brackets") << "socket://[::1]:7000" << "socket ::1 7000";
        QTest::newRow("port above 65535") << "rfc2217://bench:65536" << "от 1 до 65535";
        QTest::newRow("IPv6 without brackets") << "socket://::1:2000" << "квадратных скобках";
    }
    void portNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, parsed);
        QCOMPARE(netport::isNetworkName(name), !parsed.isEmpty());
        if (parsed.isEmpty())
            return;
        // A network name is never taken for a device under /dev.
        QCOMPARE(portsettings::resolvePortName(name), name);
        const netport::ParsedName p = netport::parseName(name);
        if (p.address) {
            const QString scheme = p.address->scheme == netport::Scheme::Rfc2217 ? "rfc2217" : "socket";
            QCOMPARE(QStringLiteral("%1 %2 %3").arg(scheme, p.address->host).arg(p.address->port), parsed);
        } else {
            QVERIFY2(p.error.contains(parsed) && p.error.contains(name), qPrintable(p.error));
        }
    }
};

QTEST_GUILESS_MAIN(TstTelnetStream)
#include "tst_telnetstream.moc"
