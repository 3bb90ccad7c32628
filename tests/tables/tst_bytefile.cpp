#include "support/filesizelimit.h"
#include "tables/bytefile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
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
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TstByteFile : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QByteArray big(1 << 20, '\0');
        QRandomGenerator gen(7);
        for (char &c : big)
            c = char(gen.bounded(256));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one zero byte") << QByteArray(1, '\0');
        QTest::newRow("every byte") << all;
        QTest::newRow("1 MiB") << big;
    }
    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        const QString file = path("round.rcv");
        put(file, "previous, longer content that must vanish");
        QString error;
        QVERIFY2(WriteByteFile(file, bytes, &error), qPrintable(error));
        QCOMPARE(contents(file), bytes);
        QByteArray back("stale");
        QVERIFY2(ReadByteFile(file, &back, &error), qPrintable(error));
        QCOMPARE(back, bytes);
    }

    // Paths that cannot be a byte file: both directions fail with the
    // system's text and leave what was there as it was.
    void unusablePaths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("tryWrite");
        QTest::newRow("missing") << "missing.rcv" << false;
        QTest::newRow("directory") << "subdir" << true;
        QTest::newRow("under a regular file") << "plain/inner.rcv" << true;
    }
    void unusablePaths()
    {
        QFETCH(QString, name);
        QFETCH(bool, tryWrite);
        QDir(m_dir.path()).mkpath("subdir/kept");
        put(path("plain"), "old");
        QByteArray out("untouched");
        QString error;
        QVERIFY(!ReadByteFile(path(name), &out, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(out, QByteArray("untouched"));
        if (tryWrite) {
            error.clear();
            QVERIFY(!WriteByteFile(path(name), "abc", &error));
            QVERIFY(!error.isEmpty());
        }
        QVERIFY(QFileInfo(path("subdir/kept")).isDir());
        QCOMPARE(contents(path("plain")), QByteArray("old"));
    }

    void readOnlyFileIsReadable()
    {
        const QString file = path("readonly.rcv");
        put(file, "\x01\x02\x03");
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QByteArray out;
        QString error;
        QVERIFY2(ReadByteFile(file, &out, &error), qPrintable(error));
        QCOMPARE(out, QByteArray("\x01\x02\x03"));
    }

    // A write that runs out of room leaves the old file whole and no
    // temporary file behind.
    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<int>("size");
        // Below Qt's write buffer the data reaches the disk only at commit.
        QTest::newRow("3000 bytes") << 3000;
        QTest::newRow("64 KiB") << (1 << 16);
    }
    void failedWriteKeepsOldFile()
    {
        QFETCH(int, size);
        QTemporaryDir dir;
        const QString file = dir.filePath("varnel.trn");
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
};

QTEST_GUILESS_MAIN(TstByteFile)
#include "tst_bytefile.moc"
