#pragma once

#include <QByteArray>
#include <QString>

// A byte file is the bytes and nothing else. The reader opens read-only and
// reads the whole file before handing anything over: on failure it returns
// false with the system's text in *error and leaves *out as it was.
bool ReadByteFile(const QString &path, QByteArray *out, QString *error);

// Replaces the file through a temporary one, so a failed write leaves the
// old file whole.
bool WriteByteFile(const QString &path, const QByteArray &bytes, QString *error);
