#include "core/gridmodel.h"
#include "ui/commandgridview.h"

#include <QElapsedTimer>
#include <QTest>

class TstLongCells : public QObject
{
    Q_OBJECT
private slots:
    // A cell's paint costs what it shows: a 4 MB code paints about as fast
    // as a short one (laid out whole, it takes seconds), and the code stays
    // whole in the model.
    void longCodePaintsQuickly()
    {
        CommandGridView view;
        view.resize(640, 200);
        const QString code(4 << 20, QLatin1Char('c'));
        view.grid()->setCell(2, 1, code);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 5; ++i)
            view.viewport()->repaint();
        QVERIFY2(t.elapsed() < 500, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(view.grid()->cell(2, 1).size(), code.size());
    }
};

QTEST_MAIN(TstLongCells)
#include "tst_longcells.moc"
