#include "ui/bytetableview.h"
#include "ui/commandgridview.h"
#include "ui/widgets.h"
#include "core/receivetablemodel.h"
#include "core/transmittablemodel.h"

#include <QClipboard>
#include <QHelpEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTest>
#include <QToolTip>

#include <climits>
#include <set>

namespace {

// Columns that cost nothing to hold, more than int counts unless told
// otherwise; indexes reach the first INT_MAX, the rest only the long-column
// calls. It records the data columns painted.
class LongModel : public LongTableModel
{
public:
    explicit LongModel(qint64 n = 3'000'000'001) : columns(n) {}
    qint64 columns;
    int rowCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : 3; }
    int columnCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : int(qMin<qint64>(columns, INT_MAX)); }
    QVariant data(const QModelIndex &i, int role) const override { return role ? QVariant() : longCellText(i.row(), i.column()); }
    qint64 longColumnCount() const override { return columns; }
    QString longCellText(int row, qint64 column) const override
    {
        if (row == 0 && column > 0)
            asked.insert(column);
        return QString::number(column);
    }
    QString longToolTip(int, qint64 column) const override { return QStringLiteral("tip %1").arg(column); }
    mutable std::set<qint64> asked;
};

// The receive table's geometry: a 59-px header column, 30x20-px cells.
void setUpView(ByteTableView &view, QAbstractItemModel *model, int firstColumn = 59)
{
    view.setFont(designFont());
    view.setFirstColumnWidth(firstColumn);
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
    return s.size() != 1 ? QStringLiteral("%1 ranges").arg(s.size())
                         : QStringLiteral("%1,%2-%3,%4").arg(s[0].top()).arg(s[0].left()).arg(s[0].bottom()).arg(s[0].right());
}

// No cell in sight has its text cut; data columns are alike and 30 px or more.
void checkCells(const ByteTableView &view)
{
    QStringList found;
    const QAbstractItemModel *m = view.model();
    const int left = int(view.leftColumn()), width = view.visualRect(m->index(1, left)).width();
    const qint64 last = qMin<qint64>(view.dataColumnCount(), left + view.fullyVisibleColumnCount() - 1);
    for (int r = 0; r < m->rowCount(); ++r)
        for (int c = 0; c <= last; c = c ? c + 1 : left) {
            const QString text = m->index(r, c).data().toString();
            const int w = view.visualRect(m->index(r, c)).width();
            if (QFontMetrics(view.font()).horizontalAdvance(text) + 4 > w || (c && (w != width || w < 30)))
                found << QStringLiteral("%1,%2 \"%3\" in %4 px").arg(r).arg(c).arg(text).arg(w);
        }
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1String("; "))));
}

} // namespace

class TstByteTableView : public QObject
{
    Q_OBJECT
private slots:
    // The view follows the end unless scrolled back; one more digit widens
    // every column at once and the view keeps its place in column units;
    // no cell has its text cut.
    void receiveTable()
    {
        ReceiveTableModel model;
        model.setShowSeconds(true);
        ByteTableView view;
        setUpView(view, &model);
        model.appendShown(QByteArray(9999, 'W').constData(), 9999, QStringLiteral("54:58"));
        QCOMPARE(view.firstVisibleColumn(), 9999 - view.fullyVisibleColumnCount() + 1);
        checkCells(view);
        view.scrollToColumn(5000); // the user scrolls back: the view stays
        model.appendShown("B", 1, QStringLiteral("54:59"));
        QCOMPARE(view.firstVisibleColumn(), 5000);
        view.scrollToColumn(INT_MAX); // back at the end, it follows again
        model.appendShown("y", 1, {});
        QCOMPARE(view.firstVisibleColumn(), 10001 - view.fullyVisibleColumnCount() + 1);
        checkCells(view);
        model.clear();
        QCOMPARE(view.firstVisibleColumn(), 1);
        // Copying takes the hex row of the selected columns, else the current one;
        // unwritten cells keep their place.
        model.appendShown("\x41\x0D\x0A\x42", 4, {});
        view.setCurrentIndex(model.index(1, 1));
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("41"));
        model.appendHidden("\x01", 1);
        model.appendShown("\x02", 1, {});
        view.selectAll();
        QCOMPARE(view.copyText(), QStringLiteral("41 0D 0A 42  02"));

        TransmitTableModel transmit;
        ByteTableView other;
        setUpView(other, &transmit, 51);
        transmit.setBytes(QByteArray(12345, '\xC6'));
        other.scrollToColumn(12345);
        checkCells(other);
    }

    // Far beyond int pixels a drag selects the cells under the mouse; header
    // cells neither select nor become current; the keyboard moves within the
    // data rows, and shift extends with any movement key: one exact range of
    // 2 x 10^8 cells.
    void selectsFarColumns()
    {
        LongModel model(100'000'001);
        ByteTableView view;
        setUpView(view, &model);
        view.scrollToColumn(50'000'000);
        const int first = view.firstVisibleColumn();
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centre(view, 1, first + 1));
        QTest::mouseMove(view.viewport(), centre(view, 2, first + 3));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centre(view, 2, first + 3));
        const QString dragged = QStringLiteral("1,%1-2,%2").arg(first + 1).arg(first + 3);
        QCOMPARE(selection(view), dragged);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(10, 30));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre(view, 0, first + 4));
        QCOMPARE(view.currentIndex(), model.index(2, first + 3));
        QCOMPARE(selection(view), dragged);

        view.setCurrentIndex(model.index(1, first));
        QTest::keyClick(&view, Qt::Key_Up);
        QTest::keyClick(&view, Qt::Key_PageDown);
        const int paged = first + view.fullyVisibleColumnCount();
        QCOMPARE(view.currentIndex(), model.index(1, paged));
        QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(view.currentIndex(), model.index(2, 100'000'000));
        QCOMPARE(selection(view), QStringLiteral("1,%1-2,100000000").arg(paged));
        QVERIFY(view.viewport()->rect().contains(view.visualRect(view.currentIndex())));
    }

    // Past what int counts every column is still reached, painted with its
    // own number and given its tooltip, and nothing beyond what shows is
    // painted; the bar spreads over all of them.
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
        QVERIFY(*model.asked.rbegin() >= target + page - 1 && *model.asked.rbegin() <= target + page + 2);
        const QPoint second(59 + view.columnWidth() + 15, 50);
        QHelpEvent help(QEvent::ToolTip, second, view.viewport()->mapToGlobal(second));
        QApplication::sendEvent(view.viewport(), &help);
        QCOMPARE(QToolTip::text(), QStringLiteral("tip %1").arg(target + 1));

        // Neighbouring bar positions never skip a column; the bar's end is the end,
        // where the view follows the columns that arrive.
        QScrollBar *bar = view.horizontalScrollBar();
        for (int v : {1, bar->maximum() / 2, bar->maximum() - 1}) {
            bar->setValue(v);
            const qint64 before = view.leftColumn();
            bar->setValue(v + 1);
            QVERIFY(view.leftColumn() > before && view.leftColumn() - before <= page);
        }
        model.columns += 1000;
        emit model.longColumnsChanged();
        QCOMPARE(view.leftColumn(), last + 1000 - page + 1);
    }

    // A command cell lays out only a start of a long code: laid out whole to
    // be elided, a 50 MB code held the window for minutes.
    void longCodeCellShowsAStart()
    {
        CommandGridView grid;
        auto *delegate = qobject_cast<QStyledItemDelegate *>(grid.itemDelegate());
        QVERIFY(delegate && delegate->displayText(QString(4 << 20, u'c'), QLocale()).size() <= 4096);
    }
};

QTEST_MAIN(TstByteTableView)
#include "tst_bytetableview.moc"
