// What the program relies on from every SerialPort, run against each backend.
#include "core/serialport.h"
#include "port/networkport.h"
#include "port/qtserialport.h"
#include "support/fakeserialport.h"
#include "support/pty.h"
#include "support/ser2net.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// A backend with the far end of its line in the test's hands.
struct Line {
    virtual ~Line() = default;
    virtual SerialPort *port() = 0;
    virtual PortSettings settings() = 0;
    virtual void feed(const QByteArray &bytes) = 0;
    // What reached the far end so far.
    virtual QByteArray drain(int expected) = 0;
    virtual void vanish() = 0;
    // A name no device answers to.
    virtual QString missingName() = 0;
};

struct FakeLine : Line {
    FakeSerialPort fake;
    SerialPort *port() override { return &fake; }
    PortSettings settings() override { return PortSettings{}; }
    void feed(const QByteArray &bytes) override { fake.inject(bytes); }
    QByteArray drain(int) override { return std::exchange(fake.written, {}); }
    void vanish() override { fake.loseDevice(); }
    QString missingName() override
    {
        fake.nextOpenResult = SerialPort::OpenResult::OpenFailed;
        return QStringLiteral("/dev/nothing-here");
    }
};

struct PtyLine : Line {
    Pty pty;
    QtSerialPort qt;
    SerialPort *port() override { return &qt; }
    PortSettings settings() override
    {
        PortSettings s;
        s.PortName = pty.slavePath();
        return s;
    }
    void feed(const QByteArray &bytes) override { pty.write(bytes); }
    QByteArray drain(int expected) override { return pty.read(expected, 2000); }
    void vanish() override { pty.closeMaster(); }
    QString missingName() override { return QStringLiteral("/dev/varnel-no-such-port"); }
};

// A pty served by ser2net's telnet(rfc2217) accepter; vanishing kills the server.
struct NetworkLine : Line {
    Pty pty, unused;
    Ser2net server;
    NetworkPort net;
    NetworkLine() { QVERIFY2(server.start(pty.slavePath(), unused.slavePath()), qPrintable(server.log())); }
    SerialPort *port() override { return &net; }
    PortSettings settings() override
    {
        PortSettings s;
        s.PortName = QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.rfc2217Port());
        return s;
    }
    void feed(const QByteArray &bytes) override { pty.write(bytes); }
    QByteArray drain(int expected) override { return pty.read(expected, 2000); }
    void vanish() override { server.kill(); }
    QString missingName() override { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(freeTcpPort()); }
};

std::unique_ptr<Line> makeLine(const QString &backend)
{
    if (backend == QLatin1String("fake"))
        return std::make_unique<FakeLine>();
    if (backend == QLatin1String("network"))
        return std::make_unique<NetworkLine>();
    return std::make_unique<PtyLine>();
}

// Waits, running the event loop, until the port has `n` bytes or time runs out.
bool waitForBytes(SerialPort *port, qint64 n, int timeoutMs = 2000)
{
    QElapsedTimer t;
    t.start();
    while (port->bytesWaiting() < n && t.elapsed() < timeoutMs)
        QTest::qWait(5);
    return port->bytesWaiting() >= n;
}

} // namespace

class TstPortContract : public QObject
{
    Q_OBJECT
private slots:
    void backends_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::newRow("fake") << QStringLiteral("fake");
        QTest::newRow("qt over pty") << QStringLiteral("qt");
        if (Ser2net::available())
            QTest::newRow("rfc2217 through ser2net") << QStringLiteral("network");
    }

    void openResults_data() { backends_data(); }
    void openResults()
    {
        QFETCH(QString, backend);
        auto line = makeLine(backend);
        SerialPort *port = line->port();

        PortSettings missing = line->settings();
        missing.PortName = line->missingName();
        QCOMPARE(port->open(missing), SerialPort::OpenResult::OpenFailed);
        QVERIFY(!port->isOpen());

        line = makeLine(backend);
        port = line->port();
        // Settings the line cannot carry are refused, and nothing stays open.
        using Spoil = void (*)(PortSettings &);
        for (Spoil spoil : {+[](PortSettings &s) { s.ByteSize = 4; }, +[](PortSettings &s) { s.StopBits = 1; },
                            +[](PortSettings &s) { s.Parity = 255; }, +[](PortSettings &s) { s.BaudRate = 0; }}) {
            PortSettings s = line->settings();
            spoil(s);
            // RFC 2217 has a code for 1.5 stop bits: whether the far line takes
            // it is the server's word, not the backend's.
            if (backend == QLatin1String("network") && s.StopBits == 1)
                continue;
            s = line->settings();
            spoil(s);
            QCOMPARE(port->open(s), SerialPort::OpenResult::SettingsRejected);
            QVERIFY(!port->isOpen());
        }
        QCOMPARE(port->open(line->settings()), SerialPort::OpenResult::Opened);
        QVERIFY(port->isOpen());
    }

    void bytesArriveWhole_data() { backends_data(); }
    void bytesArriveWhole()
    {
        QFETCH(QString, backend);
        auto line = makeLine(backend);
        SerialPort *port = line->port();
        QCOMPARE(port->open(line->settings()), SerialPort::OpenResult::Opened);
        QCOMPARE(port->bytesWaiting(), 0);

        QByteArray sent;
        for (int b = 0; b < 256; ++b)
            sent.append(char(b));
        line->feed(sent);
        QVERIFY(waitForBytes(port, sent.size()));
        // A short read takes the head; the rest stays waiting in order.
        QByteArray got(300, '\x55');
        QCOMPARE(port->read(got.data(), 100), 100);
        QCOMPARE(port->bytesWaiting(), 156);
        QCOMPARE(port->read(got.data() + 100, 200), 156);
        QCOMPARE(got.left(256), sent);
        QCOMPARE(port->bytesWaiting(), 0);
    }

    void singleByteWritesInOrder_data() { backends_data(); }
    void singleByteWritesInOrder()
    {
        QFETCH(QString, backend);
        auto line = makeLine(backend);
        SerialPort *port = line->port();
        QCOMPARE(port->open(line->settings()), SerialPort::OpenResult::Opened);
        QByteArray sent;
        for (int i = 0; i < 512; ++i)
            sent.append(char((i * 7) & 0xFF));
        for (char b : sent)
            QVERIFY(port->writeByte(quint8(b)));
        QCOMPARE(line->drain(sent.size()), sent);
    }

    void deviceGoneOnce_data() { backends_data(); }
    void deviceGoneOnce()
    {
        QFETCH(QString, backend);
        auto line = makeLine(backend);
        SerialPort *port = line->port();
        QCOMPARE(port->open(line->settings()), SerialPort::OpenResult::Opened);
        QSignalSpy gone(port, &SerialPort::deviceGone);
        line->vanish();
        QTRY_COMPARE_WITH_TIMEOUT(gone.count(), 1, 2000);
        QTest::qWait(50);
        QCOMPARE(gone.count(), 1);
        QVERIFY(!port->isOpen());
        char c;
        QCOMPARE(port->read(&c, 1), 0);
        QVERIFY(!port->writeByte(0x41));
    }

    void closeIsIdempotent_data() { backends_data(); }
    void closeIsIdempotent()
    {
        QFETCH(QString, backend);
        auto line = makeLine(backend);
        SerialPort *port = line->port();
        port->close(); // never opened
        QCOMPARE(port->open(line->settings()), SerialPort::OpenResult::Opened);
        port->close();
        port->close();
        QVERIFY(!port->isOpen());
        QCOMPARE(port->bytesWaiting(), 0);
        QVERIFY(!port->writeByte(0x41));
        // and the same port opens again
        QCOMPARE(port->open(line->settings()), SerialPort::OpenResult::Opened);
        QVERIFY(port->writeByte(0x42));
        QCOMPARE(line->drain(1).right(1), QByteArray("B"));
    }
};

QTEST_GUILESS_MAIN(TstPortContract)
#include "tst_portcontract.moc"
