#include "core/capturelog.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

namespace {

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

    // Random steps logged with a flush now and then: the raw file is the
    // bytes, the text file is one line per step. Written only by a flush,
    // unless the backlog grows large.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("raw") << "capture.rcv";
        QTest::newRow("text, upper-case suffix") << "CAPTURE.LOG";
    }
    void roundTrip()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        CaptureLog log;
        QVERIFY2(log.open(path, CaptureLog::formatFor(path)), qPrintable(log.errorString()));
        QRandomGenerator rng(5);
        QByteArray raw, lines;
        qint64 ms = 1765000000123;
        for (int i = 0; i < 300; ++i) {
            ms += rng.bounded(2000);
            QByteArray b(1 + rng.bounded(i % 7 == 0 ? 5000 : 40), Qt::Uninitialized);
            for (char &c : b)
                c = char(rng.bounded(256));
            QVERIFY(log.append(b.constData(), b.size(), ms));
            raw += b;
            lines += CaptureLogLine(ms, b.constData(), b.size());
            if (i % 50 == 0) {
                QVERIFY(log.flush());
                QCOMPARE(QFileInfo(path).size(), log.size());
            } else if (i % 50 == 1) {
                QVERIFY(QFileInfo(path).size() < log.size());
            }
        }
        QVERIFY(log.append("", 0, 0)); // an empty step leaves no line
        const QByteArray big(CaptureLog::MaxPending, 'x');
        log.append(big.constData(), big.size(), ms);
        QVERIFY(QFileInfo(path).size() >= big.size());
        raw += big;
        lines += CaptureLogLine(ms, big.constData(), big.size());
        QVERIFY(log.close());
        QCOMPARE(fileBytes(path), log.format() == CaptureLog::Raw ? raw : lines);
        QVERIFY(!log.open(dir.filePath(QStringLiteral("no/such/dir.log")), CaptureLog::Text));
        QVERIFY(!log.errorString().isEmpty());
    }

    void lineFormat()
    {
        const qint64 ms = QDateTime(QDate(2026, 12, 6), QTime(15, 4, 33, 7)).toMSecsSinceEpoch();
        QCOMPARE(QString::fromUtf8(CaptureLogLine(ms, "H\xcf\r\n", 4)),
                 QStringLiteral("2026-12-06 15:04:33.007\t4\t48 CF 0D 0A\tHП..\n"));
    }
};

QTEST_GUILESS_MAIN(TstCaptureLog)
#include "tst_capturelog.moc"
