#include "core/bytetext.h"
#include "core/capturelog.h"
#include "support/filesizelimit.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

namespace {

struct Step {
    qint64 msecs = 0;
    QByteArray bytes;
    bool operator==(const Step &) const = default;
};

// Reads one Text-format line back; the hex pairs are the record, the
// characters must be their safe cp1251 forms.
bool parseLine(const QByteArray &line, Step *out, QString *why)
{
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != 4) {
        *why = QStringLiteral("%1 fields").arg(fields.size());
        return false;
    }
    const QDateTime time = QDateTime::fromString(QString::fromLatin1(fields[0]), QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    bool ok = false;
    const qint64 count = fields[1].toLongLong(&ok);
    if (!time.isValid() || !ok) {
        *why = QStringLiteral("time or count");
        return false;
    }
    const QList<QByteArray> pairs = fields[2].split(' ');
    QByteArray bytes;
    for (const QByteArray &pair : pairs) {
        if (pair.size() != 2) {
            *why = QStringLiteral("hex pair '%1'").arg(QString::fromLatin1(pair));
            return false;
        }
        bytes += char(pair.toUInt(&ok, 16));
        if (!ok)
            return false;
    }
    if (bytes.size() != count) {
        *why = QStringLiteral("count %1, %2 bytes").arg(count).arg(bytes.size());
        return false;
    }
    QString chars;
    for (char b : bytes) {
        const QChar c = cp1251ToUnicode(quint8(b));
        chars += c.category() == QChar::Other_Control ? QChar(u'.') : c;
    }
    if (QString::fromUtf8(fields[3]) != chars) {
        *why = QStringLiteral("characters");
        return false;
    }
    *out = {time.toMSecsSinceEpoch(), bytes};
    return true;
}

QList<Step> randomSteps(int count, quint32 seed)
{
    QRandomGenerator rng(seed);
    QList<Step> steps;
    qint64 ms = 1765000000123;
    for (int i = 0; i < count; ++i) {
        ms += rng.bounded(2000);
        QByteArray b(1 + rng.bounded(i % 7 == 0 ? 5000 : 40), Qt::Uninitialized);
        for (char &c : b)
            c = char(rng.bounded(256));
        steps.append({ms, b});
    }
    // Every byte value, line breaks and tabs among them.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    steps.append({ms + 1, all});
    steps.append({ms + 2, QByteArray("A\r\nB\tC\x98\xb9", 7)});
    return steps;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TstCaptureLog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // A time zone with a fractional offset catches a lost conversion.
        qputenv("TZ", "Asia/Kolkata");
        tzset();
    }

    // Steps logged with a flush now and then come back whole: the raw file
    // is the bytes, the text file's lines parse back to the steps.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("raw") << "capture.rcv";
        QTest::newRow("text") << "capture.log";
        QTest::newRow("text, upper-case suffix") << "CAPTURE.LOG";
    }
    void roundTrip()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        const QList<Step> steps = randomSteps(400, 5);
        CaptureLog log;
        QVERIFY2(log.open(path, CaptureLog::formatFor(path)), qPrintable(log.errorString()));
        QByteArray raw;
        for (qsizetype i = 0; i < steps.size(); ++i) {
            QVERIFY(log.append(steps[i].bytes.constData(), steps[i].bytes.size(), steps[i].msecs));
            raw += steps[i].bytes;
            if (i % 50 == 0) {
                QVERIFY(log.flush());
                QCOMPARE(QFileInfo(path).size(), log.size());
            }
        }
        QVERIFY(log.append("", 0, 0)); // an empty step leaves no line
        QVERIFY(log.close());
        const QByteArray written = fileBytes(path);
        QCOMPARE(written.size(), log.size());
        if (log.format() == CaptureLog::Raw) {
            QCOMPARE(written, raw);
            return;
        }
        QVERIFY(written.endsWith('\n'));
        QList<QByteArray> lines = written.split('\n');
        lines.removeLast();
        QCOMPARE(lines.size(), steps.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            Step s;
            QString why;
            QVERIFY2(parseLine(lines[i], &s, &why), qPrintable(QStringLiteral("line %1: %2").arg(i).arg(why)));
            QCOMPARE(s, steps[i]);
        }
    }

    void lineFormat()
    {
        const qint64 ms = QDateTime(QDate(2026, 12, 6), QTime(15, 4, 33, 7)).toMSecsSinceEpoch();
        QCOMPARE(QString::fromUtf8(CaptureLogLine(ms, "H\xcf\r\n", 4)),
                 QStringLiteral("2026-12-06 15:04:33.007\t4\t48 CF 0D 0A\tHП..\n"));
    }

    // Written only by a flush, unless the backlog grows large.
    void flushesOnDemand()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.rcv"));
        CaptureLog log;
        QVERIFY(log.open(path, CaptureLog::Raw));
        log.append("abc", 3, 0);
        QVERIFY(log.hasPending());
        QCOMPARE(QFileInfo(path).size(), 0);
        QCOMPARE(log.size(), 3);
        QVERIFY(log.flush());
        QVERIFY(!log.hasPending());
        QCOMPARE(fileBytes(path), QByteArray("abc"));
        const QByteArray big(CaptureLog::MaxPending, 'x');
        log.append(big.constData(), big.size(), 0);
        QVERIFY(!log.hasPending());
        QCOMPARE(QFileInfo(path).size(), 3 + big.size());
    }

    // A write that cannot go through stops logging with the system's reason;
    // what was written stays.
    void stopsOnFailedWrite()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("full.rcv"));
        CaptureLog log;
        QVERIFY(log.open(path, CaptureLog::Raw));
        const QByteArray bytes(1500, 'q');
        {
            const FileSizeLimit limit(1000);
            QVERIFY(log.append(bytes.constData(), 600, 0));
            QVERIFY(log.flush());
            QVERIFY(log.append(bytes.constData(), 900, 0));
            QVERIFY(!log.flush());
        }
        QVERIFY(log.hasFailed());
        QVERIFY(!log.isOpen());
        QVERIFY2(log.errorString().contains(QStringLiteral("large"), Qt::CaseInsensitive), qPrintable(log.errorString()));
        QCOMPARE(log.writtenSize(), 1000);
        QCOMPARE(log.size(), 1000);
        QCOMPARE(fileBytes(path), bytes.left(1000));
        QVERIFY(!log.append("x", 1, 0));
        QVERIFY(!log.close());

        QVERIFY(!log.open(dir.filePath(QStringLiteral("no/such/dir.log")), CaptureLog::Text));
        QVERIFY(!log.errorString().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstCaptureLog)
#include "tst_capturelog.moc"
