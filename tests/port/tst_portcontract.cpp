// What the program relies on from every SerialPort, run against each backend.
#include "core/serialport.h"
#include "port/networkport.h"
#include "port/qtserialport.h"
#include "support/fakeserialport.h"
#include "support/pty.h"
#include "support/ser2net.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// A backend with the far end of its line in the test's hands.
// The network row is the pty served by ser2net's telnet(rfc2217) accepter;
// it vanishes when the server is killed.
enum class Kind { Fake, Pty, Network };

struct Line {
    explicit Line(Kind k) : kind(k)
    {
        if (kind == Kind::Network)
            QVERIFY2(server.start(pty.slavePath(), unused.slavePath()), qPrintable(server.log));
    }
    Kind kind;
    FakeSerialPort fake;
    Pty pty, unused;
    QtSerialPort qt;
    Ser2net server;
    NetworkPort net;
    SerialPort *port() { return kind == Kind::Fake ? &fake : kind == Kind::Pty ? static_cast<SerialPort *>(&qt) : &net; }
    PortSettings settings()
    {
        return PortSettings{kind == Kind::Network ? QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.rfcPort)
                            : kind == Kind::Pty   ? pty.slavePath() : QStringLiteral("COM1")};
    }
    void feed(const QByteArray &bytes) { kind == Kind::Fake ? fake.inject(bytes) : void(pty.write(bytes)); }
    QByteArray drain(int expected) { return kind == Kind::Fake ? std::exchange(fake.written, {}) : pty.read(expected, 2000); }
    void vanish() { kind == Kind::Fake ? fake.loseDevice() : kind == Kind::Pty ? pty.closeMaster() : server.kill(); }
};

} // namespace

Q_DECLARE_METATYPE(Kind)

class TstPortContract : public QObject
{
    Q_OBJECT
    std::unique_ptr<Line> line;
    SerialPort *port = nullptr;

private slots:
    void init()
    {
        QFETCH_GLOBAL(Kind, kind);
        line = std::make_unique<Line>(kind);
        port = line->port();
    }
    void initTestCase_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("fake") << Kind::Fake;
        QTest::newRow("qt over pty") << Kind::Pty;
        QTest::newRow("rfc2217 through ser2net") << Kind::Network;
    }

    void openResults()
    {
        // Settings the line cannot carry are refused, and nothing stays open.
        for (auto spoil : {+[](PortSettings &s) { s.ByteSize = 4; }, +[](PortSettings &s) { s.StopBits = 1; },
                           +[](PortSettings &s) { s.Parity = 255; }, +[](PortSettings &s) { s.BaudRate = 0; }}) {
            PortSettings s = line->settings();
            spoil(s);
            // RFC 2217 has a code for 1.5 stop bits: whether the far line
            // takes them is the server's word, not the backend's.
            if (line->kind == Kind::Network && s.StopBits == 1)
                continue;
            QCOMPARE(port->open(s), SerialPort::OpenResult::SettingsRejected);
            QVERIFY(!port->isOpen());
        }
        QCOMPARE(port->open(line->settings()), SerialPort::OpenResult::Opened);
        QVERIFY(port->isOpen());
        line->fake.nextOpenResult = SerialPort::OpenResult::OpenFailed;
        QCOMPARE(port->open(PortSettings{QStringLiteral("/dev/varnel-no-such-port")}), SerialPort::OpenResult::OpenFailed);
        QVERIFY(!port->isOpen());
    }

    void bytesBothWays()
    {
        QCOMPARE(port->open(line->settings()), SerialPort::OpenResult::Opened);
        QSignalSpy ready(port, &SerialPort::readyRead);
        // Every byte, and telnet look-alikes that must pass as data.
        QByteArray sent = QByteArray::fromHex("fffa2c6bfff0fffb2cff");
        for (int b = 0; b < 256; ++b)
            sent.append(char(b));
        line->feed(sent);
        QTRY_COMPARE_WITH_TIMEOUT(port->bytesWaiting(), sent.size(), 2000);
        QVERIFY(ready.count() > 0); // announced: a reader need not poll
        // A short read takes the head; the rest stays waiting in order.
        QByteArray got(300, '\x55');
        QCOMPARE(port->read(got.data(), 100), 100);
        QCOMPARE(port->bytesWaiting(), sent.size() - 100);
        QCOMPARE(port->read(got.data() + 100, 200), sent.size() - 100);
        QCOMPARE(got.left(sent.size()), sent);

        std::reverse(sent.begin(), sent.end());
        for (char b : std::as_const(sent))
            QVERIFY(port->writeByte(quint8(b)));
        QCOMPARE(line->drain(sent.size()), sent);
    }

    void deviceGoneOnce()
    {
        QCOMPARE(port->open(line->settings()), SerialPort::OpenResult::Opened);
        QSignalSpy gone(port, &SerialPort::deviceGone);
        line->vanish();
        QTRY_COMPARE_WITH_TIMEOUT(gone.count(), 1, 2000);
        QTest::qWait(50);
        QCOMPARE(gone.count(), 1);
        char c;
        QVERIFY(!port->isOpen() && port->read(&c, 1) == 0 && !port->writeByte(0x41));
    }

    // A closed port has no modem lines or break, takes and announces
    // nothing, closes again and reopens.
    void closedPortIsInert()
    {
        QVERIFY(!port->modemLines() && !port->setBreak(true));
        QCOMPARE(port->open(line->settings()), SerialPort::OpenResult::Opened);
        port->close();
        port->close();
        QSignalSpy ready(port, &SerialPort::readyRead);
        line->feed("late");
        QTest::qWait(50);
        QVERIFY(!port->isOpen() && !port->modemLines() && !port->setBreak(true) && !port->writeByte(0x41));
        QCOMPARE(ready.count() + port->bytesWaiting(), 0);
        QCOMPARE(port->open(line->settings()), SerialPort::OpenResult::Opened);
        QVERIFY(port->writeByte(0x42));
        QCOMPARE(line->drain(1).right(1), QByteArray("B"));
    }
};

QTEST_GUILESS_MAIN(TstPortContract)
#include "tst_portcontract.moc"
