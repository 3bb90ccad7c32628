#include "ui/receivedtextview.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace {

constexpr int kMargin = 3;
// The X11 primary selection takes a copy of the text; past this size a plain
// selection should not cost the user a pause.
constexpr qint64 kPrimarySelectionLimit = qint64(1) << 24;

int clampInt(qint64 v)
{
    return int(std::clamp<qint64>(v, 0, INT_MAX));
}

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

ReceivedTextView::ReceivedTextView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    updateMetrics();
    updateScrollBars();
}

void ReceivedTextView::updateMetrics()
{
    const QFontMetrics fm(font());
    m_charWidth = qMax(1, fm.horizontalAdvance(QLatin1Char('M')));
    m_lineHeight = qMax(1, fm.lineSpacing());
    m_ascent = fm.ascent();
}

int ReceivedTextView::visibleLineCount() const
{
    return qMax(1, viewport()->height() / m_lineHeight);
}

int ReceivedTextView::visibleColumnCount() const
{
    return qMax(1, (viewport()->width() - kMargin) / m_charWidth);
}

qint64 ReceivedTextView::firstVisibleLine() const
{
    return verticalScrollBar()->value();
}

qint64 ReceivedTextView::firstVisibleColumn() const
{
    return horizontalScrollBar()->value();
}

void ReceivedTextView::updateScrollBars()
{
    const int lines = visibleLineCount();
    const int columns = visibleColumnCount();
    QScrollBar *v = verticalScrollBar();
    v->setRange(0, clampInt(shownLineCount() - lines));
    v->setPageStep(lines);
    v->setSingleStep(1);
    QScrollBar *h = horizontalScrollBar();
    const qint64 longest = m_blank ? 0 : m_doc.maxLineLength();
    // One column beyond the longest line, where a selection can end.
    h->setRange(0, clampInt(longest + 1 - columns));
    h->setPageStep(columns);
    h->setSingleStep(1);
}

bool ReceivedTextView::isShowingEnd() const
{
    if (verticalScrollBar()->value() < verticalScrollBar()->maximum())
        return false;
    const qint64 length = shownLineLength(shownLineCount() - 1);
    const qint64 first = firstVisibleColumn();
    return length >= first && length < first + visibleColumnCount();
}

void ReceivedTextView::scrollToEnd()
{
    updateScrollBars();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    const qint64 length = shownLineLength(shownLineCount() - 1);
    horizontalScrollBar()->setValue(clampInt(length + 1 - visibleColumnCount()));
}

void ReceivedTextView::scrollToLine(qint64 line)
{
    verticalScrollBar()->setValue(clampInt(line));
}

void ReceivedTextView::textChanged(bool wasAtEnd)
{
    const qint64 size = m_blank ? 0 : m_doc.size();
    m_anchor = qMin(m_anchor, size);
    m_caret = qMin(m_caret, size);
    updateScrollBars();
    if (wasAtEnd)
        scrollToEnd();
    viewport()->update();
}

void ReceivedTextView::appendBytes(const char *data, qint64 n)
{
    const bool wasAtEnd = isShowingEnd();
    const qint64 lastLine = m_doc.lineCount() - 1;
    const bool wasBlank = m_blank;
    m_doc.append(data, n);
    m_blank = false;
    // Text added below the lines in sight needs no repaint, only new scroll ranges.
    if (!wasAtEnd && !wasBlank && firstVisibleLine() + visibleLineCount() < lastLine) {
        updateScrollBars();
        return;
    }
    textChanged(wasAtEnd);
}

void ReceivedTextView::appendFrom(const ByteStore &source, qint64 from, qint64 to)
{
    const bool wasAtEnd = isShowingEnd();
    m_doc.appendFrom(source, from, to);
    m_blank = false;
    textChanged(wasAtEnd);
}

void ReceivedTextView::assign(const ByteStore &source)
{
    const bool wasAtEnd = isShowingEnd();
    m_doc.clear();
    m_doc.appendFrom(source, 0, source.size());
    m_blank = false;
    textChanged(wasAtEnd);
}

void ReceivedTextView::showStore(const ByteStore &source)
{
    const bool wasAtEnd = isShowingEnd();
    const bool wasBlank = m_blank;
    if (!m_doc.follows(source)) {
        m_doc.follow(source);
    } else {
        const qint64 lastLine = m_doc.lineCount() - 1;
        m_doc.catchUp();
        m_blank = false;
        // Text added below the lines in sight needs no repaint, only new scroll ranges.
        if (!wasAtEnd && !wasBlank && firstVisibleLine() + visibleLineCount() < lastLine) {
            updateScrollBars();
            return;
        }
    }
    m_blank = false;
    textChanged(wasAtEnd);
}

void ReceivedTextView::blank()
{
    m_blank = true;
    m_anchor = m_caret = 0;
    textChanged(true);
}

void ReceivedTextView::unblank()
{
    if (!m_blank)
        return;
    m_blank = false;
    textChanged(true);
}

QString ReceivedTextView::toPlainText() const
{
    return m_blank ? QString() : m_doc.text();
}

QString ReceivedTextView::selectedText() const
{
    return m_blank ? QString() : m_doc.text(selectionStart(), selectionEnd());
}

void ReceivedTextView::setSelection(qint64 anchor, qint64 caret)
{
    const qint64 size = m_blank ? 0 : m_doc.size();
    m_anchor = qBound<qint64>(0, anchor, size);
    m_caret = qBound<qint64>(0, caret, size);
    viewport()->update();
}

void ReceivedTextView::copy()
{
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

void ReceivedTextView::selectAll()
{
    setSelection(0, m_blank ? 0 : m_doc.size());
}

qint64 ReceivedTextView::positionAt(const QPoint &point) const
{
    if (m_blank)
        return 0;
    const qint64 line = std::clamp<qint64>(firstVisibleLine() + floorDiv(point.y(), m_lineHeight), 0,
                                           m_doc.lineCount() - 1);
    const qint64 column = firstVisibleColumn() + floorDiv(point.x() - kMargin + m_charWidth / 2, m_charWidth);
    return m_doc.lineStart(line) + std::clamp<qint64>(column, 0, m_doc.lineLength(line));
}

void ReceivedTextView::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    const QPalette &pal = palette();
    p.fillRect(viewport()->rect(), pal.base());
    if (m_blank)
        return;
    p.setFont(font());
    const qint64 firstLine = firstVisibleLine();
    const qint64 firstColumn = firstVisibleColumn();
    const int columns = visibleColumnCount() + 2;
    const int rows = viewport()->height() / m_lineHeight + 1;
    const qint64 selStart = selectionStart(), selEnd = selectionEnd();
    auto columnX = [&](qint64 column) {
        return kMargin + int(std::clamp<qint64>(column - firstColumn, -1, columns)) * m_charWidth;
    };
    QString text;
    for (int r = 0; r < rows; ++r) {
        const qint64 line = firstLine + r;
        if (line >= m_doc.lineCount())
            break;
        const qint64 start = m_doc.lineStart(line);
        const qint64 end = m_doc.lineEnd(line);
        const qint64 segStart = qMin(end, start + firstColumn);
        const qint64 segEnd = qMin(end, segStart + columns);
        const int y = r * m_lineHeight;

        QRect selected;
        if (selStart < selEnd && selStart <= end && selEnd > start) {
            const qint64 a = qMax(selStart, start) - start;
            // A selection running past the line's end takes its line break along.
            const qint64 b = qMin(selEnd, end) - start + (selEnd > end ? 1 : 0);
            selected = QRect(QPoint(columnX(a), y), QPoint(columnX(b) - 1, y + m_lineHeight - 1));
            p.fillRect(selected, pal.highlight());
        }
        if (segStart >= segEnd)
            continue;
        text.resize(segEnd - segStart);
        for (qint64 pos = segStart; pos < segEnd; ++pos)
            text[pos - segStart] = ReceivedText::displayChar(m_doc.at(pos));
        const QPoint origin(kMargin, y + m_ascent);
        p.setPen(pal.color(QPalette::Text));
        p.drawText(origin, text);
        if (selected.isValid()) {
            p.save();
            p.setClipRect(selected);
            p.setPen(pal.color(QPalette::HighlightedText));
            p.drawText(origin, text);
            p.restore();
        }
    }
}

void ReceivedTextView::resizeEvent(QResizeEvent *event)
{
    const bool wasAtEnd = isShowingEnd();
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    if (wasAtEnd)
        scrollToEnd();
}

void ReceivedTextView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateMetrics();
        updateScrollBars();
        viewport()->update();
    }
}

void ReceivedTextView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void ReceivedTextView::keyPressEvent(QKeyEvent *event)
{
    QScrollBar *v = verticalScrollBar();
    QScrollBar *h = horizontalScrollBar();
    if (event == QKeySequence::Copy)
        copy();
    else if (event == QKeySequence::SelectAll)
        selectAll();
    else if (event == QKeySequence::MoveToStartOfDocument) {
        v->setValue(0);
        h->setValue(0);
    } else if (event == QKeySequence::MoveToEndOfDocument)
        scrollToEnd();
    else if (event == QKeySequence::MoveToNextPage)
        v->triggerAction(QAbstractSlider::SliderPageStepAdd);
    else if (event == QKeySequence::MoveToPreviousPage)
        v->triggerAction(QAbstractSlider::SliderPageStepSub);
    else if (event == QKeySequence::MoveToNextLine)
        v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    else if (event == QKeySequence::MoveToPreviousLine)
        v->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (event == QKeySequence::MoveToNextChar)
        h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    else if (event == QKeySequence::MoveToPreviousChar)
        h->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (event == QKeySequence::MoveToStartOfLine)
        h->setValue(0);
    else if (event == QKeySequence::MoveToEndOfLine)
        h->setValue(h->maximum());
    else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ReceivedTextView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const qint64 pos = positionAt(event->position().toPoint());
    if (event->modifiers() & Qt::ShiftModifier)
        setSelection(m_anchor, pos);
    else
        setSelection(pos, pos);
    m_selecting = true;
    m_dragPoint = event->position().toPoint();
}

void ReceivedTextView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_selecting)
        return;
    m_dragPoint = event->position().toPoint();
    setSelection(m_anchor, positionAt(m_dragPoint));
    // Outside the text the view scrolls on while the button stays down.
    if (!viewport()->rect().contains(m_dragPoint)) {
        if (!m_dragTimer)
            m_dragTimer = startTimer(50);
    } else if (m_dragTimer) {
        killTimer(m_dragTimer);
        m_dragTimer = 0;
    }
}

void ReceivedTextView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_dragTimer) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    dragScroll();
}

void ReceivedTextView::dragScroll()
{
    const QRect r = viewport()->rect();
    QScrollBar *v = verticalScrollBar();
    QScrollBar *h = horizontalScrollBar();
    if (m_dragPoint.y() < r.top())
        v->setValue(v->value() - 1);
    else if (m_dragPoint.y() > r.bottom())
        v->setValue(v->value() + 1);
    if (m_dragPoint.x() < r.left())
        h->setValue(h->value() - 4);
    else if (m_dragPoint.x() > r.right())
        h->setValue(h->value() + 4);
    setSelection(m_anchor, positionAt(m_dragPoint));
}

void ReceivedTextView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_selecting) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_selecting = false;
    if (m_dragTimer) {
        killTimer(m_dragTimer);
        m_dragTimer = 0;
    }
    QClipboard *clipboard = QApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection() && selectionEnd() - selectionStart() <= kPrimarySelectionLimit)
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void ReceivedTextView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_blank) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    // A word: the run of letters and digits around the point, within its
    // line and within reach (a binary capture can be one endless "word").
    constexpr qint64 reach = 4096;
    const qint64 pos = positionAt(event->position().toPoint());
    const qint64 line = m_doc.lineOf(pos);
    const qint64 lineStart = qMax(m_doc.lineStart(line), pos - reach);
    const qint64 lineEnd = qMin(m_doc.lineEnd(line), pos + reach);
    auto isWord = [this](qint64 p) { return ReceivedText::displayChar(m_doc.at(p)).isLetterOrNumber(); };
    qint64 a = pos, b = pos;
    while (a > lineStart && isWord(a - 1))
        --a;
    while (b < lineEnd && isWord(b))
        ++b;
    setSelection(a, b);
    m_selecting = false;
}

void ReceivedTextView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copyAction = menu.addAction(QStringLiteral("Копировать"), this, &ReceivedTextView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(hasSelection());
    QAction *all = menu.addAction(QStringLiteral("Выделить все"), this, &ReceivedTextView::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(!m_blank && m_doc.size() > 0);
    menu.exec(event->globalPos());
}
