#pragma once

#include "core/serialport.h"
#include "port/portfactory.h"

#include <QByteArray>
#include <QStringList>

// A port that records every call the program makes and lets a test feed
// received bytes, choose how an open ends, or pull the device away.
class FakeSerialPort : public SerialPort
{
    Q_OBJECT
public:
    explicit FakeSerialPort(QObject *parent = nullptr) : SerialPort(parent) { last = this; }

    OpenResult open(const PortSettings &settings) override;
    bool isOpen() const override { return m_open; }
    qint64 bytesWaiting() override { return m_open && !failBytesWaiting ? m_incoming.size() : 0; }
    qint64 read(char *data, qint64 maxBytes) override;
    bool writeByte(quint8 byte) override;
    bool setDtr(bool on) override { return line("dtr", on); }
    bool setRts(bool on) override { return line("rts", on); }
    void close() override { calls << QStringLiteral("close"), m_open = false; }
    QString failureText() const override { return m_open ? QString() : nextFailureText; }
    std::optional<ModemLines> modemLines() override { return m_open ? lines : std::nullopt; }
    bool setBreak(bool on) override;

    // Test controls.
    OpenResult nextOpenResult = OpenResult::Opened;
    QString nextFailureText; // why the open failed, while it has failed
    bool failBytesWaiting = false;
    // Arrives and is announced, as a backend's notification would.
    void inject(const QByteArray &bytes);
    void loseDevice() { m_open = false, emit deviceGone(); }
    // Lines the port reports; nothing models a port that cannot (a pty).
    std::optional<ModemLines> lines = ModemLines{};
    // Break on and off, with the monotonic time in ms at each call: "break 1" / "break 0".
    QList<QPair<QString, qint64>> breaks;
    bool breakHeld = false;

    // What happened, in order: "open COM1 9600 8 0 0", "dtr 1", "rts 0", "write 41", "close".
    QStringList calls;
    QByteArray written;
    QStringList controlLineCalls() const; // only the "dtr"/"rts" entries
    void clearLog() { calls.clear(), written.clear(); }

    // The most recently created fake, for tests that let the program create its own.
    static FakeSerialPort *last;
    static void install(); // makes createSerialPort() return fakes

private:
    bool line(const char *name, bool on) { return calls << QStringLiteral("%1 %2").arg(name).arg(int(on)), m_open; }
    bool m_open = false;
    QByteArray m_incoming;
};
