#include "core/netportname.h"
#include "core/portsettings.h"
#include "core/telnetstream.h"

#include <QElapsedTimer>
#include <QTest>

using telnet::Event;

Q_DECLARE_METATYPE(QList<Event>)

namespace {

Event nego(quint8 verb, quint8 option)
{
    return Event{Event::Kind::Negotiation, verb, option, {}};
}

Event sub(quint8 option, const QByteArray &payload)
{
    return Event{Event::Kind::Subnegotiation, 0, option, payload};
}

Event dropped(quint8 option)
{
    return Event{Event::Kind::Dropped, 0, option, {}};
}

struct Decoded {
    QByteArray data;
    QList<Event> events;
};

Decoded decodeInPieces(const QByteArray &wire, const QList<qsizetype> &cuts)
{
    telnet::Decoder d;
    Decoded out;
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        d.feed(QByteArrayView(wire).sliced(from, cut - from), out.data, out.events);
        from = cut;
    }
    d.feed(QByteArrayView(wire).sliced(from), out.data, out.events);
    return out;
}

} // namespace

class TstTelnetStream : public QObject
{
    Q_OBJECT
private slots:
    void decoderSplitsDataFromCommands_data();
    void decoderSplitsDataFromCommands();
    void endlessSubnegotiationIsSkippedInBoundedTime();
    void escapeRoundTripsEveryByte();
    void lineCodes_data();
    void lineCodes();
    void portNames_data();
    void portNames();
    void networkNamesAreNotDevicePaths();
};

void TstTelnetStream::decoderSplitsDataFromCommands_data()
{
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QList<Event>>("events");

    const QByteArray longPayload(300, 'x');
    QTest::newRow("plain bytes with NUL and CR") << QByteArray("a\0\r\nb", 5) << QByteArray("a\0\r\nb", 5)
                                                 << QList<Event>{};
    QTest::newRow("doubled 0xFF is one data byte") << QByteArray::fromHex("41ffffffff42") << QByteArray::fromHex("41ffff42")
                                                   << QList<Event>{};
    QTest::newRow("negotiations between data") << QByteArray::fromHex("61fffd2c62fffb0063") << QByteArray("abc")
                                               << QList<Event>{nego(telnet::DO, 44), nego(telnet::WILL, 0)};
    QTest::newRow("subnegotiation with doubled 0xFF in payload")
        << QByteArray::fromHex("fffa2c6500ffff00ffff05fff07a") << QByteArray("z")
        << QList<Event>{sub(44, QByteArray::fromHex("6500ff00ff05"))};
    QTest::newRow("NOP, go-ahead and data mark vanish") << QByteArray::fromHex("31fff132fff933fff234") << QByteArray("1234")
                                                        << QList<Event>{};
    QTest::newRow("garbage after IAC is dropped with it") << QByteArray::fromHex("31ff4132fff033") << QByteArray("123")
                                                          << QList<Event>{};
    QTest::newRow("subnegotiation cut short by a command")
        << QByteArray::fromHex("fffa2c6b30fffb0361") << QByteArray("a")
        << QList<Event>{dropped(44), nego(telnet::WILL, 3)};
    QTest::newRow("over-long subnegotiation is dropped, data after it kept")
        << (QByteArray::fromHex("fffa2c") + longPayload + QByteArray::fromHex("fff0") + "ok") << QByteArray("ok")
        << QList<Event>{dropped(44)};
    QTest::newRow("stream ending inside a subnegotiation") << QByteArray::fromHex("6869fffa2c6b") << QByteArray("hi")
                                                          << QList<Event>{};
    QTest::newRow("empty subnegotiation") << QByteArray::fromHex("fffa2cfff0") << QByteArray()
                                          << QList<Event>{sub(44, {})};
}

void TstTelnetStream::decoderSplitsDataFromCommands()
{
    QFETCH(QByteArray, wire);
    QFETCH(QByteArray, data);
    QFETCH(QList<Event>, events);

    const Decoded whole = decodeInPieces(wire, {});
    QCOMPARE(whole.data, data);
    QCOMPARE(whole.events, events);

    QList<qsizetype> everyByte;
    for (qsizetype i = 1; i < wire.size(); ++i)
        everyByte.append(i);
    const Decoded single = decodeInPieces(wire, everyByte);
    QCOMPARE(single.data, data);
    QCOMPARE(single.events, events);

    for (qsizetype cut = 1; cut < wire.size(); ++cut) {
        const Decoded two = decodeInPieces(wire, {cut});
        QVERIFY2(two.data == data && two.events == events, qPrintable(QStringLiteral("cut at %1").arg(cut)));
    }
}

void TstTelnetStream::endlessSubnegotiationIsSkippedInBoundedTime()
{
    telnet::Decoder d;
    QByteArray data;
    QList<Event> events;
    QElapsedTimer t;
    t.start();
    d.feed(QByteArray::fromHex("fffa2c"), data, events);
    const QByteArray chunk(1 << 16, 'y');
    for (int i = 0; i < 1024; ++i) // 64 MB that never end
        d.feed(chunk, data, events);
    QVERIFY(data.isEmpty());
    QVERIFY(events.isEmpty());
    QVERIFY2(t.elapsed() < 5000, "an endless subnegotiation must not be slow to skip");
    d.feed(QByteArray::fromHex("fff0") + "after", data, events);
    QCOMPARE(data, QByteArray("after"));
    QCOMPARE(events, QList<Event>{dropped(44)});
}

void TstTelnetStream::escapeRoundTripsEveryByte()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    all += QByteArray(5, char(0xFF));
    const QByteArray wire = telnet::escape(all);
    QCOMPARE(wire.size(), all.size() + 6);
    const Decoded back = decodeInPieces(wire, {});
    QCOMPARE(back.data, all);
    QVERIFY(back.events.isEmpty());
}

void TstTelnetStream::lineCodes_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stop");
    QTest::addColumn<QByteArray>("codes"); // data size, parity, stop size
    QTest::addColumn<QString>("refused");

    QTest::newRow("8 none 1") << 9600 << 8 << 0 << 0 << QByteArray::fromHex("080101") << QString();
    QTest::newRow("7 odd 1.5") << 9600 << 7 << 1 << 1 << QByteArray::fromHex("070203") << QString();
    QTest::newRow("6 even 2") << 9600 << 6 << 2 << 2 << QByteArray::fromHex("060302") << QString();
    QTest::newRow("5 mark") << 9600 << 5 << 3 << 0 << QByteArray::fromHex("050401") << QString();
    QTest::newRow("space") << 9600 << 8 << 4 << 0 << QByteArray::fromHex("080501") << QString();
    QTest::newRow("4 data bits") << 9600 << 4 << 0 << 0 << QByteArray() << QStringLiteral("4 бита данных");
    QTest::newRow("9 data bits") << 9600 << 9 << 0 << 0 << QByteArray() << QStringLiteral("9 бит данных");
    QTest::newRow("no parity chosen") << 9600 << 8 << 255 << 0 << QByteArray() << QStringLiteral("чётность не выбрана");
    QTest::newRow("no stop bits chosen") << 9600 << 8 << 0 << 255 << QByteArray()
                                         << QStringLiteral("число стоп-битов не выбрано");
    QTest::newRow("rate 0") << 0 << 8 << 0 << 0 << QByteArray() << QStringLiteral("скорость 0");
}

void TstTelnetStream::lineCodes()
{
    QFETCH(int, baud);
    QFETCH(int, bits);
    QFETCH(int, parity);
    QFETCH(int, stop);
    QFETCH(QByteArray, codes);
    QFETCH(QString, refused);

    PortSettings s;
    s.BaudRate = baud;
    s.ByteSize = quint8(bits);
    s.Parity = quint8(parity);
    s.StopBits = quint8(stop);
    const comport::CodedSettings coded = comport::lineCodes(s);
    QCOMPARE(coded.refused, refused);
    QCOMPARE(coded.codes.has_value(), refused.isEmpty());
    if (coded.codes) {
        QCOMPARE(coded.codes->baudRate, quint32(baud));
        const char raw[3] = {char(coded.codes->dataSize), char(coded.codes->parity), char(coded.codes->stopSize)};
        const QByteArray got(raw, 3);
        QCOMPARE(got.toHex(), codes.toHex());
    }
}

void TstTelnetStream::portNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("rfc2217");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("error"); // a phrase the message must hold

    QTest::newRow("IPv4") << "rfc2217://127.0.0.1:2000" << true << "127.0.0.1" << 2000 << QString();
    QTest::newRow("IPv6 in brackets") << "socket://[::1]:7000" << false << "::1" << 7000 << QString();
    QTest::newRow("host name, scheme in capitals, top port")
        << "RFC2217://bench-pi.lab:65535" << true << "bench-pi.lab" << 65535 << QString();
    QTest::newRow("no port") << "socket://bench" << false << "" << 0 << "не указан номер TCP-порта";
    QTest::newRow("empty port") << "socket://bench:" << false << "" << 0 << "не указан номер TCP-порта";
    QTest::newRow("port above 65535") << "rfc2217://bench:65536" << true << "" << 0 << "от 1 до 65535";
    QTest::newRow("port 0") << "rfc2217://bench:0" << true << "" << 0 << "от 1 до 65535";
    QTest::newRow("port not a number") << "rfc2217://bench:20a" << true << "" << 0 << "от 1 до 65535";
    QTest::newRow("no host") << "socket://:2000" << false << "" << 0 << "не указан узел";
    QTest::newRow("IPv6 without brackets") << "socket://::1:2000" << false << "" << 0 << "квадратных скобках";
    QTest::newRow("unclosed bracket") << "socket://[::1:2000" << false << "" << 0 << "«]»";
    QTest::newRow("space in host") << "socket://my host:2000" << false << "" << 0 << "не имя узла";
}

void TstTelnetStream::portNames()
{
    QFETCH(QString, name);
    QFETCH(bool, rfc2217);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, error);

    QVERIFY(netport::isNetworkName(name));
    const netport::ParsedName parsed = netport::parseName(name);
    if (error.isEmpty()) {
        QVERIFY2(parsed.address, qPrintable(parsed.error));
        QCOMPARE(parsed.address->scheme == netport::Scheme::Rfc2217, rfc2217);
        QCOMPARE(parsed.address->host, host);
        QCOMPARE(int(parsed.address->port), port);
    } else {
        QVERIFY(!parsed.address);
        QVERIFY2(parsed.error.contains(error), qPrintable(parsed.error));
        QVERIFY2(parsed.error.contains(name), qPrintable(parsed.error));
    }
}

void TstTelnetStream::networkNamesAreNotDevicePaths()
{
    QCOMPARE(portsettings::resolvePortName(QStringLiteral("socket://bench:2000")), QStringLiteral("socket://bench:2000"));
    QVERIFY(!netport::isNetworkName(QStringLiteral("ttyUSB0")));
    QCOMPARE(netport::describe({netport::Scheme::Rfc2217, QStringLiteral("::1"), 2000}, QStringLiteral("ser2net")),
             QStringLiteral("сетевой порт RFC 2217, узел [::1], TCP-порт 2000; сервер: ser2net"));
    QVERIFY(!netport::isNetworkName(QStringLiteral("/dev/socket")));
}

QTEST_GUILESS_MAIN(TstTelnetStream)
#include "tst_telnetstream.moc"
