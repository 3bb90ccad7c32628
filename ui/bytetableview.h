#pragma once

#include <QAbstractItemView>

class LongTableModel;

// A string-grid look for byte tables of any length: row 0 and column 0 are
// fixed header cells, every other row is always shown, and the data columns
// scroll horizontally in whole columns. Only the cells in sight are painted,
// so the cost of a paint or a scroll does not depend on the column count.
//
// The horizontal scroll bar's value is the model column shown leftmost, so a
// hundred million columns never need a pixel coordinate beyond int. Past a
// billion columns the bar's positions are spread over the columns. Over a
// LongTableModel the view reaches columns beyond what int counts: it paints
// them from the model's long-column texts (they have no index, so they take
// no part in selection or editing).
class ByteTableView : public QAbstractItemView
{
    Q_OBJECT
public:
    explicit ByteTableView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;

    void setFirstColumnWidth(int width);
    int firstColumnWidth() const { return m_firstColumnWidth; }
    // The designed width of the data columns; they are all made wider
    // together when the widest text they hold needs it (a time stamp, the
    // digits of the largest column number).
    void setDefaultColumnWidth(int width);
    int defaultColumnWidth() const { return m_designColumnWidth; }
    // The width the data columns have now.
    int columnWidth() const { return m_columnWidth; }
    void setRowHeight(int height);
    int rowHeight() const { return m_rowHeight; }

    // Model column of the leftmost data column shown (1 when there is none).
    qint64 leftColumn() const { return m_left; }
    // The same, limited to what int holds.
    int firstVisibleColumn() const;
    // Data columns, counted in 64 bits over a LongTableModel.
    qint64 dataColumnCount() const;
    // The column under a viewport x (0 over the header column).
    qint64 columnAt(int x) const;
    // Data columns that fit whole in the viewport.
    int fullyVisibleColumnCount() const;
    // Makes `column` the leftmost data column, as far as the end allows.
    void scrollToColumn(qint64 column);
    // The last data column is in full view.
    bool isShowingEnd() const;
    // While the last column is in view, appended columns scroll into view.
    void setFollowsEnd(bool follow);
    bool followsEnd() const { return m_followsEnd; }

    // The row whose texts Ctrl+C copies.
    void setCopyRow(int row) { m_copyRow = row; }
    int copyRow() const { return m_copyRow; }
    // The copy row's texts of the selected data columns (or of the current
    // column when nothing is selected), separated by spaces.
    QString copyText() const;

    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;
    QSize sizeHint() const override;

public slots:
    void selectAll() override;
    void copy();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex &index) const override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    void updateGeometries() override;
    void updateEditorGeometries() override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void reset() override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;

    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    static constexpr int BarMax = 1 << 30;
    // Columns that have an item index.
    int indexColumnCount() const;
    int dataRowCount() const;
    int firstVisibleRow() const;
    qint64 maxFirstColumn() const;
    bool barScaled() const { return maxFirstColumn() > BarMax; }
    int barValueFor(qint64 left) const;
    qint64 leftForBarValue(int value) const;
    // Puts the scroll bar where m_left is, without feeding it back.
    void syncBar();
    QRect cellRect(int row, qint64 column) const;
    int maxFirstRow() const;
    int visibleDataRowCount() const;
    // Column offset from the leftmost shown column <-> x relative to the data area.
    qint64 columnDeltaToX(qint64 delta) const;
    qint64 xToColumnDelta(qint64 x) const;
    qint64 columnAtX(int x) const;
    qint64 rowAtY(int y) const;
    bool isHeaderPoint(const QPoint &point) const;
    void modelGeometryChanged();
    // Sets the data columns' width from the texts of the last column and the
    // number of digits of its number; true when it changed.
    bool fitColumns();
    QString cellText(int row, qint64 column) const;

    int m_firstColumnWidth = 51;
    int m_designColumnWidth = 30;
    int m_columnWidth = 30;
    int m_rowHeight = 20;
    int m_copyRow = 1;
    bool m_followsEnd = true;
    bool m_atEnd = true;              // the last column was in view after the last layout
    qint64 m_originColumn = 1;        // horizontalOffset() counts pixels from here
    qint64 m_left = 1;                // leftmost data column shown
    bool m_syncingBar = false;
    LongTableModel *m_long = nullptr;
    bool m_pressOnHeader = false;
};
