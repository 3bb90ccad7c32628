#include "port/networkport.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstring>

namespace {

constexpr qsizetype kCompactAt = 1 << 20;
constexpr int kMaxSignature = 120;

// Sets a flag for the length of a scope.
class FlagScope
{
public:
    explicit FlagScope(bool &flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~FlagScope() { m_flag = m_old; }

private:
    bool &m_flag;
    bool m_old;
};

QString printable(const QByteArray &bytes)
{
    QString out;
    for (char c : bytes) {
        if (out.size() >= kMaxSignature)
            break;
        if (quint8(c) >= 0x20 && quint8(c) < 0x7F)
            out.append(QLatin1Char(c));
    }
    return out.trimmed();
}

QString hostText(const QString &host)
{
    return host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
}

} // namespace

NetworkPort::NetworkPort(QObject *parent)
    : SerialPort(parent)
{
}

NetworkPort::~NetworkPort()
{
    m_open = false;
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

void NetworkPort::newSocket()
{
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::readyRead, this, &NetworkPort::onSocketReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &NetworkPort::onConnectionLost);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &NetworkPort::onConnectionLost);
}

void NetworkPort::retireSocket()
{
    QTcpSocket *s = m_socket;
    m_socket = nullptr;
    if (!s)
        return;
    s->disconnect(this);
    if (s->state() == QAbstractSocket::ConnectedState && s->bytesToWrite() > 0) {
        // Bytes sent before the close still go out, as on a local line; a
        // server that takes none of them is given up after a while.
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        QTimer::singleShot(kLingerMs, s, [s] {
            s->abort();
            s->deleteLater();
        });
        s->disconnectFromHost();
    } else {
        s->abort();
        s->deleteLater();
    }
}

void NetworkPort::fail(const QString &text)
{
    m_failure = text;
    retireSocket();
    m_decoder.reset();
    m_rx.clear();
    m_rxPos = 0;
}

bool NetworkPort::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return true;
    const QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto quit = [&loop] { loop.quit(); };
    const QMetaObject::Connection c[] = {
        connect(m_socket, &QTcpSocket::readyRead, &loop, quit),
        connect(m_socket, &QTcpSocket::stateChanged, &loop, quit),
        connect(m_socket, &QTcpSocket::errorOccurred, &loop, quit),
    };
    bool ok = false;
    while (!(ok = done())) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            break;
        timer.start(int(left));
        // Paint and timers go on while the server answers; clicks wait.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    for (const auto &conn : c)
        disconnect(conn);
    return ok;
}

bool NetworkPort::connectToServer(const netport::Address &address, const QString &name)
{
    m_socket->connectToHost(address.host, address.port);
    const bool settled = waitUntil(
        [this] {
            return !m_socket || m_socket->state() == QAbstractSocket::ConnectedState
                || m_socket->state() == QAbstractSocket::UnconnectedState;
        },
        m_connectTimeoutMs);
    if (!m_socket) {
        m_failure = QStringLiteral("%1: открытие прервано.").arg(name);
        return false;
    }
    if (settled && m_socket->state() == QAbstractSocket::ConnectedState)
        return true;

    const QString host = hostText(address.host);
    const QString port = QString::number(address.port);
    QString text;
    if (!settled) {
        text = QStringLiteral("%1: узел %2 не ответил за %3 с.")
                   .arg(name, host, QString::number((m_connectTimeoutMs + 999) / 1000));
    } else {
        switch (m_socket->error()) {
        case QAbstractSocket::ConnectionRefusedError:
            text = QStringLiteral("%1: соединение отвергнуто: на узле %2 никто не ждёт соединений на TCP-порту %3 "
                                  "(запущен ли там ser2net, тот ли номер порта?).")
                       .arg(name, host, port);
            break;
        case QAbstractSocket::HostNotFoundError:
            text = QStringLiteral("%1: узел «%2» не найден (проверьте имя узла).").arg(name, address.host);
            break;
        case QAbstractSocket::NetworkError:
            text = QStringLiteral("%1: узел %2 недоступен по сети.").arg(name, host);
            break;
        case QAbstractSocket::SocketTimeoutError:
            text = QStringLiteral("%1: узел %2 не ответил за %3 с.")
                       .arg(name, host, QString::number((m_connectTimeoutMs + 999) / 1000));
            break;
        default:
            text = QStringLiteral("%1: не удалось соединиться с узлом %2 (%3).").arg(name, host, m_socket->errorString());
            break;
        }
    }
    fail(text);
    return false;
}

SerialPort::OpenResult NetworkPort::open(const PortSettings &settings)
{
    if (m_opening) {
        // Called again from an event handled while this open waits on the
        // network: the first open goes on, this one is refused.
        return OpenResult::OpenFailed;
    }
    FlagScope opening(m_opening);
    close();
    m_failure.clear();
    m_signature.clear();
    m_modem.reset();
    m_answers = Answers{};
    m_goneReported = false;
    std::memset(m_sentWill, 0, sizeof m_sentWill);
    std::memset(m_sentDo, 0, sizeof m_sentDo);

    const QString &name = settings.PortName;
    const netport::ParsedName parsed = netport::parseName(name);
    if (!parsed.address) {
        m_failure = parsed.error;
        return OpenResult::OpenFailed;
    }
    const netport::Address address = *parsed.address;
    m_telnet = address.scheme == netport::Scheme::Rfc2217;

    std::optional<comport::LineCodes> codes;
    if (m_telnet) {
        const comport::CodedSettings coded = comport::lineCodes(settings);
        if (!coded.codes) {
            // Refused before connecting: the remote line is left as it was.
            m_failure = QStringLiteral("%1: %2 — такого значения не задать удалённому порту по RFC 2217.")
                            .arg(name, coded.refused);
            return OpenResult::SettingsRejected;
        }
        codes = coded.codes;
    }

    FlagScope blocking(m_blocking);
    newSocket();
    if (!connectToServer(address, name))
        return OpenResult::OpenFailed;
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);

    if (m_telnet) {
        const auto lost = [this] { return !connected(); };
        QByteArray hello = telnet::negotiation(telnet::WILL, telnet::OptComPort)
                         + telnet::negotiation(telnet::WILL, telnet::OptBinary)
                         + telnet::negotiation(telnet::DO, telnet::OptBinary);
        m_sentWill[telnet::OptComPort] = m_sentWill[telnet::OptBinary] = m_sentDo[telnet::OptBinary] = true;
        sendRaw(hello);
        waitUntil([&] { return m_answers.optionAccepted || m_answers.optionRefused || lost(); }, m_answerTimeoutMs);
        if (m_answers.optionRefused) {
            fail(QStringLiteral("%1: сервер не поддерживает управление портом по RFC 2217; "
                                "для обмена одними байтами используйте socket://%2:%3.")
                     .arg(name, hostText(address.host), QString::number(address.port)));
            return OpenResult::SettingsRejected;
        }
        // The signature is asked first: a server that gives one has done so by
        // the time the settings are answered, and one that does not is not waited on.
        sendRaw(comport::command(comport::Signature) + comport::settingsCommands(*codes)
                + comport::command(comport::SetModemStateMask, QByteArray(1, char(0xFF))));
        waitUntil(
            [&] {
                return lost()
                    || std::all_of(std::begin(m_answers.have), std::end(m_answers.have), [](bool b) { return b; });
            },
            m_answerTimeoutMs);
        if (lost()) {
            fail(closedText(name));
            return OpenResult::OpenFailed;
        }
        // The server answers each setting with the value now in force; zero
        // means it did not say. Any other difference is a setting the remote
        // line could not take.
        const quint32 baud = codes->baudRate;
        const char baudBytes[4] = {char(baud >> 24), char(baud >> 16), char(baud >> 8), char(baud)};
        const QByteArray asked[4] = {
            QByteArray(baudBytes, 4),
            QByteArray(1, char(codes->dataSize)),
            QByteArray(1, char(codes->parity)),
            QByteArray(1, char(codes->stopSize)),
        };
        for (int i = 0; i < 4; ++i) {
            const QByteArray &got = m_answers.settings[i];
            const bool silent = !m_answers.have[i] || got.count('\0') == got.size();
            if (silent || got == asked[i])
                continue;
            const quint8 code = quint8(comport::kServerOffset + comport::SetBaudRate + i);
            fail(QStringLiteral("%1: удалённый порт не принял %2 (сервер ответил: %3).")
                     .arg(name, comport::valueText(code, asked[i]), comport::valueText(code, got)));
            return OpenResult::SettingsRejected;
        }
    } else {
        // A busy ser2net accepts, says so and hangs up at once: give it a
        // moment, so that is a failed open and not an open port that dies.
        waitUntil([this] { return !connected(); }, kSettleMs);
        if (!connected()) {
            fail(closedText(name));
            return OpenResult::OpenFailed;
        }
    }

    m_open = true;
    takeIncoming();
    if (m_rx.size() > m_rxPos)
        notifyData(); // m_blocking still holds: the readers hear of it once open() has returned
    return OpenResult::Opened;
}

QString NetworkPort::closedText(const QString &name)
{
    takeIncoming();
    const QString said = printable(m_rx.mid(m_rxPos));
    return said.isEmpty()
        ? QStringLiteral("%1: сервер закрыл соединение, не открыв порт (может быть, порт занят другим клиентом).").arg(name)
        : QStringLiteral("%1: сервер закрыл соединение, не открыв порт: «%2».").arg(name, said);
}

bool NetworkPort::isOpen() const
{
    return m_open;
}

void NetworkPort::takeIncoming()
{
    if (!m_socket)
        return;
    const qint64 n = m_socket->bytesAvailable();
    if (n <= 0)
        return;
    if (m_rxPos == m_rx.size()) {
        m_rx.clear();
        m_rxPos = 0;
    } else if (m_rxPos >= kCompactAt) {
        m_rx.remove(0, m_rxPos);
        m_rxPos = 0;
    }
    const QByteArray chunk = m_socket->read(n);
    if (!m_telnet) {
        m_rx.append(chunk);
        return;
    }
    m_events.clear();
    m_decoder.feed(chunk, m_rx, m_events);
    for (const telnet::Event &e : std::as_const(m_events))
        handle(e);
    m_events.clear();
}

void NetworkPort::handle(const telnet::Event &e)
{
    using telnet::Event;
    const auto wanted = [](quint8 option) {
        return option == telnet::OptBinary || option == telnet::OptSuppressGoAhead || option == telnet::OptComPort;
    };
    switch (e.kind) {
    case Event::Kind::Negotiation:
        // Each request is answered at most once per connection, so two
        // stubborn ends cannot talk in a loop.
        if (e.verb == telnet::DO || e.verb == telnet::DONT) {
            if (e.option == telnet::OptComPort) {
                (e.verb == telnet::DO ? m_answers.optionAccepted : m_answers.optionRefused) = true;
            }
            if (e.verb == telnet::DO && !m_sentWill[e.option]) {
                m_sentWill[e.option] = true;
                sendRaw(telnet::negotiation(wanted(e.option) ? telnet::WILL : telnet::WONT, e.option));
            }
        } else if (e.verb == telnet::WILL && !m_sentDo[e.option]) {
            m_sentDo[e.option] = true;
            sendRaw(telnet::negotiation(wanted(e.option) ? telnet::DO : telnet::DONT, e.option));
        }
        return;
    case Event::Kind::Subnegotiation: {
        if (e.option != telnet::OptComPort || e.payload.isEmpty())
            return;
        const quint8 code = quint8(e.payload[0]);
        const QByteArray value = e.payload.mid(1);
        if (code == comport::kServerOffset + comport::Signature) {
            if (value.isEmpty())
                sendRaw(comport::command(comport::Signature, "Varnel"));
            else
                m_signature = printable(value);
        } else if (code >= comport::kServerOffset + comport::SetBaudRate
                   && code <= comport::kServerOffset + comport::SetStopSize) {
            const int i = code - comport::kServerOffset - comport::SetBaudRate;
            m_answers.settings[i] = value;
            m_answers.have[i] = true;
        } else if (code == comport::kServerOffset + comport::NotifyModemState && !value.isEmpty()) {
            const std::optional<ModemLines> before = m_modem;
            m_modem = comport::modemLines(quint8(value[0]));
            // Whoever opened the port reads the lines when open() returns.
            if (m_open && m_modem != before)
                emit modemLinesChanged();
        }
        return;
    }
    case Event::Kind::Dropped:
        return;
    }
}

void NetworkPort::onSocketReadyRead()
{
    takeIncoming();
    if (m_open && m_rx.size() > m_rxPos)
        notifyData();
}

void NetworkPort::notifyData()
{
    if (!m_blocking) {
        emit readyRead();
        return;
    }
    if (m_notifyQueued)
        return;
    m_notifyQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_notifyQueued = false;
            if (m_open && m_rx.size() > m_rxPos)
                emit readyRead();
        },
        Qt::QueuedConnection);
}

void NetworkPort::onConnectionLost()
{
    if (!m_open || m_goneReported)
        return;
    if (m_socket->state() == QAbstractSocket::ConnectedState && m_socket->error() != QAbstractSocket::RemoteHostClosedError)
        return; // a passing error on a live connection
    takeIncoming();
    m_goneReported = true;
    const quint64 session = m_session;
    // Told outside the socket's own call, the last bytes first.
    QTimer::singleShot(0, this, [this, session] {
        if (session != m_session || !m_open)
            return;
        if (m_rx.size() > m_rxPos)
            emit readyRead();
        if (session != m_session || !m_open)
            return;
        m_open = false;
        retireSocket();
        emit deviceGone();
    });
}

qint64 NetworkPort::bytesWaiting()
{
    if (m_open)
        takeIncoming();
    return m_rx.size() - m_rxPos;
}

qint64 NetworkPort::read(char *data, qint64 maxBytes)
{
    if (maxBytes <= 0)
        return 0;
    const qint64 n = std::min<qint64>(maxBytes, m_rx.size() - m_rxPos);
    if (n <= 0)
        return 0;
    std::memcpy(data, m_rx.constData() + m_rxPos, size_t(n));
    m_rxPos += n;
    if (m_rxPos == m_rx.size()) {
        m_rx.clear();
        m_rxPos = 0;
    }
    return n;
}

bool NetworkPort::connected() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void NetworkPort::sendRaw(const QByteArray &bytes)
{
    if (m_socket)
        m_socket->write(bytes);
}

bool NetworkPort::writeByte(quint8 byte)
{
    if (!m_open || !connected())
        return false;
    if (m_socket->bytesToWrite() >= kWriteHighWater) {
        // The network is slower than the sender: wait a little, as a local
        // port waits for its line; a byte that still finds no room is not queued.
        FlagScope blocking(m_blocking);
        const QDeadlineTimer deadline(kWriteWaitMs);
        while (m_socket->bytesToWrite() >= kWriteHighWater && connected()
               && !deadline.hasExpired())
            m_socket->waitForBytesWritten(int(std::max<qint64>(1, deadline.remainingTime())));
        if (!connected() || m_socket->bytesToWrite() >= kWriteHighWater)
            return false;
    }
    const char bytes[2] = {char(byte), char(byte)};
    const qint64 n = m_telnet && byte == telnet::IAC ? 2 : 1;
    return m_socket->write(bytes, n) == n;
}

bool NetworkPort::setDtr(bool on)
{
    if (!m_open || !m_telnet || !connected())
        return false;
    sendRaw(comport::command(comport::SetControl, QByteArray(1, char(on ? comport::DtrOn : comport::DtrOff))));
    return true;
}

bool NetworkPort::setRts(bool on)
{
    if (!m_open || !m_telnet || !connected())
        return false;
    sendRaw(comport::command(comport::SetControl, QByteArray(1, char(on ? comport::RtsOn : comport::RtsOff))));
    return true;
}

bool NetworkPort::setBreak(bool on)
{
    if (!m_open || !m_telnet || !connected())
        return false;
    sendRaw(comport::command(comport::SetControl, QByteArray(1, char(on ? comport::BreakOn : comport::BreakOff))));
    return true;
}

void NetworkPort::close()
{
    ++m_session;
    m_open = false;
    m_modem.reset(); // the next server tells its own
    retireSocket();
    m_decoder.reset();
    m_rx.clear();
    m_rxPos = 0;
}
