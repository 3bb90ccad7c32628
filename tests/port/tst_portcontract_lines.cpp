// What the program relies on from every SerialPort beyond bytes: the arrival
// notification, modem lines, break and the reason of a failed open. Run
// against each backend (the fake, and Qt SerialPort over a pty).
#include "core/serialport.h"
#include "port/qtserialport.h"
#include "support/fakeserialport.h"
#include "support/pty.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

struct Line {
    virtual ~Line() = default;
    virtual SerialPort *port() = 0;
    virtual PortSettings settings() = 0;
    virtual void feed(const QByteArray &bytes) = 0;
    // Whether this line has modem lines at all (a pty has none).
    virtual bool hasLines() = 0;
};

struct FakeLine : Line {
    FakeSerialPort fake;
    SerialPort *port() override { return &fake; }
    PortSettings settings() override { return PortSettings{}; }
    void feed(const QByteArray &bytes) override { fake.inject(bytes); }
    bool hasLines() override { return true; }
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
    bool hasLines() override { return false; }
};

std::unique_ptr<Line> makeLine(const QString &backend)
{
    if (backend == QLatin1String("fake"))
        return std::make_unique<FakeLine>();
    return std::make_unique<PtyLine>();
}

} // namespace

class TstPortContractLines : public QObject
{
    Q_OBJECT
private slots:
    void backends_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::newRow("fake") << QStringLiteral("fake");
        QTest::newRow("qt over pty") << QStringLiteral("qt");
    }

    // Arriving bytes are announced, so a reader need not poll; a closed port announces nothing.
    void arrivalsAnnounced_data() { backends_data(); }
    void arrivalsAnnounced()
    {
        QFETCH(QString, backend);
        auto line = makeLine(backend);
        SerialPort *port = line->port();
        QCOMPARE(port->open(line->settings()), SerialPort::OpenResult::Opened);
        QSignalSpy ready(port, &SerialPort::readyRead);
        line->feed("ping");
        QTRY_VERIFY_WITH_TIMEOUT(ready.count() >= 1, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(port->bytesWaiting(), 4, 2000);
        char buf[8];
        QCOMPARE(port->read(buf, 8), 4);
        port->close();
        ready.clear();
        line->feed("late");
        QTest::qWait(50);
        QCOMPARE(ready.count(), 0);
    }

    // Lines are reported only while open, and only by ports that have them.
    void linesAndBreak_data() { backends_data(); }
    void linesAndBreak()
    {
        QFETCH(QString, backend);
        auto line = makeLine(backend);
        SerialPort *port = line->port();
        QVERIFY(!port->modemLines());
        QVERIFY(!port->setBreak(true));
        QCOMPARE(port->open(line->settings()), SerialPort::OpenResult::Opened);
        QCOMPARE(port->modemLines().has_value(), line->hasLines());
        if (line->hasLines()) {
            QVERIFY(port->setBreak(true));
            QVERIFY(port->setBreak(false));
        }
        port->close();
        QVERIFY(!port->modemLines());
    }

    // The reason of a failed open is kept until the next open, which clears it on success.
    void failureTextFollowsTheOpen()
    {
        Pty pty;
        QtSerialPort port;
        PortSettings s;
        s.PortName = QStringLiteral("/dev/varnel-no-such-port");
        QCOMPARE(port.open(s), SerialPort::OpenResult::OpenFailed);
        QVERIFY(port.failureText().contains(s.PortName));
        s.PortName = pty.slavePath();
        QCOMPARE(port.open(s), SerialPort::OpenResult::Opened);
        QVERIFY(port.failureText().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstPortContractLines)
#include "tst_portcontract_lines.moc"
