#include "ui/bytetableview.h"
#include "ui/widgets.h"
#include "core/receivetablemodel.h"
#include "core/transmittablemodel.h"

#include <QElapsedTimer>
#include <QTest>

// A list of faults, shown in full when there are any.
#define VERIFY_NONE(faults)                                                                                  \
    do {                                                                                                     \
        const QStringList found_ = (faults);                                                                 \
        QVERIFY2(found_.isEmpty(), qPrintable(found_.join(QLatin1String("; "))));                           \
    } while (false)

namespace {

// A capture of a hundred million bytes that costs nothing to hold.
class HundredMillion : public QAbstractTableModel
{
public:
    int rowCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : 4; }
    int columnCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : 100'000'001; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        switch (index.row()) {
        case 0: return index.column() ? QString::number(index.column()) : QStringLiteral("№");
        case 1: return QStringLiteral("FF");
        case 2: return QStringLiteral("Ж");
        default: return QStringLiteral("59:59");
        }
    }
};

} // namespace

// Every cell of a byte table shows its whole text: the columns are as wide
// as the widest text they hold, never narrower than designed, and all alike.
class TstByteCells : public QObject
{
    Q_OBJECT
    std::unique_ptr<ByteTableView> view;

    void show(QAbstractItemModel *model, int firstColumn)
    {
        view = std::make_unique<ByteTableView>();
        view->setFont(designFont());
        view->setFirstColumnWidth(firstColumn);
        view->setDefaultColumnWidth(30);
        view->setRowHeight(20);
        view->setModel(model);
        view->resize(711, 102);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }

    // Cells in sight whose text is cut, and data columns not alike or under 30 px.
    QStringList faults() const
    {
        QStringList found;
        const QAbstractItemModel *m = view->model();
        const QFontMetrics fm(view->font());
        const qint64 last = qMin<qint64>(view->dataColumnCount(), view->leftColumn() + view->fullyVisibleColumnCount() - 1);
        const int width = view->visualRect(m->index(1, int(view->leftColumn()))).width();
        if (width < 30)
            found << QStringLiteral("columns %1 px").arg(width);
        QList<int> columns{0};
        for (qint64 c = view->leftColumn(); c <= last; ++c)
            columns << int(c);
        for (int r = 0; r < m->rowCount(); ++r)
            for (int c : columns) {
                const QString text = m->index(r, c).data().toString();
                const QRect cell = view->visualRect(m->index(r, c));
                if (fm.horizontalAdvance(text) + 4 > cell.width())
                    found << QStringLiteral("%1,%2 \"%3\" in %4 px").arg(r).arg(c).arg(text).arg(cell.width());
                if (c && cell.width() != width)
                    found << QStringLiteral("column %1 is %2 px").arg(c).arg(cell.width());
            }
        return found;
    }

private slots:
    void receiveTable_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<bool>("seconds");
        QTest::newRow("a few, with seconds") << 3 << true;
        QTest::newRow("four digits, with seconds") << 9999 << true;
        QTest::newRow("five digits") << 17831 << false;
        QTest::newRow("five digits, with seconds") << 20000 << true;
        QTest::newRow("seven digits") << 1'234'567 << false;
    }
    void receiveTable()
    {
        QFETCH(int, bytes);
        QFETCH(bool, seconds);
        ReceiveTableModel model;
        model.setShowSeconds(seconds);
        show(&model, 59);
        model.appendShown(QByteArray(bytes, 'W').constData(), bytes, QStringLiteral("54:58"));
        QVERIFY(view->isShowingEnd());
        VERIFY_NONE(faults());
        view->scrollToColumn(1);
        VERIFY_NONE(faults());
        view->scrollToColumn(bytes / 2);
        QCOMPARE(view->leftColumn(), qMax<qint64>(1, qMin<qint64>(bytes / 2, bytes - view->fullyVisibleColumnCount() + 1)));
        VERIFY_NONE(faults());
    }

    // One more digit widens every column at once; the view keeps its place
    // in column units.
    void widensWhenDigitsGrow()
    {
        ReceiveTableModel model;
        model.setShowSeconds(true);
        show(&model, 59);
        model.appendShown(QByteArray(9999, 'A').constData(), 9999, QStringLiteral("12:34"));
        view->scrollToColumn(5000);
        const int before = view->visualRect(model.index(1, 5000)).width();
        model.appendShown("B", 1, QStringLiteral("12:35"));
        QCOMPARE(view->leftColumn(), 5000);
        QVERIFY(view->visualRect(model.index(1, 5000)).width() >= before);
        VERIFY_NONE(faults());
        view->scrollToColumn(10000);
        VERIFY_NONE(faults());
    }

    void transmitTable()
    {
        TransmitTableModel model;
        show(&model, 51);
        model.setBytes(QByteArray(12345, '\xC6'));
        view->scrollToColumn(12345);
        VERIFY_NONE(faults());
    }

    // Nine-digit numbers fit too, and paging stays as quick as before.
    void hundredMillionBytes()
    {
        HundredMillion model;
        show(&model, 59);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 100; ++i) {
            view->scrollToColumn(qint64(i) * 999'983 + 1);
            view->viewport()->repaint();
        }
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        VERIFY_NONE(faults());
        view->scrollToColumn(100'000'000);
        QVERIFY(view->isShowingEnd());
        VERIFY_NONE(faults());
    }
};

QTEST_MAIN(TstByteCells)
#include "tst_bytecells.moc"
