#pragma once

#include <QString>
#include <QTextLayout>
#include <QWidget>

#include <memory>
#include <vector>

class QMenu;
class QStyleOptionFrame;

// A one-line text editor whose cost follows what it shows, not how long its
// text is: only a window of characters starting at the first visible one is
// laid out, never the whole text. The text is kept whole, of any length.
// Its API follows QLineEdit's names so callers read the same.
class LongLineEdit : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged USER true)
public:
    explicit LongLineEdit(QWidget *parent = nullptr);
    ~LongLineEdit() override;

    QString text() const { return m_text; }
    void setText(const QString &text);
    void clear() { setText({}); }

    qsizetype cursorPosition() const { return m_cursor; }
    void setCursorPosition(qsizetype position);
    bool hasSelectedText() const { return m_cursor != m_anchor; }
    QString selectedText() const;
    qsizetype selectionStart() const { return hasSelectedText() ? qMin(m_cursor, m_anchor) : -1; }
    void setSelection(qsizetype start, qsizetype length);
    void selectAll();
    void deselect() { setCursorPosition(m_cursor); }

    bool hasFrame() const { return m_frame; }
    void setFrame(bool frame);

    bool isUndoAvailable() const { return m_done > 0; }
    bool isRedoAvailable() const { return m_done < m_steps.size(); }

    // The characters laid out for the last paint or scroll: where they start
    // in the text and how many they are.
    qsizetype visibleStart() const { return m_windowStart; }
    qsizetype visibleLength() const { return m_windowLength; }

    // Undo, Redo, Cut, Copy, Paste, Delete, Select All, named as a line edit names them.
    QMenu *createStandardContextMenu();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

public slots:
    void undo();
    void redo();
    void cut();
    void copy() const;
    void paste();

signals:
    void textChanged(const QString &text);
    // Only for changes the user makes.
    void textEdited(const QString &text);
    void returnPressed();
    void editingFinished();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // One edit as it can be taken back: at pos, `removed` gave way to `inserted`.
    struct Step {
        qsizetype pos;
        QString removed, inserted;
        qsizetype cursorBefore, anchorBefore;
        bool typing;
    };

    void initStyleOption(QStyleOptionFrame *option) const;
    QRect lineRect() const;
    qsizetype windowCapacity() const;
    // Lays out the text from `start` on, as much as fits the width; reused while valid.
    const QTextLine &layoutFrom(qsizetype start) const;
    QTextLine layoutSlice(QTextLayout &layout, qsizetype start, qsizetype end) const;
    // The least start from which the text up to `end` fits the width.
    qsizetype firstShowing(qsizetype end) const;
    void scrollToCursor();
    void invalidateLayout();
    qsizetype positionAt(int x) const;

    void moveCursor(qsizetype position, bool extend);
    // Replaces the selection (or nothing at the cursor) with `text`, as the user does.
    void insertText(const QString &text, bool typing = false);
    void removeRange(qsizetype from, qsizetype to);
    void applyEdit(qsizetype from, qsizetype to, const QString &text, bool typing);
    void userChanged();
    bool handleKey(QKeyEvent *event, bool apply);

    qsizetype nextCharacter(qsizetype pos) const;
    qsizetype previousCharacter(qsizetype pos) const;
    qsizetype previousCodePoint(qsizetype pos) const;
    qsizetype nextWord(qsizetype pos) const;
    qsizetype previousWord(qsizetype pos) const;

    QString m_text;
    qsizetype m_cursor = 0;
    qsizetype m_anchor = 0;
    qsizetype m_first = 0; // the first visible character: the horizontal scroll
    bool m_frame = true;
    bool m_dragging = false;
    bool m_editedSinceFinished = false;

    std::vector<Step> m_steps;
    size_t m_done = 0; // steps applied; those after it can be redone
    bool m_mergeTyping = false;

    mutable std::unique_ptr<QTextLayout> m_layout;
    mutable QTextLine m_line;
    mutable qsizetype m_windowStart = 0;
    mutable qsizetype m_windowLength = 0;
    mutable bool m_layoutValid = false;
};
