#include "app/formmain.h"
#include "app/program.h"
#include "app/widgets.h"
#include "serial/bitsequence.h"
#include "serial/portconnection.h"
#include "serial/transmitpath.h"
#include "support/programfixture.h"
#include "support/fakeserialport.h"
#include "support/recordingprompts.h"
#include "tables/transmittable.h"
#include "tables/transmittablemodel.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
const QStringList kRts{"rts 1", "rts 0"};
const QStringList kDtr{"dtr 1", "dtr 0"};
} // namespace

class TstBitSequence : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    RecordingPrompts m_prompts;
    TFormMain *f = nullptr;
    FakeSerialPort *port = nullptr;

    void setHexCells(const QStringList &cells)
    {
        f->SESizeTrans->setValue(int(cells.size()));
        for (int i = 0; i < cells.size(); ++i)
            f->transmitTable->model()->setHexText(i + 1, cells[i]);
    }

    // One tick of TimerCircle, through the real tick handler.
    QStringList tick()
    {
        port->clearLog();
        f->transmitPath->TimerCircleTimer();
        return port->calls;
    }

    void verifyRunning()
    {
        QVERIFY(f->SBSend10DtrRts->down());
        for (SpeedButton *b : {f->SBDTR, f->SBRTS, f->SBCircle}) {
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
            QVERIFY2(!b->down(), qPrintable(b->objectName()));
        }
    }
    void verifyIdleOpen()
    {
        QVERIFY(!f->SBSend10DtrRts->down());
        QVERIFY(f->SBSend10DtrRts->isEnabled());
        for (SpeedButton *b : {f->SBDTR, f->SBRTS, f->SBCircle}) {
            QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
            QVERIFY2(!b->down(), qPrintable(b->objectName()));
        }
        QVERIFY(!f->TimerCircle->isActive());
        QVERIFY(tick().isEmpty()); // later ticks send nothing
    }

private slots:
    void initTestCase()
    {
        QDir::setCurrent(m_dir.path());
        FakeSerialPort::install();
    }
    void init()
    {
        startFreshProgram();
        f = formMain();
        port = FakeSerialPort::last;
        // Real ticks stay away unless a test asks for them.
        f->SECircle->setValue(1000000);
        f->SBOpenComm->click();
    }

    void bitReading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("bit");
        QTest::newRow("1") << "1" << true;
        QTest::newRow("01") << "01" << true;
        QTest::newRow("0001") << "0001" << true;
        QTest::newRow("+1") << "+1" << true;
        QTest::newRow("spaces around") << " 1 " << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("00") << "00" << false;
        QTest::newRow("11") << "11" << false;
        QTest::newRow("10") << "10" << false;
        QTest::newRow("0A") << "0A" << false;
        QTest::newRow("-1") << "-1" << false;
        QTest::newRow("-0") << "-0" << false;
        QTest::newRow("1A") << "1A" << false;
        QTest::newRow("0x1") << "0x1" << false;
        QTest::newRow("1.0") << "1.0" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("4294967297 (1 modulo 2^32)") << "4294967297" << false;
        QTest::newRow("arabic-indic one") << QString::fromUtf8("١") << false;
    }
    void bitReading()
    {
        QFETCH(QString, text);
        QTEST(DtrRtsBit(text), "bit");
    }

    // Start clears both lines and stops a cyclic send; then one pulse per
    // tick, and the tick after the last bit restores the buttons.
    void pulses_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QList<QStringList>>("pulses");
        QTest::newRow("00 01 0A 10") << QStringList{"00", "01", "0A", "10"}
                                     << QList<QStringList>{kDtr, kRts, kDtr, kDtr};
        QTest::newRow("one byte 01") << QStringList{"01"} << QList<QStringList>{kRts};
        QTest::newRow("1 11 zz") << QStringList{"1", "11", "zz"} << QList<QStringList>{kRts, kDtr, kDtr};
    }
    void pulses()
    {
        QFETCH(QStringList, cells);
        QFETCH(QList<QStringList>, pulses);
        setHexCells(cells);
        f->SBDTR->click();
        f->SBRTS->click();
        f->SBCircle->click(); // a cyclic send in progress
        QVERIFY(f->TimerCircle->isActive());
        port->clearLog();

        f->SECircle->setValue(250);
        f->SBSend10DtrRts->click();
        QCOMPARE(port->calls, (QStringList{"dtr 0", "rts 0"}));
        QVERIFY(f->TimerCircle->isActive());
        QCOMPARE(f->TimerCircle->interval(), 250);
        QCOMPARE(f->bitSequence->DtrRtsBitIndex, 0);
        verifyRunning();
        f->TimerCircle->stop(); // this test clocks the ticks itself

        for (const QStringList &pulse : pulses) {
            QCOMPARE(tick(), pulse); // no block is sent: the cyclic run was stopped
            verifyRunning();
        }
        QCOMPARE(f->bitSequence->DtrRtsBitIndex, cells.size());
        QVERIFY(tick().isEmpty());
        verifyIdleOpen();
    }

    // The table is read at each tick; the period is the one taken at the start.
    void editsAndPeriodDuringRun()
    {
        setHexCells({"1", "1", "1"});
        f->SECircle->setValue(40);
        f->SBSend10DtrRts->click();
        f->TimerCircle->stop();
        QCOMPARE(tick(), kRts);
        f->transmitTable->model()->setHexText(2, QStringLiteral("0"));
        f->SESizeTrans->setValue(2);
        f->SECircle->setValue(7);
        QCOMPARE(tick(), kDtr);
        QCOMPARE(f->TimerCircle->interval(), 40);
        QVERIFY(tick().isEmpty());
        verifyIdleOpen();
    }

    // The real timer paces the bits at the period of SECircle.
    void realTicks()
    {
        setHexCells({"01", "00", "01"});
        f->SECircle->setValue(30);
        port->clearLog();
        QElapsedTimer clock;
        clock.start();
        f->SBSend10DtrRts->click();
        QVERIFY(QTest::qWaitFor([&] { return !f->SBSend10DtrRts->down(); }, 3000));
        // Three bits and the tick that ends it.
        QVERIFY2(clock.elapsed() >= 4 * 30 - 10, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(port->calls, (QStringList{"dtr 0", "rts 0"} + kRts + kDtr + kRts));
        QVERIFY(f->SBCircle->isEnabled());
        QVERIFY(!f->TimerCircle->isActive());
    }

    void closingStopsAtOnce()
    {
        setHexCells({"01", "00", "01"});
        f->SBSend10DtrRts->click();
        f->TimerCircle->stop();
        QCOMPARE(tick(), kRts);
        f->SBOpenComm->click();
        QVERIFY(!f->SBSend10DtrRts->down());
        QVERIFY(!f->bitSequence->running());
        QVERIFY(!f->TimerCircle->isActive());
        for (SpeedButton *b : {f->SBDTR, f->SBRTS, f->SBCircle, f->SBSend10DtrRts})
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        QVERIFY(tick().isEmpty());

        // Reopened, everything is back and a new run starts from the first bit.
        f->SBOpenComm->click();
        QVERIFY(f->SBDTR->isEnabled());
        QVERIFY(f->SBCircle->isEnabled());
        f->SBSend10DtrRts->click();
        f->TimerCircle->stop();
        QCOMPARE(tick(), kRts);
        QCOMPARE(tick(), kDtr);
    }

    // Released by hand, the run ends as its last tick would end it.
    void releaseByHand()
    {
        setHexCells({"01", "00", "01"});
        f->SECircle->setValue(500);
        f->SBSend10DtrRts->click();
        QCOMPARE(tick(), kRts);
        port->clearLog();
        f->SBSend10DtrRts->click();
        QVERIFY(port->calls.isEmpty());
        verifyIdleOpen();
        // The freed buttons work again.
        f->SBRTS->click();
        QCOMPARE(port->calls, QStringList{"rts 1"});
        f->SBCircle->click();
        QVERIFY(f->TimerCircle->isActive());
        QCOMPARE(f->TimerCircle->interval(), 500);
    }
};

QTEST_MAIN(TstBitSequence)
#include "tst_bitsequence.moc"
