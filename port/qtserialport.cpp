#include "port/qtserialport.h"

#include "port/portprobe.h"

#include <QTimer>

#include <sys/ioctl.h>

namespace {

constexpr int kQueueSize = 2048;
constexpr int kWriteTimeoutMs = 100; // per byte written

bool mapDataBits(quint8 size, QSerialPort::DataBits &out)
{
    switch (size) {
    case 5: out = QSerialPort::Data5; return true;
    case 6: out = QSerialPort::Data6; return true;
    case 7: out = QSerialPort::Data7; return true;
    case 8: out = QSerialPort::Data8; return true;
    default: return false; // 4 data bits do not exist on this system
    }
}

bool mapParity(quint8 index, QSerialPort::Parity &out)
{
    switch (index) {
    case 0: out = QSerialPort::NoParity; return true;
    case 1: out = QSerialPort::OddParity; return true;
    case 2: out = QSerialPort::EvenParity; return true;
    case 3: out = QSerialPort::MarkParity; return true;
    case 4: out = QSerialPort::SpaceParity; return true;
    default: return false;
    }
}

bool mapStopBits(quint8 index, QSerialPort::StopBits &out)
{
    switch (index) {
    case 0: out = QSerialPort::OneStop; return true;
#ifdef Q_OS_WIN
    case 1: out = QSerialPort::OneAndHalfStop; return true;
#endif
    case 2: out = QSerialPort::TwoStop; return true;
    default: return false; // 1.5 stop bits cannot be set through termios
    }
}

} // namespace

QtSerialPort::QtSerialPort(QObject *parent)
    : SerialPort(parent)
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialPort::readyRead);
}

QtSerialPort::~QtSerialPort() = default;

bool QtSerialPort::settingsApplicable(const PortSettings &s)
{
    QSerialPort::DataBits d;
    QSerialPort::Parity p;
    QSerialPort::StopBits st;
    return s.BaudRate > 0 && mapDataBits(s.ByteSize, d) && mapParity(s.Parity, p)
        && mapStopBits(s.StopBits, st);
}

SerialPort::OpenResult QtSerialPort::open(const PortSettings &s)
{
    if (m_port.isOpen())
        m_port.close();
    m_goneReported = false;
    m_failure.clear();
    const QString path = portsettings::resolvePortName(s.PortName);
    m_port.setPortName(path);
    if (!m_port.open(QIODevice::ReadWrite)) {
        QString detail;
        const PortProblem problem = portprobe::diagnoseOpenFailure(path, &detail);
        m_failure = portfailure::failureText(problem, path, detail.isEmpty() && problem == PortProblem::Other
                                                                 ? m_port.errorString() : detail);
        return OpenResult::OpenFailed;
    }
    m_port.setReadBufferSize(0);

    // Qt accepts some values silently that the line cannot carry; refuse them
    // rather than open with a setting other than the one chosen.
    QSerialPort::DataBits dataBits;
    QSerialPort::Parity parity;
    QSerialPort::StopBits stopBits;
    const bool valid = settingsApplicable(s) && mapDataBits(s.ByteSize, dataBits)
                    && mapParity(s.Parity, parity) && mapStopBits(s.StopBits, stopBits);
    if (!valid || !m_port.setBaudRate(s.BaudRate) || !m_port.setDataBits(dataBits)
        || !m_port.setParity(parity) || !m_port.setStopBits(stopBits)) {
        m_port.close();
        QString setting = portfailure::unsupportedSetting(s);
        if (setting.isEmpty())
            setting = QStringLiteral("скорость %1").arg(s.BaudRate); // the driver refused the rate
        m_failure = portfailure::failureText(PortProblem::Unsupported, path, setting);
        return OpenResult::SettingsRejected;
    }
    // Flow control is left as the device had it; time-outs are per call here
    // (the write waits kWriteTimeoutMs per byte), so nothing can refuse them.
    m_port.clearError();
    return OpenResult::Opened;
}

bool QtSerialPort::isOpen() const
{
    return m_port.isOpen();
}

qint64 QtSerialPort::bytesWaiting()
{
    if (!m_port.isOpen())
        return 0;
    return m_port.bytesAvailable();
}

qint64 QtSerialPort::read(char *data, qint64 maxBytes)
{
    if (!m_port.isOpen() || maxBytes <= 0)
        return 0;
    const qint64 n = m_port.read(data, maxBytes);
    return n < 0 ? 0 : n;
}

bool QtSerialPort::writeByte(quint8 byte)
{
    if (!m_port.isOpen())
        return false;
    const char c = char(byte);
    if (m_port.write(&c, 1) != 1)
        return false;
    while (m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(kWriteTimeoutMs))
            return false;
    }
    return true;
}

bool QtSerialPort::setDtr(bool on)
{
    if (!m_port.isOpen())
        return false;
    const bool ok = m_port.setDataTerminalReady(on);
    m_port.clearError(); // a pty refuses control lines; that is not a device loss
    return ok;
}

bool QtSerialPort::setRts(bool on)
{
    if (!m_port.isOpen())
        return false;
    const bool ok = m_port.setRequestToSend(on);
    m_port.clearError();
    return ok;
}

std::optional<ModemLines> QtSerialPort::modemLines()
{
    if (!m_port.isOpen())
        return std::nullopt;
    // Asked directly: Qt reports a pty's refusal as an error on the port.
    int bits = 0;
    if (::ioctl(int(m_port.handle()), TIOCMGET, &bits) != 0)
        return std::nullopt;
    ModemLines lines;
    lines.cts = bits & TIOCM_CTS;
    lines.dsr = bits & TIOCM_DSR;
    lines.dcd = bits & TIOCM_CD;
    lines.ri = bits & TIOCM_RI;
    return lines;
}

bool QtSerialPort::setBreak(bool on)
{
    if (!m_port.isOpen())
        return false;
    return ::ioctl(int(m_port.handle()), on ? TIOCSBRK : TIOCCBRK) == 0;
}

void QtSerialPort::close()
{
    if (m_port.isOpen())
        m_port.close();
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    if (!m_port.isOpen())
        return;
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    // The device is gone: stop Qt's notifier at once (otherwise it reports the
    // same error in a tight loop) and tell the owner once, outside this call.
    m_port.close();
    if (m_goneReported)
        return;
    m_goneReported = true;
    QTimer::singleShot(0, this, [this] { emit deviceGone(); });
}
