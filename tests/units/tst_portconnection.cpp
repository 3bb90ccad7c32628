#include "units/linesignals.h"
#include "units/portconnection.h"
#include "units/receivepath.h"
#include "support/programfixture.h"
#include "support/pty.h"
#include "support/scriptedtelnetserver.h"
#include "ui/setupdlg.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// The port's setup, opening and closing, its lines and break, and reading.
class TstPortConnection : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *&f = fx.f;

    // The control switch's two states.
    void verifyState(bool open)
    {
        QCOMPARE(f->portBar.SBOpenComm->isChecked(), open);
        QCOMPARE(f->transmitBar.SBSetup->isEnabled(), !open);
        for (QWidget *w : std::initializer_list<QWidget *>{f->transmitLines.SBTrans[9], f->commandsPane.SBTransLEStr,
                                                           f->portBar.SBDTR, f->portBar.SBSend10DtrRts})
            QVERIFY2(w->isEnabled() == open, qPrintable(w->objectName()));
        QCOMPARE(f->timers.TimerRead->isActive(), open);
    }

    // CTS, DSR, DCD, RI: '-' disabled, '1' lit, '0' dark.
    QString litPattern() const
    {
        QString out;
        const StatusPanels &s = f->statusPanels;
        for (QLabel *l : {s.LedCTS, s.LedDSR, s.LedDCD, s.LedRI})
            out += !l->isEnabled() ? u'-' : l->property("lit").toBool() ? u'1' : u'0';
        return out;
    }

private slots:
    // The open sets DTR, then RTS, from the buttons, which keep their state while disabled.
    void openAndClose()
    {
        fx.start();
        verifyState(false);
        f->portBar.SBRTS->setDown(true);
        f->portBar.SBOpenComm->click();
        QCOMPARE(fx.port->calls.value(0), QStringLiteral("open COM1 9600 8 0 0"));
        QCOMPARE(fx.port->controlLineCalls(), (QStringList{"dtr 0", "rts 1"}));
        verifyState(true);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QStringLiteral("Готов к приему"));
        fx.port->clearLog();
        f->portBar.SBDTR->click();
        f->portBar.SBOpenComm->click();
        QCOMPARE(fx.port->calls, (QStringList{"dtr 1", "close"}));
        verifyState(false);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QString());
        QVERIFY(fx.prompts.messages.isEmpty());
    }

    // A failed open changes nothing; the box's informative text carries the
    // port's reason.
    void failedOpen()
    {
        fx.start();
        fx.port->nextOpenResult = SerialPort::OpenResult::SettingsRejected;
        fx.port->nextFailureText = "Порт не может работать с настройкой.";
        f->statusPanels.StatusPanel1->setText("before");
        f->portBar.SBOpenComm->click();
        QCOMPARE(fx.prompts.messages, QStringList{"Ошибка SetCommState или GetCommTimeouts"});
        QCOMPARE(fx.prompts.informativeTexts, QStringList{fx.port->nextFailureText});
        verifyState(false);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QStringLiteral("before"));
        QVERIFY(fx.port->controlLineCalls().isEmpty());
    }

    // The setup dialog's OK takes what the boxes say into the settings.
    void setupAccept_data()
    {
        QTest::addColumn<QStringList>("texts"); // port, rate, parity, stop bits as typed; none: OK as filled
        QTest::addColumn<PortSettings>("settings");
        QTest::newRow("as filled") << QStringList() << PortSettings();
        QTest::newRow("unlisted rate") << QStringList{"ttyUSB0", "921600", "odd", "2"} << PortSettings{"ttyUSB0", 921600, 7, 1, 2};
        QTest::newRow("bad rate kept") << QStringList{"COM3", "fast", "space", "1,5"} << PortSettings{"COM3", 9600, 8, 4, 1};
        QTest::newRow("unlisted parity") << QStringList{"COM1", "9600", "weird", "3"} << PortSettings{"COM1", 9600, 4, 255, 255};
    }
    void setupAccept()
    {
        QFETCH(QStringList, texts);
        QFETCH(PortSettings, settings);
        fx.start();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QTimer::singleShot(0, setupDlg(), [&] {
            TSetupDlg *d = setupDlg();
            if (!texts.isEmpty()) {
                d->CBCommPortName->setEditText(texts[0]);
                d->CBBaudRate->setEditText(texts[1]);
                d->SEByteSize->setValue(settings.ByteSize);
                d->CBParity->setEditText(texts[2]);
                d->CBStopBits->setEditText(texts[3]);
            }
            d->OKBtn->click();
        });
        f->transmitBar.SBSetup->click();
        QCOMPARE(f->portSetup->settings, settings);
        // The caption shows the texts as chosen, with the rate actually kept.
        const QStringList shown = texts.isEmpty() ? QStringList{"COM1", "", "no", "1"} : texts;
        QCOMPARE(f->windowTitle(), QStringLiteral("Транслятор портов: %1; %2 бод; размер символа - %3 бит; паритет - %4; "
                                                  "стоп-битов - %5")
                                       .arg(shown[0]).arg(settings.BaudRate).arg(settings.ByteSize).arg(shown[2], shown[3]));
        // Filled again, the dialog shows the rate kept, listed or not; a parity off the list shows empty.
        f->portSetup->FillSetupDialog();
        QCOMPARE(setupDlg()->CBBaudRate->currentText(), QString::number(settings.BaudRate));
        QCOMPARE(setupDlg()->CBParity->currentText().isEmpty(), settings.Parity > 4);
    }

    // On a pty through the real backend, with DTR asked for (a pty refuses
    // control lines, and that does not fail the open). The other end going
    // away closes the port once, as a click would, without a box.
    void ptyThroughRealBackend()
    {
        auto pty = std::make_unique<Pty>();
        fx.startOnRealBackend();
        f->portSetup->settings.PortName = pty->slavePath();
        f->portBar.SBDTR->setDown(true);
        f->portBar.SBOpenComm->click();
        QVERIFY(f->portBar.SBOpenComm->down());
        QSignalSpy closed(f->connection, &PortConnection::portClosed);
        pty.reset();
        QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 3000);
        QTest::qWait(200); // no second close, no storm
        QCOMPARE(closed.count(), 1);
        verifyState(false);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QStringLiteral("Порт закрыт: устройство недоступно"));
        QVERIFY2(fx.prompts.messages.isEmpty(), qPrintable(fx.prompts.messages.join(';')));
    }

    // The setup dialog describes a port server's name from the name alone
    // (tst_setupdlg_portinfo: devices); the server's signature appears once
    // the program has been connected to it.
    void networkPortInfo()
    {
        ScriptedTelnetServer server;
        server.greeting = QByteArray::fromHex("fffa2c64") + "Bench-7 ser2net" + QByteArray::fromHex("fff0");
        fx.startOnRealBackend();
        TSetupDlg *dlg = f->portSetup->dialog();
        dlg->show();
        const QString name = QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.port());
        dlg->CBCommPortName->setEditText(name);
        const QString plain = QStringLiteral("сетевой порт RFC 2217, узел 127.0.0.1, TCP-порт %1").arg(server.port());
        QCOMPARE(dlg->LabelPortInfo->text(), plain);
        QTest::qWait(TSetupDlg::InfoRefreshMs + 200); // a refresh went by
        QCOMPARE(server.connections, 0);
        dlg->hide();

        f->portSetup->settings.PortName = name;
        f->portBar.SBOpenComm->click();
        QVERIFY(f->portBar.SBOpenComm->down());
        f->portBar.SBOpenComm->click();
        dlg->show();
        dlg->CBCommPortName->setEditText(name.toUpper()); // the same server however written
        QCOMPARE(dlg->LabelPortInfo->text(), plain + QStringLiteral("; сервер: Bench-7 ser2net"));
        QCOMPARE(server.connections, 1);
    }

    // Indicators follow the lines while open; disabled while closed or when
    // the port cannot tell.
    void indicatorsFollowLines()
    {
        fx.start();
        QCOMPARE(litPattern(), QStringLiteral("----"));
        fx.port->lines = ModemLines{.cts = true, .dsr = false, .dcd = true, .ri = false};
        f->portBar.SBOpenComm->click();
        QCOMPARE(litPattern(), QStringLiteral("1010"));
        fx.port->lines = ModemLines{.cts = false, .dsr = true, .dcd = true, .ri = true};
        // Refreshed at least every 50 ms: checked on the timer, since wall
        // time on a loaded machine says nothing about the program.
        auto *refresh = f->findChild<QTimer *>(QStringLiteral("TimerLines"));
        QVERIFY(refresh && refresh->isActive() && refresh->interval() <= 50);
        QTRY_COMPARE_WITH_TIMEOUT(litPattern(), QStringLiteral("0111"), 1000);
        f->portBar.SBOpenComm->click();
        QCOMPARE(litPattern(), QStringLiteral("----"));
        fx.port->lines.reset();
        f->portBar.SBOpenComm->click();
        QCOMPARE(litPattern(), QStringLiteral("----"));
    }

    // Break is held 250 ms, a second press does not stretch it; the command
    // is there exactly while the port is open, and closing ends a held break.
    void breakHeldForItsTime()
    {
        fx.start();
        QAction *brk = f->mainMenu.miSendBreak;
        QVERIFY(!brk->isEnabled());
        f->portBar.SBOpenComm->click();
        brk->trigger();
        QVERIFY(fx.port->breakHeld);
        brk->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!fx.port->breakHeld, 1000);
        QCOMPARE(fx.port->breaks.size(), 2);
        const qint64 held = fx.port->breaks[1].second - fx.port->breaks[0].second;
        QVERIFY2(held >= 250, qPrintable(QString::number(held)));
        brk->trigger();
        f->portBar.SBOpenComm->click();
        QVERIFY(!brk->isEnabled());
        QTest::qWait(300);
        QCOMPARE(fx.port->breaks.size(), 3);
    }

    // Bytes are read when the port announces them, without TimerRead; what
    // arrives within a frame is read in one step.
    void readingFollowsTheNotification()
    {
        fx.start(true);
        f->timers.TimerRead->stop();
        fx.port->inject("abc");
        QTRY_COMPARE(f->receivePath->ReceivedCount, 3);
        for (const char *bytes : {"d", "ef", "g"})
            fx.port->inject(bytes);
        QTRY_COMPARE(f->receivePath->ReceivedCount, 7);
        QCOMPARE(f->statusPanels.StatusPanel2->text(),
                 QStringLiteral("Принято: в последнем пакете - 4 байт; всего - 7 байт"));
    }
};

QTEST_MAIN(TstPortConnection)
#include "tst_portconnection.moc"
