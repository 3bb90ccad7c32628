#include "core/bytefile.h"

#include "core/bytestore.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <new>

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool ReadByteFile(const QString &path, QByteArray *out, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
    QByteArray bytes;
    try {
        bytes = file.readAll();
    } catch (const std::bad_alloc &) {
        // A file larger than the memory left is a failed read, not the end
        // of the program and of what it holds.
        return fail(error, qt_error_string(ENOMEM));
    }
    if (file.error() != QFileDevice::NoError)
        return fail(error, file.errorString());
    if (out)
        *out = std::move(bytes);
    return true;
}

bool ReadByteFileStart(const QString &path, qint64 limit, QByteArray *out, QString *error)
{
    QFile file(path);
    // Unbuffered: a buffered read would fetch a whole buffer past the limit.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(error, file.errorString());
    QByteArray bytes(limit, Qt::Uninitialized);
    qint64 done = 0;
    while (done < limit) {
        const qint64 n = file.read(bytes.data() + done, limit - done);
        if (n < 0)
            return fail(error, file.errorString());
        if (n == 0)
            break;
        done += n;
    }
    bytes.truncate(done);
    if (out)
        *out = std::move(bytes);
    return true;
}

bool WriteByteFile(const QString &path, const QByteArray &bytes, QString *error)
{
    bool given = false;
    return WriteByteFilePieces(path, [&]() -> QByteArrayView {
        if (given)
            return {};
        given = true;
        return bytes;
    }, error);
}

bool WriteByteFilePieces(const QString &path, const std::function<QByteArrayView()> &next, QString *error)
{
    QSaveFile file(path);
    // Unbuffered: a buffered write that runs out of room fails only in the
    // flush inside commit(), and commit() does not look at that failure: it
    // would put a cut-short file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(error, file.errorString());
    for (QByteArrayView piece = next(); !piece.isEmpty(); piece = next()) {
        // A short write sets no error; the next attempt reports why it stopped.
        for (qint64 done = 0; done < piece.size();) {
            const qint64 n = file.write(piece.data() + done, piece.size() - done);
            if (n <= 0) {
                const QString text = file.errorString();
                file.cancelWriting();
                return fail(error, text);
            }
            done += n;
        }
    }
    if (!file.commit())
        return fail(error, file.errorString());
    return true;
}

bool WriteByteFileFrom(const QString &path, const ByteStore &bytes, QString *error)
{
    qint64 pos = 0;
    QByteArray piece;
    return WriteByteFilePieces(path, [&]() -> QByteArrayView {
        piece = bytes.mid(pos, qMin(ByteStore::ChunkSize, bytes.size() - pos));
        pos += piece.size();
        return piece;
    }, error);
}
