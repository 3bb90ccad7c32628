#include "support/ser2net.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>

quint16 freeTcpPort()
{
    QTcpServer s;
    if (!s.listen(QHostAddress::LocalHost, 0))
        return 0;
    return s.serverPort();
}

bool isListening(quint16 port)
{
    // State 0A is LISTEN; 0100007F is 127.0.0.1.
    QFile f(QStringLiteral("/proc/net/tcp"));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray wanted = QStringLiteral("0100007F:%1").arg(port, 4, 16, QLatin1Char('0')).toUpper().toLatin1();
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 3 && fields[1] == wanted && fields[3] == "0A")
            return true;
    }
    return false;
}

Ser2net::~Ser2net()
{
    kill();
}

bool Ser2net::available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")})
                .isEmpty();
}

bool Ser2net::start(const QString &rfc2217Device, const QString &rawDevice)
{
    m_rfcDevice = rfc2217Device;
    m_rawDevice = rawDevice;
    m_rfcPort = freeTcpPort();
    m_rawPort = freeTcpPort();
    while (m_rawPort == m_rfcPort)
        m_rawPort = freeTcpPort();
    return restart();
}

bool Ser2net::restart()
{
    kill();
    if (!m_dir.isValid() || !m_rfcPort || !m_rawPort)
        return false;
    const QString config = m_dir.filePath(QStringLiteral("ser2net.yaml"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    f.write(QStringLiteral("%YAML 1.1\n---\n"
                           "connection: &rfc2217\n"
                           "  accepter: telnet(rfc2217),tcp,127.0.0.1,%1\n"
                           "  connector: serialdev,%2,9600n81,local\n"
                           "  options:\n"
                           "    signature: varnel-test\n"
                           "connection: &raw\n"
                           "  accepter: tcp,127.0.0.1,%3\n"
                           "  connector: serialdev,%4,9600n81,local\n")
                .arg(m_rfcPort)
                .arg(m_rfcDevice)
                .arg(m_rawPort)
                .arg(m_rawDevice)
                .toUtf8());
    f.close();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QStringLiteral("ser2net"),
                    {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-c"), config, QStringLiteral("-P"),
                     m_dir.filePath(QStringLiteral("ser2net.pid"))});
    if (!m_process.waitForStarted(3000))
        return false;
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        if (isListening(m_rfcPort) && isListening(m_rawPort))
            return true;
        if (m_process.state() != QProcess::Running)
            break;
        QThread::msleep(10);
    }
    m_log = QString::fromLocal8Bit(m_process.readAll());
    kill();
    return false;
}

void Ser2net::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(3000);
    m_log += QString::fromLocal8Bit(m_process.readAll());
}
