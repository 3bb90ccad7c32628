#include "core/bytefile.h"

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

bool WriteByteFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    // Unbuffered: a buffered write that runs out of room fails only in the
    // flush inside commit(), and commit() does not look at that failure: it
    // would put a cut-short file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(error, file.errorString());
    // A short write sets no error; the next attempt reports why it stopped.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString text = file.errorString();
            file.cancelWriting();
            return fail(error, text);
        }
        done += n;
    }
    if (!file.commit())
        return fail(error, file.errorString());
    return true;
}
