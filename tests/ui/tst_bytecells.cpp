#include "ui/bytetableview.h"
#include "ui/widgets.h"
#include "core/receivetablemodel.h"
#include "core/transmittablemodel.h"

#include <QTest>

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

    // No cell in sight has its text cut; data columns are alike and 30 px or more.
    void checkCells() const
    {
        QStringList found;
        const QAbstractItemModel *m = view->model();
        const QFontMetrics fm(view->font());
        const int left = int(view->leftColumn()), width = view->visualRect(m->index(1, left)).width();
        QList<int> columns{0};
        for (qint64 c = left; c <= qMin<qint64>(view->dataColumnCount(), left + view->fullyVisibleColumnCount() - 1); ++c)
            columns << int(c);
        for (int r = 0; r < m->rowCount(); ++r)
            for (int c : columns) {
                const QString text = m->index(r, c).data().toString();
                const int w = view->visualRect(m->index(r, c)).width();
                if (fm.horizontalAdvance(text) + 4 > w || (c && (w != width || w < 30)))
                    found << QStringLiteral("%1,%2 \"%3\" in %4 px").arg(r).arg(c).arg(text).arg(w);
            }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1String("; "))));
    }

private slots:
    void receiveTable_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<bool>("seconds");
        QTest::newRow("a few, with seconds") << 3 << true;
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
        checkCells();
        view->scrollToColumn(1);
        checkCells();
        view->scrollToColumn(bytes / 2);
        QCOMPARE(view->leftColumn(), qMax<qint64>(1, qMin<qint64>(bytes / 2, bytes - view->fullyVisibleColumnCount() + 1)));
        checkCells();
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
        model.appendShown("B", 1, QStringLiteral("12:35"));
        QCOMPARE(view->leftColumn(), 5000);
        view->scrollToColumn(10000);
        checkCells();
    }

    void transmitTable()
    {
        TransmitTableModel model;
        show(&model, 51);
        model.setBytes(QByteArray(12345, '\xC6'));
        view->scrollToColumn(12345);
        checkCells();
    }
};

QTEST_MAIN(TstByteCells)
#include "tst_bytecells.moc"
