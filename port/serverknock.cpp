#include "port/serverknock.h"

#include "core/netportname.h"

#include <QTcpSocket>
#include <QTimer>

ServerKnock::ServerKnock(QObject *parent)
    : QObject(parent)
    , m_socket(new QTcpSocket(this))
    , m_timeout(new QTimer(this))
{
    m_timeout->setSingleShot(true);
    connect(m_timeout, &QTimer::timeout, this, [this] { finish(false); });
    connect(m_socket, &QTcpSocket::connected, this, [this] { finish(true); });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] { finish(false); });
}

bool ServerKnock::knock(const QString &portName, int timeoutMs)
{
    const netport::ParsedName parsed = netport::parseName(portName);
    if (!parsed.address || pending())
        return false;
    m_timeout->start(timeoutMs);
    m_socket->connectToHost(parsed.address->host, parsed.address->port);
    return true;
}

bool ServerKnock::pending() const
{
    return m_timeout->isActive();
}

void ServerKnock::finish(bool takesConnections)
{
    if (!pending())
        return;
    m_timeout->stop();
    m_socket->abort();
    // Never from inside knock(): a refusal can be known at once.
    QTimer::singleShot(0, this, [this, takesConnections] { emit answered(takesConnections); });
}
