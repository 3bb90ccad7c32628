#include "tables/bytetableview.h"
#include "tables/receivetablemodel.h"
#include "tables/transmittablemodel.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

// A byte table of any width whose cells cost nothing to hold; it counts the
// cells asked for, so a test can tell what painting visits.
class WideModel : public QAbstractTableModel
{
public:
    explicit WideModel(int dataColumns) : m_columns(dataColumns) {}
    int rowCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : 3; }
    int columnCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : m_columns + 1; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        ++dataCalls;
        if (index.column() == 0)
            return QStringList{"№", "Hex", "ASCII"}.at(index.row());
        if (index.row() == 0)
            return QString::number(index.column());
        return QString::number(index.column() & 0xFF, 16).toUpper().rightJustified(2, '0');
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        if (index.row() == 0 || index.column() == 0)
            return Qt::ItemIsEnabled;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }
    mutable qint64 dataCalls = 0;

private:
    int m_columns;
};

constexpr int kHundredMillion = 100'000'000;

void setUpView(ByteTableView &view, QAbstractItemModel *model, int width = 420)
{
    view.setFirstColumnWidth(59);
    view.setDefaultColumnWidth(30);
    view.setRowHeight(20);
    view.setModel(model);
    view.resize(width, 102);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
}

QPoint centre(const ByteTableView &view, int row, int column)
{
    return view.visualRect(view.model()->index(row, column)).center();
}

} // namespace

class TstByteTableView : public QObject
{
    Q_OBJECT
private slots:
    void indexAtInvertsVisualRect_data()
    {
        QTest::addColumn<int>("scrollTo");
        QTest::addColumn<int>("column");
        QTest::newRow("start") << 1 << 1;
        QTest::newRow("near") << 1 << 7;
        QTest::newRow("scrolled, in view") << 90'000'000 << 90'000'003;
        QTest::newRow("scrolled, first shown") << 90'000'000 << 90'000'000;
        QTest::newRow("last column") << kHundredMillion << kHundredMillion;
        // Columns far out of view still map to distinct, invertible positions.
        QTest::newRow("far right of view") << 1 << 90'000'000;
        QTest::newRow("far left of view") << kHundredMillion << 2;
        QTest::newRow("just beyond the pixel band") << 1 << 17'900'000;
    }
    void indexAtInvertsVisualRect()
    {
        QFETCH(int, scrollTo);
        QFETCH(int, column);
        WideModel model(kHundredMillion);
        ByteTableView view;
        setUpView(view, &model);
        view.scrollToColumn(scrollTo);
        for (int row = 0; row < 3; ++row) {
            const QModelIndex index = model.index(row, column);
            const QRect rect = view.visualRect(index);
            QVERIFY(rect.isValid());
            QCOMPARE(view.indexAt(rect.center()), index);
        }
        QCOMPARE(view.indexAt(QPoint(5, 5)), model.index(0, 0));
        QCOMPARE(view.indexAt(QPoint(5, 45)), model.index(2, 0));
        QCOMPARE(view.indexAt(view.visualRect(model.index(1, 0)).center()), model.index(1, 0));
        // Cells in view really are where they are painted.
        const int first = view.firstVisibleColumn();
        QCOMPARE(view.visualRect(model.index(1, first)), QRect(59, 20, 30, 20));
        QCOMPARE(view.indexAt(QPoint(59 + 30 * 2 + 1, 41)), model.index(2, first + 2));
    }

    void scrollsToTheEndAndPaintsOnlyWhatShows()
    {
        WideModel model(kHundredMillion);
        ByteTableView view;
        setUpView(view, &model);
        view.scrollToColumn(INT_MAX);
        QVERIFY(view.isShowingEnd());
        const int shown = view.fullyVisibleColumnCount();
        QCOMPARE(view.firstVisibleColumn(), kHundredMillion - shown + 1);
        QCOMPARE(view.horizontalScrollBar()->value(), view.firstVisibleColumn());
        model.dataCalls = 0;
        QElapsedTimer timer;
        timer.start();
        const QPixmap picture = view.grab();
        QVERIFY(timer.elapsed() < 1000);
        QVERIFY2(model.dataCalls <= 3 * (shown + 3), qPrintable(QString::number(model.dataCalls)));
        QVERIFY(model.dataCalls > 0);
        // The header column is painted like a header.
        const QImage image = picture.toImage();
        const QPoint inHeader = view.viewport()->mapTo(&view, QPoint(30, 30));
        QCOMPARE(image.pixelColor(inHeader), view.palette().color(QPalette::Button));
        view.scrollToColumn(1);
        QVERIFY(!view.isShowingEnd());
        QCOMPARE(view.firstVisibleColumn(), 1);
    }

    void followsTheEndUnlessScrolledBack()
    {
        ReceiveTableModel model;
        ByteTableView view;
        setUpView(view, &model);
        const QByteArray block(40, 'x');
        model.appendShown(block.constData(), block.size(), {});
        QVERIFY(view.isShowingEnd());
        QVERIFY(view.firstVisibleColumn() > 1);
        model.appendShown(block.constData(), block.size(), {});
        QVERIFY(view.isShowingEnd());
        QCOMPARE(view.firstVisibleColumn(), 80 - view.fullyVisibleColumnCount() + 1);

        // The user scrolls back: new bytes leave the view where it is.
        view.scrollToColumn(5);
        model.appendShown(block.constData(), block.size(), {});
        QCOMPARE(view.firstVisibleColumn(), 5);
        QVERIFY(!view.isShowingEnd());
        // Scrolling to the end again resumes following.
        view.scrollToColumn(INT_MAX);
        model.appendShown("y", 1, {});
        QVERIFY(view.isShowingEnd());
        QCOMPARE(view.firstVisibleColumn(), 121 - view.fullyVisibleColumnCount() + 1);
        // A clear brings the view back to the start.
        model.clear();
        QCOMPARE(view.firstVisibleColumn(), 1);
        model.appendShown(block.constData(), block.size(), {});
        QVERIFY(view.isShowingEnd());
    }

    void keyboardMovesTheCurrentCell_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("startRow");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column"); // -1: the last column; -2: start + one page
        QTest::newRow("right") << int(Qt::Key_Right) << 0 << 1 << 1 << 6;
        QTest::newRow("left") << int(Qt::Key_Left) << 0 << 1 << 1 << 4;
        QTest::newRow("down") << int(Qt::Key_Down) << 0 << 1 << 2 << 5;
        QTest::newRow("up stops at the first data row") << int(Qt::Key_Up) << 0 << 1 << 1 << 5;
        QTest::newRow("up") << int(Qt::Key_Up) << 0 << 2 << 1 << 5;
        QTest::newRow("home") << int(Qt::Key_Home) << 0 << 2 << 2 << 1;
        QTest::newRow("end") << int(Qt::Key_End) << 0 << 1 << 1 << -1;
        QTest::newRow("ctrl+home") << int(Qt::Key_Home) << int(Qt::ControlModifier) << 2 << 1 << 1;
        QTest::newRow("ctrl+end") << int(Qt::Key_End) << int(Qt::ControlModifier) << 1 << 2 << -1;
        QTest::newRow("page down") << int(Qt::Key_PageDown) << 0 << 1 << 1 << -2;
        QTest::newRow("page up stops at 1") << int(Qt::Key_PageUp) << 0 << 1 << 1 << 1;
    }
    void keyboardMovesTheCurrentCell()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, startRow);
        QFETCH(int, row);
        QFETCH(int, column);
        WideModel model(kHundredMillion);
        ByteTableView view;
        setUpView(view, &model);
        view.scrollToColumn(1);
        view.setCurrentIndex(model.index(startRow, 5));
        QTest::keyClick(&view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (column == -1)
            column = kHundredMillion;
        else if (column == -2)
            column = 5 + view.fullyVisibleColumnCount();
        QCOMPARE(view.currentIndex(), model.index(row, column));
        // The current cell is scrolled into view.
        QVERIFY(view.viewport()->rect().contains(view.visualRect(view.currentIndex())));
    }

    // A keyboard selection from the first byte to the last of a hundred
    // million is one exact range.
    void shiftSelectsAcrossTheWholeTable()
    {
        WideModel model(kHundredMillion);
        ByteTableView view;
        setUpView(view, &model);
        view.scrollToColumn(1);
        view.setCurrentIndex(model.index(1, 1));
        QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(view.currentIndex(), model.index(2, kHundredMillion));
        const QItemSelection selection = view.selectionModel()->selection();
        QCOMPARE(selection.size(), 1);
        QCOMPARE(selection.first().topLeft(), model.index(1, 1));
        QCOMPARE(selection.first().bottomRight(), model.index(2, kHundredMillion));
        QTest::keyClick(&view, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(view.selectionModel()->selection().first().bottomRight(), model.index(2, kHundredMillion - 1));
        QVERIFY(view.selectionModel()->isSelected(model.index(1, 50'000'000)));
    }

    void mouseSelectsRanges()
    {
        WideModel model(kHundredMillion);
        ByteTableView view;
        setUpView(view, &model);
        view.scrollToColumn(50'000'000);
        const int first = view.firstVisibleColumn();
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centre(view, 1, first + 1));
        QTest::mouseMove(view.viewport(), centre(view, 2, first + 3));
        QMouseEvent move(QEvent::MouseMove, centre(view, 2, first + 3), view.viewport()->mapToGlobal(centre(view, 2, first + 3)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &move);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centre(view, 2, first + 3));
        QItemSelection selection = view.selectionModel()->selection();
        QCOMPARE(selection.size(), 1);
        QCOMPARE(selection.first().topLeft(), model.index(1, first + 1));
        QCOMPARE(selection.first().bottomRight(), model.index(2, first + 3));
        QCOMPARE(view.currentIndex(), model.index(2, first + 3));

        // The view scrolls during a drag (as auto-scroll does): the range
        // still starts at the pressed cell.
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centre(view, 1, first + 2));
        view.scrollToColumn(first + 5);
        QMouseEvent dragged(QEvent::MouseMove, centre(view, 1, first + 9), view.viewport()->mapToGlobal(centre(view, 1, first + 9)),
                            Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &dragged);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centre(view, 1, first + 9));
        selection = view.selectionModel()->selection();
        QCOMPARE(selection.size(), 1);
        QCOMPARE(selection.first().topLeft(), model.index(1, first + 2));
        QCOMPARE(selection.first().bottomRight(), model.index(1, first + 9));

        // Shift+click extends from the anchor, also to far away columns.
        view.scrollToColumn(first);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre(view, 1, first + 1));
        view.scrollToColumn(first + 1000);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(view, 1, first + 1002));
        selection = view.selectionModel()->selection();
        QCOMPARE(selection.size(), 1);
        QCOMPARE(selection.first().topLeft(), model.index(1, first + 1));
        QCOMPARE(selection.first().bottomRight(), model.index(1, first + 1002));

        // Header cells neither select nor become current.
        const QModelIndex current = view.currentIndex();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(10, 30));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre(view, 0, first + 1003));
        QCOMPARE(view.currentIndex(), current);
        QCOMPARE(view.selectionModel()->selection().first().bottomRight(), model.index(1, first + 1002));

        // A drag that runs over the header column stays in the data cells.
        const int shown = view.firstVisibleColumn();
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centre(view, 2, shown + 2));
        QMouseEvent over(QEvent::MouseMove, QPointF(20, 50), view.viewport()->mapToGlobal(QPointF(20, 50)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &over);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(20, 50));
        QVERIFY(view.currentIndex().column() >= 1);
        QCOMPARE(view.selectionModel()->selection().first().topLeft().column(), view.currentIndex().column());
        QCOMPARE(view.selectionModel()->selection().first().bottomRight(), model.index(2, shown + 2));
    }

    void copiesTheHexRowOfSelectedColumns()
    {
        ReceiveTableModel model;
        model.appendShown("\x41\x0D\x0A\x42", 4, {});
        ByteTableView view;
        setUpView(view, &model);
        view.scrollToColumn(1);
        view.setCurrentIndex(model.index(2, 2));
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("0D 0A 42"));
        // Nothing selected: the current column alone.
        view.selectionModel()->clearSelection();
        view.setCurrentIndex(model.index(1, 1));
        view.selectionModel()->clearSelection();
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("41"));
        view.selectAll();
        QCOMPARE(view.copyText(), QString("41 0D 0A 42"));
        view.setCopyRow(0);
        QCOMPARE(view.copyText(), QString("1 2 3 4"));
        // Unwritten cells keep their place in the copied text.
        view.setCopyRow(1);
        model.appendHidden("\x01", 1);
        model.appendShown("\x02", 1, {});
        view.selectAll();
        QCOMPARE(view.copyText(), QString("41 0D 0A 42  02"));
    }

    void editingCommitsIntoTheModel_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("typing") << "typing";
        QTest::newRow("F2") << "F2";
        QTest::newRow("double click") << "double click";
    }
    void editingCommitsIntoTheModel()
    {
        QFETCH(QString, how);
        TransmitTableModel model;
        model.setBytes("\x11\x22\x33");
        ByteTableView view;
        setUpView(view, &model);
        view.setFollowsEnd(false);
        QSignalSpy edited(&model, &TransmitTableModel::cellEdited);
        const QModelIndex cell = model.index(1, 2);
        view.setCurrentIndex(cell);
        if (how == "typing") {
            QTest::keyClick(&view, Qt::Key_4);
        } else if (how == "F2") {
            QTest::keyClick(&view, Qt::Key_F2);
        } else {
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre(view, 1, 2));
            QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, centre(view, 1, 2));
        }
        auto *editor = qobject_cast<QLineEdit *>(view.indexWidget(cell));
        QVERIFY(editor);
        QCOMPARE(editor->geometry().topLeft(), view.visualRect(cell).topLeft());
        if (how != "typing") {
            QCOMPARE(editor->text(), QString("22"));
            editor->selectAll();
            QTest::keyClick(editor, Qt::Key_4);
        }
        QTest::keyClick(editor, Qt::Key_1);
        QCOMPARE(editor->text(), QString("41"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(model.hexText(2), QString("41"));
        QVERIFY(!edited.isEmpty());
        QCOMPARE(edited.last(), (QList<QVariant>{2, 1, QString("41")}));
        QCOMPARE(model.hexText(1), QString("11"));
    }

    void editorFollowsScrolling()
    {
        TransmitTableModel model;
        model.setBytes(QByteArray(200, '\x5A'));
        ByteTableView view;
        setUpView(view, &model);
        view.scrollToColumn(1);
        const QModelIndex cell = model.index(2, 4);
        view.setCurrentIndex(cell);
        view.edit(cell);
        QWidget *editor = view.indexWidget(cell);
        QVERIFY(editor);
        view.scrollToColumn(3);
        QCOMPARE(editor->geometry().topLeft(), view.visualRect(cell).topLeft());
        QCOMPARE(editor->x(), 59 + 30);
        // Scrolled under the header column, the editor waits out of sight.
        view.scrollToColumn(10);
        QVERIFY(editor->geometry().right() < 0);
        view.scrollToColumn(1);
        QCOMPARE(editor->geometry().topLeft(), view.visualRect(cell).topLeft());
    }

    void receiveTableIsReadOnly()
    {
        ReceiveTableModel model;
        model.appendShown("AB", 2, {});
        ByteTableView view;
        setUpView(view, &model);
        view.setCurrentIndex(model.index(1, 1));
        QTest::keyClick(&view, Qt::Key_5);
        QTest::keyClick(&view, Qt::Key_F2);
        QVERIFY(!view.indexWidget(model.index(1, 1)));
        QCOMPARE(model.index(1, 1).data().toString(), QString("41"));
    }

    void secondsRowAddsARow()
    {
        ReceiveTableModel model;
        model.appendShown("AB", 2, "00:07");
        ByteTableView view;
        setUpView(view, &model);
        model.setShowSeconds(true);
        // A receive table's 102 pixels hold four rows and the scroll bar.
        const QByteArray more(100, 'x');
        model.appendShown(more.constData(), more.size(), "00:08");
        QTRY_VERIFY(view.horizontalScrollBar()->isVisible());
        QVERIFY(!view.verticalScrollBar()->isVisible());
        QVERIFY(view.visualRect(model.index(3, view.firstVisibleColumn())).bottom() < view.viewport()->height());
        view.scrollToColumn(1);
        const QModelIndex stamp = model.index(3, 1);
        QCOMPARE(view.indexAt(view.visualRect(stamp).center()), stamp);
        view.setCurrentIndex(model.index(2, 1));
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(view.currentIndex(), stamp);
        model.setShowSeconds(false);
        QVERIFY(view.verticalScrollBar()->maximum() <= 1);
    }
};

QTEST_MAIN(TstByteTableView)
#include "tst_bytetableview.moc"
