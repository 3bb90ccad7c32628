#include "core/telnetstream.h"
#include "port/anyport.h"
#include "port/networkport.h"
#include "support/pty.h"
#include "support/scriptedtelnetserver.h"
#include "support/ser2net.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

PortSettings settingsFor(const QString &name, qint32 baud = 9600, quint8 bits = 8, quint8 parity = 0, quint8 stop = 0)
{
    PortSettings s;
    s.PortName = name;
    s.BaudRate = baud;
    s.ByteSize = bits;
    s.Parity = parity;
    s.StopBits = stop;
    return s;
}

QString rfc(quint16 port)
{
    return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port);
}

QString raw(quint16 port)
{
    return QStringLiteral("socket://127.0.0.1:%1").arg(port);
}

// Reads what the port delivers until n bytes came or the time ran out.
QByteArray collect(SerialPort &port, qsizetype n, int timeoutMs)
{
    QByteArray out;
    QElapsedTimer t;
    t.start();
    char buf[65536];
    while (out.size() < n && t.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        while (port.bytesWaiting() > 0) {
            const qint64 got = port.read(buf, sizeof buf);
            if (got <= 0)
                break;
            out.append(buf, got);
        }
    }
    return out;
}

// Writes to the device side, letting the program run meanwhile; false when
// the far end took nothing for timeoutMs.
bool writeBounded(Pty &pty, const QByteArray &bytes, int timeoutMs)
{
    qsizetype done = 0;
    QElapsedTimer idle;
    idle.start();
    while (done < bytes.size()) {
        const ssize_t n = ::write(pty.masterFd(), bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            idle.restart();
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (idle.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }
    return true;
}

// Bytes with NULs, CRs and runs of 0xFF in them.
QByteArray awkwardBytes(qsizetype n, int seed)
{
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype k = i + seed;
        b[i] = k % 5 == 0 || k % 7 == 0 ? char(0xFF) : k % 11 == 0 ? '\0' : k % 13 == 0 ? '\r' : char(k * 131 >> 3);
    }
    return b;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

} // namespace

class TstNetworkPort : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    // against ser2net
    void floodArrivesByteForByte_data();
    void floodArrivesByteForByte();
    void settingsReachTheRemoteLine();
    void serverDeathIsDeviceGoneAndRestartReopens();
    void programsPortPicksTheBackendByName();

    // against the scripted server
    void openSendsTheSettings_data();
    void openSendsTheSettings();
    void valuesWithoutCodeAreRefusedBeforeConnecting_data();
    void valuesWithoutCodeAreRefusedBeforeConnecting();
    void serverAnswersDecideTheOpen_data();
    void serverAnswersDecideTheOpen();
    void controlLinesAndBreak();
    void modemStateNotifications();
    void receivedStreamLosesOnlyTelnet_data();
    void receivedStreamLosesOnlyTelnet();
    void endlessSubnegotiationCostsNothing();
    void connectionDropIsDeviceGoneOnce();
    void bytesWrittenBeforeCloseStillGoOut();
    void connectFailuresSayWhy_data();
    void connectFailuresSayWhy();
    void connectTimesOut();

private:
    bool m_haveSer2net = false;
    Pty m_rfcPty;
    Pty m_rawPty;
    Ser2net m_ser2net;
};

void TstNetworkPort::initTestCase()
{
    QVERIFY(m_rfcPty.isValid() && m_rawPty.isValid());
    QVERIFY2(Ser2net::available(), "ser2net is not installed (scripts/install-deps.sh installs it)");
    QVERIFY2(m_ser2net.start(m_rfcPty.slavePath(), m_rawPty.slavePath()), qPrintable(m_ser2net.log()));
    m_haveSer2net = true;
}

void TstNetworkPort::cleanupTestCase()
{
    m_ser2net.kill();
}

void TstNetworkPort::floodArrivesByteForByte_data()
{
    QTest::addColumn<bool>("rfc2217");
    QTest::newRow("rfc2217") << true;
    QTest::newRow("socket") << false;
}

void TstNetworkPort::floodArrivesByteForByte()
{
    QFETCH(bool, rfc2217);
    Pty &pty = rfc2217 ? m_rfcPty : m_rawPty;
    NetworkPort port;
    const QString name = rfc2217 ? rfc(m_ser2net.rfc2217Port()) : raw(m_ser2net.rawPort());
    QCOMPARE(port.open(settingsFor(name, 115200)), SerialPort::OpenResult::Opened);

    // 10 MB in from the device, a third of it 0xFF, starting with what looks like telnet.
    const qsizetype size = 10 * 1024 * 1024;
    const QByteArray telnetLike = hex("fffa2c6bfff0fffb2cff");
    const QByteArray flood = telnetLike + awkwardBytes(size - telnetLike.size(), 1);
    QSignalSpy ready(&port, &SerialPort::readyRead);
    QByteArray got;
    QElapsedTimer t;
    t.start();
    char buf[65536];
    for (qsizetype at = 0; at < size && t.elapsed() < 20000; at += 65536) {
        QVERIFY(writeBounded(pty, flood.mid(at, 65536), 5000));
        QCoreApplication::processEvents();
        while (const qint64 n = port.read(buf, sizeof buf))
            got.append(buf, n);
    }
    got += collect(port, size - got.size(), 20000 - int(t.elapsed()));
    QCOMPARE(got.size(), size);
    QVERIFY2(got == flood, "the flood arrived altered");
    QVERIFY(ready.count() > 0);
    qInfo("10 MB in through ser2net in %lld ms", qint64(t.elapsed()));

    // 1 MB out, one writeByte per byte as the program sends, read on the device meanwhile.
    const QByteArray out = telnetLike + awkwardBytes(1024 * 1024, 2);
    QByteArray far;
    t.restart();
    for (qsizetype at = 0; at < out.size() && t.elapsed() < 20000; at += 16384) {
        for (qsizetype i = at; i < std::min(at + 16384, out.size()); ++i)
            QVERIFY(port.writeByte(quint8(out[i])));
        far += pty.read(0, 1);
    }
    far += pty.read(int(out.size() - far.size()), 20000 - int(t.elapsed()));
    QCOMPARE(far.size(), out.size());
    QVERIFY2(far == out, "the bytes sent arrived altered");
    qInfo("1 MB out through ser2net in %lld ms", qint64(t.elapsed()));
}

void TstNetworkPort::settingsReachTheRemoteLine()
{
    NetworkPort port;
    QCOMPARE(port.open(settingsFor(rfc(m_ser2net.rfc2217Port()), 57600, 7, 2, 2)), SerialPort::OpenResult::Opened);
    QCOMPARE(port.serverSignature(), QStringLiteral("varnel-test"));
    const int fd = ::open(m_rfcPty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    termios t{};
    QCOMPARE(tcgetattr(fd, &t), 0);
    ::close(fd);
    // A pty keeps 8 data bits and no parity whatever it is told; the rate and
    // the stop bits show. The rest is checked byte for byte on the scripted server.
    QCOMPARE(cfgetospeed(&t), speed_t(B57600));
    QVERIFY(t.c_cflag & CSTOPB);
    // ser2net on a pty cannot move DTR/RTS and never answers: that is no failure.
    QVERIFY(port.setDtr(true));
    QVERIFY(port.setRts(true));
    QVERIFY(port.isOpen());
}

void TstNetworkPort::serverDeathIsDeviceGoneAndRestartReopens()
{
    NetworkPort port;
    const QString name = rfc(m_ser2net.rfc2217Port());
    QCOMPARE(port.open(settingsFor(name)), SerialPort::OpenResult::Opened);
    QSignalSpy gone(&port, &SerialPort::deviceGone);
    m_ser2net.kill();
    QVERIFY(gone.wait(3000));
    QVERIFY(!port.isOpen());
    QVERIFY(!port.writeByte(0x41));

    QCOMPARE(port.open(settingsFor(name)), SerialPort::OpenResult::OpenFailed);
    QVERIFY2(port.failureText().contains(QStringLiteral("соединение отвергнуто")), qPrintable(port.failureText()));

    QVERIFY2(m_ser2net.restart(), qPrintable(m_ser2net.log()));
    QCOMPARE(port.open(settingsFor(name)), SerialPort::OpenResult::Opened);
    QVERIFY(m_rfcPty.write("back"));
    QCOMPARE(collect(port, 4, 3000), QByteArray("back"));
    QTest::qWait(50);
    QCOMPARE(gone.count(), 1);
}

void TstNetworkPort::programsPortPicksTheBackendByName()
{
    AnyPort port;
    QCOMPARE(port.open(settingsFor(raw(m_ser2net.rawPort()))), SerialPort::OpenResult::Opened);
    QVERIFY(qobject_cast<NetworkPort *>(port.backend()));
    QSignalSpy ready(&port, &SerialPort::readyRead);
    QVERIFY(m_rawPty.write("net"));
    QCOMPARE(collect(port, 3, 3000), QByteArray("net"));
    QVERIFY(ready.count() > 0);

    // ser2net serves one client: a second is told so and the open fails.
    NetworkPort second;
    QCOMPARE(second.open(settingsFor(raw(m_ser2net.rawPort()))), SerialPort::OpenResult::OpenFailed);
    QVERIFY2(second.failureText().contains(QStringLiteral("сервер закрыл соединение, не открыв порт: «Port already in use»")),
             qPrintable(second.failureText()));

    QCOMPARE(port.open(settingsFor(m_rawPty.slavePath())), SerialPort::OpenResult::Opened);
    QVERIFY(!qobject_cast<NetworkPort *>(port.backend()));
    QVERIFY(port.writeByte('L'));
    QCOMPARE(m_rawPty.read(1, 3000), QByteArray("L"));
    port.close();

    QCOMPARE(port.open(settingsFor(QStringLiteral("socket://127.0.0.1"))), SerialPort::OpenResult::OpenFailed);
    QVERIFY2(port.failureText().contains(QStringLiteral("не указан номер TCP-порта")), qPrintable(port.failureText()));
    QVERIFY(!port.isOpen());
}

void TstNetworkPort::openSendsTheSettings_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stop");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("57600 7 even 2") << 57600 << 7 << 2 << 2
                                    << hex("fffa2c010000e100fff0fffa2c0207fff0fffa2c0303fff0fffa2c0402fff0");
    QTest::newRow("300 5 space 1.5") << 300 << 5 << 4 << 1
                                     << hex("fffa2c010000012cfff0fffa2c0205fff0fffa2c0305fff0fffa2c0403fff0");
    QTest::newRow("rate with a 0xFF byte") << 255 << 8 << 0 << 0
                                           << hex("fffa2c01000000fffffff0fffa2c0208fff0fffa2c0301fff0fffa2c0401fff0");
}

void TstNetworkPort::openSendsTheSettings()
{
    QFETCH(int, baud);
    QFETCH(int, bits);
    QFETCH(int, parity);
    QFETCH(int, stop);
    QFETCH(QByteArray, expected);

    ScriptedTelnetServer server;
    QVERIFY(server.listen());
    NetworkPort port;
    QElapsedTimer t;
    t.start();
    QCOMPARE(port.open(settingsFor(rfc(server.port()), baud, quint8(bits), quint8(parity), quint8(stop))),
             SerialPort::OpenResult::Opened);
    QVERIFY2(t.elapsed() < NetworkPort::kAnswerTimeoutMs, "a server that answers everything is not waited on");
    QVERIFY(server.received.startsWith(telnet::negotiation(telnet::WILL, telnet::OptComPort)));
    QVERIFY2(server.received.contains(expected), qPrintable(server.received.toHex(' ')));
    QVERIFY(server.received.contains(hex("fffa2c0bfffffff0"))); // every modem-line change reported
    QVERIFY(server.data.isEmpty());
}

void TstNetworkPort::valuesWithoutCodeAreRefusedBeforeConnecting_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stop");
    QTest::addColumn<QString>("named");

    QTest::newRow("4 data bits") << 4 << 0 << 0 << QStringLiteral("4 бита данных");
    QTest::newRow("parity index 255") << 8 << 255 << 0 << QStringLiteral("чётность не выбрана");
    QTest::newRow("stop bits index 255") << 8 << 0 << 255 << QStringLiteral("число стоп-битов не выбрано");
}

void TstNetworkPort::valuesWithoutCodeAreRefusedBeforeConnecting()
{
    QFETCH(int, bits);
    QFETCH(int, parity);
    QFETCH(int, stop);
    QFETCH(QString, named);

    ScriptedTelnetServer server;
    QVERIFY(server.listen());
    NetworkPort port;
    const QString name = rfc(server.port());
    QCOMPARE(port.open(settingsFor(name, 9600, quint8(bits), quint8(parity), quint8(stop))),
             SerialPort::OpenResult::SettingsRejected);
    QVERIFY2(port.failureText().contains(named) && port.failureText().contains(name), qPrintable(port.failureText()));
    QVERIFY(!port.isOpen());
    QTest::qWait(50);
    QCOMPARE(server.connections, 0);

    // A raw socket carries bytes only: the server's own settings stand.
    QCOMPARE(port.open(settingsFor(raw(server.port()), 9600, quint8(bits), quint8(parity), quint8(stop))),
             SerialPort::OpenResult::Opened);
}

void TstNetworkPort::serverAnswersDecideTheOpen_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<bool>("answerSettings");
    QTest::addColumn<QByteArray>("baudAnswer");
    QTest::addColumn<bool>("hangUp");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("text");

    const int accept = int(ScriptedTelnetServer::Option::Accept);
    const int opened = int(SerialPort::OpenResult::Opened);
    const int rejected = int(SerialPort::OpenResult::SettingsRejected);
    QTest::newRow("rate answered with another") << accept << true << hex("00002580") << false << rejected
                                                << QStringLiteral("не принял скорость 57600 бод (сервер ответил: скорость 9600 бод)");
    QTest::newRow("rate answered with zero") << accept << true << hex("00000000") << false << opened << QString();
    QTest::newRow("rate with 0xFF bytes answered as asked") << accept << true << hex("00ff00ff") << false << opened
                                                            << QString();
    QTest::newRow("option refused") << int(ScriptedTelnetServer::Option::Refuse) << true << QByteArray() << false
                                    << rejected << QStringLiteral("не поддерживает управление портом по RFC 2217");
    QTest::newRow("server that never answers") << int(ScriptedTelnetServer::Option::Ignore) << false << QByteArray()
                                               << false << opened << QString();
    QTest::newRow("server hangs up") << accept << true << QByteArray() << true << int(SerialPort::OpenResult::OpenFailed)
                                     << QStringLiteral("сервер закрыл соединение");
}

void TstNetworkPort::serverAnswersDecideTheOpen()
{
    QFETCH(int, option);
    QFETCH(bool, answerSettings);
    QFETCH(QByteArray, baudAnswer);
    QFETCH(bool, hangUp);
    QFETCH(int, result);
    QFETCH(QString, text);

    ScriptedTelnetServer server;
    QVERIFY(server.listen());
    server.comPort = ScriptedTelnetServer::Option(option);
    server.answerSettings = answerSettings;
    server.hangUpOnFirstBytes = hangUp;
    if (!baudAnswer.isEmpty())
        server.answers[comport::SetBaudRate] = baudAnswer;
    NetworkPort port;
    port.setAnswerTimeout(200);
    QElapsedTimer t;
    t.start();
    const qint32 baud = baudAnswer == hex("00ff00ff") ? 0x00FF00FF : 57600;
    QCOMPARE(int(port.open(settingsFor(rfc(server.port()), baud))), result);
    QVERIFY(t.elapsed() < 1000);
    QVERIFY2(port.failureText().contains(text), qPrintable(port.failureText()));
    QCOMPARE(port.isOpen(), result == int(SerialPort::OpenResult::Opened));
}

void TstNetworkPort::controlLinesAndBreak()
{
    ScriptedTelnetServer server;
    QVERIFY(server.listen());
    NetworkPort port;
    QCOMPARE(port.open(settingsFor(rfc(server.port()))), SerialPort::OpenResult::Opened);
    QTest::qWait(20);
    server.received.clear();
    QVERIFY(port.setDtr(true));
    QVERIFY(port.setRts(false));
    QVERIFY(port.setBreak(true));
    QVERIFY(port.setBreak(false));
    QVERIFY(port.setDtr(false));
    QVERIFY(port.setRts(true));
    const QByteArray expected = hex("fffa2c0508fff0fffa2c050cfff0fffa2c0505fff0fffa2c0506fff0fffa2c0509fff0fffa2c050bfff0");
    QVERIFY(server.waitForReceived(expected.size()));
    QCOMPARE(server.received.toHex(' '), expected.toHex(' '));

    // A raw socket has no control lines, as a pty has none.
    QCOMPARE(port.open(settingsFor(raw(server.port()))), SerialPort::OpenResult::Opened);
    QTest::qWait(20);
    server.received.clear();
    QVERIFY(!port.setDtr(true));
    QVERIFY(!port.setRts(true));
    QVERIFY(!port.setBreak(true));
    QVERIFY(!port.modemLines());
    QTest::qWait(50);
    QVERIFY(server.received.isEmpty());
}

void TstNetworkPort::modemStateNotifications()
{
    ScriptedTelnetServer server;
    QVERIFY(server.listen());
    NetworkPort port;
    QCOMPARE(port.open(settingsFor(rfc(server.port()))), SerialPort::OpenResult::Opened);
    QVERIFY(!port.modemLines());

    server.send(hex("fffa2c6b"));
    QTest::qWait(30);
    server.send(hex("31fff0"));
    QTRY_VERIFY_WITH_TIMEOUT(port.modemLines() == (ModemLines{true, true, false, false}), 3000);
    server.send(hex("fffa2c6bc8fff0")); // CD, RI; CD changed
    QTRY_VERIFY_WITH_TIMEOUT(port.modemLines() == (ModemLines{false, false, true, true}), 3000);
    server.send(hex("fffa2c640000fff0fffa2c6453657232"));
    server.send(hex("6e6574fff0"));
    QTRY_COMPARE_WITH_TIMEOUT(port.serverSignature(), QStringLiteral("Ser2net"), 3000);
    QCOMPARE(port.bytesWaiting(), 0);
}

void TstNetworkPort::receivedStreamLosesOnlyTelnet_data()
{
    QTest::addColumn<bool>("rfc2217");
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QByteArray>("expected");

    const QList<QByteArray> telnetPieces = {
        hex("41ff"),               // IAC split from its doubling
        hex("ff42fffb"),           // negotiation split from its option
        hex("0143fffa2c6b"),       // subnegotiation split
        hex("20fff044ff"),         // command split after IAC
        hex("f145ff41460d00"),     // NOP, then garbage after IAC
        hex("fffa2c6b30fffd2c47"), // subnegotiation cut short by a command
    };
    QTest::newRow("rfc2217 split sequences and garbage") << true << telnetPieces << QByteArray("A\xff" "BCDEF\r\0G", 10);
    QTest::newRow("socket passes every byte") << false << telnetPieces << telnetPieces.join();
}

void TstNetworkPort::receivedStreamLosesOnlyTelnet()
{
    QFETCH(bool, rfc2217);
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QByteArray, expected);

    ScriptedTelnetServer server;
    QVERIFY(server.listen());
    NetworkPort port;
    QCOMPARE(port.open(settingsFor(rfc2217 ? rfc(server.port()) : raw(server.port()))), SerialPort::OpenResult::Opened);
    QSignalSpy ready(&port, &SerialPort::readyRead);
    for (const QByteArray &piece : std::as_const(pieces)) {
        server.send(piece);
        QTest::qWait(15); // separate reads on the client
    }
    QCOMPARE(collect(port, expected.size(), 3000).toHex(' '), expected.toHex(' '));
    QTest::qWait(30);
    QCOMPARE(port.bytesWaiting(), 0);
    QVERIFY(ready.count() > 0);
    QVERIFY(port.isOpen());
}

void TstNetworkPort::endlessSubnegotiationCostsNothing()
{
    ScriptedTelnetServer server;
    QVERIFY(server.listen());
    NetworkPort port;
    QCOMPARE(port.open(settingsFor(rfc(server.port()))), SerialPort::OpenResult::Opened);
    QSignalSpy ready(&port, &SerialPort::readyRead);
    server.send(QByteArray("head") + hex("fffa2c"));
    const QByteArray chunk(1 << 16, 'z');
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 256; ++i) { // 16 MB inside one subnegotiation
        server.send(chunk);
        QCoreApplication::processEvents();
    }
    QCOMPARE(collect(port, 4, 5000), QByteArray("head"));
    server.send(hex("fff0") + "tail");
    QCOMPARE(collect(port, 4, 10000), QByteArray("tail"));
    QVERIFY2(t.elapsed() < 10000, "an endless subnegotiation held the port up");
    QVERIFY(port.isOpen());
}

void TstNetworkPort::connectionDropIsDeviceGoneOnce()
{
    ScriptedTelnetServer server;
    QVERIFY(server.listen());
    NetworkPort port;
    QCOMPARE(port.open(settingsFor(rfc(server.port()))), SerialPort::OpenResult::Opened);
    QSignalSpy gone(&port, &SerialPort::deviceGone);
    QByteArray got;
    connect(&port, &SerialPort::readyRead, this, [&] {
        char buf[256];
        while (const qint64 n = port.read(buf, sizeof buf))
            got.append(buf, n);
    });
    server.send("last words");
    server.hangUp();
    QVERIFY(gone.wait(3000));
    QCOMPARE(got, QByteArray("last words")); // the bytes before the drop are read first
    QVERIFY(!port.isOpen());
    QTest::qWait(100);
    QCOMPARE(gone.count(), 1);
    port.close(); // idempotent after the loss
    QCOMPARE(gone.count(), 1);
}

void TstNetworkPort::bytesWrittenBeforeCloseStillGoOut()
{
    ScriptedTelnetServer server;
    QVERIFY(server.listen());
    NetworkPort port;
    QCOMPARE(port.open(settingsFor(raw(server.port()))), SerialPort::OpenResult::Opened);
    const QByteArray out = awkwardBytes(300000, 4);
    for (char c : out)
        QVERIFY(port.writeByte(quint8(c)));
    port.close();
    QVERIFY(server.waitForReceived(out.size(), 5000));
    QVERIFY(server.received == out);
}

void TstNetworkPort::connectFailuresSayWhy_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    const quint16 closed = freeTcpPort();
    QTest::newRow("refused") << rfc(closed) << QStringLiteral("соединение отвергнуто: на узле 127.0.0.1 никто не ждёт "
                                                              "соединений на TCP-порту %1").arg(closed);
    QTest::newRow("refused, IPv6") << QStringLiteral("socket://[::1]:%1").arg(closed)
                                   << QStringLiteral("на узле [::1] никто не ждёт");
    QTest::newRow("unknown host") << QStringLiteral("rfc2217://no-such-host.invalid:2000")
                                  << QStringLiteral("узел «no-such-host.invalid» не найден");
    QTest::newRow("no port") << QStringLiteral("rfc2217://127.0.0.1") << QStringLiteral("не указан номер TCP-порта");
    QTest::newRow("port above 65535") << QStringLiteral("socket://127.0.0.1:70000")
                                      << QStringLiteral("должен быть числом от 1 до 65535");
}

void TstNetworkPort::connectFailuresSayWhy()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    NetworkPort port;
    QElapsedTimer t;
    t.start();
    QCOMPARE(port.open(settingsFor(name)), SerialPort::OpenResult::OpenFailed);
    QVERIFY(t.elapsed() < NetworkPort::kConnectTimeoutMs + 500);
    QVERIFY2(port.failureText().contains(text), qPrintable(port.failureText()));
    QVERIFY2(port.failureText().contains(name), qPrintable(port.failureText()));
    QVERIFY(!port.isOpen());
    QCOMPARE(port.bytesWaiting(), 0);
    QVERIFY(!port.writeByte(1));
}

void TstNetworkPort::connectTimesOut()
{
    // A listening socket whose queue is full drops further handshakes, so a
    // connection to it never completes.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0);
    QVERIFY(::listen(fd, 0) == 0);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
    const quint16 p = ntohs(a.sin_port);
    QTcpSocket fillers[2];
    for (QTcpSocket &f : fillers)
        f.connectToHost(QHostAddress::LocalHost, p);
    QTest::qWait(100);

    NetworkPort port;
    port.setConnectTimeout(400);
    QElapsedTimer t;
    t.start();
    QCOMPARE(port.open(settingsFor(raw(p))), SerialPort::OpenResult::OpenFailed);
    ::close(fd);
    QVERIFY(t.elapsed() < 1500);
    QVERIFY2(port.failureText().contains(QStringLiteral("не ответил за 1 с")), qPrintable(port.failureText()));
}

QTEST_GUILESS_MAIN(TstNetworkPort)
#include "tst_networkport.moc"
