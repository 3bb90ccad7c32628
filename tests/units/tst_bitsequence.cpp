#include "core/textfile.h"
#include "units/bitsequence.h"
#include "support/unitrig.h"

#include <QTest>
#include <QTimer>

namespace {
const QStringList kRts{"rts 1", "rts 0"};
const QStringList kDtr{"dtr 1", "dtr 0"};
} // namespace

class TstBitSequence : public QObject
{
    Q_OBJECT
    std::unique_ptr<UnitRig> rig;
    std::unique_ptr<BitSequence> bits;

    // Starts a run over `cells`; the test clocks the ticks itself.
    void startRun(const QStringList &cells)
    {
        rig->transmitBar.SESizeTrans->setValue(int(cells.size()));
        for (int i = 0; i < cells.size(); ++i)
            rig->table.model()->setHexText(i + 1, cells[i]);
        rig->portBar.SBSend10DtrRts->setDown(true);
        bits->SBSend10DtrRtsClick();
        QVERIFY(rig->timers.TimerCircle->isActive());
        rig->timers.TimerCircle->stop();
    }
    // One tick of TimerCircle, through the real tick handler.
    QStringList tick()
    {
        rig->port->clearLog();
        rig->path.TimerCircleTimer();
        return rig->port->calls;
    }
    // While running the other control-line buttons are up and disabled; at
    // the end they are enabled again and further ticks send nothing.
    void verifyButtons(bool running)
    {
        QCOMPARE(rig->portBar.SBSend10DtrRts->down(), running);
        for (SpeedButton *b : {rig->portBar.SBDTR, rig->portBar.SBRTS, rig->portBar.SBCircle})
            QVERIFY2(b->isEnabled() != running && !b->down(), qPrintable(b->objectName()));
        if (!running) {
            QVERIFY(!rig->timers.TimerCircle->isActive());
            QVERIFY(tick().isEmpty());
        }
    }

private slots:
    void init()
    {
        rig = std::make_unique<UnitRig>();
        bits = std::make_unique<BitSequence>(&rig->connection, &rig->path, &rig->table, rig->portBar, rig->timers);
        connect(&rig->path, &TransmitPath::tickAfterCycle, bits.get(), &BitSequence::TimerCircleBits);
        rig->portBar.SECircle->setValue(1000000); // real ticks stay away
        rig->open();
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
        for (SpeedButton *b : {rig->portBar.SBDTR, rig->portBar.SBRTS, rig->portBar.SBCircle})
            b->setDown(true);
        rig->connection.SBDTRClick();
        rig->connection.SBRTSClick();
        rig->path.SBCircleClick();
        QVERIFY(rig->timers.TimerCircle->isActive());
        rig->port->clearLog();
        rig->portBar.SECircle->setValue(250);
        startRun({"00", "01", "01", "10", "01"});
        QCOMPARE(rig->port->calls, (QStringList{"dtr 0", "rts 0"}));
        verifyButtons(true);
        for (const QStringList &pulse : {kDtr, kRts, kDtr, kDtr}) {
            if (bits->DtrRtsBitIndex == 2) { // the table now reads 00 01 0A 10
                rig->table.model()->setHexText(3, "0A");
                rig->transmitBar.SESizeTrans->setValue(4);
                rig->portBar.SECircle->setValue(7);
            }
            QCOMPARE(tick(), pulse); // no block is sent: the cyclic run was stopped
            verifyButtons(true);
        }
        QCOMPARE(rig->timers.TimerCircle->interval(), 250);
        QVERIFY(tick().isEmpty());
        verifyButtons(false);
    }

    // Closing the port ends the run at once; reopened, a run starts afresh.
    void closingStopsAtOnce()
    {
        startRun({"01", "00", "01"});
        QCOMPARE(tick(), kRts);
        rig->portBar.SBOpenComm->setDown(false);
        rig->connection.SBOpenCommClick();
        QVERIFY(!bits->running());
        QVERIFY(!rig->timers.TimerCircle->isActive());
        for (SpeedButton *b : {rig->portBar.SBDTR, rig->portBar.SBRTS, rig->portBar.SBCircle, rig->portBar.SBSend10DtrRts})
            QVERIFY2(!b->isEnabled() && !b->down(), qPrintable(b->objectName()));
        QVERIFY(tick().isEmpty());
        rig->open();
        startRun({"00"});
        QCOMPARE(tick(), kDtr);
    }

    // Released by hand, the run ends as its last tick would end it.
    void releaseByHand()
    {
        startRun({"01", "00", "01"});
        QCOMPARE(tick(), kRts);
        rig->port->clearLog();
        rig->portBar.SBSend10DtrRts->setDown(false);
        bits->SBSend10DtrRtsClick();
        QVERIFY(rig->port->calls.isEmpty());
        verifyButtons(false);
    }
};

QTEST_MAIN(TstBitSequence)
#include "tst_bitsequence.moc"
