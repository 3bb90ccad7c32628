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

// Writes `bytes` whole or in pieces of awkward sizes, over an older, longer file.
bool write(const QString &path, const QByteArray &bytes, bool inPieces, QString *error)
{
    QFile old(path);
    if (!old.open(QIODevice::WriteOnly) || old.write("old bytes") != 9)
        return false;
    old.close();
    if (!inPieces)
        return WriteByteFile(path, bytes, error);
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
        for (const auto &[bytes, inPieces] : {std::pair{QByteArray(), false}, {all.repeated(4000), true}}) {
            QString error;
            QVERIFY2(write(file, bytes, inPieces, &error), qPrintable(error));
            QCOMPARE(contents(file), bytes);
            // Read-only files load: the reader does not ask for write access.
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
            QByteArray back("stale");
            QVERIFY2(ReadByteFile(file, &back, &error) && back == bytes, qPrintable(error));
            for (qint64 limit : {0, 300000})
                QVERIFY(ReadByteFileStart(file, limit, &back, &error) && back == bytes.left(limit));
            QFile::remove(file);
        }
        // A directory or a missing file is no byte file: the system says why, nothing changes.
        QDir(m_dir.path()).mkpath("subdir/kept");
        QByteArray out("untouched");
        QString readError, startError, writeError;
        QVERIFY(!ReadByteFile(path("subdir"), &out, &readError) && !readError.isEmpty());
        QVERIFY(!ReadByteFileStart(path("none"), 16, &out, &startError) && !startError.isEmpty());
        QCOMPARE(out, QByteArray("untouched"));
        QVERIFY(!WriteByteFile(path("subdir"), "abc", &writeError) && !writeError.isEmpty());
        QVERIFY(QFileInfo(path("subdir/kept")).isDir());
    }

    // A write that runs out of room leaves the old file whole and no
    // temporary file behind, also when the data would reach the disk only
    // at commit (below Qt's write buffer).
    void failedWriteKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("varnel.trn");
        for (const auto &[size, inPieces] : {std::pair{3000, false}, {800000, true}}) {
            QString error;
            bool written = true;
            {
                FileSizeLimit limit(1000);
                written = write(file, QByteArray(size, 'n'), inPieces, &error);
            }
            QVERIFY(!written);
            QVERIFY2(!error.isEmpty() && error != QLatin1String("Unknown error"), qPrintable(error));
            QCOMPARE(contents(file), QByteArray("old bytes"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"varnel.trn"});
        }
    }

    // A file larger than the memory left is a failed read, not the end of
    // the program.
    void readPastMemoryFails()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer's allocator ends the process instead of failing an allocation");
#endif
        const QString file = path("big");
        {
            QFile big(file);
            QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(qint64(1) << 30)); // sparse
        }
        QFile statm(QStringLiteral("/proc/self/statm"));
        QVERIFY(statm.open(QIODevice::ReadOnly));
        rlimit old{};
        getrlimit(RLIMIT_AS, &old);
        rlimit limit = old;
        limit.rlim_cur = rlim_t(statm.readAll().split(' ').value(0).toLongLong() * getpagesize() + (qint64(256) << 20));
        QVERIFY(setrlimit(RLIMIT_AS, &limit) == 0);
        QByteArray out("untouched");
        QString error;
        const bool read = ReadByteFile(file, &out, &error);
        setrlimit(RLIMIT_AS, &old);
        QVERIFY(!read);
        QCOMPARE(error, qt_error_string(ENOMEM));
        QCOMPARE(out, QByteArray("untouched"));
    }
};

QTEST_GUILESS_MAIN(TstByteFile)
#include "tst_bytefile.moc"
