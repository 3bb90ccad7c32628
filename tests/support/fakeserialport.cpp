#include "support/fakeserialport.h"

#include <QElapsedTimer>
#include <QRegularExpression>

FakeSerialPort *FakeSerialPort::last = nullptr;

void FakeSerialPort::install()
{
    setSerialPortFactory([](QObject *parent) -> SerialPort * { return new FakeSerialPort(parent); });
}

SerialPort::OpenResult FakeSerialPort::open(const PortSettings &s)
{
    calls << QStringLiteral("open %1 %2 %3 %4 %5").arg(s.PortName).arg(s.BaudRate).arg(s.ByteSize).arg(s.Parity).arg(s.StopBits);
    // Like a real line, settings it cannot carry are refused.
    const bool applicable = s.BaudRate > 0 && s.ByteSize >= 5 && s.ByteSize <= 8 && s.Parity <= 4
                         && (s.StopBits == 0 || s.StopBits == 2);
    const OpenResult result = nextOpenResult == OpenResult::Opened && !applicable ? OpenResult::SettingsRejected
                                                                                   : nextOpenResult;
    m_open = result == OpenResult::Opened;
    return result;
}

qint64 FakeSerialPort::read(char *data, qint64 maxBytes)
{
    const qint64 n = m_open ? qMin<qint64>(maxBytes, m_incoming.size()) : 0;
    memcpy(data, m_incoming.constData(), size_t(n));
    m_incoming.remove(0, n);
    return n;
}

bool FakeSerialPort::writeByte(quint8 byte)
{
    calls << QStringLiteral("write ") + QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    if (m_open)
        written.append(char(byte));
    return m_open;
}

QStringList FakeSerialPort::controlLineCalls() const
{
    return calls.filter(QRegularExpression(QStringLiteral("^(dtr|rts) ")));
}

void FakeSerialPort::inject(const QByteArray &bytes)
{
    m_incoming.append(bytes);
    if (m_open)
        emit readyRead();
}

bool FakeSerialPort::setBreak(bool on)
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    calls << QStringLiteral("break %1").arg(int(on));
    breaks.append({calls.last(), clock.elapsed()});
    breakHeld = m_open ? on : breakHeld;
    return m_open;
}
