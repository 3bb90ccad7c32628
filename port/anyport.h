#pragma once

#include "core/serialport.h"

#include <QHash>

class NetworkPort;
class QtSerialPort;

// The program's one port object: each open picks the backend by the name in
// the settings, a network port for "rfc2217://" and "socket://", a local
// device for every other name. The rest of the program never knows which.
class AnyPort : public SerialPort
{
    Q_OBJECT
public:
    explicit AnyPort(QObject *parent = nullptr);
    ~AnyPort() override;

    OpenResult open(const PortSettings &settings) override;
    bool isOpen() const override;
    qint64 bytesWaiting() override;
    qint64 read(char *data, qint64 maxBytes) override;
    bool writeByte(quint8 byte) override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    void close() override;
    QString failureText() const override;
    std::optional<ModemLines> modemLines() override;
    bool setBreak(bool on) override;

    // The backend of the last open; nothing before the first.
    SerialPort *backend() const { return m_active; }
    // The signature a port server sent on the last network open, if any.
    QString serverSignature() const;
    // What the server a network name points to called itself, as far as this
    // port has been connected to it; empty for any other name. Asks nobody.
    QString serverSignature(const QString &name) const;

private:
    template<class Port> Port *adopt(Port *port);
    void rememberSignature();

    QtSerialPort *m_local = nullptr;
    NetworkPort *m_network = nullptr;
    SerialPort *m_active = nullptr;
    QString m_networkKey; // the server of the last network open
    QHash<QString, QString> m_signatures; // server -> what it called itself
};
