#include "support/filesizelimit.h"
#include "core/bytefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
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
        for (const QByteArray &bytes : {QByteArray(), all}) {
            put(file, "previous, longer content that must vanish");
            QString error;
            QVERIFY2(WriteByteFile(file, bytes, &error), qPrintable(error));
            QCOMPARE(contents(file), bytes);
            QByteArray back("stale");
            QVERIFY2(ReadByteFile(file, &back, &error), qPrintable(error));
            QCOMPARE(back, bytes);
        }
        // Read-only files load: the reader does not ask for write access.
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QByteArray back;
        QVERIFY(ReadByteFile(file, &back, nullptr));
        QCOMPARE(back, all);
    }

    // A directory is no byte file: both directions fail with the system's
    // text and change nothing.
    void directoryRefused()
    {
        QDir(m_dir.path()).mkpath("subdir/kept");
        QByteArray out("untouched");
        QString readError, writeError;
        QVERIFY(!ReadByteFile(path("subdir"), &out, &readError) && !readError.isEmpty());
        QCOMPARE(out, QByteArray("untouched"));
        QVERIFY(!WriteByteFile(path("subdir"), "abc", &writeError) && !writeError.isEmpty());
        QVERIFY(QFileInfo(path("subdir/kept")).isDir());
    }

    // A write that runs out of room leaves the old file whole and no
    // temporary file behind, both when the data would reach the disk only
    // at commit (below Qt's write buffer) and when it would not.
    void failedWriteKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("varnel.trn");
        for (int size : {3000, 1 << 16}) {
            put(file, "old bytes");
            QString error;
            bool written = true;
            {
                FileSizeLimit limit(1000);
                written = WriteByteFile(file, QByteArray(size, 'n'), &error);
            }
            QVERIFY(!written);
            QVERIFY2(!error.isEmpty() && error != QLatin1String("Unknown error"), qPrintable(error));
            QCOMPARE(contents(file), QByteArray("old bytes"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"varnel.trn"});
        }
    }
};

QTEST_GUILESS_MAIN(TstByteFile)
#include "tst_bytefile.moc"
