#pragma once

#include <QByteArray>
#include <QString>

class ByteStore;

// A byte file is the bytes and nothing else. The reader opens read-only and
// reads the whole file before handing anything over: on failure it returns
// false with the system's text in *error and leaves *out as it was.
bool ReadByteFile(const QString &path, QByteArray *out, QString *error);

// Replaces the file through a temporary one, so a failed write leaves the
// old file whole.
bool WriteByteFile(const QString &path, const QByteArray &bytes, QString *error);
// The same for a store's bytes, read from it piece by piece: a capture of
// any size is saved without a second copy in memory.
bool WriteByteFileFrom(const QString &path, const ByteStore &bytes, QString *error);
