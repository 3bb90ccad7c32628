#include "support/programfixture.h"
#include "support/pty.h"
#include "units/transmittable.h"

#include <QPushButton>
#include <QTest>

// The generator buttons on the window; the frames themselves are tst_frames'.
class TstGeneratorPanel : public QObject
{
    Q_OBJECT
    ProgramFixture fx;

    // Pulse, count, pause, divider, packets, pulses and pauses per packet.
    void fill(const QList<int> &values)
    {
        TFormMain *f = fx.f;
        const QList<SpinEdit *> fields{f->generatorControls.SELengthPulse, f->generatorControls.SECountPulse,    f->generatorControls.SELengthPause,  f->generatorControls.SEDivider,
                                       f->generatorControls.SENPaketov,    f->generatorControls.SEQPulseInPaket, f->generatorControls.SEQPauseInPaket};
        for (int i = 0; i < values.size(); ++i)
            fields[i]->setValue(values[i]);
    }
    QPushButton *button(const QString &name) const { return fx.f->findChild<QPushButton *>(name); }

private slots:
    void init() { fx.start(); }

    // Each button writes its frame as a send does; the table stays untouched.
    void frames_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QList<int>>("fields");
        QTest::addColumn<QByteArray>("frame");
        const QList<int> timed{1000, 3, 500, 2}, packets{1000, 99, 500, 5, 10, 4, 2};
        QTest::newRow("start") << "BBStartGen" << timed << QByteArray::fromHex("FF17FC03000BFE");
        QTest::newRow("stop") << "BitBtnStopGen" << timed << QByteArray::fromHex("0017FC03000BFE");
        QTest::newRow("continuous") << "BBNeprGener" << timed << QByteArray::fromHex("FE17FC03000BFE");
        QTest::newRow("with divider") << "BBNeprSDelit" << timed << QByteArray::fromHex("FC17FC03000BFE02");
        QTest::newRow("packets") << "BBNPaketov" << packets << QByteArray::fromHex("FB17FC0A000BFE0504000200");
        QTest::newRow("packets continuously") << "BBPaketNepreryvno" << packets
                                              << QByteArray::fromHex("FA17FC0A000BFE0504000200");
        QTest::newRow("fields at their limits") << "BBNPaketov" << QList<int>{65536, 0, -1, 1, -1, 65535, 65535}
                                                << QByteArray::fromHex("FBFFFFFFFF000001FFFFFFFF");
    }
    void frames()
    {
        QFETCH(QString, button);
        QFETCH(QList<int>, fields);
        QFETCH(QByteArray, frame);
        fx.f->portBar.SBOpenComm->click();
        fx.f->transmitTable->showBytes("\x11\x22");
        fill(fields);
        fx.port->clearLog();
        this->button(button)->click();
        QCOMPARE(fx.port->written.toHex(' '), frame.toHex(' '));
        QCOMPARE(fx.port->calls.size(), frame.size()); // one write per byte, nothing else
        QCOMPARE(fx.f->transmitTable->TransmitArray, frame);
        QCOMPARE(fx.f->transmitTable->TransmitCount, frame.size());
        QCOMPARE(fx.f->statusPanels.StatusPanel1->text(), QStringLiteral("Передано: %1 байт").arg(frame.size()));
        QCOMPARE(fx.f->transmitTable->tableBytes(), QByteArray("\x11\x22"));
    }

    // Sending nothing is not reported as a send.
    void failedOpenSendsNothing()
    {
        fx.port->nextOpenResult = SerialPort::OpenResult::OpenFailed;
        fx.f->generatorControls.BBNPaketov->click();
        QCOMPARE(fx.prompts.messages, QStringList{"Ошибка открытия порта"});
        QVERIFY(!fx.f->portBar.SBOpenComm->down());
        QVERIFY(fx.port->written.isEmpty());
        QCOMPARE(fx.f->statusPanels.StatusPanel1->text(), QString());
        QCOMPARE(fx.f->transmitTable->TransmitArray, QByteArray(1, '\0'));
        QCOMPARE(fx.f->transmitTable->TransmitCount, 1);
    }

    // A bounded field takes a typed value back into range as the click moves
    // the focus to the button, before the click is handled; text that is no
    // number reads as the field's lower bound.
    void typedValueClampedBeforeClick_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("shown");
        QTest::newRow("divider 9") << "SEDivider" << "9" << "BBNeprSDelit" << QByteArray::fromHex("FCFFFF0000FFFF05") << "5";
        QTest::newRow("unbounded emptied") << "SECountPulse" << "" << "BBStartGen" << QByteArray::fromHex("FFFFFF0000FFFF") << "0";
    }
    void typedValueClampedBeforeClick()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QByteArray, frame);
        fx.f->portBar.SBOpenComm->click();
        QApplication::setActiveWindow(fx.f);
        QVERIFY(QTest::qWaitForWindowActive(fx.f));
        auto *spin = fx.f->findChild<SpinEdit *>(field);
        spin->setFocus();
        QTRY_VERIFY(spin->hasFocus());
        spin->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(spin, Qt::Key_Backspace);
        else
            QTest::keyClicks(spin, typed); // replaces the selection where the field accepts the text
        fx.port->clearLog();
        QTest::mouseClick(this->button(button), Qt::LeftButton);
        QVERIFY(!spin->hasFocus());
        QCOMPARE(fx.port->written.toHex(' '), frame.toHex(' '));
        QTEST(spin->text(), "shown");
    }

    // The real backend on a pty: a click on a closed port opens it and the
    // frame arrives whole.
    void framesArriveOverPty()
    {
        Pty pty;
        QVERIFY(fx.startOpenOn(pty.slavePath()));
        fx.f->portBar.SBOpenComm->click();
        QVERIFY(!fx.f->portBar.SBOpenComm->down());
        fill({1000, 3, 500, 5, 10, 4, 2});
        fx.f->generatorControls.BBNPaketov->click();
        QVERIFY2(fx.prompts.messages.isEmpty(), qPrintable(fx.prompts.messages.join(';')));
        QVERIFY(fx.f->portBar.SBOpenComm->down());
        QCOMPARE(pty.read(12, 3000).toHex(' '), QByteArray::fromHex("FB17FC0A000BFE0504000200").toHex(' '));
        QCOMPARE(pty.read(1, 100), QByteArray()); // nothing more
        fx.f->portBar.SBOpenComm->click();
    }
};

QTEST_MAIN(TstGeneratorPanel)
#include "tst_generatorpanel.moc"
