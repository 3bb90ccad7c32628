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
    explicit FakeSerialPort(QObject *parent = nullptr);

    OpenResult open(const PortSettings &settings) override;
    bool isOpen() const override { return m_open; }
    qint64 bytesWaiting() override;
    qint64 read(char *data, qint64 maxBytes) override;
    bool writeByte(quint8 byte) override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    void close() override;

    // Test controls.
    OpenResult nextOpenResult = OpenResult::Opened;
    bool failBytesWaiting = false;
    void inject(const QByteArray &bytes) { m_incoming.append(bytes); }
    void loseDevice();

    // What happened, in order: "open COM1 9600 8 0 0", "dtr 1", "rts 0", "write 41", "close".
    QStringList calls;
    QByteArray written;
    PortSettings lastSettings;
    QStringList controlLineCalls() const; // only the "dtr"/"rts" entries
    void clearLog() { calls.clear(); written.clear(); }

    // The most recently created fake, for tests that let the program create its own.
    static FakeSerialPort *last;
    static void install(); // makes createSerialPort() return fakes

private:
    bool m_open = false;
    QByteArray m_incoming;
};
