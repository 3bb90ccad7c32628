#include "support/scriptedtelnetserver.h"

#include <QTest>

ScriptedTelnetServer::ScriptedTelnetServer()
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

void ScriptedTelnetServer::onReadyRead()
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

void ScriptedTelnetServer::send(const QByteArray &bytes)
{
    if (m_client)
        m_client->write(bytes);
}

void ScriptedTelnetServer::hangUp()
{
    if (m_client)
        m_client->flush(), m_client->disconnectFromHost();
}

bool ScriptedTelnetServer::waitForReceived(qsizetype n, int timeoutMs)
{
    return QTest::qWaitFor([&] { return received.size() >= n; }, timeoutMs);
}
