#include "core/bytefile.h"
#include "core/commandfile.h"
#include "core/settingsfiles.h"
#include "core/textfile.h"

#include "support/filesizelimit.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QList<Command> numbered(int n)
{
    QList<Command> list;
    list.reserve(n);
    for (int i = 0; i < n; ++i)
        list.append({QStringLiteral("n%1").arg(i), QStringLiteral("c%1").arg(i)});
    return list;
}

// The address space this process has mapped now.
qint64 mappedBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(0).toLongLong() * getpagesize();
}

} // namespace

class TstLimits : public QObject
{
    Q_OBJECT
private slots:
    void holdsLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("holds");
        QTest::newRow("empty, none") << QByteArray() << 0 << true;
        QTest::newRow("empty, one") << QByteArray() << 1 << false;
        QTest::newRow("last line unended") << QByteArray("a\nb") << 2 << true;
        QTest::newRow("one too many") << QByteArray("a\nb\n") << 3 << false;
        QTest::newRow("empty lines count") << QByteArray("\r\n\r\n\r\n") << 3 << true;
        QTest::newRow("ctrl-Z ends the data") << QByteArray("a\n\x1A" "b\nc\n") << 2 << false;
    }
    void holdsLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, n);
        QFETCH(bool, holds);
        const TextLineReader reader(bytes);
        QCOMPARE(reader.holdsLines(n), holds);
    }

    // Whatever the writer writes the reader takes back, also past the
    // bound; a count the data cannot hold makes no rows.
    void commandCount_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows"); // -1: not read
        const int past = kMaxCommandRows + 1;
        QTest::newRow("past the bound, written whole") << SerializeCommandFile(numbered(past)) << past;
        QTest::newRow("past the bound, last pair unended")
            << QByteArray::number(past) + "\n" + QByteArray("a\nb\n").repeated(past - 1) + "a\nb" << past;
        QTest::newRow("past the bound, one line short")
            << QByteArray::number(past) + "\n" + QByteArray("a\nb\n").repeated(past - 1) + "a\n" << -1;
        QTest::newRow("at the bound, nothing follows") << QByteArray::number(kMaxCommandRows) + "\r\n" << kMaxCommandRows;
        QTest::newRow("2^31-1, nothing follows") << QByteArray("2147483647\r\nA\r\nB\r\n") << -1;
    }
    void commandCount()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rows);
        const auto list = ParseCommandFile(bytes);
        QCOMPARE(list ? int(list->size()) : -1, rows);
    }

    void longListInStringsFileRoundTrips()
    {
        StringsFileContent c;
        for (int i = 0; i < 10; ++i)
            c.lines << QStringLiteral("line %1").arg(i);
        c.leString = QStringLiteral("$41");
        c.leLabel = QStringLiteral("A");
        c.commands = numbered(kMaxCommandRows + 1);
        c.divider = 7;
        c.qPulseInPaket = 3;
        c.qPauseInPaket = 4;
        c.fullPortName = QStringLiteral("/dev/ttyUSB0");
        const StringsFileContent back = ParseStringsFile(SerializeStringsFile(c), QStringLiteral("/dev"));
        QCOMPARE(back.commands->size(), c.commands->size());
        QCOMPARE(back.commands->last(), c.commands->last());
        QCOMPARE(back.fullPortName, c.fullPortName);
        QCOMPARE(back.divider, 7);
        QVERIFY(back == c);
    }

    void readStart_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("limit");
        QTest::newRow("shorter") << 10 << 16;
        QTest::newRow("exact") << 16 << 16;
        QTest::newRow("longer") << 100000 << 48;
        QTest::newRow("empty") << 0 << 16;
    }
    void readStart()
    {
        QFETCH(int, size);
        QFETCH(int, limit);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f"));
        QByteArray bytes(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            bytes[i] = char(i);
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == size);
        out.close();
        QByteArray read("untouched");
        QString error;
        QVERIFY(ReadByteFileStart(path, limit, &read, &error));
        QCOMPARE(read, bytes.left(limit));
        QVERIFY(!ReadByteFileStart(dir.filePath(QStringLiteral("none")), limit, &read, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(read, bytes.left(limit));
    }

    // A file larger than the memory left is a failed read, not the end of
    // the program.
    void readPastMemoryFails()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer's allocator ends the process instead of failing an allocation");
#endif
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big"));
        {
            QFile big(path);
            QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(qint64(1) << 30)); // sparse
        }
        QByteArray out("untouched");
        QString error;
        rlimit old{};
        getrlimit(RLIMIT_AS, &old);
        rlimit limit = old;
        limit.rlim_cur = rlim_t(mappedBytes() + (qint64(256) << 20));
        QVERIFY(setrlimit(RLIMIT_AS, &limit) == 0);
        const bool read = ReadByteFile(path, &out, &error);
        setrlimit(RLIMIT_AS, &old);
        QVERIFY(!read);
        QCOMPARE(error, qt_error_string(ENOMEM));
        QCOMPARE(out, QByteArray("untouched"));
    }

    void pieceWriter()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f"));
        const QList<QByteArray> pieces{QByteArray(300000, 'a'), QByteArray("b"), QByteArray(700000, 'c')};
        const auto from = [](const QList<QByteArray> &list) {
            return [list, i = 0]() mutable -> QByteArrayView {
                return i < list.size() ? QByteArrayView(list[i++]) : QByteArrayView();
            };
        };
        QString error;
        QVERIFY(WriteByteFilePieces(path, from(pieces), &error));
        QByteArray back;
        QVERIFY(ReadByteFile(path, &back, &error));
        QCOMPARE(back, pieces[0] + pieces[1] + pieces[2]);

        // Cut off in the middle: the old file stays whole.
        {
            FileSizeLimit limit(500000);
            QVERIFY(!WriteByteFilePieces(path, from({QByteArray(400000, 'x'), QByteArray(400000, 'y')}), &error));
        }
        QVERIFY(!error.isEmpty());
        QVERIFY(ReadByteFile(path, &back, &error));
        QCOMPARE(back, pieces[0] + pieces[1] + pieces[2]);
    }
};

QTEST_GUILESS_MAIN(TstLimits)
#include "tst_limits.moc"
