#include "core/bytetext.h"
#include "core/receivetablemodel.h"

#include <QAbstractItemModelTester>
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
};

QTEST_GUILESS_MAIN(TstReceiveTableModel)
#include "tst_receivetablemodel.moc"
