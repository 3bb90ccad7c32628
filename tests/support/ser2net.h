#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A free TCP port on 127.0.0.1 (bound and released; good for a test's run).
quint16 freeTcpPort();
// Whether something listens on 127.0.0.1:port.
bool isListening(quint16 port);

// Debian's ser2net serving two devices on 127.0.0.1: one through a
// telnet(rfc2217) accepter signing as "varnel-test", one through a raw TCP
// accepter. The ports are
// chosen at the first start and kept across restarts.
class Ser2net
{
public:
    Ser2net() = default;
    ~Ser2net();
    Ser2net(const Ser2net &) = delete;
    Ser2net &operator=(const Ser2net &) = delete;

    static bool available();
    bool start(const QString &rfc2217Device, const QString &rawDevice);
    bool restart();
    void kill(); // SIGKILL: connections drop as when the server dies
    quint16 rfc2217Port() const { return m_rfcPort; }
    quint16 rawPort() const { return m_rawPort; }
    QString log() const { return m_log; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_rfcDevice, m_rawDevice;
    quint16 m_rfcPort = 0;
    quint16 m_rawPort = 0;
    QString m_log;
};
