#include "ui/bytetableview.h"

#include "core/longtablemodel.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionViewItem>
#include <QToolTip>

#include <algorithm>
#include <climits>

namespace {

// Positions of columns within this many pixels of the viewport are real pixel
// positions; beyond it visualRect() gives 1-pixel rects one pixel apart, so
// that any column still maps to a distinct, ordered, invertible int position
// (the base class builds keyboard selections from visualRect() centres).
constexpr qint64 kLinearPixels = qint64(1) << 29;

// Text is inset this far from both sides of its cell.
constexpr int kCellPad = 2;

int clampToInt(qint64 v)
{
    return int(std::clamp<qint64>(v, INT_MIN / 2, INT_MAX / 2));
}

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Cells show control characters as nothing, like the byte 0.
QString displayable(QString text)
{
    for (QChar &c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(0x20);
    return text;
}

} // namespace

ByteTableView::ByteTableView(QWidget *parent)
    : QAbstractItemView(parent)
{
    setSelectionMode(ContiguousSelection);
    setSelectionBehavior(SelectItems);
    setEditTriggers(DoubleClicked | AnyKeyPressed | EditKeyPressed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setAutoScrollMargin(m_firstColumnWidth + 1);
    horizontalScrollBar()->setRange(1, 1);
    verticalScrollBar()->setRange(1, 1);
}

void ByteTableView::setModel(QAbstractItemModel *newModel)
{
    if (newModel == model())
        return;
    if (QAbstractItemModel *old = model())
        disconnect(old, nullptr, this, nullptr);
    QAbstractItemView::setModel(newModel);
    m_long = qobject_cast<LongTableModel *>(newModel);
    if (m_long)
        connect(m_long, &LongTableModel::longColumnsChanged, this, &ByteTableView::modelGeometryChanged);
    if (newModel) {
        connect(newModel, &QAbstractItemModel::columnsInserted, this, &ByteTableView::modelGeometryChanged);
        connect(newModel, &QAbstractItemModel::columnsRemoved, this, &ByteTableView::modelGeometryChanged);
        connect(newModel, &QAbstractItemModel::rowsRemoved, this, &ByteTableView::modelGeometryChanged);
    }
    modelGeometryChanged();
}

void ByteTableView::setFirstColumnWidth(int width)
{
    m_firstColumnWidth = qMax(1, width);
    // Dragging a selection over the header column scrolls to the left.
    setAutoScrollMargin(m_firstColumnWidth + 1);
    modelGeometryChanged();
}

void ByteTableView::setDefaultColumnWidth(int width)
{
    m_designColumnWidth = qMax(1, width);
    modelGeometryChanged();
}

QString ByteTableView::cellText(int row, qint64 column) const
{
    if (column <= indexColumnCount())
        return model()->index(row, int(column), rootIndex()).data(Qt::DisplayRole).toString();
    return m_long ? m_long->longCellText(row, column) : QString();
}

bool ByteTableView::fitColumns()
{
    int widest = 0;
    if (model()) {
        const QFontMetrics fm(font());
        // Measured with every digit as the widest one, a text stands for all
        // the texts of its shape: other numbers of as many digits, other stamps.
        QChar wideDigit = QLatin1Char('0');
        for (char d = '1'; d <= '9'; ++d)
            if (fm.horizontalAdvance(QLatin1Char(d)) > fm.horizontalAdvance(wideDigit))
                wideDigit = QLatin1Char(d);
        const auto measure = [&](QString text) {
            for (QChar &c : text)
                if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                    c = wideDigit;
            widest = qMax(widest, fm.horizontalAdvance(displayable(text)));
        };
        // Every column of a byte table holds texts of the same shapes, the
        // newest as wide as any; the numbers grow to the column count.
        const qint64 last = dataColumnCount();
        measure(QString::number(last));
        if (last >= 1)
            for (int r = 0; r <= dataRowCount(); ++r)
                measure(cellText(r, last));
    }
    // Text inset on both sides and the grid line.
    const int width = qMax(m_designColumnWidth, widest + 2 * kCellPad + 1);
    if (width == m_columnWidth)
        return false;
    m_columnWidth = width;
    return true;
}

void ByteTableView::changeEvent(QEvent *event)
{
    QAbstractItemView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        modelGeometryChanged();
}

void ByteTableView::setRowHeight(int height)
{
    m_rowHeight = qMax(1, height);
    modelGeometryChanged();
}

void ByteTableView::setFollowsEnd(bool follow)
{
    m_followsEnd = follow;
}

QSize ByteTableView::sizeHint() const
{
    const int rows = model() ? model()->rowCount(rootIndex()) : 3;
    const int frame = 2 * frameWidth();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return {m_firstColumnWidth + 8 * m_designColumnWidth + frame, rows * m_rowHeight + bar + frame};
}

// --- geometry -------------------------------------------------------------

qint64 ByteTableView::dataColumnCount() const
{
    if (m_long && !rootIndex().isValid())
        return qMax<qint64>(0, m_long->longColumnCount() - 1);
    return indexColumnCount();
}

int ByteTableView::indexColumnCount() const
{
    return model() ? qMax(0, model()->columnCount(rootIndex()) - 1) : 0;
}

int ByteTableView::dataRowCount() const
{
    return model() ? qMax(0, model()->rowCount(rootIndex()) - 1) : 0;
}

int ByteTableView::firstVisibleColumn() const
{
    return int(qMin<qint64>(m_left, INT_MAX));
}

int ByteTableView::firstVisibleRow() const
{
    return qMax(1, verticalScrollBar()->value());
}

int ByteTableView::fullyVisibleColumnCount() const
{
    return qMax(1, (viewport()->width() - m_firstColumnWidth) / m_columnWidth);
}

int ByteTableView::visibleDataRowCount() const
{
    return qMax(1, (viewport()->height() - m_rowHeight) / m_rowHeight);
}

qint64 ByteTableView::maxFirstColumn() const
{
    return qMax<qint64>(1, dataColumnCount() - fullyVisibleColumnCount() + 1);
}

int ByteTableView::barValueFor(qint64 left) const
{
    if (!barScaled())
        return int(left);
    const qint64 span = maxFirstColumn() - 1;
    return int((__int128(left - 1) * BarMax + span / 2) / span);
}

qint64 ByteTableView::leftForBarValue(int value) const
{
    if (!barScaled())
        return qMax(1, value);
    const qint64 span = maxFirstColumn() - 1;
    return 1 + qint64((__int128(qBound(0, value, BarMax)) * span + BarMax / 2) / BarMax);
}

void ByteTableView::syncBar()
{
    QScrollBar *h = horizontalScrollBar();
    const qint64 maxFirst = maxFirstColumn();
    m_left = qBound<qint64>(1, m_left, maxFirst);
    m_syncingBar = true;
    if (barScaled()) {
        h->setRange(0, BarMax);
        h->setPageStep(int(qMax<qint64>(1, qint64(fullyVisibleColumnCount()) * BarMax / maxFirst)));
    } else {
        h->setRange(1, int(maxFirst));
        h->setPageStep(fullyVisibleColumnCount());
    }
    h->setSingleStep(1);
    h->setValue(barValueFor(m_left));
    m_syncingBar = false;
    m_atEnd = m_left >= maxFirst;
}

int ByteTableView::maxFirstRow() const
{
    return qMax(1, dataRowCount() - visibleDataRowCount() + 1);
}

bool ByteTableView::isShowingEnd() const
{
    return m_left >= maxFirstColumn();
}

void ByteTableView::scrollToColumn(qint64 column)
{
    const qint64 old = m_left;
    m_left = column;
    syncBar();
    if (m_left != old) {
        updateEditorGeometries();
        viewport()->update();
    }
}

qint64 ByteTableView::columnDeltaToX(qint64 delta) const
{
    const qint64 w = m_columnWidth;
    const qint64 k = kLinearPixels / w;
    if (delta > k)
        return (k + 1) * w + (delta - k - 1);
    if (delta < -k)
        return -k * w - (-delta - k);
    return delta * w;
}

qint64 ByteTableView::xToColumnDelta(qint64 x) const
{
    const qint64 w = m_columnWidth;
    const qint64 k = kLinearPixels / w;
    if (x >= (k + 1) * w)
        return k + 1 + (x - (k + 1) * w);
    if (x < -k * w)
        return -k - (-k * w - x);
    return floorDiv(x, w);
}

qint64 ByteTableView::columnAtX(int x) const
{
    return m_left + xToColumnDelta(qint64(x) - m_firstColumnWidth);
}

qint64 ByteTableView::columnAt(int x) const
{
    return x >= 0 && x < m_firstColumnWidth ? 0 : columnAtX(x);
}

qint64 ByteTableView::rowAtY(int y) const
{
    return firstVisibleRow() + floorDiv(qint64(y) - m_rowHeight, m_rowHeight);
}

bool ByteTableView::isHeaderPoint(const QPoint &p) const
{
    return (p.x() >= 0 && p.x() < m_firstColumnWidth) || (p.y() >= 0 && p.y() < m_rowHeight);
}

QRect ByteTableView::visualRect(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != model() || index.parent() != rootIndex())
        return {};
    return cellRect(index.row(), index.column());
}

QRect ByteTableView::cellRect(int r, qint64 c) const
{
    const int y = r == 0 ? 0 : clampToInt(m_rowHeight + qint64(r - firstVisibleRow()) * m_rowHeight);
    if (c == 0)
        return {0, y, m_firstColumnWidth, m_rowHeight};
    const qint64 delta = c - m_left;
    const qint64 k = kLinearPixels / m_columnWidth;
    const int width = (delta > k || delta < -k) ? 1 : m_columnWidth;
    return {clampToInt(m_firstColumnWidth + columnDeltaToX(delta)), y, width, m_rowHeight};
}

QModelIndex ByteTableView::indexAt(const QPoint &point) const
{
    if (!model())
        return {};
    const qint64 c = (point.x() >= 0 && point.x() < m_firstColumnWidth) ? 0 : columnAtX(point.x());
    const qint64 r = (point.y() >= 0 && point.y() < m_rowHeight) ? 0 : rowAtY(point.y());
    if (c < 0 || c > indexColumnCount() || r < 0 || r > dataRowCount())
        return {};
    return model()->index(int(r), int(c), rootIndex());
}

int ByteTableView::horizontalOffset() const
{
    // Pixels from a column fixed at the last mouse press, so the base class's
    // drag arithmetic stays within int however far the table scrolls.
    return clampToInt((m_left - m_originColumn) * m_columnWidth);
}

int ByteTableView::verticalOffset() const
{
    return (firstVisibleRow() - 1) * m_rowHeight;
}

bool ByteTableView::isIndexHidden(const QModelIndex &) const
{
    return false;
}

void ByteTableView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid() || index.model() != model())
        return;
    const int c = index.column(), r = index.row();
    if (c >= 1) {
        const qint64 first = m_left;
        const int page = fullyVisibleColumnCount();
        qint64 target = first;
        switch (hint) {
        case PositionAtTop: target = c; break;
        case PositionAtBottom: target = c - page + 1; break;
        case PositionAtCenter: target = c - page / 2; break;
        case EnsureVisible:
            if (c < first)
                target = c;
            else if (c > first + page - 1)
                target = c - page + 1;
            break;
        }
        scrollToColumn(target);
    }
    if (r >= 1) {
        const int first = firstVisibleRow();
        const int page = visibleDataRowCount();
        if (r < first)
            verticalScrollBar()->setValue(r);
        else if (r > first + page - 1)
            verticalScrollBar()->setValue(r - page + 1);
    }
}

void ByteTableView::updateGeometries()
{
    fitColumns();
    if (m_followsEnd && m_atEnd)
        m_left = maxFirstColumn();
    syncBar();

    QScrollBar *v = verticalScrollBar();
    v->setRange(1, maxFirstRow());
    v->setPageStep(visibleDataRowCount());
    v->setSingleStep(1);

    QAbstractItemView::updateGeometries();
}

void ByteTableView::modelGeometryChanged()
{
    updateGeometries();
    viewport()->update();
}

void ByteTableView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    modelGeometryChanged();
}

void ByteTableView::reset()
{
    QAbstractItemView::reset();
    modelGeometryChanged();
}

void ByteTableView::scrollContentsBy(int, int)
{
    if (!m_syncingBar) {
        // The user moved the bar.
        m_left = qBound<qint64>(1, leftForBarValue(horizontalScrollBar()->value()), maxFirstColumn());
        m_atEnd = m_left >= maxFirstColumn();
    }
    updateEditorGeometries();
    viewport()->update();
}

bool ByteTableView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && m_long) {
        // Columns without an index have their tooltips too.
        const QPoint p = static_cast<QHelpEvent *>(event)->pos();
        const qint64 c = columnAt(p.x());
        if (c > indexColumnCount() && c <= dataColumnCount()) {
            const qint64 r = (p.y() >= 0 && p.y() < m_rowHeight) ? 0 : rowAtY(p.y());
            const QString tip = m_long->longToolTip(int(r), c);
            if (tip.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), tip, viewport());
            return true;
        }
    }
    return QAbstractItemView::viewportEvent(event);
}

void ByteTableView::updateEditorGeometries()
{
    QAbstractItemView::updateEditorGeometries();
    // An editor whose column went under the fixed column waits out of sight
    // (hiding it would take its focus and end the edit).
    const QModelIndex current = currentIndex();
    if (QWidget *editor = current.isValid() ? indexWidget(current) : nullptr) {
        if (current.column() >= 1 && current.column() < m_left)
            editor->move(-editor->width() - m_firstColumnWidth, editor->y());
    }
}

void ByteTableView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                const QList<int> &roles)
{
    if (topLeft == bottomRight) {
        if (topLeft.column() >= dataColumnCount() && fitColumns())
            updateGeometries();
        QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    // The base class would visit every cell of the range; only the open
    // editor and the visible cells matter.
    if (bottomRight.column() >= dataColumnCount() && fitColumns())
        updateGeometries();
    const QModelIndex current = currentIndex();
    if (QWidget *editor = current.isValid() ? indexWidget(current) : nullptr) {
        if (current.row() >= topLeft.row() && current.row() <= bottomRight.row()
            && current.column() >= topLeft.column() && current.column() <= bottomRight.column()) {
            if (QAbstractItemDelegate *delegate = itemDelegateForIndex(current))
                delegate->setEditorData(editor, current);
        }
    }
    viewport()->update();
}

// --- selection ------------------------------------------------------------

void ByteTableView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    if (!selectionModel() || !model())
        return;
    const int lastColumn = indexColumnCount(), lastRow = dataRowCount();
    if (lastColumn < 1 || lastRow < 1) {
        selectionModel()->select(QItemSelection(), command);
        return;
    }
    // The base class passes QRect(anchor point, current point) un-normalised.
    const QPoint a = rect.topLeft(), b = rect.bottomRight();
    const auto col = [&](int x) { return int(std::clamp<qint64>(columnAtX(x), 1, lastColumn)); };
    const auto row = [&](int y) { return int(std::clamp<qint64>(rowAtY(y), 1, lastRow)); };
    const int c1 = col(a.x()), c2 = col(b.x()), r1 = row(a.y()), r2 = row(b.y());
    const QModelIndex tl = model()->index(qMin(r1, r2), qMin(c1, c2), rootIndex());
    const QModelIndex br = model()->index(qMax(r1, r2), qMax(c1, c2), rootIndex());
    selectionModel()->select(QItemSelection(tl, br), command);
}

QRegion ByteTableView::visualRegionForSelection(const QItemSelection &selection) const
{
    QRegion region;
    const qint64 first = m_left;
    const qint64 last = first + fullyVisibleColumnCount(); // one more for the partial column
    for (const QItemSelectionRange &range : selection) {
        if (!range.isValid() || range.model() != model())
            continue;
        const qint64 left = qMax<qint64>(range.left(), first), right = qMin<qint64>(range.right(), last);
        if (left > right)
            continue;
        const int top = qMax(range.top(), 1), bottom = range.bottom();
        if (top > bottom)
            continue;
        const QRect tl = visualRect(model()->index(top, int(left), rootIndex()));
        const QRect br = visualRect(model()->index(bottom, int(right), rootIndex()));
        region += QRect(tl.topLeft(), br.bottomRight());
    }
    return region;
}

void ByteTableView::selectAll()
{
    if (!model() || !selectionModel() || indexColumnCount() < 1 || dataRowCount() < 1)
        return;
    selectionModel()->select(
        QItemSelection(model()->index(1, 1, rootIndex()),
                       model()->index(dataRowCount(), indexColumnCount(), rootIndex())),
        QItemSelectionModel::ClearAndSelect);
}

QString ByteTableView::copyText() const
{
    if (!model() || m_copyRow < 0 || m_copyRow >= model()->rowCount(rootIndex()))
        return {};
    // Columns of all selected ranges, each once and in order.
    QList<QPair<int, int>> spans;
    if (selectionModel()) {
        for (const QItemSelectionRange &range : selectionModel()->selection())
            if (range.isValid())
                spans.append({qMax(range.left(), 1), range.right()});
    }
    if (spans.isEmpty() && currentIndex().isValid() && currentIndex().column() >= 1)
        spans.append({currentIndex().column(), currentIndex().column()});
    std::sort(spans.begin(), spans.end());
    QString text;
    bool firstText = true;
    int done = 0;
    for (const auto &[left, right] : spans) {
        for (int c = qMax(left, done + 1); c <= right; ++c) {
            if (!firstText)
                text += QLatin1Char(' ');
            firstText = false;
            text += model()->index(m_copyRow, c, rootIndex()).data().toString();
        }
        done = qMax(done, right);
    }
    return text;
}

void ByteTableView::copy()
{
    QGuiApplication::clipboard()->setText(copyText());
}

// --- keyboard and mouse ---------------------------------------------------

QItemSelectionModel::SelectionFlags ByteTableView::selectionCommand(const QModelIndex &index,
                                                                    const QEvent *event) const
{
    // Shift extends the range with any movement key, Ctrl+Home/End included.
    if (event && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
        case Qt::Key_Home: case Qt::Key_End: case Qt::Key_PageUp: case Qt::Key_PageDown:
            if (key->modifiers() & Qt::ShiftModifier)
                return QItemSelectionModel::SelectCurrent;
            break;
        default:
            break;
        }
    }
    return QAbstractItemView::selectionCommand(index, event);
}

QModelIndex ByteTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const int lastColumn = indexColumnCount(), lastRow = dataRowCount();
    if (!model() || lastColumn < 1 || lastRow < 1)
        return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return model()->index(firstVisibleRow(), qMin(firstVisibleColumn(), lastColumn), rootIndex());
    int r = qBound(1, current.row(), lastRow);
    int c = qBound(1, current.column(), lastColumn);
    const bool ctrl = modifiers & Qt::ControlModifier;
    // The table is one long strip of bytes: a page is a viewport of columns.
    const int page = fullyVisibleColumnCount();
    switch (action) {
    case MoveLeft:
    case MovePrevious: c = qMax(1, c - 1); break;
    case MoveRight:
    case MoveNext: c = qMin(lastColumn, c + 1); break;
    case MoveUp: r = qMax(1, r - 1); break;
    case MoveDown: r = qMin(lastRow, r + 1); break;
    case MoveHome:
        c = 1;
        if (ctrl)
            r = 1;
        break;
    case MoveEnd:
        c = lastColumn;
        if (ctrl)
            r = lastRow;
        break;
    case MovePageUp: c = qMax(1, c - page); break;
    case MovePageDown: c = int(qMin<qint64>(lastColumn, qint64(c) + page)); break;
    }
    return model()->index(r, c, rootIndex());
}

void ByteTableView::keyPressEvent(QKeyEvent *event)
{
    if (event == QKeySequence::Copy) {
        copy();
        event->accept();
        return;
    }
    QAbstractItemView::keyPressEvent(event);
}

void ByteTableView::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    m_pressOnHeader = isHeaderPoint(pos);
    if (m_pressOnHeader) {
        // Fixed cells take no part in selecting, as in a string grid.
        event->accept();
        return;
    }
    const QModelIndex index = indexAt(pos);
    if (!(selectionCommand(index, event) & QItemSelectionModel::Current))
        m_originColumn = m_left; // the base class records a fresh press point
    QAbstractItemView::mousePressEvent(event);
}

void ByteTableView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressOnHeader && (event->buttons() & Qt::LeftButton))
        return;
    if ((event->buttons() & Qt::LeftButton) && state() != EditingState) {
        // Over the fixed cells a drag keeps selecting the nearest data cell.
        QPointF p = event->position();
        if (p.x() < m_firstColumnWidth || p.y() < m_rowHeight) {
            p.setX(qMax<qreal>(p.x(), m_firstColumnWidth));
            p.setY(qMax<qreal>(p.y(), m_rowHeight));
            QMouseEvent clamped(event->type(), p, event->scenePosition(), event->globalPosition(),
                                event->button(), event->buttons(), event->modifiers(),
                                event->pointingDevice());
            QAbstractItemView::mouseMoveEvent(&clamped);
            event->setAccepted(clamped.isAccepted());
            return;
        }
    }
    QAbstractItemView::mouseMoveEvent(event);
}

void ByteTableView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pressOnHeader) {
        m_pressOnHeader = false;
        event->accept();
        return;
    }
    QAbstractItemView::mouseReleaseEvent(event);
}

void ByteTableView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (isHeaderPoint(event->position().toPoint())) {
        event->accept();
        return;
    }
    QAbstractItemView::mouseDoubleClickEvent(event);
}

void ByteTableView::wheelEvent(QWheelEvent *event)
{
    // With every row in view the wheel scrolls along the bytes.
    if (verticalScrollBar()->maximum() <= verticalScrollBar()->minimum()
        && qAbs(event->angleDelta().y()) > qAbs(event->angleDelta().x())) {
        QApplication::sendEvent(horizontalScrollBar(), event);
        return;
    }
    QAbstractItemView::wheelEvent(event);
}

// --- painting -------------------------------------------------------------

void ByteTableView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect area = viewport()->rect();
    const QPalette &pal = palette();
    painter.fillRect(event->rect(), pal.brush(QPalette::Base));
    if (!model())
        return;

    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QColor gridColor = QColor::fromRgba(
        QRgb(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    const QModelIndex current = currentIndex();
    QItemSelectionModel *selection = selectionModel();

    const qint64 lastColumn = dataColumnCount();
    const int lastRow = dataRowCount(), lastIndexColumn = indexColumnCount();
    const qint64 firstColumn = m_left;
    const int firstRow = firstVisibleRow();
    const qint64 shownColumns = (area.width() - m_firstColumnWidth + m_columnWidth - 1) / m_columnWidth;
    const qint64 endColumn = qMin<qint64>(lastColumn, firstColumn + shownColumns);

    // Rows in view: the header row, then data rows from firstRow.
    QList<int> rows{0};
    for (int r = firstRow; r <= lastRow && m_rowHeight * (r - firstRow + 1) < area.height(); ++r)
        rows.append(r);
    QList<qint64> columns;
    for (qint64 c = firstColumn; c <= endColumn; ++c)
        columns.append(c);
    columns.prepend(0);

    painter.setFont(font());
    const int pad = kCellPad;
    for (int r : rows) {
        for (qint64 c : columns) {
            // Columns past what int counts have no index; their texts come from the long model.
            const bool indexed = c <= lastIndexColumn;
            const QModelIndex index = indexed ? model()->index(r, int(c), rootIndex()) : QModelIndex();
            const QRect rect = cellRect(r, c);
            if (!rect.intersects(event->rect()))
                continue;
            const bool header = r == 0 || c == 0;
            const bool selected = indexed && !header && selection && selection->isSelected(index);
            QPalette::ColorRole fill = header ? QPalette::Button : selected ? QPalette::Highlight : QPalette::Base;
            QPalette::ColorRole ink = header ? QPalette::ButtonText : selected ? QPalette::HighlightedText : QPalette::Text;
            painter.save();
            if (c != 0)
                painter.setClipRect(QRect(m_firstColumnWidth, 0, area.width(), area.height()));
            painter.fillRect(rect, pal.brush(fill));
            painter.setPen(pal.color(ink));
            const QString text = displayable(indexed ? index.data(Qt::DisplayRole).toString()
                                                     : m_long ? m_long->longCellText(r, c) : QString());
            painter.drawText(rect.adjusted(pad, 0, -pad, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
            painter.setPen(header ? pal.color(QPalette::Mid) : gridColor);
            painter.drawLine(rect.topRight(), rect.bottomRight());
            painter.drawLine(rect.bottomLeft(), rect.bottomRight());
            if (header) {
                painter.setPen(pal.color(QPalette::Light));
                painter.drawLine(rect.topLeft(), rect.topRight() - QPoint(1, 0));
                painter.drawLine(rect.topLeft(), rect.bottomLeft() - QPoint(0, 1));
            }
            if (indexed && index == current && hasFocus() && !header) {
                QStyleOptionFocusRect focus;
                focus.initFrom(this);
                focus.rect = rect.adjusted(1, 1, -2, -2);
                focus.backgroundColor = pal.color(fill);
                style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
            }
            painter.restore();
        }
    }
}
