#include "support/ser2net.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpServer>
#include <QThread>

quint16 freeTcpPort()
{
    QTcpServer s;
    return s.listen(QHostAddress::LocalHost, 0) ? s.serverPort() : 0;
}

// Whether something listens on 127.0.0.1:port (state 0A in the kernel's table).
static bool isListening(quint16 port)
{
    QFile f(QStringLiteral("/proc/net/tcp"));
    const QString wanted = QStringLiteral("0100007F:%1 00000000:0000 0A").arg(port, 4, 16, QLatin1Char('0')).toUpper();
    return f.open(QIODevice::ReadOnly) && f.readAll().contains(wanted.toLatin1());
}

bool Ser2net::start(const QString &rfc2217Device, const QString &rawDevice)
{
    m_rfcDevice = rfc2217Device;
    m_rawDevice = rawDevice;
    rfcPort = freeTcpPort();
    do
        rawPort = freeTcpPort();
    while (rawPort == rfcPort);
    return restart();
}

bool Ser2net::restart()
{
    kill();
    const QString config = m_dir.filePath(QStringLiteral("ser2net.yaml"));
    QFile f(config);
    if (!rfcPort || !rawPort || !f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    f.write(QStringLiteral("%YAML 1.1\n---\n"
                           "connection: &rfc2217\n  accepter: telnet(rfc2217),tcp,127.0.0.1,%1\n"
                           "  connector: serialdev,%2,9600n81,local\n  options:\n    signature: varnel-test\n"
                           "connection: &raw\n  accepter: tcp,127.0.0.1,%3\n  connector: serialdev,%4,9600n81,local\n")
                .arg(QString::number(rfcPort), m_rfcDevice, QString::number(rawPort), m_rawDevice)
                .toUtf8());
    f.close();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QStringLiteral("ser2net"), {"-n", "-d", "-c", config, "-P", m_dir.filePath(QStringLiteral("ser2net.pid"))});
    if (!m_process.waitForStarted(3000)) {
        log = m_process.errorString() + QStringLiteral(" (scripts/install-deps.sh installs ser2net)");
        return false;
    }
    for (const QDeadlineTimer deadline(5000); !deadline.hasExpired() && m_process.state() == QProcess::Running;
         QThread::msleep(10))
        if (isListening(rfcPort) && isListening(rawPort))
            return true;
    kill();
    return false;
}

void Ser2net::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(3000);
    log += QString::fromLocal8Bit(m_process.readAll());
}
