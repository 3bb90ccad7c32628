#include "core/bytefile.h"

#include "core/bytestore.h"

#include <QFile>
#include <QSaveFile>

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
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(error, file.errorString());
    if (out)
        *out = std::move(bytes);
    return true;
}

namespace {

bool writeAll(QSaveFile &file, const char *data, qint64 size)
{
    // A short write sets no error; the next attempt reports why it stopped.
    for (qint64 done = 0; done < size;) {
        const qint64 n = file.write(data + done, size - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

template<typename Writer>
bool writeThroughSaveFile(const QString &path, QString *error, Writer &&writeBody)
{
    QSaveFile file(path);
    // Unbuffered: a buffered write that runs out of room fails only in the
    // flush inside commit(), and commit() does not look at that failure: it
    // would put a cut-short file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(error, file.errorString());
    QString readError;
    if (!writeBody(file, &readError)) {
        const QString text = readError.isEmpty() ? file.errorString() : readError;
        file.cancelWriting();
        return fail(error, text);
    }
    if (!file.commit())
        return fail(error, file.errorString());
    return true;
}

} // namespace

bool WriteByteFile(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeThroughSaveFile(path, error, [&](QSaveFile &file, QString *) {
        return writeAll(file, bytes.constData(), bytes.size());
    });
}

bool WriteByteFileFrom(const QString &path, const ByteStore &bytes, QString *error)
{
    return writeThroughSaveFile(path, error, [&](QSaveFile &file, QString *readError) {
        bool written = true;
        const bool done = bytes.forEachPiece(0, bytes.size(), [&](const char *piece, qint64 n) {
            written = writeAll(file, piece, n);
            return written;
        });
        if (!done && written)
            *readError = QStringLiteral("Не удалось прочитать временный файл принятых байтов");
        return done;
    });
}
