#pragma once

#include "core/telnetstream.h"

#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

// A telnet server on 127.0.0.1 playing a port server's part by rule: answers
// the COM-PORT option and the settings (or not), records every byte the
// client sends, and sends what a test gives it.
class ScriptedTelnetServer : public QObject
{
    Q_OBJECT
public:
    enum class Option { Accept, Refuse, Ignore };

    ScriptedTelnetServer();
    quint16 port() const { return m_server.serverPort(); }

    Option comPort = Option::Accept;
    bool answerSettings = true;
    QHash<quint8, QByteArray> answers; // setting code -> value answered instead of the one asked
    bool hangUpOnFirstBytes = false;
    QByteArray greeting; // sent to each client as it connects

    int connections = 0;
    QByteArray received; // everything the client sent, as sent

    void send(const QByteArray &bytes);
    void hangUp();
    // Runs the event loop until `n` bytes in all came from the client.
    bool waitForReceived(qsizetype n, int timeoutMs = 2000);

private:
    void onReadyRead();

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    telnet::Decoder m_decoder;
};
