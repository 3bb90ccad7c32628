#include "core/telnetstream.h"
#include "port/networkport.h"
#include "support/pty.h"
#include "support/scriptedtelnetserver.h"
#include "support/ser2net.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr auto OPENED = SerialPort::OpenResult::Opened;

QString rfc(quint16 port) { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port); }
QString raw(quint16 port) { return QStringLiteral("socket://127.0.0.1:%1").arg(port); }
QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

QByteArray drain(SerialPort &port)
{
    QByteArray out;
    char buf[65536];
    for (qint64 n; (n = port.read(buf, sizeof buf)) > 0;)
        out.append(buf, n);
    return out;
}

// Bytes with NULs, CRs and runs of 0xFF in them.
QByteArray awkwardBytes(qsizetype n)
{
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype k = 0; k < n; ++k)
        b[k] = k % 5 == 0 || k % 7 == 0 ? char(0xFF) : k % 11 == 0 ? '\0' : k % 13 == 0 ? '\r' : char(k * 131 >> 3);
    return b;
}

enum Serve { Answers, OtherRate, ZeroRate, Refuses, Silent, HangsUp };

} // namespace

class TstNetworkPort : public QObject
{
    Q_OBJECT
    Pty m_rfcPty, m_rawPty;
    Ser2net m_ser2net;
    QTcpServer m_full; // its queue full: handshakes to it never complete
    QTcpSocket m_fillers[2];

private slots:
    void initTestCase()
    {
        QVERIFY(m_rfcPty.isValid() && m_rawPty.isValid());
        QVERIFY2(m_ser2net.start(m_rfcPty.slavePath(), m_rawPty.slavePath()), qPrintable(m_ser2net.log));
        m_full.setListenBacklogSize(0);
        QVERIFY(m_full.listen(QHostAddress::LocalHost, 0));
        m_full.pauseAccepting();
        for (QTcpSocket &f : m_fillers)
            f.connectToHost(QHostAddress::LocalHost, m_full.serverPort());
        QTest::qWait(100);
    }

    // rfc2217 through ser2net: the settings reach the far line, and a
    // flood full of 0xFF and telnet look-alikes arrives unaltered both ways.
    void floodThroughSer2net()
    {
        NetworkPort port;
        QCOMPARE(port.open(PortSettings{rfc(m_ser2net.rfcPort), 57600, 7, 2, 2}), OPENED);
        QCOMPARE(port.serverSignature(), QStringLiteral("varnel-test"));
        const int fd = ::open(m_rfcPty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios line{};
        QCOMPARE(tcgetattr(fd, &line), 0);
        ::close(fd);
        QCOMPARE(cfgetospeed(&line), speed_t(B57600));
        QVERIFY(line.c_cflag & CSTOPB);
        QVERIFY(port.setDtr(true)); // ser2net never answers it on a pty: no failure

        const QByteArray flood = hex("fffa2c6bfff0fffb2cff") + awkwardBytes(256 << 10);
        QByteArray got; // taken as announced
        connect(&port, &SerialPort::readyRead, this, [&] { got += drain(port); });
        QVERIFY(m_rfcPty.write(flood));
        QTRY_VERIFY_WITH_TIMEOUT(got.size() >= flood.size(), 20000);
        QVERIFY2(got == flood, qPrintable(QStringLiteral("%1 of %2 bytes, altered").arg(got.size()).arg(flood.size())));
        QByteArray far;
        for (qsizetype i = 0; i < flood.size(); ++i) { // one writeByte per byte, as the program sends
            QVERIFY(port.writeByte(quint8(flood[i])));
            if (i % 16384 == 0)
                far += m_rfcPty.read(0, 1);
        }
        far += m_rfcPty.read(int(flood.size() - far.size()), 20000);
        QVERIFY2(far == flood, qPrintable(QStringLiteral("%1 of %2 bytes, altered").arg(far.size()).arg(flood.size())));
    }

    // ser2net serves one client: a second one is told why.
    void secondClientToldWhy()
    {
        NetworkPort first, second;
        QCOMPARE(first.open(PortSettings{raw(m_ser2net.rawPort)}), OPENED);
        QCOMPARE(second.open(PortSettings{raw(m_ser2net.rawPort)}), SerialPort::OpenResult::OpenFailed);
        QVERIFY2(second.failureText().contains(QStringLiteral("не открыв порт: «Port already in use»")),
                 qPrintable(second.failureText()));
    }

    void commandsOnTheWire_data()
    {
        QTest::addColumn<PortSettings>("settings");
        QTest::addColumn<QString>("actions"); // after the open
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("57600 7 even 2") << PortSettings{{}, 57600, 7, 2, 2} << QString()
                                        << hex("fffa2c010000e100fff0fffa2c0207fff0fffa2c0303fff0fffa2c0402fff0");
        QTest::newRow("rate with a 0xFF byte") << PortSettings{{}, 255} << QString() << hex("fffa2c01000000fffffff0");
        QTest::newRow("every modem-line change asked for") << PortSettings{} << QString() << hex("fffa2c0bfffffff0");
        QTest::newRow("DTR and RTS") << PortSettings{} << QStringLiteral("dtr1 rts0 dtr0 rts1")
                                     << hex("fffa2c0508fff0fffa2c050cfff0fffa2c0509fff0fffa2c050bfff0");
    }
    void commandsOnTheWire()
    {
        QFETCH(PortSettings, settings);
        QFETCH(QString, actions);
        QFETCH(QByteArray, expected);
        ScriptedTelnetServer server;
        NetworkPort port;
        QElapsedTimer t;
        t.start();
        settings.PortName = rfc(server.port());
        QCOMPARE(port.open(settings), OPENED);
        QVERIFY2(t.elapsed() < NetworkPort::kAnswerTimeoutMs, "a server that answers everything is not waited on");
        for (const QString &a : actions.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const bool on = a.endsWith(QLatin1Char('1'));
            QVERIFY(a.startsWith(QLatin1String("dtr")) ? port.setDtr(on) : port.setRts(on));
        }
        QTRY_VERIFY2_WITH_TIMEOUT(server.received.contains(expected), qPrintable(server.received.toHex(' ')), 3000);
    }

    // Telnet split over reads leaves only the data; the bytes before a drop
    // are read before the loss is told, once.
    void streamLosesOnlyTelnet()
    {
        ScriptedTelnetServer server;
        NetworkPort port;
        QCOMPARE(port.open(PortSettings{rfc(server.port())}), OPENED);
        QSignalSpy gone(&port, &SerialPort::deviceGone);
        QByteArray got; // taken as announced
        connect(&port, &SerialPort::readyRead, this, [&] { got += drain(port); });
        for (const char *piece : {"41ff",                           // IAC split from its doubling
                                  "ff42fffa2c6b",                   // modem state split from its value: CTS, RI, CD
                                  "d1fff0fffa2c6453657232", "6e6574fff0"}) { // signature split
            server.send(hex(piece));
            QTest::qWait(15); // separate reads on the client
        }
        QTRY_COMPARE_WITH_TIMEOUT(port.serverSignature(), QStringLiteral("Ser2net"), 5000);
        QVERIFY(port.modemLines() == std::optional(ModemLines{true, false, true, true}));
        server.send("last words");
        server.hangUp();
        QVERIFY(gone.wait(3000));
        QCOMPARE(got.toHex(' '), QByteArray("A\xff" "Blast words").toHex(' '));
        port.close();
        QTest::qWait(50);
        QCOMPARE(gone.count(), 1);
    }

    void rawSocketCarriesBytesOnly()
    {
        ScriptedTelnetServer server;
        NetworkPort port;
        // No code for 4 data bits, but a raw socket leaves the settings to the server.
        QCOMPARE(port.open(PortSettings{raw(server.port()), 9600, 4}), OPENED);
        QVERIFY(!port.setDtr(true) && !port.setRts(true) && !port.setBreak(true) && !port.modemLines());
        const QByteArray out = awkwardBytes(30000);
        server.send(out);
        QTRY_COMPARE_WITH_TIMEOUT(port.bytesWaiting(), out.size(), 5000);
        QCOMPARE(drain(port), out);
        // Bytes written just before the close still go out.
        for (char c : out)
            QVERIFY(port.writeByte(quint8(c)));
        port.close();
        QTRY_VERIFY_WITH_TIMEOUT(server.received.size() >= out.size(), 5000);
        QVERIFY(server.received == out);
    }

    void openOutcomes_data()
    {
        QTest::addColumn<QString>("name"); // %1: the scripted server's port
        QTest::addColumn<int>("serve");
        QTest::addColumn<SerialPort::OpenResult>("result");
        QTest::addColumn<QString>("text");
        using R = SerialPort::OpenResult;
        const auto row = [](const char *tag, const QString &name, Serve serve, R result, const QString &text) {
            QTest::newRow(tag) << name << int(serve) << result << text;
        };
        const char *scripted = "rfc2217://127.0.0.1:%1";
        row("unknown host", "rfc2217://no-such-host.invalid:2000", Answers, R::OpenFailed, "узел «no-such-host.invalid» не найден");
        row("handshake unanswered", raw(m_full.serverPort()), Answers, R::OpenFailed, "не ответил за 3 с");
        row("rate answered with another", scripted, OtherRate, R::SettingsRejected,
            "не принял скорость 57600 бод (сервер ответил: скорость 9600 бод)");
        row("rate answered with zero", scripted, ZeroRate, R::Opened, "");
        row("COM-PORT refused", scripted, Refuses, R::SettingsRejected, "не поддерживает управление портом по RFC 2217");
        row("server never answers", scripted, Silent, R::Opened, "");
        row("server hangs up", scripted, HangsUp, R::OpenFailed, "сервер закрыл соединение");
    }
    void openOutcomes()
    {
        QFETCH(QString, name);
        QFETCH(int, serve);
        QFETCH(SerialPort::OpenResult, result);
        QFETCH(QString, text);
        ScriptedTelnetServer server;
        using O = ScriptedTelnetServer::Option;
        server.comPort = serve == Refuses ? O::Refuse : serve == Silent ? O::Ignore : O::Accept;
        server.answerSettings = serve != Silent;
        server.hangUpOnFirstBytes = serve == HangsUp;
        if (serve == OtherRate || serve == ZeroRate)
            server.answers[comport::SetBaudRate] = hex(serve == OtherRate ? "00002580" : "00000000");
        const bool toServer = name.contains(QLatin1String("%1"));
        if (toServer)
            name = name.arg(server.port());
        NetworkPort port;
        port.setAnswerTimeout(200);
        QElapsedTimer t;
        t.start();
        QCOMPARE(port.open(PortSettings{name, 57600}), result);
        QVERIFY(t.elapsed() < NetworkPort::kConnectTimeoutMs + 500);
        const bool opened = result == OPENED;
        QCOMPARE(port.writeByte(1), opened);
        QVERIFY2(port.failureText().contains(text) && (opened || port.failureText().contains(name)),
                 qPrintable(port.failureText()));
        QTest::qWait(20);
        QCOMPARE(server.connections, toServer ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TstNetworkPort)
#include "tst_networkport.moc"
