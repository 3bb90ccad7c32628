#include "units/transmitpath.h"
#include "support/programfixture.h"
#include "units/transmittable.h"

#include <QTest>
#include <QTimer>

class TstTransmitPath : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *f = nullptr;

private slots:
    void init()
    {
        fx.start(true);
        f = fx.f;
    }

    void send_data()
    {
        QTest::addColumn<QString>("modes"); // A text, H Hex+ASCII, C CR LF, D DOS
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("sent"); // the table holds 01 02
        QTest::newRow("table mode ignores line and options") << "HCD" << "AB" << QByteArray::fromHex("0102");
        QTest::newRow("text with escapes") << "A" << "$41$$x$0d" << QByteArray("A$x\r");
        QTest::newRow("hex+ascii CR LF") << "AHC" << "A" << QByteArray::fromHex("0102") + "A\r\n";
        QTest::newRow("dos, escape unconverted") << "AD" << "АяЁ$C0" << QByteArray::fromHex("80EFA8C0");
    }
    void send()
    {
        QFETCH(QString, modes);
        QFETCH(QString, line);
        QFETCH(QByteArray, sent);
        f->transmitTable->showBytes(QByteArray::fromHex("0102"));
        f->transmitLines.CheckBoxASCII->setChecked(modes.contains(u'A'));
        f->transmitLines.ChBHexASCII->setChecked(modes.contains(u'H'));
        f->transmitLines.ChBCR->setChecked(modes.contains(u'C'));
        f->transmitLines.RGWinOrDOSCharset->setItemIndex(modes.contains(u'D') ? 1 : 0);
        f->transmitLines.EditString[0]->setText(line);
        f->transmitLines.SBTrans[0]->click();
        QCOMPARE(fx.port->written.toHex(' '), sent.toHex(' '));
        QCOMPARE(f->transmitTable->TransmitArray, sent);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QStringLiteral("Передано: %1 байт").arg(sent.size()));
    }

    // In text mode each button sends its own line; only EditString to
    // EditString6 follow the check box.
    void textLines()
    {
        const auto &e = f->transmitLines.EditString;
        f->transmitLines.CheckBoxASCII->click();
        f->commandsPane.LEString->setText("L");
        f->commandsPane.SBTransLEStr->click();
        for (int i = 0; i < TransmitLines::Count; ++i) {
            e[i]->setText(QString::number(i));
            f->transmitLines.SBTrans[i]->click();
        }
        QCOMPARE(fx.port->written, QByteArray("L0123456789"));
        f->transmitLines.CheckBoxASCII->setChecked(false);
        QVERIFY(!e[0]->isEnabled() && !e[5]->isEnabled() && e[6]->isEnabled() && e[9]->isEnabled());
    }

    // Typed or set by the program (the settings), the period stays at 1 or more.
    void secircleKeptAtOneOrMore()
    {
        f->portBar.SECircle->selectAll();
        QTest::keyClicks(f->portBar.SECircle, "0");
        QCOMPARE(f->portBar.SECircle->text(), QStringLiteral("1"));
        f->portBar.SECircle->setValue(-3);
        QCOMPARE(f->portBar.SECircle->value(), 1);
    }

    // A run sends SECountC blocks, one a tick, at the period taken when it
    // starts; the count is read at every tick. Releasing SBCircle stops a run
    // and a new run counts from zero; closing the port stops it too.
    void cyclicRun()
    {
        const auto tick = [&] { f->transmitPath->TimerCircleTimer(); };
        f->portBar.SECountC->setValue(1000);
        f->portBar.SECircle->setValue(100000); // the test clocks the ticks itself
        f->portBar.SBCircle->click();
        f->portBar.SECircle->setValue(200000);
        QCOMPARE(f->timers.TimerCircle->interval(), 100000);
        tick();
        tick();
        f->portBar.SBCircle->click();
        QVERIFY(!f->timers.TimerCircle->isActive());
        tick();
        QCOMPARE(fx.port->written.size(), 2); // the table is one byte
        f->portBar.SBCircle->click();
        QCOMPARE(f->transmitPath->CycleCount, 0);
        tick();
        f->portBar.SECountC->setValue(3);
        tick();
        QVERIFY(f->portBar.SBCircle->down());
        tick(); // the run's third send is its last
        QVERIFY(!f->portBar.SBCircle->down() && !f->timers.TimerCircle->isActive());
        tick();
        QCOMPARE(fx.port->written.size(), 5);
        f->portBar.SBCircle->click(); // closing the port ends a run
        f->portBar.SBOpenComm->click();
        QVERIFY(!f->portBar.SBCircle->down() && !f->timers.TimerCircle->isActive());
    }
};

QTEST_MAIN(TstTransmitPath)
#include "tst_transmitpath.moc"
