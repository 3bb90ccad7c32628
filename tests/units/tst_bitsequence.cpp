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
    QStringList tick()
    {
        rig->port->clearLog();
        rig->path.TimerCircleTimer();
        return rig->port->calls;
    }
    // All line buttons up; enabled unless running or closed; after a run the
    // timer stops and ticks send nothing.
    void verifyButtons(bool running, bool enabled = true)
    {
        QCOMPARE(bits->running(), running);
        for (SpeedButton *b : {rig->portBar.SBDTR, rig->portBar.SBRTS, rig->portBar.SBCircle})
            QVERIFY2(b->isEnabled() == (enabled && !running) && !b->down(), qPrintable(b->objectName()));
        if (!running)
            QVERIFY(!rig->timers.TimerCircle->isActive() && tick().isEmpty());
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

    // The start clears both lines and stops a cyclic send; then one pulse per
    // tick from the table as it is at that tick, at the period taken at the
    // start, and the tick after the last bit restores the buttons.
    void pulses()
    {
        for (SpeedButton *b : {rig->portBar.SBDTR, rig->portBar.SBRTS, rig->portBar.SBCircle})
            b->setDown(true);
        rig->path.SBCircleClick();
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
        }
        QCOMPARE(rig->timers.TimerCircle->interval(), 250);
        QVERIFY(tick().isEmpty());
        verifyButtons(false);
    }

    // Closing the port ends the run at once, releasing the button ends it as
    // its last tick would; a new run starts afresh.
    void endedEarly_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("port closed") << true;
        QTest::newRow("released by hand") << false;
    }
    void endedEarly()
    {
        QFETCH(bool, close);
        startRun({"01", "00", "01"});
        QCOMPARE(tick(), kRts);
        rig->port->clearLog();
        (close ? rig->portBar.SBOpenComm : rig->portBar.SBSend10DtrRts)->setDown(false);
        close ? rig->connection.SBOpenCommClick() : bits->SBSend10DtrRtsClick();
        QVERIFY(close || rig->port->calls.isEmpty());
        verifyButtons(false, !close);
        if (close)
            rig->open();
        startRun({"00"});
        QCOMPARE(tick(), kDtr);
    }
};

QTEST_MAIN(TstBitSequence)
#include "tst_bitsequence.moc"
