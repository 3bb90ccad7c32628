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
    return port;
}

SerialPort::OpenResult AnyPort::open(const PortSettings &settings)
{
    if (m_active && m_active->isOpen())
        m_active->close();
    if (netport::isNetworkName(settings.PortName)) {
        if (!m_network)
            m_network = adopt(new NetworkPort(this));
        m_active = m_network;
    } else {
        if (!m_local)
            m_local = adopt(new QtSerialPort(this));
        m_active = m_local;
    }
    return m_active->open(settings);
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
