#pragma once

#include "core/portsettings.h"

#include <QString>
#include <optional>

// Why a device cannot be used, as found out on this system.
enum class PortProblem {
    None,
    Missing,      // no such device
    NoPermission, // the device's mode and group keep this user out
    Busy,         // another program holds it
    Unsupported,  // a setting this system or port cannot apply
    Other,        // anything else; the system's own words go with it
};

// What is known about one port name, for the setup dialog.
struct PortFacts {
    QString path;              // the full device path the name stands for
    QString target;            // where a link such as /dev/serial/by-id/... points, else empty
    bool listed = false;       // the system lists it as a serial port
    QString description, manufacturer, serialNumber;
    std::optional<quint16> vendorId, productId;
    PortProblem problem = PortProblem::None;
    QString detail;            // group name, holder or the system's words
};

namespace portfailure {

// The first setting Linux cannot put on a line, named for the user
// ("4 бита данных", "1,5 стоп-бита", "скорость 0"); empty when all apply.
QString unsupportedSetting(const PortSettings &settings);

// The informative text of the open-failure box: the device's full path, the
// cause and the remedy. `detail` is the group (NoPermission), the setting
// (Unsupported), who holds it (Busy, may be empty) or the system's message (Other).
QString failureText(PortProblem problem, const QString &path, const QString &detail);

// One short line on what stops a port from opening (for lists of ports).
QString shortReason(PortProblem problem, const QString &detail);

// The setup dialog's description of the port in its box: the device path
// (a link's target, after "→"), what the system knows of it and what stops it.
QString describe(const PortFacts &facts);

} // namespace portfailure
