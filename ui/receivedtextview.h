#pragma once

#include "core/receivedtext.h"

#include <QAbstractScrollArea>

class ByteStore;

// Read-only text view of received bytes, for captures of any size: it paints
// only the lines and columns in sight, and scrolls in lines and characters so
// no pixel coordinate grows with the capture. Lines are not wrapped; the font
// is fixed-pitch so a column is found without measuring the line before it.
//
// While the end of the text is in sight, appended text scrolls into view;
// once the user scrolls away the view stays put until they return.
class ReceivedTextView : public QAbstractScrollArea
{
    Q_OBJECT
    // The whole text shown, each CR LF as "\n", like a Qt text edit's.
    Q_PROPERTY(QString plainText READ toPlainText)
public:
    explicit ReceivedTextView(QWidget *parent = nullptr);

    const ReceivedText &document() const { return m_doc; }

    void appendBytes(const char *data, qint64 n);
    // Appends bytes [from, to) of `source`.
    void appendFrom(const ByteStore &source, qint64 from, qint64 to);
    // Replaces the text with the whole of `source`.
    void assign(const ByteStore &source);
    // Shows `source` by reading it, without a copy: the first call (or one
    // with another store) shows it whole, later calls add what it gained.
    // The view keeps reading a store that its owner has since cleared.
    void showStore(const ByteStore &source);
    // Empties the view. The text is kept aside so that showing it again
    // (unblank) costs nothing; any change of the text shows it again too.
    void blank();
    void unblank();
    bool isBlank() const { return m_blank; }

    QString toPlainText() const;
    bool hasSelection() const { return m_anchor != m_caret; }
    QString selectedText() const;
    // Selection as text positions [start, end).
    qint64 selectionStart() const { return qMin(m_anchor, m_caret); }
    qint64 selectionEnd() const { return qMax(m_anchor, m_caret); }
    void setSelection(qint64 anchor, qint64 caret);

    qint64 firstVisibleLine() const;
    qint64 firstVisibleColumn() const;
    int visibleLineCount() const;
    int visibleColumnCount() const;
    bool isShowingEnd() const;
    void scrollToEnd();
    void scrollToLine(qint64 line);
    // The text position under a viewport point.
    qint64 positionAt(const QPoint &point) const;

public slots:
    void copy();
    void selectAll();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    qint64 shownLineCount() const { return m_blank ? 1 : m_doc.lineCount(); }
    qint64 shownLineLength(qint64 line) const { return m_blank ? 0 : m_doc.lineLength(line); }
    void updateMetrics();
    void updateScrollBars();
    // After every change of the text: keeps the end in sight if it was.
    void textChanged(bool wasAtEnd);
    void dragScroll();

    ReceivedText m_doc;
    bool m_blank = false;
    qint64 m_anchor = 0, m_caret = 0;
    int m_charWidth = 8, m_lineHeight = 16, m_ascent = 12;
    bool m_selecting = false;
    QPoint m_dragPoint;
    int m_dragTimer = 0;

    void timerEvent(QTimerEvent *event) override;
};
