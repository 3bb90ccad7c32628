#include "ui/longlineedit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>

namespace {

// Margins a line edit keeps around its text inside the frame.
constexpr int kHorizontalMargin = 2;
constexpr int kVerticalMargin = 1;
// The input method sees this many characters either side of the cursor.
constexpr qsizetype kSurrounding = 256;

enum class Kind { Space, Word, Other };

Kind kindOf(QChar c)
{
    if (c.isSpace())
        return Kind::Space;
    if (c.isLetterOrNumber() || c.isMark() || c.isSurrogate() || c == u'_')
        return Kind::Word;
    return Kind::Other;
}

// What a key press may type: printable text, not a Ctrl chord (AltGr is Ctrl+Alt).
bool typedText(const QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const QChar c = text.front();
    if (c.category() == QChar::Other_Format)
        return true;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier))
        return false;
    return c.isPrint() || c.category() == QChar::Other_PrivateUse
        || (c.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate());
}

} // namespace

LongLineEdit::LongLineEdit(QWidget *parent)
    : QWidget(parent)
    , m_layout(std::make_unique<QTextLayout>())
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setCursor(Qt::IBeamCursor);
    setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed, QSizePolicy::LineEdit));
    setBackgroundRole(QPalette::Base);
}

LongLineEdit::~LongLineEdit() = default;

void LongLineEdit::setText(const QString &text)
{
    const bool changed = text != m_text;
    m_text = text;
    m_steps.clear();
    m_done = 0;
    m_mergeTyping = false;
    m_cursor = m_anchor = m_text.size();
    m_first = 0;
    invalidateLayout();
    scrollToCursor();
    if (changed)
        emit textChanged(m_text);
}

void LongLineEdit::setCursorPosition(qsizetype position)
{
    moveCursor(qBound<qsizetype>(0, position, m_text.size()), false);
}

QString LongLineEdit::selectedText() const
{
    const qsizetype from = qMin(m_cursor, m_anchor);
    return m_text.mid(from, qMax(m_cursor, m_anchor) - from);
}

void LongLineEdit::setSelection(qsizetype start, qsizetype length)
{
    const qsizetype from = qBound<qsizetype>(0, start, m_text.size());
    m_anchor = from;
    moveCursor(qBound<qsizetype>(0, from + length, m_text.size()), true);
}

void LongLineEdit::selectAll()
{
    m_anchor = 0;
    moveCursor(m_text.size(), true);
}

void LongLineEdit::setFrame(bool frame)
{
    m_frame = frame;
    invalidateLayout();
    updateGeometry();
    update();
}

void LongLineEdit::initStyleOption(QStyleOptionFrame *option) const
{
    option->initFrom(this);
    option->rect = contentsRect();
    option->lineWidth = m_frame ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, option, this) : 0;
    option->midLineWidth = 0;
    option->state |= QStyle::State_Sunken;
    option->features = QStyleOptionFrame::None;
}

QSize LongLineEdit::sizeHint() const
{
    ensurePolished();
    const QFontMetrics fm(font());
    const int h = qMax(fm.height(), 14) + 2 * kVerticalMargin;
    const int w = fm.horizontalAdvance(u'x') * 17 + 2 * kHorizontalMargin;
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(w, h), this);
}

QSize LongLineEdit::minimumSizeHint() const
{
    ensurePolished();
    const QFontMetrics fm(font());
    const int h = fm.height() + qMax(2 * kVerticalMargin, fm.leading());
    const int w = fm.maxWidth() + 2 * kHorizontalMargin;
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(w, h), this);
}

QRect LongLineEdit::lineRect() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const int height = fontMetrics().height();
    return {r.x() + kHorizontalMargin, r.y() + (r.height() - height + 1) / 2,
            qMax(0, r.width() - 2 * kHorizontalMargin), height};
}

// No character is narrower than a pixel in the fonts met in practice, so a
// window as long as the line is wide in pixels fills it.
qsizetype LongLineEdit::windowCapacity() const
{
    return qMax(16, lineRect().width() + 2);
}

void LongLineEdit::invalidateLayout()
{
    m_layoutValid = false;
}

QTextLine LongLineEdit::layoutSlice(QTextLayout &layout, qsizetype start, qsizetype end) const
{
    QString shown = m_text.mid(start, end - start);
    // Separators would break the line or show as boxes; one space each keeps positions.
    for (QChar &c : shown)
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == QChar::ObjectReplacementCharacter)
            c = u' ';
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight);
    layout.setText(shown);
    layout.setFont(font());
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1 << 22);
    layout.endLayout();
    return line;
}

const QTextLine &LongLineEdit::layoutFrom(qsizetype start) const
{
    if (m_layoutValid && m_windowStart == start)
        return m_line;
    qsizetype end = qMin(m_text.size(), start + windowCapacity());
    // A surrogate pair is laid out whole or not at all.
    if (end < m_text.size() && end > start && m_text.at(end).isLowSurrogate() && m_text.at(end - 1).isHighSurrogate())
        ++end;
    m_line = layoutSlice(*m_layout, start, end);
    m_windowStart = start;
    m_windowLength = end - start;
    m_layoutValid = true;
    return m_line;
}

qsizetype LongLineEdit::firstShowing(qsizetype end) const
{
    qsizetype start = qMax<qsizetype>(0, end - windowCapacity());
    if (start > 0 && m_text.at(start).isLowSurrogate() && m_text.at(start - 1).isHighSurrogate())
        --start;
    QTextLayout layout;
    const QTextLine line = layoutSlice(layout, start, end);
    const qreal room = lineRect().width() - style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this);
    const qreal endX = line.cursorToX(int(end - start));
    if (endX <= room)
        return start;
    int i = line.xToCursor(endX - room, QTextLine::CursorBetweenCharacters);
    while (i < end - start && line.cursorToX(i) < endX - room)
        i = layout.nextCursorPosition(i);
    return start + i;
}

void LongLineEdit::scrollToCursor()
{
    if (m_cursor < m_first) {
        m_first = m_cursor;
    } else {
        const QTextLine &line = layoutFrom(m_first);
        const qreal room = lineRect().width() - style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this);
        if (m_cursor > m_windowStart + m_windowLength || line.cursorToX(int(m_cursor - m_windowStart)) > room)
            m_first = firstShowing(m_cursor);
    }
    // No empty room at the right while text is hidden at the left.
    if (m_first > 0 && m_first + windowCapacity() >= m_text.size())
        m_first = qMin(m_first, firstShowing(m_text.size()));
    update();
}

qsizetype LongLineEdit::positionAt(int x) const
{
    const QRect line = lineRect();
    if (x < line.left() && m_first > 0) {
        // Left of the window: measure back from its first character.
        qsizetype start = qMax<qsizetype>(0, m_first - windowCapacity());
        if (start > 0 && m_text.at(start).isLowSurrogate() && m_text.at(start - 1).isHighSurrogate())
            --start;
        QTextLayout layout;
        const QTextLine back = layoutSlice(layout, start, m_first);
        const qreal endX = back.cursorToX(int(m_first - start));
        return start + back.xToCursor(endX - (line.left() - x), QTextLine::CursorBetweenCharacters);
    }
    const QTextLine &shown = layoutFrom(m_first);
    return m_windowStart + shown.xToCursor(x - line.left(), QTextLine::CursorBetweenCharacters);
}

qsizetype LongLineEdit::previousCodePoint(qsizetype pos) const
{
    if (pos <= 0)
        return 0;
    if (pos >= 2 && m_text.at(pos - 1).isLowSurrogate() && m_text.at(pos - 2).isHighSurrogate())
        return pos - 2;
    return pos - 1;
}

// Character moves step over whole graphemes; a short stretch around the
// position is enough to find the boundary.
qsizetype LongLineEdit::nextCharacter(qsizetype pos) const
{
    if (pos >= m_text.size())
        return m_text.size();
    QTextLayout layout;
    const qsizetype end = qMin(m_text.size(), pos + 32);
    layoutSlice(layout, pos, end);
    const int next = layout.nextCursorPosition(0);
    return next > 0 ? pos + next : qMin(m_text.size(), pos + 1);
}

qsizetype LongLineEdit::previousCharacter(qsizetype pos) const
{
    if (pos <= 0)
        return 0;
    qsizetype start = qMax<qsizetype>(0, pos - 32);
    if (start > 0 && m_text.at(start).isLowSurrogate())
        --start;
    QTextLayout layout;
    layoutSlice(layout, start, pos);
    const int previous = layout.previousCursorPosition(int(pos - start));
    return previous < pos - start ? start + previous : previousCodePoint(pos);
}

qsizetype LongLineEdit::nextWord(qsizetype pos) const
{
    const qsizetype size = m_text.size();
    if (pos < size && kindOf(m_text.at(pos)) != Kind::Space) {
        const Kind kind = kindOf(m_text.at(pos));
        while (pos < size && kindOf(m_text.at(pos)) == kind)
            ++pos;
    }
    while (pos < size && kindOf(m_text.at(pos)) == Kind::Space)
        ++pos;
    return pos;
}

qsizetype LongLineEdit::previousWord(qsizetype pos) const
{
    while (pos > 0 && kindOf(m_text.at(pos - 1)) == Kind::Space)
        --pos;
    if (pos > 0) {
        const Kind kind = kindOf(m_text.at(pos - 1));
        while (pos > 0 && kindOf(m_text.at(pos - 1)) == kind)
            --pos;
    }
    return pos;
}

void LongLineEdit::moveCursor(qsizetype position, bool extend)
{
    m_cursor = position;
    if (!extend)
        m_anchor = position;
    m_mergeTyping = false;
    scrollToCursor();
    if (QWidget::hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImCursorPosition | Qt::ImAnchorPosition);
}

void LongLineEdit::applyEdit(qsizetype from, qsizetype to, const QString &text, bool typing)
{
    if (from == to && text.isEmpty())
        return;
    const bool merge = typing && m_mergeTyping && m_done == m_steps.size() && !m_steps.empty()
        && m_steps.back().typing && from == to && m_steps.back().pos + m_steps.back().inserted.size() == from;
    if (merge) {
        m_steps.back().inserted += text;
    } else {
        m_steps.resize(m_done);
        m_steps.push_back({from, m_text.mid(from, to - from), text, m_cursor, m_anchor, typing && from == to});
        m_done = m_steps.size();
    }
    m_text.replace(from, to - from, text);
    m_cursor = m_anchor = from + text.size();
    invalidateLayout();
    scrollToCursor();
    m_mergeTyping = typing;
    userChanged();
}

void LongLineEdit::userChanged()
{
    m_editedSinceFinished = true;
    // Receivers may set the text again; send the text as it is now each time.
    emit textChanged(m_text);
    emit textEdited(m_text);
}

void LongLineEdit::insertText(const QString &text, bool typing)
{
    applyEdit(qMin(m_cursor, m_anchor), qMax(m_cursor, m_anchor), text, typing);
}

void LongLineEdit::removeRange(qsizetype from, qsizetype to)
{
    applyEdit(qMin(from, to), qMax(from, to), {}, false);
}

void LongLineEdit::undo()
{
    if (!m_done)
        return;
    const Step &step = m_steps[--m_done];
    m_text.replace(step.pos, step.inserted.size(), step.removed);
    m_cursor = step.cursorBefore;
    m_anchor = step.anchorBefore;
    m_mergeTyping = false;
    invalidateLayout();
    scrollToCursor();
    userChanged();
}

void LongLineEdit::redo()
{
    if (m_done >= m_steps.size())
        return;
    const Step &step = m_steps[m_done++];
    m_text.replace(step.pos, step.removed.size(), step.inserted);
    m_cursor = m_anchor = step.pos + step.inserted.size();
    m_mergeTyping = false;
    invalidateLayout();
    scrollToCursor();
    userChanged();
}

void LongLineEdit::copy() const
{
    if (hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText());
}

void LongLineEdit::cut()
{
    if (!hasSelectedText())
        return;
    copy();
    insertText({});
}

void LongLineEdit::paste()
{
    const QString clip = QGuiApplication::clipboard()->text();
    if (!clip.isEmpty() || hasSelectedText())
        insertText(clip);
}

// One place knows the keys: for a press (apply) and for the question
// whether the window's shortcuts must let a key through to us.
bool LongLineEdit::handleKey(QKeyEvent *event, bool apply)
{
    using K = QKeySequence;
    const qsizetype from = qMin(m_cursor, m_anchor), to = qMax(m_cursor, m_anchor);
    const bool selected = from != to;
    const auto act = [apply](auto &&f) {
        if (apply)
            f();
        return true;
    };
    const auto move = [&](auto &&target, bool extend) { return act([&] { moveCursor(target(), extend); }); };
    const auto removeOr = [&](auto &&span) {
        return act([&] {
            if (selected)
                removeRange(from, to);
            else
                removeRange(m_cursor, span());
        });
    };

    if (event == K::Undo)
        return act([&] { undo(); });
    if (event == K::Redo)
        return act([&] { redo(); });
    if (event == K::SelectAll)
        return act([&] { selectAll(); });
    if (event == K::Copy)
        return act([&] { copy(); });
    if (event == K::Cut)
        return act([&] { cut(); });
    if (event == K::Paste)
        return act([&] { paste(); });
    if (event == K::MoveToPreviousChar)
        return move([&] { return selected ? from : previousCharacter(m_cursor); }, false);
    if (event == K::MoveToNextChar)
        return move([&] { return selected ? to : nextCharacter(m_cursor); }, false);
    if (event == K::SelectPreviousChar)
        return move([&] { return previousCharacter(m_cursor); }, true);
    if (event == K::SelectNextChar)
        return move([&] { return nextCharacter(m_cursor); }, true);
    if (event == K::MoveToPreviousWord)
        return move([&] { return previousWord(m_cursor); }, false);
    if (event == K::MoveToNextWord)
        return move([&] { return nextWord(m_cursor); }, false);
    if (event == K::SelectPreviousWord)
        return move([&] { return previousWord(m_cursor); }, true);
    if (event == K::SelectNextWord)
        return move([&] { return nextWord(m_cursor); }, true);
    if (event == K::MoveToStartOfLine || event == K::MoveToStartOfBlock || event == K::MoveToStartOfDocument)
        return move([] { return qsizetype(0); }, false);
    if (event == K::MoveToEndOfLine || event == K::MoveToEndOfBlock || event == K::MoveToEndOfDocument)
        return move([&] { return m_text.size(); }, false);
    if (event == K::SelectStartOfLine || event == K::SelectStartOfBlock || event == K::SelectStartOfDocument)
        return move([] { return qsizetype(0); }, true);
    if (event == K::SelectEndOfLine || event == K::SelectEndOfBlock || event == K::SelectEndOfDocument)
        return move([&] { return m_text.size(); }, true);
    if (event == K::DeleteStartOfWord)
        return removeOr([&] { return previousWord(m_cursor); });
    if (event == K::DeleteEndOfWord)
        return removeOr([&] { return nextWord(m_cursor); });
    if (event == K::Delete)
        return removeOr([&] { return nextCharacter(m_cursor); });
    if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)))
        return removeOr([&] { return previousCodePoint(m_cursor); });
    if (typedText(event))
        return act([&] { insertText(event->text(), true); });
    return false;
}

bool LongLineEdit::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (handleKey(key, false)) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void LongLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit returnPressed();
        m_editedSinceFinished = false;
        emit editingFinished();
        // Passed on, as a line edit does, so a view's editor commits on Enter.
        event->ignore();
        return;
    }
    if (handleKey(event, true))
        event->accept();
    else
        event->ignore();
}

void LongLineEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (event->replacementLength() > 0) {
        const qsizetype from = qBound<qsizetype>(0, m_cursor + event->replacementStart(), m_text.size());
        m_anchor = from;
        m_cursor = qMin(m_text.size(), from + event->replacementLength());
    }
    if (!event->commitString().isEmpty() || event->replacementLength() > 0)
        insertText(event->commitString());
    event->accept();
}

QVariant LongLineEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    qsizetype start = qMax<qsizetype>(0, m_cursor - kSurrounding);
    if (start > 0 && m_text.at(start).isLowSurrogate())
        --start;
    qsizetype end = qMin(m_text.size(), m_cursor + kSurrounding);
    if (end < m_text.size() && m_text.at(end).isLowSurrogate())
        ++end;
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled();
    case Qt::ImFont:
        return font();
    case Qt::ImCursorRectangle: {
        const QTextLine &line = layoutFrom(m_first);
        const QRect r = lineRect();
        const qsizetype inWindow = qBound<qsizetype>(0, m_cursor - m_windowStart, m_windowLength);
        return QRect(r.x() + qRound(line.cursorToX(int(inWindow))), r.y(), 1, r.height());
    }
    case Qt::ImSurroundingText:
        return m_text.mid(start, end - start);
    case Qt::ImCursorPosition:
        return int(m_cursor - start);
    case Qt::ImAnchorPosition:
        return int(qBound(start, m_anchor, end) - start);
    case Qt::ImCurrentSelection: {
        const qsizetype from = qBound(start, qMin(m_cursor, m_anchor), end);
        return m_text.mid(from, qBound(start, qMax(m_cursor, m_anchor), end) - from);
    }
    case Qt::ImTextBeforeCursor:
        return m_text.mid(start, m_cursor - start);
    case Qt::ImTextAfterCursor:
        return m_text.mid(m_cursor, end - m_cursor);
    default:
        return QWidget::inputMethodQuery(query);
    }
}

void LongLineEdit::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    painter.setClipRect(style()->subElementRect(QStyle::SE_LineEditContents, &panel, this));

    const QTextLine &line = layoutFrom(m_first);
    const QRect r = lineRect();
    const QPointF origin(r.x(), r.y() - (line.ascent() - fontMetrics().ascent()));
    const QPalette::ColorGroup group = !isEnabled() ? QPalette::Disabled
        : isActiveWindow()                          ? QPalette::Active
                                                    : QPalette::Inactive;
    const QPalette &pal = palette();
    painter.setPen(pal.color(group, QPalette::Text));

    QList<QTextLayout::FormatRange> selections;
    const qsizetype windowEnd = m_windowStart + m_windowLength;
    const qsizetype from = qMax(qMin(m_cursor, m_anchor), m_windowStart);
    const qsizetype to = qMin(qMax(m_cursor, m_anchor), windowEnd);
    if (from < to) {
        QTextLayout::FormatRange range;
        range.start = int(from - m_windowStart);
        range.length = int(to - from);
        range.format.setBackground(pal.brush(group, QPalette::Highlight));
        range.format.setForeground(pal.brush(group, QPalette::HighlightedText));
        selections << range;
    }
    m_layout->draw(&painter, origin, selections, QRectF(r));
    // A steady cursor: blinking would wake the program while it is idle.
    if (hasFocus() && m_cursor >= m_windowStart && m_cursor <= windowEnd)
        m_layout->drawCursor(&painter, origin, int(m_cursor - m_windowStart),
                             style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this));
}

void LongLineEdit::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    invalidateLayout();
    scrollToCursor();
}

void LongLineEdit::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        invalidateLayout();
        updateGeometry();
        scrollToCursor();
    }
    QWidget::changeEvent(event);
}

void LongLineEdit::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_dragging = true;
    moveCursor(positionAt(qRound(event->position().x())), event->modifiers() & Qt::ShiftModifier);
}

void LongLineEdit::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        moveCursor(positionAt(qRound(event->position().x())), true);
}

void LongLineEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}

void LongLineEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_text.isEmpty()) {
        event->ignore();
        return;
    }
    const QTextLine &line = layoutFrom(m_first);
    const qsizetype at = qMin(m_text.size() - 1,
                              m_windowStart
                                  + line.xToCursor(event->position().x() - lineRect().left(), QTextLine::CursorOnCharacter));
    const Kind kind = kindOf(m_text.at(at));
    qsizetype from = at, to = at;
    while (from > 0 && kindOf(m_text.at(from - 1)) == kind)
        --from;
    while (to < m_text.size() && kindOf(m_text.at(to)) == kind)
        ++to;
    m_anchor = from;
    moveCursor(to, true);
    m_dragging = false;
    // The event goes on to the owner too, as a line edit's does.
    event->ignore();
}

QMenu *LongLineEdit::createStandardContextMenu()
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("qt_edit_menu"));
    const bool keys = QGuiApplication::styleHints()->showShortcutsInContextMenus();
    const auto add = [&](const char *text, QKeySequence::StandardKey key, bool enabled, auto slot) {
        QString label = QCoreApplication::translate("QLineEdit", text);
        if (keys && key != QKeySequence::UnknownKey)
            label += u'\t' + QKeySequence(key).toString(QKeySequence::NativeText);
        QAction *action = menu->addAction(label);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    const bool selected = hasSelectedText();
    add("&Undo", QKeySequence::Undo, isUndoAvailable(), &LongLineEdit::undo);
    add("&Redo", QKeySequence::Redo, isRedoAvailable(), &LongLineEdit::redo);
    menu->addSeparator();
    add("Cu&t", QKeySequence::Cut, selected, &LongLineEdit::cut);
    add("&Copy", QKeySequence::Copy, selected, &LongLineEdit::copy);
    add("&Paste", QKeySequence::Paste, !QGuiApplication::clipboard()->text().isEmpty(), &LongLineEdit::paste);
    add("Delete", QKeySequence::UnknownKey, selected, [this] { insertText({}); });
    menu->addSeparator();
    add("Select All", QKeySequence::SelectAll, !m_text.isEmpty() && qAbs(m_cursor - m_anchor) != m_text.size(),
        &LongLineEdit::selectAll);
    return menu;
}

void LongLineEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void LongLineEdit::focusInEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
        && !hasSelectedText())
        selectAll();
    update();
    QWidget::focusInEvent(event);
}

void LongLineEdit::focusOutEvent(QFocusEvent *event)
{
    if (event->reason() != Qt::PopupFocusReason && m_editedSinceFinished) {
        m_editedSinceFinished = false;
        emit editingFinished();
    }
    update();
    QWidget::focusOutEvent(event);
}
