#pragma once

#include "core/portsettings.h"

#include <QObject>
#include <QString>

#include <optional>

// The modem status lines a port reports (true while active).
struct ModemLines {
    bool cts = false;
    bool dsr = false;
    bool dcd = false;
    bool ri = false;
    friend bool operator==(const ModemLines &, const ModemLines &) = default;
};

// The narrow port interface the program talks to. One implementation drives a
// real device through Qt SerialPort; tests substitute a fake.
class SerialPort : public QObject
{
    Q_OBJECT
public:
    enum class OpenResult {
        Opened,
        OpenFailed,        // no such device, busy, no access
        SettingsRejected,  // rate, data bits, parity or stop bits not applicable
        TimeoutsRejected,  // the port would not take the time-outs
    };

    using QObject::QObject;
    ~SerialPort() override = default;

    virtual OpenResult open(const PortSettings &settings) = 0;
    virtual bool isOpen() const = 0;
    virtual qint64 bytesWaiting() = 0;
    // Reads at most maxBytes; returns the count read, 0 on failure.
    virtual qint64 read(char *data, qint64 maxBytes) = 0;
    // Returns once the byte has left the program or the per-byte time-out ran out.
    virtual bool writeByte(quint8 byte) = 0;
    virtual bool setDtr(bool on) = 0;
    virtual bool setRts(bool on) = 0;
    virtual void close() = 0;

    // Why the last open failed, in words for the user (the device's full
    // name, the cause and the remedy where there is one); empty when unknown.
    virtual QString failureText() const { return {}; }
    // The modem lines now; nothing when the port cannot report them (a pty).
    virtual std::optional<ModemLines> modemLines() { return std::nullopt; }
    // Holds or releases a break condition on the line; false when the port cannot.
    virtual bool setBreak(bool on) { Q_UNUSED(on); return false; }

signals:
    // Bytes arrived: bytesWaiting() says how many. Backends emit it from their
    // own notification, so a reader need not poll.
    void readyRead();
    // The open device went away (unplugged adapter, closed pty peer). Emitted once.
    void deviceGone();
    // The modem lines changed while open. Only backends that learn of the
    // lines by message (a port server) emit it; the rest are asked.
    void modemLinesChanged();
};
