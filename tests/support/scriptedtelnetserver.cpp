#include "support/scriptedtelnetserver.h"

#include <QTest>

ScriptedTelnetServer::ScriptedTelnetServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &ScriptedTelnetServer::onConnection);
}

bool ScriptedTelnetServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

void ScriptedTelnetServer::onConnection()
{
    while (QTcpSocket *s = m_server.nextPendingConnection()) {
        ++connections;
        if (m_client)
            m_client->abort();
        m_client = s;
        m_decoder.reset();
        connect(s, &QTcpSocket::readyRead, this, &ScriptedTelnetServer::onReadyRead);
        if (!greeting.isEmpty())
            s->write(greeting);
    }
}

void ScriptedTelnetServer::onReadyRead()
{
    if (!m_client)
        return;
    const QByteArray chunk = m_client->readAll();
    received += chunk;
    if (hangUpOnFirstBytes) {
        hangUp();
        return;
    }
    QList<telnet::Event> got;
    m_decoder.feed(chunk, data, got);
    events += got;
    for (const telnet::Event &e : std::as_const(got)) {
        if (e.kind == telnet::Event::Kind::Negotiation && e.verb == telnet::WILL && e.option == telnet::OptComPort) {
            if (comPort != Option::Ignore)
                send(telnet::negotiation(comPort == Option::Accept ? telnet::DO : telnet::DONT, telnet::OptComPort));
        } else if (e.kind == telnet::Event::Kind::Subnegotiation && e.option == telnet::OptComPort
                   && !e.payload.isEmpty() && answerSettings) {
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
    if (m_client) {
        m_client->flush();
        m_client->disconnectFromHost();
    }
}

bool ScriptedTelnetServer::waitForReceived(qsizetype n, int timeoutMs)
{
    return QTest::qWaitFor([&] { return received.size() >= n; }, timeoutMs);
}
