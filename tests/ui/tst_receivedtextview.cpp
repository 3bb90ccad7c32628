#include "ui/receivedtextview.h"

#include <QScrollBar>
#include <QTest>

class TstReceivedTextView : public QObject
{
    Q_OBJECT
private slots:
    // Down and sideways; once scrolled away it stays until brought back.
    void followsTheEndUntilScrolledAway()
    {
        ReceivedTextView v;
        v.resize(320, 160);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        const auto append = [&v](const QByteArray &bytes) { v.appendBytes(bytes.constData(), bytes.size()); };
        for (int i = 0; i < 100; ++i)
            append("line " + QByteArray::number(i) + "\r\n");
        QCOMPARE(v.firstVisibleLine(), v.document().lineCount() - v.visibleLineCount());
        v.verticalScrollBar()->setValue(10);
        append("more\r\n");
        QCOMPARE(v.firstVisibleLine(), 10);
        QTest::keyClick(&v, Qt::Key_End, Qt::ControlModifier);
        const QByteArray line(100000, 'x');
        append(line);
        QCOMPARE(v.firstVisibleLine(), v.document().lineCount() - v.visibleLineCount());
        QCOMPARE(v.firstVisibleColumn(), line.size() + 1 - v.visibleColumnCount());
        append("\r\nA"); // a new line brings the view back to its start
        QCOMPARE(v.firstVisibleColumn(), 0);
        append(line);
        v.horizontalScrollBar()->setValue(5);
        append("yyy");
        QCOMPARE(v.firstVisibleColumn(), 5);
        // A binary capture can be one endless word: a double click takes a bounded part.
        const QFontMetrics fm(v.font());
        const int lastRow = int(v.document().lineCount() - 1 - v.firstVisibleLine());
        QTest::mouseDClick(v.viewport(), Qt::LeftButton, {}, QPoint(4 + 2 * fm.horizontalAdvance(u'M'), (lastRow * 2 + 1) * fm.lineSpacing() / 2));
        QVERIFY(v.hasSelection() && v.selectionEnd() - v.selectionStart() <= 8192);
        // The lines in sight are painted there, not left blank.
        const QImage shot = v.viewport()->grab().toImage();
        QImage blank(shot.size(), shot.format());
        blank.fill(v.palette().color(QPalette::Base));
        QVERIFY(shot != blank);
    }
};

QTEST_MAIN(TstReceivedTextView)
#include "tst_receivedtextview.moc"
