#include "ui/receivedtextview.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>

namespace {

QByteArray lines(int count, int from = 0)
{
    QByteArray out;
    for (int i = from; i < from + count; ++i)
        out += "line " + QByteArray::number(i) + "\r\n";
    return out;
}

void append(ReceivedTextView &v, const QByteArray &bytes)
{
    v.appendBytes(bytes.constData(), bytes.size());
}

// The viewport point over the character at (line, column) in sight.
QPoint pointOf(const ReceivedTextView &v, qint64 line, qint64 column)
{
    const QFontMetrics fm(v.font());
    const int cw = fm.horizontalAdvance(QLatin1Char('M'));
    return {3 + int(column - v.firstVisibleColumn()) * cw + 1,
            int(line - v.firstVisibleLine()) * fm.lineSpacing() + fm.lineSpacing() / 2};
}

} // namespace

class TstReceivedTextView : public QObject
{
    Q_OBJECT
    std::unique_ptr<ReceivedTextView> v;

private slots:
    void init()
    {
        v = std::make_unique<ReceivedTextView>();
        v->resize(320, 160);
        v->show();
        QVERIFY(QTest::qWaitForWindowExposed(v.get()));
    }
    void cleanup() { v.reset(); }

    // Down and sideways; once scrolled away it stays until brought back.
    void followsTheEndUntilScrolledAway()
    {
        append(*v, lines(100));
        QCOMPARE(v->firstVisibleLine(), v->document().lineCount() - v->visibleLineCount());
        v->verticalScrollBar()->setValue(10);
        append(*v, lines(50, 100));
        QCOMPARE(v->firstVisibleLine(), 10);
        QTest::keyClick(v.get(), Qt::Key_End, Qt::ControlModifier);
        const QByteArray line(100000, 'x');
        append(*v, line);
        QCOMPARE(v->firstVisibleLine(), v->document().lineCount() - v->visibleLineCount());
        QCOMPARE(v->firstVisibleColumn(), line.size() + 1 - v->visibleColumnCount());
        append(*v, "\r\nA"); // a new line brings the view back to its start
        QCOMPARE(v->firstVisibleColumn(), 0);
        append(*v, line);
        v->horizontalScrollBar()->setValue(5);
        append(*v, "yyy");
        QCOMPARE(v->firstVisibleColumn(), 5);
    }

    void reachesAnyLineOfABigText()
    {
        // More lines than 64 KiB blocks hold and a line far from the start.
        QByteArray chunk;
        for (int i = 0; i < 4096; ++i)
            chunk += "0123456789abcdef" "0123456789ab\r\n";
        for (int i = 0; i < 40; ++i) // 1.2 MiB, 160 thousand lines
            append(*v, chunk);
        const qint64 count = v->document().lineCount();
        QCOMPARE(count, 40 * 4096 + 1);
        v->scrollToLine(count / 2);
        QCOMPARE(v->firstVisibleLine(), count / 2);
        QCOMPARE(v->positionAt(pointOf(*v, count / 2, 3)), (count / 2) * 30 + 3);
        // The lines in sight are painted there, not left blank.
        const QImage shot = v->viewport()->grab().toImage();
        QImage blank(shot.size(), shot.format());
        blank.fill(v->palette().color(QPalette::Base));
        QVERIFY(shot != blank);
        QTest::keyClick(v.get(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(v->firstVisibleLine(), count - v->visibleLineCount());
    }

    void selectByMouseAndCopy()
    {
        append(*v, "hello world\r\nsecond line\r\n");
        v->scrollToLine(0);
        QTest::mousePress(v->viewport(), Qt::LeftButton, {}, pointOf(*v, 0, 6));
        QTest::mouseMove(v->viewport(), pointOf(*v, 1, 6));
        QTest::mouseRelease(v->viewport(), Qt::LeftButton, {}, pointOf(*v, 1, 6));
        QCOMPARE(v->selectedText(), QStringLiteral("world\nsecond"));
        QTest::keyClick(v.get(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("world\nsecond"));
        // A binary capture can be one endless word: a double click takes a bounded part.
        append(*v, QByteArray(1'000'000, 'x'));
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, pointOf(*v, 2, v->firstVisibleColumn() + 2));
        QVERIFY(v->hasSelection() && v->selectionEnd() - v->selectionStart() <= 8192);
    }

};

QTEST_MAIN(TstReceivedTextView)
#include "tst_receivedtextview.moc"
