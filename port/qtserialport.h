#pragma once

#include "core/serialport.h"

#include <QSerialPort>

// The program's port: Qt SerialPort under the narrow interface.
class QtSerialPort : public SerialPort
{
    Q_OBJECT
public:
    explicit QtSerialPort(QObject *parent = nullptr);
    ~QtSerialPort() override;

    OpenResult open(const PortSettings &settings) override;
    bool isOpen() const override;
    qint64 bytesWaiting() override;
    qint64 read(char *data, qint64 maxBytes) override;
    bool writeByte(quint8 byte) override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    void close() override;
    QString failureText() const override { return m_failure; }
    std::optional<ModemLines> modemLines() override;
    bool setBreak(bool on) override;

    // Whether the settings can be applied at all, before any device is touched.
    static bool settingsApplicable(const PortSettings &settings);

private:
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    bool m_goneReported = false;
    QString m_failure;
};
