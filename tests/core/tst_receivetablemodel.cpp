#include "core/bytetext.h"
#include "core/capturelog.h"
#include "core/receivedtext.h"
#include "core/receivetablemodel.h"

#include <QAbstractItemModelTester>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

namespace {

QString cell(const ReceiveTableModel &m, int row, int column, int role = Qt::DisplayRole)
{
    return m.index(row, column).data(role).toString();
}

// Checks the line index the slow way: a line starts after every CR LF pair.
void checkAgainstReference(const ReceivedText &t, const QByteArray &bytes)
{
    QList<qint64> starts{0};
    for (qsizetype i = 1; i < bytes.size(); ++i)
        if (bytes[i] == '\n' && bytes[i - 1] == '\r')
            starts << i + 1;
    starts << bytes.size() + 2; // as if the last line ended with CR LF
    QCOMPARE(t.size(), bytes.size());
    QCOMPARE(t.lineCount(), starts.size() - 1);
    qint64 longest = 0;
    for (qsizetype l = 0; l + 1 < starts.size(); ++l) {
        QCOMPARE(t.lineStart(l), starts[l]);
        QCOMPARE(t.lineEnd(l), starts[l + 1] - 2);
        longest = qMax(longest, starts[l + 1] - 2 - starts[l]);
        // Every position maps to the line that shows it; CR LF belongs to the line it ends.
        for (qint64 pos = starts[l]; pos < qMin(starts[l + 1], bytes.size() + 1); ++pos)
            if (t.lineOf(pos) != l)
                QFAIL(qPrintable(QStringLiteral("lineOf(%1) = %2").arg(pos).arg(t.lineOf(pos))));
    }
    QCOMPARE(t.maxLineLength(), longest);
}

} // namespace

class TstReceiveTableModel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Times show in local time; a zone with a fractional offset catches a lost conversion.
        qputenv("TZ", "Asia/Kolkata");
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
            if (step.startsWith("load"))
                m.loadBytes(bytes), expected.clear();
            else if (step.startsWith("hide"))
                m.appendHidden(bytes.constData(), bytes.size());
            else
                m.appendShown(bytes.constData(), bytes.size(), {});
            expected += bytes;
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
        const qint64 t0 = QDateTime(QDate(2026, 12, 6), QTime(10, 0, 1, 234)).toMSecsSinceEpoch();
        QList<qint64> clock{t0, t0 + 40, t0 + 1075};
        ReceiveTableModel m;
        m.setArrivalClock([&clock] { return clock.takeFirst(); });
        m.appendShown("abc", 3, {});
        m.appendHidden("de", 2);
        m.appendShown("fghi", 4, {});
        QCOMPARE(cell(m, 0, 3, Qt::ToolTipRole), QStringLiteral("Принято в 10:00:01.234\nБайт в пакете: 3"));
        QCOMPARE(cell(m, 1, 4, Qt::ToolTipRole), QString());
        QCOMPARE(cell(m, 2, 6, Qt::ToolTipRole),
                 QStringLiteral("Принято в 10:00:02.309\nБайт в пакете: 4\nПосле предыдущего пакета: 1035 мс"));
        m.loadBytes("xyz");
        QCOMPARE(cell(m, 1, 1, Qt::ToolTipRole), QString());
    }

    // Pieces arrive in a store the text follows, each caught up at once.
    void lines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<qint64>>("pieces");
        QTest::newRow("lone CR and LF do not break") << QByteArray("a\rb\nc\n\rd") << QList<qint64>{1};
        QTest::newRow("pairs split over pieces") << QByteArray("ab\r\ncd\r\n\r\n") << QList<qint64>{3, 1};
        // Line starts on both sides of 64 KiB block edges, exactly on them, blocks without any.
        QTest::newRow("on the block edges")
            << QByteArray(65534, 'a') + "\r\n" + QByteArray(65536, 'b') + "\r\nc" << QList<qint64>{65535, 7};
        QTest::newRow("spilled to the store's file") << QByteArray("ab\rc\n\r\nxyz\r\n", 13).repeated(350000)
                                                     << QList<qint64>{1, 2, 70001, 1 << 20, 3};
    }
    void lines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<qint64>, pieces);
        ByteStore store(1 << 20);
        ReceivedText t;
        t.follow(store);
        for (qint64 pos = 0, i = 0; pos < bytes.size(); ++i) {
            const qint64 n = qMin(pieces[i % pieces.size()], bytes.size() - pos);
            store.append(bytes.constData() + pos, n);
            pos += n;
            QCOMPARE(t.catchUp(), n);
        }
        QCOMPARE(store.spilledBytes() > 0, bytes.size() > 2 << 20);
        checkAgainstReference(t, bytes);
        // Appending to a followed text never writes into the store.
        t.append("\r\nC", 3);
        QVERIFY(!t.follows(store));
        QCOMPARE(store.size(), bytes.size());
        checkAgainstReference(t, bytes + "\r\nC");
        t.clear();
        t.append("\nX", 2); // no CR before it any more
        checkAgainstReference(t, "\nX");
    }

    // CR LF is one line break; bytes 0 and 0x98 are kept.
    void text()
    {
        ReceivedText t;
        t.append("A\r\nB\xcf\0\x98", 7);
        QCOMPARE(t.text(), QStringLiteral("A\nBП") + QChar(0) + QChar(0x98));
        QCOMPARE(t.text(0, 2), QStringLiteral("A\r"));
        QCOMPARE(t.text(-5, 99), t.text());
    }

    // Steps over second, minute and hour borders, one line each.
    void logLines()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("CAPTURE.LOG"); // text, whatever the case of its suffix
        CaptureLog log;
        QVERIFY(log.open(path, CaptureLog::formatFor(path)));
        QByteArray lines;
        qint64 ms = 1765000000123;
        for (qint64 step : {0, 5, 1900, 3'600'000}) {
            ms += step;
            QVERIFY(log.append("ab", 2, ms) && log.append("", 0, 0)); // an empty step leaves no line
            lines += CaptureLogLine(ms, "ab", 2);
        }
        QVERIFY(log.close());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == lines);
    }

    void lineFormat()
    {
        const qint64 ms = QDateTime(QDate(2026, 12, 6), QTime(15, 4, 33, 7)).toMSecsSinceEpoch();
        QCOMPARE(QString::fromUtf8(CaptureLogLine(ms, "H\xcf\r\n", 4)),
                 QStringLiteral("2026-12-06 15:04:33.007\t4\t48 CF 0D 0A\tHП..\n"));
    }
};

QTEST_GUILESS_MAIN(TstReceiveTableModel)
#include "tst_receivetablemodel.moc"
