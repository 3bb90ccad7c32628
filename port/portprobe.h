#pragma once

#include "core/portfailure.h"

#include <QString>

// What this system can tell about a port without disturbing it, and why an
// open failed. Linux: stat, access, the open file tables under /proc and
// Qt's list of serial ports.
namespace portprobe {

// Facts about the port a user names ("ttyUSB0", "COM1", a path, a by-id link).
// Opens nothing: opening a port may toggle DTR and reset the device on it.
PortFacts inspect(const QString &name);

// Why opening `path` failed just now: tries the device once more without
// locking and reads errno. `detail` gets the group, the holder or the
// system's words.
PortProblem diagnoseOpenFailure(const QString &path, QString *detail);

// The group that owns the device ("dialout"), or its number.
QString groupOf(const QString &path);

// Another process that has the device open: "процесс 1234 (minicom)"; empty
// when none is visible to this user.
QString holderOf(const QString &path);

} // namespace portprobe
