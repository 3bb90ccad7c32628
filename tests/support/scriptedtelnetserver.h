#pragma once

#include "core/telnetstream.h"

#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

// A telnet server on 127.0.0.1 playing a port server's part by rule: answers
// the COM-PORT option and the settings (or not), records every byte the
// client sends, and sends what a test gives it.
class ScriptedTelnetServer : public QObject
{
    Q_OBJECT
public:
    enum class Option { Accept, Refuse, Ignore };

    ScriptedTelnetServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                ++connections;
                if (m_client)
                    m_client->abort();
                m_client = s;
                m_decoder.reset();
                connect(s, &QTcpSocket::readyRead, this, &ScriptedTelnetServer::onReadyRead);
                if (!greeting.isEmpty())
                    send(greeting);
            }
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    quint16 port() const { return m_server.serverPort(); }

    Option comPort = Option::Accept;
    bool answerSettings = true;
    QHash<quint8, QByteArray> answers; // setting code -> value answered instead of the one asked
    bool hangUpOnFirstBytes = false;
    QByteArray greeting; // sent to each client as it connects

    int connections = 0;
    QByteArray received; // everything the client sent, as sent

    void send(const QByteArray &bytes)
    {
        if (m_client)
            m_client->write(bytes);
    }
    void hangUp()
    {
        if (m_client)
            m_client->flush(), m_client->disconnectFromHost();
    }
    // Runs the event loop until `n` bytes in all came from the client.
    bool waitForReceived(qsizetype n, int timeoutMs = 2000)
    {
        return QTest::qWaitFor([&] { return received.size() >= n; }, timeoutMs);
    }

private:
    void onReadyRead()
    {
        const QByteArray chunk = m_client->readAll();
        received += chunk;
        if (hangUpOnFirstBytes)
            return hangUp();
        QByteArray data;
        QList<telnet::Event> events;
        m_decoder.feed(chunk, data, events);
        for (const telnet::Event &e : std::as_const(events)) {
            if (e.option != telnet::OptComPort)
                continue;
            if (e.kind == telnet::Event::Kind::Negotiation && e.verb == telnet::WILL && comPort != Option::Ignore) {
                send(telnet::negotiation(comPort == Option::Accept ? telnet::DO : telnet::DONT, telnet::OptComPort));
            } else if (e.kind == telnet::Event::Kind::Subnegotiation && answerSettings && !e.payload.isEmpty()) {
                const quint8 code = quint8(e.payload[0]);
                if (code >= comport::SetBaudRate && code <= comport::SetStopSize)
                    send(comport::command(quint8(code + comport::kServerOffset), answers.value(code, e.payload.mid(1))));
            }
        }
    }

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    telnet::Decoder m_decoder;
};
