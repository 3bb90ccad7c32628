#include "core/bytetext.h"
#include "core/receivetablemodel.h"

#include <QAbstractItemModelTester>
#include <QDateTime>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

#include <ctime>

namespace {

QString cell(const ReceiveTableModel &m, int row, int column, int role = Qt::DisplayRole)
{
    return m.index(row, column).data(role).toString();
}

} // namespace

class TstReceiveTableModel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Arrival times show in local time; make it known.
        qputenv("TZ", "UTC");
        tzset();
    }

    // Steps: "show n" / "hide n" (a poll of n bytes with the table shown or
    // hidden), "load n" (a file of n bytes). `grid` has a letter per
    // data column: w = number and byte texts written, n = number only, . = empty.
    void polls_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("grid");
        QTest::newRow("10 hidden, 2 shown") << "hide 10;show 2" << "n.........ww";
        QTest::newRow("empty shown poll") << "hide 3;show 0" << "n..";
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
        for (const QString &step : steps.split(u';')) {
            QByteArray bytes;
            for (int i = step.section(u' ', 1).toInt(); i > 0; --i)
                bytes += char(next++ * 7);
            if (step.startsWith("load")) {
                m.loadBytes(bytes);
                expected = bytes;
            } else if (step.startsWith("hide")) {
                m.appendHidden(bytes.constData(), bytes.size());
                expected += bytes;
            } else {
                QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
                QSignalSpy inserted(&m, &QAbstractItemModel::columnsInserted);
                m.appendShown(bytes.constData(), bytes.size(), {});
                // A view learns of every column written.
                auto announced = [&](int c) {
                    return std::any_of(changed.begin(), changed.end(), [c](const QList<QVariant> &a) {
                               return a[0].toModelIndex().column() <= c && c <= a[1].toModelIndex().column();
                           }) || std::any_of(inserted.begin(), inserted.end(), [c](const QList<QVariant> &a) {
                               return a[1].toInt() <= c && c <= a[2].toInt();
                           });
                };
                QVERIFY(bytes.isEmpty() || (announced(expected.size() + 1) && announced(expected.size() + bytes.size())));
                expected += bytes;
            }
        }
        QCOMPARE(m.bytes(), expected);
        QVERIFY(!(m.flags(m.index(1, 1)) & Qt::ItemIsEditable));
        QCOMPARE(m.columnCount(), grid.size() + 1);
        for (int c = 1; c <= grid.size(); ++c) {
            const ColumnTexts t = grid[c - 1] == u'w' ? ByteColumnText(c, quint8(expected[c - 1])) : ColumnTexts{};
            QCOMPARE(cell(m, 0, c), grid[c - 1] == u'.' ? QString() : QString::number(c));
            QCOMPARE(cell(m, 1, c) + u'|' + cell(m, 2, c), t.hex + u'|' + t.ascii);
        }
    }

    // A column's tooltip tells its poll's arrival to the ms, byte count and
    // gap since the poll before (a hidden poll counts as one).
    void arrivalTooltips()
    {
        const qint64 t0 = QDateTime(QDate(2026, 12, 6), QTime(10, 0, 1, 234), QTimeZone::utc()).toMSecsSinceEpoch();
        QList<qint64> clock{t0, t0 + 40, t0 + 1075};
        ReceiveTableModel m;
        m.setArrivalClock([&clock] { return clock.takeFirst(); });
        QList<qint64> received;
        connect(&m, &ReceiveTableModel::received, this, [&](const char *, qint64, qint64 ms) { received << ms; });
        m.appendShown("abc", 3, {});
        m.appendHidden("de", 2);
        m.appendShown("fghi", 4, {});
        QCOMPARE(cell(m, 0, 3, Qt::ToolTipRole), QStringLiteral("Принято в 10:00:01.234\nБайт в пакете: 3"));
        QCOMPARE(cell(m, 1, 4, Qt::ToolTipRole), QString());
        QCOMPARE(cell(m, 2, 6, Qt::ToolTipRole),
                 QStringLiteral("Принято в 10:00:02.309\nБайт в пакете: 4\nПосле предыдущего пакета: 1035 мс"));
        QCOMPARE(received, (QList<qint64>{t0, t0 + 40, t0 + 1075}));
        m.loadBytes("xyz");
        QCOMPARE(cell(m, 1, 1, Qt::ToolTipRole), QString());
    }

    // Steps over more than one record chunk: every position finds its own.
    void arrivalLookup()
    {
        ArrivalTimes times;
        QList<qint64> firsts{0};
        for (qint64 i = 0; i < 150000; ++i) {
            times.add(firsts.back(), 1 + i % 5, 3 * i * i);
            firsts << firsts.back() + 1 + i % 5;
        }
        QCOMPARE(times.stepAt(firsts.back()).first, -1);
        for (qint64 i = 0; i < 150000; ++i) {
            const ArrivalTimes::Step s = times.stepAt(firsts[i] + i % (1 + i % 5));
            QCOMPARE((QList<qint64>{s.first, s.count, s.msecs, s.gapMs}),
                     (QList<qint64>{firsts[i], 1 + i % 5, 3 * i * i, i ? 6 * i - 3 : -1}));
        }
    }
};

QTEST_GUILESS_MAIN(TstReceiveTableModel)
#include "tst_receivetablemodel.moc"
