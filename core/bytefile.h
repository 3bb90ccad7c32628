#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

// A byte file is the bytes and nothing else. The reader opens read-only and
// reads the whole file before handing anything over: on failure (running out
// of memory included) it returns false with the system's text in *error and
// leaves *out as it was.
bool ReadByteFile(const QString &path, QByteArray *out, QString *error);

// The first `limit` bytes of the file at most (fewer when it is shorter);
// what lies beyond is neither read nor held.
bool ReadByteFileStart(const QString &path, qint64 limit, QByteArray *out, QString *error);

// Replaces the file through a temporary one, so a failed write leaves the
// old file whole.
bool WriteByteFile(const QString &path, const QByteArray &bytes, QString *error);

// The same, with the bytes handed out piece by piece: `next` is called until
// it returns an empty piece, and each piece needs to live only until the
// following call. Nothing holds the whole file at once.
bool WriteByteFilePieces(const QString &path, const std::function<QByteArrayView()> &next, QString *error);

class ByteStore;
// The same for a store's bytes, read from it a chunk at a time: a capture of
// any size is saved without a second copy in memory.
bool WriteByteFileFrom(const QString &path, const ByteStore &bytes, QString *error);
