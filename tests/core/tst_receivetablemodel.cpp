#include "core/bytetext.h"
#include "core/receivetablemodel.h"
#include "support/filesizelimit.h"

#include <QAbstractItemModelTester>
#include <QDateTime>
#include <QRandomGenerator>
#include <QTimeZone>

#include <QTemporaryDir>

#include <ctime>
#include <QSignalSpy>
#include <QTest>

namespace {

QString cells(const ReceiveTableModel &m, int row, int first, int last)
{
    QStringList out;
    for (int c = first; c <= last; ++c)
        out << m.index(row, c).data().toString();
    return out.join(u'|');
}

} // namespace

class TstReceiveTableModel : public QObject
{
    Q_OBJECT
private slots:
    // Steps: "show n" / "hide n" (a poll of n bytes with the table shown or
    // hidden), "clear", "load n" (a file of n bytes). `grid` has a letter per
    // data column: w = number and byte texts written, n = number only, . = empty.
    void polls_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("grid");
        QTest::newRow("fresh") << "" << "n";
        QTest::newRow("one poll") << "show 3" << "www";
        QTest::newRow("10 hidden, 2 shown") << "hide 10;show 2" << "n.........ww";
        QTest::newRow("empty shown poll") << "hide 3;show 0" << "n..";
        QTest::newRow("clear") << "show 20;clear" << "n";
        QTest::newRow("numbers outlive a clear") << "show 20;clear;hide 10;show 2" << "nnnnnnnnnnww";
        QTest::newRow("load") << "show 20;load 3" << "www";
        QTest::newRow("empty load changes nothing") << "show 4;load 0" << "wwww";
        // Texts of the replaced capture must not reappear beside other bytes.
        QTest::newRow("load drops stale texts") << "show 20;load 3;hide 10;show 1" << "wwwnnnnnnnnnnw";
    }
    void polls()
    {
        QFETCH(QString, steps);
        QFETCH(QString, grid);
        ReceiveTableModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QByteArray expected;
        int next = 0x3E;
        for (const QString &step : steps.split(u';', Qt::SkipEmptyParts)) {
            QByteArray bytes;
            for (int i = step.section(u' ', 1).toInt(); i > 0; --i)
                bytes += char(next++ * 7);
            if (step == "clear") {
                m.clear();
                expected.clear();
            } else if (step.startsWith("load")) {
                m.loadBytes(bytes);
                expected = bytes.isEmpty() ? expected : bytes;
            } else if (step.startsWith("hide")) {
                m.appendHidden(bytes.constData(), bytes.size());
                expected += bytes;
            } else {
                QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
                QSignalSpy inserted(&m, &QAbstractItemModel::columnsInserted);
                m.appendShown(bytes.constData(), bytes.size(), {});
                // A view learns of every column written.
                auto announced = [&](int c) {
                    for (const auto &a : changed)
                        if (a[0].toModelIndex().column() <= c && c <= a[1].toModelIndex().column())
                            return true;
                    for (const auto &a : inserted)
                        if (a[1].toInt() <= c && c <= a[2].toInt())
                            return true;
                    return false;
                };
                QVERIFY(bytes.isEmpty() || (announced(expected.size() + 1) && announced(expected.size() + bytes.size())));
                expected += bytes;
            }
        }
        QCOMPARE(m.bytes(), expected);
        QCOMPARE(cells(m, 0, 0, 0) + cells(m, 1, 0, 0) + cells(m, 2, 0, 0), QStringLiteral("№HexASCII"));
        QCOMPARE(m.columnCount(), grid.size() + 1);
        for (int c = 1; c <= grid.size(); ++c) {
            const QChar g = grid[c - 1];
            const ColumnTexts t = g == u'w' ? ByteColumnText(c, quint8(expected[c - 1])) : ColumnTexts{};
            QCOMPARE(cells(m, 0, c, c), g == u'.' ? QString() : QString::number(c));
            QCOMPARE(cells(m, 1, c, c), t.hex);
            QCOMPARE(cells(m, 2, c, c), t.ascii);
        }
    }

    void initTestCase()
    {
        // Arrival times show in local time; make it known.
        qputenv("TZ", "UTC");
        tzset();
    }

    // Each poll's arrival from the clock: a column's tooltip tells the time to
    // the ms, the poll's byte count and the gap since the poll before (a
    // hidden poll counts as one); columns never written have none.
    void arrivalTooltips()
    {
        const qint64 t0 = QDateTime(QDate(2026, 12, 6), QTime(10, 0, 1, 234), QTimeZone::utc()).toMSecsSinceEpoch();
        QList<qint64> clock{t0, t0 + 40, t0 + 1075};
        ReceiveTableModel m;
        m.setArrivalClock([&clock] { return clock.takeFirst(); });
        QList<QPair<QByteArray, qint64>> received;
        connect(&m, &ReceiveTableModel::received, this,
                [&](const char *data, qint64 n, qint64 ms) { received.append({QByteArray(data, n), ms}); });
        m.appendShown("abc", 3, {});
        m.appendHidden("de", 2);
        m.appendShown("fghi", 4, {});
        const auto tip = [&](int row, int column) { return m.index(row, column).data(Qt::ToolTipRole).toString(); };
        const QString first = QStringLiteral("Принято в 10:00:01.234\nБайт в пакете: 3");
        QCOMPARE(tip(1, 1), first);
        QCOMPARE(tip(0, 3), first);
        QCOMPARE(tip(1, 4), QString());
        QCOMPARE(tip(2, 6), QStringLiteral("Принято в 10:00:02.309\nБайт в пакете: 4\nПосле предыдущего пакета: 1035 мс"));
        QCOMPARE(tip(1, 9), tip(2, 6));
        QCOMPARE(tip(1, 0), QString());
        QCOMPARE(received, (QList<QPair<QByteArray, qint64>>{{"abc", t0}, {"de", t0 + 40}, {"fghi", t0 + 1075}}));
        m.clear();
        clock.append(t0 + 2000);
        m.appendShown("j", 1, {});
        QCOMPARE(tip(1, 1), QStringLiteral("Принято в 10:00:03.234\nБайт в пакете: 1"));
        m.loadBytes("xyz");
        QCOMPARE(tip(1, 1), QString());
    }

    // Many steps, more than one record chunk: every position finds its step.
    void arrivalLookup()
    {
        ArrivalTimes times;
        QList<qint64> firsts, counts;
        qint64 pos = 0;
        QRandomGenerator rng(11);
        for (int i = 0; i < 150000; ++i) {
            firsts << pos;
            counts << 1 + rng.bounded(5);
            times.add(pos, counts.back(), 1000 + 3 * qint64(i) * i);
            pos += counts.back();
        }
        QCOMPARE(times.stepAt(-1).first, -1);
        QCOMPARE(times.stepAt(pos).first, -1);
        for (int k = 0; k < 20000; ++k) {
            const int i = k == 0 ? 0 : k == 1 ? 149999 : int(rng.bounded(150000));
            const qint64 p = firsts[i] + rng.bounded(int(counts[i]));
            const ArrivalTimes::Step s = times.stepAt(p);
            QCOMPARE(s.first, firsts[i]);
            QCOMPARE(s.count, counts[i]);
            QCOMPARE(s.msecs, 1000 + 3 * qint64(i) * i);
            QCOMPARE(s.gapMs, i == 0 ? -1 : 3 * qint64(i) * i - 3 * qint64(i - 1) * (i - 1));
        }
    }

    // When the store's temporary file cannot grow the model says so once,
    // keeps what it holds, and still hands every poll's bytes on.
    void storeStopsOnce()
    {
        QTemporaryDir dir;
        qputenv("TMPDIR", dir.path().toUtf8());
        qputenv("VARNEL_RAM_BUDGET_MB", "1");
        ReceiveTableModel m;
        qunsetenv("VARNEL_RAM_BUDGET_MB");
        QSignalSpy stopped(&m, &ReceiveTableModel::storeStopped);
        qint64 handedOn = 0;
        connect(&m, &ReceiveTableModel::received, this, [&](const char *, qint64 n, qint64) { handedOn += n; });
        const QByteArray poll(300 * 1024, 'z');
        {
            const FileSizeLimit limit(2 << 20);
            for (int i = 0; i < 20; ++i)
                m.appendShown(poll.constData(), poll.size(), {});
        }
        qunsetenv("TMPDIR");
        QCOMPARE(stopped.size(), 1);
        QVERIFY(!stopped[0][0].toString().isEmpty());
        QCOMPARE(handedOn, 20 * poll.size());
        const qint64 kept = m.store().size();
        QVERIFY(kept >= 3 << 20 && kept < 20 * poll.size());
        QCOMPARE(m.columnCount(), kept + 1);
        QCOMPARE(m.bytes(), QByteArray(kept, 'z'));
        m.clear();
        m.appendShown("a", 1, {});
        QCOMPARE(m.bytes(), QByteArray("a"));
        QVERIFY(!m.store().hasStopped());
    }
};

QTEST_GUILESS_MAIN(TstReceiveTableModel)
#include "tst_receivetablemodel.moc"
