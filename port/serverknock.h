#pragma once

#include <QObject>

class QTcpSocket;
class QTimer;

// Asks a port server whether it takes connections without holding the
// program: a host that does not answer costs nothing but a pending socket.
// The connection is dropped as soon as it is made.
class ServerKnock : public QObject
{
    Q_OBJECT
public:
    explicit ServerKnock(QObject *parent = nullptr);

    // Starts a try at the server a network port name names; false when the
    // name names none (nothing is tried, nothing will be answered).
    bool knock(const QString &portName, int timeoutMs);
    bool pending() const;

signals:
    void answered(bool takesConnections);

private:
    void finish(bool takesConnections);

    QTcpSocket *m_socket;
    QTimer *m_timeout;
};
