#pragma once

#include "core/netportname.h"
#include "core/serialport.h"
#include "core/telnetstream.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QTcpSocket>

#include <functional>

// A serial port on another machine behind a port server (ser2net):
// "rfc2217://HOST:PORT" sets the remote line and its control lines through the
// telnet COM-PORT option; "socket://HOST:PORT" carries bytes only.
class NetworkPort : public SerialPort
{
    Q_OBJECT
public:
    explicit NetworkPort(QObject *parent = nullptr);
    ~NetworkPort() override;

    OpenResult open(const PortSettings &settings) override;
    bool isOpen() const override;
    qint64 bytesWaiting() override;
    qint64 read(char *data, qint64 maxBytes) override;
    bool writeByte(quint8 byte) override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    void close() override;

    QString failureText() const override { return m_failure; }
    std::optional<ModemLines> modemLines() override { return m_open ? m_modem : std::nullopt; }
    bool setBreak(bool on) override;

    // What the server called itself through the COM-PORT option, if it did.
    QString serverSignature() const { return m_signature; }

    // How long an open waits for the connection, and for the server's answers
    // to the option and the settings (answers are not required).
    void setConnectTimeout(int ms) { m_connectTimeoutMs = ms; }
    void setAnswerTimeout(int ms) { m_answerTimeoutMs = ms; }

    static constexpr int kConnectTimeoutMs = 3000;
    static constexpr int kAnswerTimeoutMs = 500;
    // How long a raw open watches for a server that hangs up at once.
    static constexpr int kSettleMs = 150;
    // Queued output above this makes a write wait (briefly) for the network.
    static constexpr qint64 kWriteHighWater = 1 << 20;
    static constexpr int kWriteWaitMs = 100;
    // How long a closed connection may take to hand over what was still queued.
    static constexpr int kLingerMs = 2000;

private:
    struct Answers {
        bool optionAccepted = false;
        bool optionRefused = false;
        QByteArray settings[4]; // the server's answers to rate, data size, parity, stop size
        bool have[4] = {};
    };

    void newSocket();
    void retireSocket();
    bool connected() const;
    bool connectToServer(const netport::Address &address, const QString &name);
    bool waitUntil(const std::function<bool()> &done, int timeoutMs);
    void onSocketReadyRead();
    void takeIncoming();
    void handle(const telnet::Event &event);
    void sendRaw(const QByteArray &bytes);
    void notifyData();
    void onConnectionLost();
    void fail(const QString &text);
    QString closedText(const QString &name);

    QTcpSocket *m_socket = nullptr; // one per connection
    telnet::Decoder m_decoder;
    QList<telnet::Event> m_events;
    bool m_telnet = false;
    bool m_open = false;
    bool m_blocking = false; // inside open() or a waiting write: readers are told later
    bool m_notifyQueued = false;
    bool m_opening = false;
    bool m_goneReported = false;
    quint64 m_session = 0;
    QByteArray m_rx;
    qsizetype m_rxPos = 0;
    Answers m_answers;
    QString m_failure;
    QString m_signature;
    std::optional<ModemLines> m_modem;
    bool m_sentWill[256] = {};
    bool m_sentDo[256] = {};
    int m_connectTimeoutMs = kConnectTimeoutMs;
    int m_answerTimeoutMs = kAnswerTimeoutMs;
};
