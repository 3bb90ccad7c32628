#include "core/capturelog.h"

#include <QDateTime>
#include <QFile>
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

    // Steps over second, minute and hour borders, one line each. Written
    // only by a flush, unless the backlog grows large.
    void roundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("CAPTURE.LOG"); // text, whatever the case of its suffix
        CaptureLog log;
        QVERIFY2(log.open(path, CaptureLog::formatFor(path)), qPrintable(log.errorString()));
        QByteArray all, lines;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QByteArray big(CaptureLog::MaxPending, 'x');
        qint64 ms = 1765000000123;
        for (const auto &[step, bytes] : {std::pair{0, all}, {5, QByteArray("\r\n")}, {1900, all}, {3'600'000, all}, {0, big}}) {
            ms += step;
            QVERIFY(log.append(bytes.constData(), bytes.size(), ms));
            QVERIFY(log.append("", 0, 0)); // an empty step leaves no line
            lines += CaptureLogLine(ms, bytes.constData(), bytes.size());
            if (step == 5)
                QVERIFY(log.flush());
            QCOMPARE(QFileInfo(path).size() == log.size(), step == 5 || bytes == big);
        }
        QVERIFY(log.close());
        QCOMPARE(fileBytes(path), lines);
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
