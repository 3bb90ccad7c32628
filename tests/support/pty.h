#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair: the program opens slavePath() through the real
// backend; the test reads and writes the master side.
class Pty
{
public:
    Pty();
    ~Pty();
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    // False when the far end took nothing for 5 s.
    bool write(const QByteArray &bytes);
    // Reads what has arrived, waiting up to timeoutMs for at least minBytes.
    QByteArray read(int minBytes, int timeoutMs);
    void closeMaster();

private:
    int m_master = -1;
    int m_slave = -1; // kept open so the master never sees a hang-up before the program opens
    QString m_slavePath;
};
