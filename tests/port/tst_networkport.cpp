#include "core/telnetstream.h"
#include "port/networkport.h"
#include "support/pty.h"
#include "support/scriptedtelnetserver.h"
#include "support/ser2net.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <arpa/inet.h>
#include <unistd.h>

namespace {

constexpr auto OPENED = SerialPort::OpenResult::Opened;
using R = SerialPort::OpenResult;

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

enum Serve { Answers, OtherRate, ZeroRate, Refuses, Silent, HangsUp };

// A listener whose queue is full: a connection to it is never answered.
struct DeafListener
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int clients[3] = {};
    quint16 port = 0;
    DeafListener()
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        if (::bind(fd, reinterpret_cast<sockaddr *>(&a), n) != 0 || ::listen(fd, 0) != 0
            || ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &n) != 0)
            return;
        port = ntohs(a.sin_port);
        for (int &c : clients) {
            c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            (void)::connect(c, reinterpret_cast<sockaddr *>(&a), n);
        }
    }
    ~DeafListener()
    {
        for (int c : clients)
            ::close(c);
        ::close(fd);
    }
};

} // namespace

class TstNetworkPort : public QObject
{
    Q_OBJECT
    Pty m_rfcPty, m_rawPty;
    Ser2net m_ser2net;

private slots:
    void initTestCase()
    {
        QVERIFY(m_rfcPty.isValid() && m_rawPty.isValid());
        QVERIFY2(m_ser2net.start(m_rfcPty.slavePath(), m_rawPty.slavePath()), qPrintable(m_ser2net.log));
    }

    // A raw socket carries bytes only and leaves the settings to the server,
    // even those no code exists for; ser2net serves one client, a second one
    // is told why.
    void rawThroughSer2net()
    {
        NetworkPort first, second;
        QCOMPARE(first.open(PortSettings{raw(m_ser2net.rawPort), 9600, 4}), OPENED);
        QVERIFY(!first.setDtr(true) && !first.setRts(true) && !first.setBreak(true) && !first.modemLines());
        QCOMPARE(second.open(PortSettings{raw(m_ser2net.rawPort)}), SerialPort::OpenResult::OpenFailed);
        QVERIFY2(second.failureText().contains(QStringLiteral("не открыв порт: «Port already in use»")),
                 qPrintable(second.failureText()));
        const QByteArray out = QByteArray("\xff\xfa\x2c\0\r\xff", 6).repeated(500); // left as they are
        QVERIFY(m_rawPty.write(out));
        QTRY_COMPARE_WITH_TIMEOUT(first.bytesWaiting(), out.size(), 5000);
        QCOMPARE(drain(first), out);
        for (char c : out)
            QVERIFY(first.writeByte(quint8(c)));
        QCOMPARE(m_rawPty.read(int(out.size()), 5000), out);
    }

    void commandsOnTheWire_data()
    {
        QTest::addColumn<PortSettings>("settings");
        QTest::addColumn<QString>("actions"); // after the open
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("57600 7 even 2") << PortSettings{{}, 57600, 7, 2, 2} << QString()
                                        << hex("fffa2c010000e100fff0fffa2c0207fff0fffa2c0303fff0fffa2c0402fff0");
        QTest::newRow("300 5 space 1.5") << PortSettings{{}, 300, 5, 4, 1} << QString()
                                         << hex("fffa2c010000012cfff0fffa2c0205fff0fffa2c0305fff0fffa2c0403fff0");
        QTest::newRow("rate with a 0xFF byte") << PortSettings{{}, 255} << QString() << hex("fffa2c01000000fffffff0");
        QTest::newRow("DTR, RTS and break") << PortSettings{} << QStringLiteral("dtr1 rts0 brk1 brk0 dtr0 rts1")
                                            << hex("fffa2c0508fff0fffa2c050cfff0fffa2c0505fff0fffa2c0506fff0"
                                                   "fffa2c0509fff0fffa2c050bfff0");
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
            QVERIFY(a.startsWith(QLatin1String("dtr")) ? port.setDtr(on)
                    : a.startsWith(QLatin1String("rts")) ? port.setRts(on) : port.setBreak(on));
        }
        port.close(); // what was written just before still goes out
        QTRY_VERIFY2_WITH_TIMEOUT(server.received.contains(expected), qPrintable(server.received.toHex(' ')), 3000);
    }

    // The server's modem-state notes light the lines; the bytes before a
    // hang-up are read before the loss is told.
    void notesAndLastWords()
    {
        ScriptedTelnetServer server;
        NetworkPort port;
        QCOMPARE(port.open(PortSettings{rfc(server.port())}), OPENED);
        QSignalSpy gone(&port, &SerialPort::deviceGone), lines(&port, &SerialPort::modemLinesChanged);
        server.send(hex("fffa2c6b31fff0")); // CTS and DSR on, CTS changed
        QVERIFY(lines.wait(3000));
        QCOMPARE(port.modemLines(), (ModemLines{.cts = true, .dsr = true}));
        QByteArray got; // taken as announced
        connect(&port, &SerialPort::readyRead, this, [&] { got += drain(port); });
        server.send("A\xff\xff" "last words");
        server.hangUp();
        QVERIFY(gone.wait(3000));
        QCOMPARE(got.toHex(' '), QByteArray("A\xff" "last words").toHex(' '));
    }

    // Refused before connecting or by the network, naming why.
    void refusedAtOnce()
    {
        ScriptedTelnetServer server;
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 free = closed.serverPort();
        closed.close();
        DeafListener deaf;
        QVERIFY(deaf.port);
        const struct { QString name; quint8 bits; R result; QString text; } cases[] = {
            {rfc(free), 8, R::OpenFailed, QStringLiteral("никто не ждёт соединений на TCP-порту %1").arg(free)},
            {"rfc2217://127.0.0.1", 8, R::OpenFailed, "не указан номер TCP-порта"},
            {rfc(server.port()), 4, R::SettingsRejected, "4 бита данных"}, // no code for it: nobody is asked
            {raw(deaf.port), 8, R::OpenFailed, "не ответил за 1 с"},
        };
        for (const auto &c : cases) {
            NetworkPort port;
            port.setConnectTimeout(300);
            QCOMPARE(port.open(PortSettings{c.name, 9600, c.bits}), c.result);
            QVERIFY2(port.failureText().contains(c.text), qPrintable(port.failureText()));
        }
        QTest::qWait(20);
        QCOMPARE(server.connections, 0);
    }

    void openOutcomes_data()
    {
        QTest::addColumn<QString>("name"); // %1: the scripted server's port
        QTest::addColumn<int>("serve");
        QTest::addColumn<R>("result");
        QTest::addColumn<QString>("text");
        const QString scripted = "rfc2217://127.0.0.1:%1";
        QTest::newRow("unknown host") << "rfc2217://no-such-host.invalid:2000" << int(Answers) << R::OpenFailed
                                      << "узел «no-such-host.invalid» не найден";
        QTest::newRow("rate answered with another") << scripted << int(OtherRate) << R::SettingsRejected
                                                    << "не принял скорость 57600 бод (сервер ответил: скорость 9600 бод)";
        QTest::newRow("rate answered with zero") << scripted << int(ZeroRate) << R::Opened << "";
        QTest::newRow("COM-PORT refused") << scripted << int(Refuses) << R::SettingsRejected
                                          << "не поддерживает управление портом по RFC 2217";
        QTest::newRow("server never answers") << scripted << int(Silent) << R::Opened << "";
        QTest::newRow("server hangs up") << scripted << int(HangsUp) << R::OpenFailed << "сервер закрыл соединение";
    }
    void openOutcomes()
    {
        QFETCH(QString, name);
        QFETCH(int, serve);
        QFETCH(R, result);
        QFETCH(QString, text);
        ScriptedTelnetServer server;
        using O = ScriptedTelnetServer::Option;
        server.comPort = serve == Refuses ? O::Refuse : serve == Silent ? O::Ignore : O::Accept;
        server.answerSettings = serve != Silent;
        server.hangUpOnFirstBytes = serve == HangsUp;
        if (serve == OtherRate || serve == ZeroRate)
            server.answers[comport::SetBaudRate] = hex(serve == OtherRate ? "00002580" : "00000000");
        const bool toServer = name.contains(QLatin1String("%1"));
        name = toServer ? name.arg(server.port()) : name;
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
