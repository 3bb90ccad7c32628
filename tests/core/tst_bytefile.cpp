#include "support/filesizelimit.h"
#include "core/bytefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Writes `bytes` in pieces of awkward sizes over an older, longer file.
bool write(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile old(path);
    if (!old.open(QIODevice::WriteOnly) || old.write("old bytes") != 9)
        return false;
    old.close();
    qsizetype pos = 0;
    int turn = 0;
    return WriteByteFilePieces(path, [&]() -> QByteArrayView {
        const qsizetype n = qMin<qsizetype>(bytes.size() - pos, (++turn % 2) ? 300001 : 1);
        pos += n;
        return QByteArrayView(bytes).sliced(pos - n, n);
    }, error);
}

} // namespace

class TstByteFile : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void roundTrip()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString file = path("round.rcv");
        for (const QByteArray &bytes : {QByteArray(), all.repeated(4000)}) {
            QString error;
            QVERIFY2(write(file, bytes, &error), qPrintable(error));
            // Read-only files load: the reader does not ask for write access.
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
            QByteArray back("stale");
            QVERIFY2(ReadByteFile(file, &back, &error) && back == bytes, qPrintable(error));
            QVERIFY(ReadByteFileStart(file, 300000, &back, &error) && back == bytes.left(300000));
            QFile::remove(file);
        }
        // A missing file or directory: the system says why, nothing changes.
        QByteArray out("untouched");
        QString readError, writeError;
        QVERIFY(!ReadByteFileStart(path("none"), 16, &out, &readError) && !readError.isEmpty());
        QVERIFY(!ReadByteFile(path("none"), &out, &readError) && out == "untouched");
        QVERIFY(!WriteByteFile(path("none/x"), "abc", &writeError) && !writeError.isEmpty());
    }

    // A write that runs out of room leaves the old file whole and no
    // temporary file behind, also below Qt's write buffer.
    void failedWriteKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("varnel.trn");
        QString error;
        bool written = true;
        {
            FileSizeLimit limit(1000);
            written = write(file, QByteArray(3000, 'n'), &error);
        }
        QVERIFY(!written);
        QVERIFY2(!error.isEmpty() && error != QLatin1String("Unknown error"), qPrintable(error));
        QCOMPARE(contents(file), QByteArray("old bytes"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"varnel.trn"});
    }

    // A file larger than the memory left is a failed read, not the end of the program.
    void readPastMemoryFails()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer's allocator ends the process instead of failing an allocation");
#endif
        QFile big(path("big"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(qint64(1) << 30)); // sparse
        QFile statm(QStringLiteral("/proc/self/statm"));
        QVERIFY(statm.open(QIODevice::ReadOnly));
        rlimit old{};
        getrlimit(RLIMIT_AS, &old);
        rlimit limit = old;
        limit.rlim_cur = rlim_t(statm.readAll().split(' ').value(0).toLongLong() * getpagesize() + (qint64(256) << 20));
        QVERIFY(setrlimit(RLIMIT_AS, &limit) == 0);
        QByteArray out("untouched");
        QString error;
        const bool read = ReadByteFile(big.fileName(), &out, &error);
        setrlimit(RLIMIT_AS, &old);
        QVERIFY(!read && out == "untouched");
        QCOMPARE(error, qt_error_string(ENOMEM));
    }
};

QTEST_GUILESS_MAIN(TstByteFile)
#include "tst_bytefile.moc"
