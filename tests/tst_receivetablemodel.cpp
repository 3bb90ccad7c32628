#include "tables/receivetablemodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <set>

namespace {

QString cell(const ReceiveTableModel &m, int row, int column)
{
    return m.index(row, column).data().toString();
}

QString hex2(quint8 b)
{
    return QString::number(b, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

// Checks every data column against the grid the operations should have left:
// numbers where numbered, byte texts where written, empty cells elsewhere.
void checkColumns(const ReceiveTableModel &m, int columns, const std::set<int> &numbered,
                  const std::set<int> &written)
{
    QCOMPARE(m.columnCount(), columns);
    const QByteArray bytes = m.bytes();
    for (int c = 1; c < columns; ++c) {
        const QString number = numbered.count(c) ? QString::number(c) : QString();
        QCOMPARE(cell(m, 0, c), number);
        if (written.count(c)) {
            QCOMPARE(cell(m, 1, c), hex2(quint8(bytes[c - 1])));
            QCOMPARE(cell(m, 2, c).size(), 1);
        } else {
            QCOMPARE(cell(m, 1, c), QString());
            QCOMPARE(cell(m, 2, c), QString());
        }
    }
}

std::set<int> range(int first, int last)
{
    std::set<int> s;
    for (int c = first; c <= last; ++c)
        s.insert(c);
    return s;
}

std::set<int> operator+(std::set<int> a, const std::set<int> &b)
{
    a.insert(b.begin(), b.end());
    return a;
}

QByteArray bytesOf(int n, char first = 'a')
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b += char(first + i % 26);
    return b;
}

} // namespace

class TstReceiveTableModel : public QObject
{
    Q_OBJECT
private slots:
    void startsWithHeaders()
    {
        ReceiveTableModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(m.rowCount(), 3);
        QCOMPARE(m.columnCount(), 2);
        QCOMPARE(cell(m, 0, 0), QString("№"));
        QCOMPARE(cell(m, 1, 0), QString("Hex"));
        QCOMPARE(cell(m, 2, 0), QString("ASCII"));
        QCOMPARE(cell(m, 0, 1), QString("1"));
        QCOMPARE(cell(m, 1, 1), QString());
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 2; ++c)
                QVERIFY(!(m.flags(m.index(r, c)) & Qt::ItemIsEditable));
    }

    void threeBytesInOnePoll()
    {
        ReceiveTableModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&m, &QAbstractItemModel::columnsInserted);
        m.appendShown("\x41\x0D\x0A", 3, "12:34");
        QCOMPARE(m.columnCount(), 4);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(1).toInt(), 2);
        QCOMPARE(inserted.at(0).at(2).toInt(), 3);
        const QStringList numbers{"1", "2", "3"}, hex{"41", "0D", "0A"};
        const QStringList chars{"A", QString(QChar(0x0D)), QString(QChar(0x0A))};
        for (int c = 1; c <= 3; ++c) {
            QCOMPARE(cell(m, 0, c), numbers[c - 1]);
            QCOMPARE(cell(m, 1, c), hex[c - 1]);
            QCOMPARE(cell(m, 2, c), chars[c - 1]);
        }
        QCOMPARE(m.bytes(), QByteArray("\x41\x0D\x0A"));
    }

    void everyByteText()
    {
        ReceiveTableModel m;
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        m.appendShown(all.constData(), all.size(), {});
        for (int b = 0; b < 256; ++b) {
            QCOMPARE(cell(m, 1, b + 1), hex2(quint8(b)));
            const QString ch = cell(m, 2, b + 1);
            QCOMPARE(ch.size(), 1);
            if (b < 0x80)
                QCOMPARE(ch.at(0).unicode(), char16_t(b));
        }
        QCOMPARE(cell(m, 2, 0x00 + 1), QString(QChar(0)));
        QCOMPARE(cell(m, 2, 0xC0 + 1), QString("А"));
        QCOMPARE(cell(m, 2, 0xFF + 1), QString("я"));
        QCOMPARE(cell(m, 2, 0xA8 + 1), QString("Ё"));
        QCOMPARE(cell(m, 2, 0xB9 + 1), QString("№"));
        QCOMPARE(cell(m, 2, 0x88 + 1), QString("€"));
        QCOMPARE(cell(m, 2, 0x98 + 1), QString(QChar(0x98)));
    }

    // Polls with the table hidden store bytes without touching the grid; the
    // next shown poll grows the grid over them but writes only its own bytes.
    void hiddenPolls_data()
    {
        QTest::addColumn<int>("shownBefore");
        QTest::addColumn<bool>("clearFirst");
        QTest::addColumn<int>("hidden");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("columns");
        QTest::addColumn<std::set<int>>("numbered");
        QTest::addColumn<std::set<int>>("written");
        QTest::newRow("10 hidden, 2 shown") << 0 << false << 10 << 2 << 13
                                             << range(1, 1) + range(11, 12) << range(11, 12);
        QTest::newRow("after 4 shown") << 4 << false << 10 << 2 << 17
                                        << range(1, 4) + range(15, 16) << range(1, 4) + range(15, 16);
        // A clear empties hex and characters but numbers stay written.
        QTest::newRow("after a capture and a clear") << 20 << true << 10 << 2 << 13
                                                     << range(1, 20) << range(11, 12);
        QTest::newRow("empty shown poll") << 0 << false << 3 << 0 << 4 << range(1, 1) << std::set<int>{};
    }
    void hiddenPolls()
    {
        QFETCH(int, shownBefore);
        QFETCH(bool, clearFirst);
        QFETCH(int, hidden);
        QFETCH(int, shown);
        QFETCH(int, columns);
        QFETCH(std::set<int>, numbered);
        QFETCH(std::set<int>, written);

        ReceiveTableModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.appendShown(bytesOf(shownBefore).constData(), shownBefore, "00:00");
        if (clearFirst)
            m.clear();
        QSignalSpy inserted(&m, &QAbstractItemModel::columnsInserted);
        m.appendHidden(bytesOf(hidden, 'A').constData(), hidden);
        QCOMPARE(inserted.count(), 0);
        const int before = m.columnCount();
        m.appendShown(bytesOf(shown, '0').constData(), shown, "00:01");
        QCOMPARE(inserted.count(), m.columnCount() > before ? 1 : 0);
        QCOMPARE(m.store().size(), qint64((clearFirst ? 0 : shownBefore) + hidden + shown));
        checkColumns(m, columns, numbered, written);
    }

    void clearLeavesOneNumberedColumn()
    {
        ReceiveTableModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.appendShown("hello", 5, "01:02");
        m.clear();
        QCOMPARE(m.columnCount(), 2);
        QCOMPARE(m.store().size(), 0);
        QCOMPARE(cell(m, 0, 1), QString("1"));
        QCOMPARE(cell(m, 1, 1), QString());
        QCOMPARE(cell(m, 2, 1), QString());

        // The first byte after a clear rewrites the existing column in place.
        QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
        QSignalSpy inserted(&m, &QAbstractItemModel::columnsInserted);
        m.appendShown("Z", 1, "01:03");
        QCOMPARE(inserted.count(), 0);
        QVERIFY(!changed.isEmpty());
        QCOMPARE(changed.last().at(0).value<QModelIndex>().column(), 1);
        QCOMPARE(cell(m, 1, 1), QString("5A"));
        m.appendShown("YX", 2, "01:03");
        QCOMPARE(m.columnCount(), 4);
        QCOMPARE(cell(m, 1, 3), QString("58"));
        QCOMPARE(m.bytes(), QByteArray("ZYX"));
    }

    void secondsRow()
    {
        ReceiveTableModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        // Stamps are written whether or not the row is shown.
        m.appendShown("ab", 2, "10:01");
        m.appendShown("c", 1, "10:01");
        m.setShowSeconds(true);
        QCOMPARE(m.rowCount(), 4);
        QCOMPARE(cell(m, 3, 0), QString("Секунды"));
        m.appendShown("de", 2, "10:02");
        const QStringList stamps{"10:01", "10:01", "10:01", "10:02", "10:02"};
        for (int c = 1; c <= 5; ++c)
            QCOMPARE(cell(m, 3, c), stamps[c - 1]);
        m.setShowSeconds(false);
        QCOMPARE(m.rowCount(), 3);
        QVERIFY(!m.index(3, 1).isValid());
        m.setShowSeconds(true);
        QCOMPARE(cell(m, 3, 4), QString("10:02"));
    }

    void loadedFile()
    {
        ReceiveTableModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.setShowSeconds(true);
        m.appendShown(bytesOf(20).constData(), 20, "09:59");
        m.loadBytes(QByteArray("\x01\x02\x03", 3));
        QCOMPARE(m.columnCount(), 4);
        QCOMPARE(m.bytes(), QByteArray("\x01\x02\x03", 3));
        QCOMPARE(cell(m, 1, 1), QString("01"));
        QCOMPARE(cell(m, 1, 3), QString("03"));
        QCOMPARE(cell(m, 0, 3), QString("3"));
        // Loading writes rows 0 to 2 only.
        QCOMPARE(cell(m, 3, 1), QString("09:59"));

        // Bytes received later go behind the loaded ones.
        m.appendShown("\xFF", 1, "10:00");
        QCOMPARE(m.bytes(), QByteArray("\x01\x02\x03\xFF", 4));
        QCOMPARE(cell(m, 1, 4), QString("FF"));

        // An empty file changes nothing.
        m.loadBytes(QByteArray());
        QCOMPARE(m.columnCount(), 5);
        QCOMPARE(m.bytes().size(), 4);
    }

    // Texts the replaced capture left in columns beyond a smaller loaded file
    // must not reappear beside other bytes once the grid grows over them.
    void loadedFileDropsStaleTexts()
    {
        ReceiveTableModel m;
        m.appendShown(bytesOf(20).constData(), 20, {});
        m.loadBytes("xyz");
        m.appendHidden(bytesOf(10, 'A').constData(), 10);
        m.appendShown("!", 1, {});
        checkColumns(m, 15, range(1, 20), range(1, 3) + range(14, 14));
    }

    void largeCaptureStaysCompact()
    {
        ReceiveTableModel m;
        const QByteArray block = bytesOf(65536);
        for (int i = 0; i < 48; ++i)
            m.appendShown(block.constData(), block.size(), i < 24 ? "00:01" : "00:02");
        QCOMPARE(m.columnCount(), 48 * 65536 + 1);
        QCOMPARE(cell(m, 0, 48 * 65536), QString::number(48 * 65536));
        QCOMPARE(cell(m, 2, 48 * 65536), QString(QChar(block.back())));
        m.setShowSeconds(true);
        QCOMPARE(cell(m, 3, 24 * 65536), QString("00:01"));
        QCOMPARE(cell(m, 3, 24 * 65536 + 1), QString("00:02"));
    }
};

QTEST_GUILESS_MAIN(TstReceiveTableModel)
#include "tst_receivetablemodel.moc"
