#pragma once

#include <QProcess>
#include <QTemporaryDir>

// A TCP port free on 127.0.0.1 (bound and released).
quint16 freeTcpPort();

// Debian's ser2net on 127.0.0.1: one device behind a telnet(rfc2217) accepter
// signing as "varnel-test", another behind a raw TCP accepter. The TCP ports
// are kept across restarts.
class Ser2net
{
public:
    ~Ser2net() { kill(); }
    bool start(const QString &rfc2217Device, const QString &rawDevice);
    bool restart();
    void kill(); // SIGKILL: connections drop as when the server dies
    quint16 rfcPort = 0, rawPort = 0;
    QString log;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_rfcDevice, m_rawDevice;
};
