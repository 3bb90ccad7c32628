#include "ui/formtext.h"
#include "units/portconnection.h"
#include "ui/receivedtextview.h"
#include "units/receivepath.h"
#include "support/programfixture.h"
#include "support/pty.h"
#include "core/bytestore.h"
#include "ui/bytetableview.h"
#include "core/receivetablemodel.h"

#include <QLabel>
#include <QLocale>
#include <QTest>
#include <QTime>

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
    bool ledLit() const { return !f->portBar.ImageLedOn->isHidden(); }

private slots:
    void init()
    {
        fx.start(true);
        f = fx.f;
        rp = f->receivePath;
        f->timers.TimerRead->stop(); // ticks come from the test only
        QCOMPARE(f->SGReceive->model(), rp->model());
    }

    // Each entry injects that many bytes and ticks (0: a quiet tick).
    void pollCounts_data()
    {
        const int cap = int(ReceivePath::ReceiveBufferSize);
        QTest::addColumn<QList<int>>("packets");
        QTest::addColumn<bool>("portCannotTell"); // before the last tick
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("stored");
        QTest::newRow("three packets") << QList<int>{5, 1, 7} << false << counters(7, 13) << 13;
        QTest::newRow("quiet tick keeps the text") << QList<int>{4, 0} << false << counters(4, 4) << 4;
        QTest::newRow("rest of a long packet next tick") << QList<int>{cap + 10, 0} << false
                                                         << counters(10, cap + 10) << cap + 10;
        QTest::newRow("port cannot tell what waits") << QList<int>{2, 1} << true << counters(2, 2) << 2;
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
        QTEST(int(rp->ReceivedCount), "stored");
        QTEST(int(rp->ReceiveArray().size()), "stored");
        QCOMPARE(rp->model()->columnCount(), rp->ReceivedCount + 1);
    }

    // About every 80 ms, whatever the tick rate.
    void ledCadence_data()
    {
        QTest::addColumn<double>("tickMs");
        QTest::addColumn<int>("durationMs");
        QTest::addColumn<int>("changes");
        QTest::newRow("1 ms ticks") << 1.0 << 400 << 5;
        QTest::newRow("15.6 ms ticks") << 15.625 << 400 << 4;
    }
    void ledCadence()
    {
        QFETCH(double, tickMs);
        QFETCH(int, durationMs);
        double now = 1000;
        rp->setClock([&now] { return qint64(now); });
        int changes = 0;
        bool lit = ledLit();
        for (now += tickMs; now <= 1000 + durationMs; now += tickMs) {
            rp->TimerReadTimer();
            QCOMPARE(f->portBar.ImageLedOff->isHidden(), !f->portBar.ImageLedOn->isHidden());
            changes += ledLit() != lit;
            lit = ledLit();
        }
        QTEST(changes, "changes");
    }

    void clearEmptiesStoreAndTable()
    {
        receive("ABCDE");
        f->portBar.SBClearRec->click();
        QCOMPARE(rp->ReceivedCount, 0);
        QCOMPARE(rp->ReceiveArray().size(), 0);
        QCOMPARE(cells(0, 1, 1) + cells(1, 1, 1) + cells(2, 1, 1), QStringLiteral("1"));
        QCOMPARE(f->statusPanels.StatusPanel2->text(), counters(5, 5)); // until the next bytes
        receive("xyz");
        QCOMPARE(f->statusPanels.StatusPanel2->text(), counters(3, 3));
        QCOMPARE(cells(0, 1, 3) + cells(1, 1, 3), QStringLiteral("1|2|378|79|7A"));
    }

    void hiddenTableStoresAndCounts()
    {
        f->portBar.ChBShowRecTable->setChecked(false);
        receive("0123456789");
        QCOMPARE(rp->model()->columnCount(), 2);
        QCOMPARE(f->statusPanels.StatusPanel2->text(), counters(10, 10));
        f->portBar.ChBShowRecTable->setChecked(true);
        receive("AB");
        QCOMPARE(f->statusPanels.StatusPanel2->text(), counters(2, 12));
        QCOMPARE(rp->ReceiveArray().toByteArray(), QByteArray("0123456789AB"));
        QCOMPARE(cells(0, 1, 12) + cells(1, 1, 12), QStringLiteral("1||||||||||11|12||||||||||41|42"));
    }

    // Stamps are written with every poll, the row shown or not; a loaded
    // file writes rows 0 to 2 only.
    void timeStampRow()
    {
        const QString before = TimeStamp(QTime::currentTime(), QLocale::system());
        receive("ab");
        const QString after = TimeStamp(QTime::currentTime(), QLocale::system());
        f->portBar.ChBGetSec->setChecked(true);
        QCOMPARE(rp->model()->rowCount(), 4);
        const QString stamp = cells(3, 1, 1);
        QVERIFY2(stamp == before || stamp == after, qPrintable(stamp));
        rp->LoadReceiveArray("xyz");
        QCOMPARE(cells(3, 0, 3), QStringLiteral("Секунды|%1|%1|").arg(stamp));
        f->portBar.ChBGetSec->setChecked(false);
        QCOMPARE(rp->model()->rowCount(), 3);
    }

    // Minutes and seconds whatever the hour's width or clock.
    void timeStampFormat_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("one-digit hour") << "ru_RU" << QTime(9, 5, 7) << "05:07";
        QTest::newRow("12-hour clock") << "en_US" << QTime(21, 5, 7) << "05:07";
        QTest::newRow("dot separator") << "fi_FI" << QTime(23, 59, 0) << "59.00";
    }
    void timeStampFormat()
    {
        QFETCH(QString, locale);
        QFETCH(QTime, time);
        QTEST(TimeStamp(time, QLocale(locale)), "stamp");
    }

    // Steps: "rx <bytes>", "show" (SBShowText), "close" (the window's close
    // box), "own clear" (the window's button), "clear" (the table's). `memo` is the text after each.
    void textWindow_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("memo");
        QTest::addColumn<int>("count");
        QTest::newRow("own clear, then the whole capture again")
            << QStringList{"show", "rx A\r\nB", "own clear", "rx C", "clear", "rx D"}
            << QStringList{"", "A\nB", "", "A\nBC", "A\nBC", "D"} << 1;
        QTest::newRow("close box releases the button")
            << QStringList{"show", "rx x", "close", "show"} << QStringList{"", "x", "x", "x"} << 1;
    }
    void textWindow()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, memo);
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const QString &step = steps[i];
            if (step.startsWith("rx "))
                receive(step.mid(3).toLatin1());
            else if (step == "show")
                f->portBar.SBShowText->click();
            else if (step == "close")
                QVERIFY(formText()->close());
            else if (step == "own clear")
                formText()->SBClearRec->click();
            else if (step == "clear")
                f->portBar.SBClearRec->click();
            QVERIFY2(memoText() == memo[i], qPrintable(step));
            QCOMPARE(formText()->isVisible(), f->portBar.SBShowText->down());
        }
        QTEST(int(rp->ReceivedCount), "count");
        QVERIFY(f->statusPanels.StatusPanel2->text().endsWith(QString::number(rp->ReceivedCount) + " байт"));
    }

    void endToEndOverPty()
    {
        Pty pty;
        QVERIFY(pty.isValid());
        QVERIFY(fx.startOpenOn(pty.slavePath()));
        f = fx.f;
        rp = f->receivePath;
        f->portBar.SBShowText->click();
        QVERIFY(pty.write("old"));
        QTRY_COMPARE(rp->ReceivedCount, 3);
        f->portBar.SBClearRec->click();
        // The three bytes wait in the port, unannounced, before one tick takes them.
        f->timers.TimerRead->stop();
        f->connection->port()->blockSignals(true);
        QVERIFY(pty.write("\x41\x0D\x0A"));
        QTRY_COMPARE(f->connection->port()->bytesWaiting(), 3);
        f->connection->port()->blockSignals(false);
        f->timers.TimerRead->start();
        QTRY_COMPARE(rp->ReceivedCount, 3);
        QCOMPARE(cells(0, 1, 3), QStringLiteral("1|2|3"));
        QCOMPARE(cells(1, 1, 3), QStringLiteral("41|0D|0A"));
        QCOMPARE(cells(2, 1, 3), QStringLiteral("A|\r|\n"));
        QCOMPARE(f->statusPanels.StatusPanel2->text(), counters(3, 3));
        QTRY_COMPARE(memoText(), QStringLiteral("A\n"));
        f->portBar.SBOpenComm->click();
    }
};

QTEST_MAIN(TstReceivePath)
#include "tst_receivepath.moc"
