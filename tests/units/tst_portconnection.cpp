#include "units/portconnection.h"
#include "core/portsettings.h"
#include "port/qtserialport.h"
#include "support/programfixture.h"
#include "support/pty.h"

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
        QCOMPARE(f->portBar.SBOpenComm->toolTip(), open ? QStringLiteral("Закрыть порт") : QStringLiteral("Открыть порт"));
        QCOMPARE(f->portBar.ImageLedOn->isVisibleTo(f), open);
        QCOMPARE(f->portBar.ImageLedOff->isVisibleTo(f), !open);
        QCOMPARE(f->transmitBar.SBSetup->isEnabled(), !open);
        for (QWidget *w : std::initializer_list<QWidget *>{f->transmitLines.SBTrans[0], f->transmitLines.SBTrans[6], f->transmitLines.SBTrans[9], f->commandsPane.SBTransLEStr,
                                                           f->portBar.SBDTR, f->portBar.SBRTS, f->portBar.SBCircle, f->portBar.SBSend10DtrRts})
            QVERIFY2(w->isEnabled() == open, qPrintable(w->objectName()));
        QCOMPARE(f->timers.TimerRead->isActive(), open);
        QVERIFY(open || !f->timers.TimerCircle->isActive());
    }

private slots:
    void resolve_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        for (const auto &[name, path] : {std::pair{"COM1", "/dev/ttyS0"}, {"com12", "/dev/ttyS11"}, {"COM0", "/dev/COM0"},
                                         {"COM01", "/dev/COM01"}, {"pts/3", "/dev/pts/3"}, {"/dev/pts/3", "/dev/pts/3"}})
            QTest::addRow("%s", name) << name << path;
    }
    void resolve()
    {
        QFETCH(QString, name);
        QTEST(portsettings::resolvePortName(name), "path");
    }

    // A typed positive whole number is the rate; anything else keeps the old one.
    void baud_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rate"); // -1: not taken
        for (const auto &[text, rate] : {std::pair{"31250", 31250}, {" 921600 ", 921600}, {"0", -1}, {"-9600", -1},
                                         {"fast", -1}, {"99999999999", -1}, {"9600.5", -1}})
            QTest::addRow("'%s'", text) << text << rate;
    }
    void baud()
    {
        QFETCH(QString, text);
        QTEST(portsettings::parseBaudRate(text).value_or(-1), "rate");
    }

    void openAndClose()
    {
        fx.start();
        verifyState(false);
        f->portBar.SBOpenComm->click();
        QCOMPARE(fx.port->calls.value(0), QStringLiteral("open COM1 9600 8 0 0"));
        verifyState(true);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QStringLiteral("Готов к приему"));
        f->portBar.SBOpenComm->click();
        QCOMPARE(fx.port->calls.last(), QStringLiteral("close"));
        verifyState(false);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QString());
        QVERIFY(fx.prompts.messages.isEmpty());
    }

    // The buttons keep their state while disabled; the open sets DTR, then RTS.
    void controlLines()
    {
        fx.start();
        f->portBar.SBRTS->setDown(true);
        f->portBar.SBOpenComm->click();
        QCOMPARE(fx.port->controlLineCalls(), (QStringList{"dtr 0", "rts 1"}));
        fx.port->clearLog();
        f->portBar.SBDTR->click();
        f->portBar.SBRTS->click();
        QCOMPARE(fx.port->calls, (QStringList{"dtr 1", "rts 0"}));
    }

    void failedOpen_data()
    {
        QTest::addColumn<SerialPort::OpenResult>("result");
        QTest::addColumn<QString>("message");
        QTest::newRow("open") << SerialPort::OpenResult::OpenFailed << "Ошибка открытия порта";
        QTest::newRow("state") << SerialPort::OpenResult::SettingsRejected << "Ошибка SetCommState или GetCommTimeouts";
        QTest::newRow("timeouts") << SerialPort::OpenResult::TimeoutsRejected << "Ошибка SetCommTimeouts или SetCommMask";
    }
    void failedOpen()
    {
        QFETCH(SerialPort::OpenResult, result);
        fx.start();
        fx.port->nextOpenResult = result;
        f->statusPanels.StatusPanel1->setText("before");
        f->portBar.SBOpenComm->click();
        QTEST(fx.prompts.messages.join(';'), "message");
        verifyState(false);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QStringLiteral("before"));
        QVERIFY(fx.port->controlLineCalls().isEmpty());
    }

    void closingStopsCyclesAndBits()
    {
        fx.start(true);
        f->portBar.SBCircle->setDown(true);
        f->portBar.SBSend10DtrRts->setDown(true);
        f->timers.TimerCircle->start();
        f->portBar.SBOpenComm->click();
        QVERIFY(!f->portBar.SBCircle->isChecked());
        QVERIFY(!f->portBar.SBSend10DtrRts->isChecked());
        verifyState(false);
    }

    // Never open silently with another setting than the one chosen.
    void backendRefusesWhatItCannotApply_data()
    {
        QTest::addColumn<PortSettings>("settings"); // PortName, BaudRate, ByteSize, Parity, StopBits
        QTest::addColumn<bool>("applicable");
        QTest::newRow("5 bits mark 2 stops") << PortSettings{"COM1", 110, 5, 3, 2} << true;
        QTest::newRow("4 bits") << PortSettings{"COM1", 9600, 4} << false;
        QTest::newRow("parity 255") << PortSettings{"COM1", 9600, 8, 255} << false;
        QTest::newRow("zero rate") << PortSettings{"COM1", 0} << false;
#ifndef Q_OS_WIN
        QTest::newRow("1.5 stops") << PortSettings{"COM1", 9600, 8, 0, 1} << false;
#endif
    }
    void backendRefusesWhatItCannotApply()
    {
        QFETCH(PortSettings, settings);
        QTEST(QtSerialPort::settingsApplicable(settings), "applicable");
    }

    void ptyThroughRealBackend()
    {
        Pty pty;
        QVERIFY(pty.isValid());
        QVERIFY(fx.startOpenOn(pty.slavePath()));
        QVERIFY(f->connection->port()->writeByte(0x41));
        QCOMPARE(pty.read(1, 2000), QByteArray("A"));
        f->portBar.SBOpenComm->click();
        QVERIFY(!f->connection->port()->isOpen());
        // Reopened at a rate off the list, with DTR asked for: a pty refuses
        // control lines, and that does not fail the open.
        f->portSetup->settings.BaudRate = 250000;
        f->portBar.SBDTR->setDown(true);
        f->portBar.SBOpenComm->click();
        QVERIFY2(fx.prompts.messages.isEmpty(), qPrintable(fx.prompts.messages.join(';')));
        QVERIFY(f->connection->port()->isOpen());
        QVERIFY(f->connection->port()->writeByte(0x42));
        QCOMPARE(pty.read(1, 2000), QByteArray("B"));
        f->portBar.SBOpenComm->click();
    }

    void ptyUnplugged()
    {
        auto pty = std::make_unique<Pty>();
        QVERIFY(fx.startOpenOn(pty->slavePath()));
        QSignalSpy closed(f->connection, &PortConnection::portClosed);
        pty.reset(); // the other end goes away
        QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 3000);
        QTest::qWait(200); // no second close, no storm
        QCOMPARE(closed.count(), 1);
        verifyState(false);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QStringLiteral("Порт закрыт: устройство недоступно"));
        QVERIFY(fx.prompts.messages.isEmpty());
    }
};

QTEST_MAIN(TstPortConnection)
#include "tst_portconnection.moc"
