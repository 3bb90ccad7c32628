#include "units/portconnection.h"
#include "support/programfixture.h"
#include "support/pty.h"
#include "support/scriptedtelnetserver.h"
#include "ui/setupdlg.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

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

    // The box keeps its text; the informative text carries the port's reason.
    void failedOpen_data()
    {
        QTest::addColumn<SerialPort::OpenResult>("result");
        QTest::addColumn<QString>("why");
        QTest::addColumn<QString>("message");
        QTest::newRow("open") << SerialPort::OpenResult::OpenFailed << "Устройство /dev/ttyUSB0 не существует."
                              << "Ошибка открытия порта";
        QTest::newRow("state") << SerialPort::OpenResult::SettingsRejected << "Порт не может работать с настройкой."
                               << "Ошибка SetCommState или GetCommTimeouts";
        QTest::newRow("timeouts") << SerialPort::OpenResult::TimeoutsRejected << ""
                                  << "Ошибка SetCommTimeouts или SetCommMask";
    }
    void failedOpen()
    {
        QFETCH(SerialPort::OpenResult, result);
        QFETCH(QString, why);
        fx.start();
        fx.port->nextOpenResult = result;
        fx.port->nextFailureText = why;
        f->statusPanels.StatusPanel1->setText("before");
        f->portBar.SBOpenComm->click();
        QTEST(fx.prompts.messages.join(';'), "message");
        QCOMPARE(fx.prompts.informativeTexts, QStringList{why});
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
};

QTEST_MAIN(TstPortConnection)
#include "tst_portconnection.moc"
