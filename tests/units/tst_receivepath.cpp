#include "core/receivetablemodel.h"
#include "support/programfixture.h"
#include "ui/bytetableview.h"
#include "ui/formtext.h"
#include "ui/receivedtextview.h"
#include "units/receivepath.h"

#include <QTest>

namespace {

QString counters(qint64 n, qint64 total)
{
    return QStringLiteral("Принято: в последнем пакете - %1 байт; всего - %2 байт").arg(n).arg(total);
}

QString memoText() { return formText()->Memo1->property("plainText").toString(); }

} // namespace

class TstReceivePath : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *f = nullptr;
    ReceivePath *rp = nullptr;

    // Cells of `row` in columns first..last, joined by '|'.
    QString cells(int row, int first, int last) const
    {
        QStringList out;
        for (int c = first; c <= last; ++c)
            out << f->SGReceive->model()->index(row, c).data().toString();
        return out.join(u'|');
    }
    void receive(const QByteArray &bytes)
    {
        fx.port->inject(bytes);
        rp->TimerReadTimer();
    }

private slots:
    void init()
    {
        fx.start(true);
        f = fx.f;
        rp = f->receivePath;
        f->timers.TimerRead->stop(); // ticks come from the test only
    }

    // Each entry injects that many bytes and ticks (0: a quiet tick).
    void pollCounts_data()
    {
        const int cap = int(ReceivePath::ReceiveBufferSize);
        QTest::addColumn<QList<int>>("packets");
        QTest::addColumn<bool>("portCannotTell"); // before the last tick
        QTest::addColumn<QString>("status"); // what is stored is counted
        QTest::newRow("three packets") << QList<int>{5, 1, 7} << false << counters(7, 13);
        QTest::newRow("quiet tick keeps the text") << QList<int>{4, 0} << false << counters(4, 4);
        QTest::newRow("rest of a long packet next tick") << QList<int>{cap + 10, 0} << false << counters(10, cap + 10);
        QTest::newRow("port cannot tell what waits") << QList<int>{2, 1} << true << counters(2, 2);
    }
    void pollCounts()
    {
        QFETCH(QList<int>, packets);
        QFETCH(bool, portCannotTell);
        for (qsizetype i = 0; i < packets.size(); ++i) {
            fx.port->failBytesWaiting = portCannotTell && i == packets.size() - 1;
            receive(QByteArray(packets[i], 'x'));
        }
        QTEST(f->statusPanels.StatusPanel2->text(), "status");
        QCOMPARE(rp->ReceiveArray().size(), rp->ReceivedCount);
        QCOMPARE(rp->model()->columnCount(), rp->ReceivedCount + 1);
    }

    // The LED changes about every 80 ms, whatever the tick rate: 4 times in
    // 400 ms of 15.6 ms ticks, where counting ticks would make it 5.
    void ledCadence()
    {
        double now = 1000;
        rp->setClock([&now] { return qint64(now); });
        int changes = 0;
        for (now += 15.625; now <= 1400; now += 15.625) {
            const bool lit = f->portBar.ImageLedOff->isHidden();
            rp->TimerReadTimer();
            QCOMPARE(f->portBar.ImageLedOff->isHidden(), !f->portBar.ImageLedOn->isHidden());
            changes += lit != f->portBar.ImageLedOff->isHidden();
        }
        QCOMPARE(changes, 4);
    }

    // The counters stay until the next bytes; a hidden table still stores and counts.
    void clearAndHiddenTable()
    {
        receive("ABCDE");
        f->portBar.SBClearRec->click();
        QCOMPARE(cells(0, 1, 1) + cells(1, 1, 1) + cells(2, 1, 1), QStringLiteral("1"));
        QCOMPARE(f->statusPanels.StatusPanel2->text(), counters(5, 5));
        f->portBar.ChBShowRecTable->setChecked(false);
        receive("0123456789");
        QCOMPARE(rp->model()->columnCount(), 2);
        QCOMPARE(f->statusPanels.StatusPanel2->text(), counters(10, 10));
        f->portBar.ChBShowRecTable->setChecked(true);
        receive("AB");
        QCOMPARE(f->statusPanels.StatusPanel2->text(), counters(2, 12));
        QCOMPARE(rp->ReceiveArray().toByteArray(), QByteArray("0123456789AB"));
        QCOMPARE(cells(0, 10, 12) + cells(1, 10, 12) + cells(2, 10, 12), QStringLiteral("|11|12|41|42|A|B"));
    }

    // The window's own clear empties only the window, until the next bytes
    // bring the whole capture back; the table's clear empties both; the
    // close box releases the button.
    void textWindow()
    {
        f->portBar.SBShowText->click();
        receive("A\r\nB");
        QCOMPARE(memoText(), QStringLiteral("A\nB"));
        formText()->SBClearRec->click();
        QCOMPARE(memoText(), QString());
        receive("C");
        QCOMPARE(memoText(), QStringLiteral("A\nBC"));
        f->portBar.SBClearRec->click();
        receive("D");
        QCOMPARE(memoText(), QStringLiteral("D"));
        QVERIFY(formText()->close());
        QVERIFY(!f->portBar.SBShowText->down());
        f->portBar.SBShowText->click();
        QVERIFY(formText()->isVisible());
        QCOMPARE(memoText(), QStringLiteral("D"));
    }
};

QTEST_MAIN(TstReceivePath)
#include "tst_receivepath.moc"
