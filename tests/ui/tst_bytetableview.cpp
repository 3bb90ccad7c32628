#include "ui/bytetableview.h"
#include "core/receivetablemodel.h"

#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>

#include <climits>
#include <set>

namespace {

constexpr int kHundredMillion = 100'000'000;

// A hundred million byte columns that cost nothing to hold; it counts the
// cells asked for, so a test can tell what painting visits.
class WideModel : public QAbstractTableModel
{
public:
    int rowCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : 3; }
    int columnCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : kHundredMillion + 1; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        return role == Qt::DisplayRole ? (++dataCalls, QVariant(index.column())) : QVariant();
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.row() == 0 || index.column() == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }
    mutable qint64 dataCalls = 0;
};

// Three billion columns, more than int counts: indexes reach the first
// INT_MAX, the rest only through the long-column calls, which it records.
class LongModel : public LongTableModel
{
public:
    qint64 columns = 3'000'000'001;
    int rowCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : 3; }
    int columnCount(const QModelIndex &p = {}) const override
    {
        return p.isValid() ? 0 : int(qMin<qint64>(columns, INT_MAX));
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(longCellText(index.row(), index.column())) : QVariant();
    }
    qint64 longColumnCount() const override { return columns; }
    QString longCellText(int row, qint64 column) const override
    {
        if (row == 0 && column > INT_MAX)
            asked.insert(column);
        return QString::number(column);
    }
    QString longToolTip(int, qint64 column) const override { return QStringLiteral("tip %1").arg(column); }
    void grow(qint64 n)
    {
        columns += n;
        emit longColumnsChanged();
    }
    mutable std::set<qint64> asked;
};

// The receive table's geometry: a 59-px header column, 30x20-px cells.
void setUpView(ByteTableView &view, QAbstractItemModel *model)
{
    view.setFirstColumnWidth(59);
    view.setDefaultColumnWidth(30);
    view.setRowHeight(20);
    view.setModel(model);
    view.resize(420, 102);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
}

QPoint centre(const ByteTableView &view, int row, int column)
{
    return view.visualRect(view.model()->index(row, column)).center();
}

// The selection as "row,column-row,column", one range expected.
QString selection(const ByteTableView &view)
{
    const QItemSelection s = view.selectionModel()->selection();
    if (s.size() != 1)
        return QStringLiteral("%1 ranges").arg(s.size());
    return QStringLiteral("%1,%2-%3,%4").arg(s[0].top()).arg(s[0].left()).arg(s[0].bottom()).arg(s[0].right());
}

} // namespace

class TstByteTableView : public QObject
{
    Q_OBJECT
private slots:
    void followsTheEndUnlessScrolledBack()
    {
        ReceiveTableModel model;
        ByteTableView view;
        setUpView(view, &model);
        const QByteArray block(40, 'x');
        model.appendShown(block.constData(), block.size(), {});
        QCOMPARE(view.firstVisibleColumn(), 40 - view.fullyVisibleColumnCount() + 1);
        view.scrollToColumn(5); // the user scrolls back: the view stays
        model.appendShown(block.constData(), block.size(), {});
        QCOMPARE(view.firstVisibleColumn(), 5);
        view.scrollToColumn(INT_MAX); // back at the end, it follows again
        model.appendShown("y", 1, {});
        QCOMPARE(view.firstVisibleColumn(), 81 - view.fullyVisibleColumnCount() + 1);
        model.clear();
        QCOMPARE(view.firstVisibleColumn(), 1);
    }

    // From the cell (1, 5) of the hundred-million table.
    void keyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column"); // -1: the last column; -2: 5 + one page
        QTest::addColumn<QString>("selected");
        const int shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
        QTest::newRow("up stops at the first data row") << int(Qt::Key_Up) << 0 << 1 << 5 << "1,5-1,5";
        QTest::newRow("ctrl+end") << int(Qt::Key_End) << ctrl << 2 << -1 << "2,100000000-2,100000000";
        QTest::newRow("page down") << int(Qt::Key_PageDown) << 0 << 1 << -2 << "";
        // Shift extends with any movement key: one exact range of 2 x 10^8 cells.
        QTest::newRow("shift+ctrl+end") << int(Qt::Key_End) << shift + ctrl << 2 << -1 << "1,5-2,100000000";
    }
    void keyboard()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, column);
        QFETCH(QString, selected);
        WideModel model;
        ByteTableView view;
        setUpView(view, &model);
        view.scrollToColumn(1);
        view.setCurrentIndex(model.index(1, 5));
        QTest::keyClick(&view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        column = column == -1 ? kHundredMillion : column == -2 ? 5 + view.fullyVisibleColumnCount() : column;
        QTEST(view.currentIndex().row(), "row");
        QCOMPARE(view.currentIndex().column(), column);
        QVERIFY(view.viewport()->rect().contains(view.visualRect(view.currentIndex())));
        if (!selected.isEmpty())
            QCOMPARE(selection(view), selected);
    }

    // Far beyond int pixels a drag selects the cells under the mouse;
    // painting visits only what shows.
    void mouseSelectsRanges()
    {
        WideModel model;
        ByteTableView view;
        setUpView(view, &model);
        view.scrollToColumn(50'000'000);
        const int first = view.firstVisibleColumn();
        model.dataCalls = 0;
        view.grab();
        QVERIFY2(model.dataCalls > 0 && model.dataCalls <= 3 * (view.fullyVisibleColumnCount() + 3),
                 qPrintable(QString::number(model.dataCalls)));
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centre(view, 1, first + 1));
        QTest::mouseMove(view.viewport(), centre(view, 2, first + 3));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centre(view, 2, first + 3));
        QCOMPARE(selection(view), QStringLiteral("1,%1-2,%2").arg(first + 1).arg(first + 3));
        QCOMPARE(view.currentIndex(), model.index(2, first + 3));

        // Header cells neither select nor become current.
        const QString dragged = selection(view);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(10, 30));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre(view, 0, first + 4));
        QCOMPARE(view.currentIndex(), model.index(2, first + 3));
        QCOMPARE(selection(view), dragged);
    }

    void copiesTheHexRowOfSelectedColumns()
    {
        ReceiveTableModel model;
        model.appendShown("\x41\x0D\x0A\x42", 4, {});
        ByteTableView view;
        setUpView(view, &model);
        view.scrollToColumn(1);
        view.setCurrentIndex(model.index(1, 1));
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier); // nothing selected: the current column
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("41"));
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("41 0D"));
        // Unwritten cells keep their place in the copied text.
        model.appendHidden("\x01", 1);
        model.appendShown("\x02", 1, {});
        view.selectAll();
        QCOMPARE(view.copyText(), QStringLiteral("41 0D 0A 42  02"));
        // The receive table is read-only.
        QTest::keyClick(&view, Qt::Key_5);
        QTest::keyClick(&view, Qt::Key_F2);
        QVERIFY(!view.indexWidget(view.currentIndex()));
    }


    // Past what int counts every column is still reached, painted with its
    // own number and given its tooltip; the bar spreads over all of them.
    void columnsBeyondInt()
    {
        LongModel model;
        ByteTableView view;
        setUpView(view, &model);
        const qint64 last = model.columns - 1;
        const int page = view.fullyVisibleColumnCount();
        QCOMPARE(view.leftColumn(), last - page + 1);

        const qint64 target = qint64(INT_MAX) + 12345;
        view.scrollToColumn(target);
        QCOMPARE(view.columnAt(59 + 15), target);
        model.asked.clear();
        view.viewport()->repaint();
        QCOMPARE(*model.asked.begin(), target);
        QCOMPARE(qint64(model.asked.size()), *model.asked.rbegin() - target + 1);
        QVERIFY(*model.asked.rbegin() >= target + page - 1);
        const QPoint second(59 + view.columnWidth() + 15, 50);
        QHelpEvent help(QEvent::ToolTip, second, view.viewport()->mapToGlobal(second));
        QApplication::sendEvent(view.viewport(), &help);
        QCOMPARE(QToolTip::text(), QStringLiteral("tip %1").arg(target + 1));
        QToolTip::hideText();

        // Neighbouring bar positions never skip a column; the bar's end is the end,
        // where the view follows the columns that arrive.
        QScrollBar *bar = view.horizontalScrollBar();
        for (int v : {1, bar->maximum() / 2, bar->maximum() - 1}) {
            bar->setValue(v);
            const qint64 before = view.leftColumn();
            bar->setValue(v + 1);
            QVERIFY(view.leftColumn() > before && view.leftColumn() - before <= page);
        }
        model.grow(1000);
        QCOMPARE(view.leftColumn(), last + 1000 - page + 1);
    }
};

QTEST_MAIN(TstByteTableView)
#include "tst_bytetableview.moc"
