#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// Line parameters of the one port. Parity and stop-bit values are the
// positions in the setup dialog's lists; 255 stands for "nothing selected".
struct PortSettings {
    QString PortName = QStringLiteral("COM1");
    qint32 BaudRate = 9600;
    quint8 ByteSize = 8;
    quint8 Parity = 0;   // 0 no, 1 odd, 2 even, 3 mark, 4 space
    quint8 StopBits = 0; // 0 one, 1 one and a half, 2 two

    bool operator==(const PortSettings &) const = default;
};

namespace portsettings {

// The fifteen rates of the baud-rate box, by position.
const QList<qint32> &baudRates();
int baudRateIndex(qint32 rate); // -1 when not in the list

const QStringList &parityNames();   // "no", "odd", "even", "mark", "space"
const QStringList &stopBitsNames(); // "1", "1,5", "2"
QStringList defaultPortNames();     // "COM1" .. "COM9"

// Rate typed into the baud box: a positive whole number, else nothing.
std::optional<qint32> parseBaudRate(const QString &text);

// Device path the port name stands for on this system.
QString resolvePortName(const QString &name);

// Name a user would type for a device path ("/dev/ttyUSB0" -> "ttyUSB0").
QString userPortName(const QString &systemLocation);

// "Транслятор портов: COM1; 9600 бод; ..." from the dialog's texts.
QString portCaption(const QString &portText, const QString &baudText, int byteSize,
                    const QString &parityText, const QString &stopBitsText);

} // namespace portsettings
