#include "support/pty.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

Pty::Pty()
{
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    termios t{};
    tcgetattr(m_slave, &t);
    cfmakeraw(&t);
    tcsetattr(m_slave, TCSANOW, &t);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);
}

Pty::~Pty()
{
    closeMaster();
    if (m_slave >= 0)
        ::close(m_slave);
}

// Waits a moment for the master to become ready, letting the program run.
static void pause(int fd, short events)
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    pollfd p{fd, events, 0};
    ::poll(&p, 1, 2);
}

bool Pty::write(const QByteArray &bytes)
{
    QElapsedTimer idle; // the far end may stall: give up after 5 s without progress
    idle.start();
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n, idle.restart();
        else if ((n < 0 && errno != EAGAIN && errno != EINTR) || idle.elapsed() > 5000)
            return false;
        else
            pause(m_master, POLLOUT);
    }
    return true;
}

QByteArray Pty::read(int minBytes, int timeoutMs)
{
    QByteArray out;
    QElapsedTimer t;
    t.start();
    char buf[65536];
    while (true) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0)
            out.append(buf, n);
        if (n > 0 ? out.size() >= minBytes : t.elapsed() >= timeoutMs)
            break;
        if (n <= 0)
            pause(m_master, POLLIN);
    }
    return out;
}

void Pty::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master), m_master = -1;
}
