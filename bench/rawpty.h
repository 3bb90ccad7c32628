#pragma once

#include <pty.h>
#include <termios.h>

#include <QString>

// A pseudo-terminal pair in raw mode: the program opens `path`, the bench
// drives `master`. False when the system has none to give.
struct RawPty {
    int master = -1, slave = -1;
    QString path;

    bool open()
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return false;
        termios t{};
        tcgetattr(slave, &t);
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
        path = QString::fromLocal8Bit(name);
        return true;
    }
};
