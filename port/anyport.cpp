#include "port/anyport.h"

#include "core/netportname.h"
#include "port/networkport.h"
#include "port/qtserialport.h"

AnyPort::AnyPort(QObject *parent)
    : SerialPort(parent)
{
}

AnyPort::~AnyPort() = default;

template<class Port> Port *AnyPort::adopt(Port *port)
{
    connect(port, &SerialPort::readyRead, this, [this, port] {
        if (m_active == port)
            emit readyRead();
    });
    connect(port, &SerialPort::deviceGone, this, [this, port] {
        if (m_active == port)
            emit deviceGone();
    });
    connect(port, &SerialPort::modemLinesChanged, this, [this, port] {
        if (m_active == port)
            emit modemLinesChanged();
    });
    return port;
}

namespace {

// One server, however its name is written: the host without case, the TCP port.
QString serverKey(const QString &name)
{
    const netport::ParsedName parsed = netport::parseName(name);
    if (!parsed.address)
        return {};
    return parsed.address->host.toLower() + QLatin1Char(' ') + QString::number(parsed.address->port);
}

} // namespace

SerialPort::OpenResult AnyPort::open(const PortSettings &settings)
{
    if (m_active && m_active->isOpen())
        m_active->close();
    rememberSignature();
    if (netport::isNetworkName(settings.PortName)) {
        if (!m_network)
            m_network = adopt(new NetworkPort(this));
        m_active = m_network;
        m_networkKey = serverKey(settings.PortName);
    } else {
        if (!m_local)
            m_local = adopt(new QtSerialPort(this));
        m_active = m_local;
    }
    const OpenResult result = m_active->open(settings);
    rememberSignature();
    return result;
}

void AnyPort::rememberSignature()
{
    // The signature may come after the open: kept at each open and close.
    if (m_network && !m_networkKey.isEmpty() && !m_network->serverSignature().isEmpty())
        m_signatures.insert(m_networkKey, m_network->serverSignature());
}

bool AnyPort::isOpen() const
{
    return m_active && m_active->isOpen();
}

qint64 AnyPort::bytesWaiting()
{
    return m_active ? m_active->bytesWaiting() : 0;
}

qint64 AnyPort::read(char *data, qint64 maxBytes)
{
    return m_active ? m_active->read(data, maxBytes) : 0;
}

bool AnyPort::writeByte(quint8 byte)
{
    return m_active && m_active->writeByte(byte);
}

bool AnyPort::setDtr(bool on)
{
    return m_active && m_active->setDtr(on);
}

bool AnyPort::setRts(bool on)
{
    return m_active && m_active->setRts(on);
}

void AnyPort::close()
{
    rememberSignature();
    if (m_active)
        m_active->close();
}

QString AnyPort::failureText() const
{
    return m_active ? m_active->failureText() : QString();
}

std::optional<ModemLines> AnyPort::modemLines()
{
    return m_active ? m_active->modemLines() : std::nullopt;
}

bool AnyPort::setBreak(bool on)
{
    return m_active && m_active->setBreak(on);
}

QString AnyPort::serverSignature() const
{
    return m_active == m_network && m_network ? m_network->serverSignature() : QString();
}

QString AnyPort::serverSignature(const QString &name) const
{
    const QString key = serverKey(name);
    if (key.isEmpty())
        return {};
    if (m_network && key == m_networkKey && !m_network->serverSignature().isEmpty())
        return m_network->serverSignature();
    return m_signatures.value(key);
}
