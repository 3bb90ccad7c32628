#include "core/textfile.h"
#include "units/bitsequence.h"
#include "units/transmitpath.h"
#include "support/programfixture.h"
#include "units/transmittable.h"
#include "core/transmittablemodel.h"

#include <QTest>
#include <QTimer>

namespace {
const QStringList kRts{"rts 1", "rts 0"};
const QStringList kDtr{"dtr 1", "dtr 0"};
} // namespace

class TstBitSequence : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *f = nullptr;

    // Starts a run over `cells`; the test clocks the ticks itself.
    void startRun(const QStringList &cells)
    {
        f->transmitBar.SESizeTrans->setValue(int(cells.size()));
        for (int i = 0; i < cells.size(); ++i)
            f->transmitTable->model()->setHexText(i + 1, cells[i]);
        f->portBar.SBSend10DtrRts->click();
        QVERIFY(f->timers.TimerCircle->isActive());
        f->timers.TimerCircle->stop();
    }
    // One tick of TimerCircle, through the real tick handler.
    QStringList tick()
    {
        fx.port->clearLog();
        f->transmitPath->TimerCircleTimer();
        return fx.port->calls;
    }
    // While running the other control-line buttons are up and disabled; at
    // the end they are enabled again and further ticks send nothing.
    void verifyButtons(bool running)
    {
        QCOMPARE(f->portBar.SBSend10DtrRts->down(), running);
        for (SpeedButton *b : {f->portBar.SBDTR, f->portBar.SBRTS, f->portBar.SBCircle})
            QVERIFY2(b->isEnabled() != running && !b->down(), qPrintable(b->objectName()));
        if (!running) {
            QVERIFY(!f->timers.TimerCircle->isActive());
            QVERIFY(tick().isEmpty());
        }
    }

private slots:
    void init()
    {
        fx.start();
        f = fx.f;
        f->portBar.SECircle->setValue(1000000); // real ticks stay away
        f->portBar.SBOpenComm->click();
    }

    void bitReading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("bit");
        for (const char *one : {"1", "01", "0001", "+1", " 1 "})
            QTest::newRow(one) << QString::fromUtf8(one) << true;
        for (const char *zero : {"0", "11", "10", "0A", "-1", "1A", "0x1", "1.0", "", "4294967297", "١"})
            QTest::newRow(zero) << QString::fromUtf8(zero) << false;
    }
    void bitReading()
    {
        QFETCH(QString, text);
        QTEST(DtrRtsBit(text), "bit");
    }

    // The start clears both lines and stops a cyclic send; then one pulse per
    // tick from the table as it is at that tick, at the period taken at the
    // start, and the tick after the last bit restores the buttons.
    void pulses()
    {
        f->portBar.SBDTR->click();
        f->portBar.SBRTS->click();
        f->portBar.SBCircle->click();
        QVERIFY(f->timers.TimerCircle->isActive());
        fx.port->clearLog();
        f->portBar.SECircle->setValue(250);
        startRun({"00", "01", "01", "10", "01"});
        QCOMPARE(fx.port->calls, (QStringList{"dtr 0", "rts 0"}));
        verifyButtons(true);
        for (const QStringList &pulse : {kDtr, kRts, kDtr, kDtr}) {
            if (f->bitSequence->DtrRtsBitIndex == 2) { // the table now reads 00 01 0A 10
                f->transmitTable->model()->setHexText(3, "0A");
                f->transmitBar.SESizeTrans->setValue(4);
                f->portBar.SECircle->setValue(7);
            }
            QCOMPARE(tick(), pulse); // no block is sent: the cyclic run was stopped
            verifyButtons(true);
        }
        QCOMPARE(f->timers.TimerCircle->interval(), 250);
        QVERIFY(tick().isEmpty());
        verifyButtons(false);
    }

    // Closing the port ends the run at once; reopened, a run starts afresh.
    void closingStopsAtOnce()
    {
        startRun({"01", "00", "01"});
        QCOMPARE(tick(), kRts);
        f->portBar.SBOpenComm->click();
        QVERIFY(!f->bitSequence->running());
        QVERIFY(!f->timers.TimerCircle->isActive());
        for (SpeedButton *b : {f->portBar.SBDTR, f->portBar.SBRTS, f->portBar.SBCircle, f->portBar.SBSend10DtrRts})
            QVERIFY2(!b->isEnabled() && !b->down(), qPrintable(b->objectName()));
        QVERIFY(tick().isEmpty());
        f->portBar.SBOpenComm->click();
        startRun({"00"});
        QCOMPARE(tick(), kDtr);
    }

    // Released by hand, the run ends as its last tick would end it.
    void releaseByHand()
    {
        startRun({"01", "00", "01"});
        QCOMPARE(tick(), kRts);
        fx.port->clearLog();
        f->portBar.SBSend10DtrRts->click();
        QVERIFY(fx.port->calls.isEmpty());
        verifyButtons(false);
    }
};

QTEST_MAIN(TstBitSequence)
#include "tst_bitsequence.moc"
