#include "app/formmain.h"
#include "app/program.h"
#include "app/widgets.h"
#include "serial/portconnection.h"
#include "serial/portsetup.h"
#include "serial/qtserialport.h"
#include "support/programfixture.h"
#include "support/fakeserialport.h"
#include "support/pty.h"
#include "support/recordingprompts.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TstPortConnection : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    RecordingPrompts m_prompts;
    TFormMain *f = nullptr;
    FakeSerialPort *port = nullptr;

    void verifyClosedState()
    {
        QVERIFY(!f->SBOpenComm->isChecked());
        QCOMPARE(f->SBOpenComm->toolTip(), QStringLiteral("Открыть порт"));
        QVERIFY(!f->ImageLedOn->isVisibleTo(f));
        QVERIFY(f->ImageLedOff->isVisibleTo(f));
        QVERIFY(f->SBSetup->isEnabled());
        for (QWidget *w : std::initializer_list<QWidget *>{f->SBTrans, f->SBTrans2, f->SBTrans10, f->SBTransLEStr,
                                                           f->SBDTR, f->SBRTS, f->SBCircle, f->SBSend10DtrRts})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(!f->TimerRead->isActive());
        QVERIFY(!f->TimerCircle->isActive());
    }

private slots:
    void initTestCase()
    {
        QDir::setCurrent(m_dir.path());
    }
    void init()
    {
        FakeSerialPort::install();
        startFreshProgram();
        f = formMain();
        port = FakeSerialPort::last;
        m_prompts.messages.clear();
    }

    void openAndClose()
    {
        f->SBOpenComm->click();
        QVERIFY(f->SBOpenComm->isChecked());
        QCOMPARE(port->calls.value(0), QStringLiteral("open COM1 9600 8 0 0"));
        QCOMPARE(f->SBOpenComm->toolTip(), QStringLiteral("Закрыть порт"));
        QVERIFY(f->ImageLedOn->isVisibleTo(f));
        QVERIFY(!f->ImageLedOff->isVisibleTo(f));
        QVERIFY(!f->SBSetup->isEnabled());
        for (QWidget *w : std::initializer_list<QWidget *>{f->SBTrans, f->SBTrans7, f->SBTrans10, f->SBTransLEStr,
                                                           f->SBDTR, f->SBRTS, f->SBCircle, f->SBSend10DtrRts})
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(f->TimerRead->isActive());
        QCOMPARE(f->StatusPanel1->text(), QStringLiteral("Готов к приему"));

        f->SBOpenComm->click();
        QCOMPARE(port->calls.last(), QStringLiteral("close"));
        verifyClosedState();
        QCOMPARE(f->StatusPanel1->text(), QString());
        QVERIFY(m_prompts.messages.isEmpty());
    }

    void controlLinesAtOpen_data()
    {
        QTest::addColumn<bool>("dtr");
        QTest::addColumn<bool>("rts");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("both up") << false << false << QStringList{"dtr 0", "rts 0"};
        QTest::newRow("dtr down") << true << false << QStringList{"dtr 1", "rts 0"};
        QTest::newRow("both down") << true << true << QStringList{"dtr 1", "rts 1"};
    }
    void controlLinesAtOpen()
    {
        QFETCH(bool, dtr);
        QFETCH(bool, rts);
        // The buttons keep their state while disabled.
        f->SBDTR->setDown(dtr);
        f->SBRTS->setDown(rts);
        f->SBOpenComm->click();
        QTEST(port->controlLineCalls(), "calls");
    }

    void controlLinesByHand()
    {
        f->SBOpenComm->click();
        port->clearLog();
        f->SBDTR->click();
        f->SBRTS->click();
        f->SBDTR->click();
        QCOMPARE(port->calls, (QStringList{"dtr 1", "rts 1", "dtr 0"}));
    }

    void failedOpen_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        QTest::newRow("open") << int(SerialPort::OpenResult::OpenFailed) << "Ошибка открытия порта";
        QTest::newRow("state") << int(SerialPort::OpenResult::SettingsRejected)
                               << "Ошибка SetCommState или GetCommTimeouts";
        QTest::newRow("timeouts") << int(SerialPort::OpenResult::TimeoutsRejected)
                                  << "Ошибка SetCommTimeouts или SetCommMask";
    }
    void failedOpen()
    {
        QFETCH(int, result);
        QFETCH(QString, message);
        port->nextOpenResult = SerialPort::OpenResult(result);
        f->StatusPanel1->setText("before");
        f->SBOpenComm->click();
        QCOMPARE(m_prompts.messages, QStringList{message});
        verifyClosedState();
        QCOMPARE(f->StatusPanel1->text(), QStringLiteral("before"));
        QVERIFY(port->controlLineCalls().isEmpty());
        // A second attempt can open the port.
        port->nextOpenResult = SerialPort::OpenResult::Opened;
        f->SBOpenComm->click();
        QVERIFY(f->SBOpenComm->isChecked());
    }

    void closingStopsCyclesAndBits()
    {
        f->SBOpenComm->click();
        f->SBCircle->setDown(true);
        f->SBSend10DtrRts->setDown(true);
        f->TimerCircle->start();
        f->SBOpenComm->click();
        QVERIFY(!f->SBCircle->isChecked());
        QVERIFY(!f->SBSend10DtrRts->isChecked());
        QVERIFY(!f->TimerCircle->isActive());
    }

    void deviceGoneClosesOnce()
    {
        f->SBOpenComm->click();
        QSignalSpy closed(f->connection, &PortConnection::portClosed);
        port->loseDevice();
        port->loseDevice();
        QCOMPARE(closed.count(), 1);
        verifyClosedState();
        QCOMPARE(f->StatusPanel1->text(), QStringLiteral("Порт закрыт: устройство недоступно"));
        QCOMPARE(port->calls.count(QStringLiteral("close")), 1);
        QVERIFY(m_prompts.messages.isEmpty());
    }

    void backendRefusesWhatItCannotApply_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("stop");
        QTest::addColumn<int>("rate");
        QTest::addColumn<bool>("applicable");
        QTest::newRow("8N1") << 8 << 0 << 0 << 9600 << true;
        QTest::newRow("5 bits mark 2 stops") << 5 << 3 << 2 << 110 << true;
        QTest::newRow("4 bits") << 4 << 0 << 0 << 9600 << false;
        QTest::newRow("9 bits") << 9 << 0 << 0 << 9600 << false;
        QTest::newRow("parity 255") << 8 << 255 << 0 << 9600 << false;
        QTest::newRow("stop 255") << 8 << 0 << 255 << 9600 << false;
        QTest::newRow("zero rate") << 8 << 0 << 0 << 0 << false;
#ifndef Q_OS_WIN
        QTest::newRow("1.5 stops") << 8 << 0 << 1 << 9600 << false;
#endif
    }
    void backendRefusesWhatItCannotApply()
    {
        QFETCH(int, bits);
        QFETCH(int, parity);
        QFETCH(int, stop);
        QFETCH(int, rate);
        PortSettings s;
        s.ByteSize = quint8(bits);
        s.Parity = quint8(parity);
        s.StopBits = quint8(stop);
        s.BaudRate = rate;
        QTEST(QtSerialPort::settingsApplicable(s), "applicable");
    }

    void ptyOpenCloseThroughRealBackend_data()
    {
        QTest::addColumn<int>("rate");
        QTest::newRow("default") << 9600;
        QTest::newRow("custom") << 250000;
    }
    void ptyOpenCloseThroughRealBackend()
    {
        QFETCH(int, rate);
        setSerialPortFactory(nullptr);
        startFreshProgram();
        f = formMain();
        Pty pty;
        QVERIFY(pty.isValid());
        f->portSetup->settings.PortName = pty.slavePath();
        f->portSetup->settings.BaudRate = rate;
        f->SBDTR->setDown(true); // a pty refuses control lines; the open still succeeds
        f->SBOpenComm->click();
        QVERIFY2(m_prompts.messages.isEmpty(), qPrintable(m_prompts.messages.join(';')));
        QVERIFY(f->SBOpenComm->isChecked());
        QVERIFY(f->connection->port()->isOpen());
        QVERIFY(f->connection->port()->writeByte(0x41));
        QCOMPARE(pty.read(1, 2000), QByteArray("A"));
        f->SBOpenComm->click();
        QVERIFY(!f->connection->port()->isOpen());
        // Reopening works once closed.
        f->SBOpenComm->click();
        QVERIFY(f->SBOpenComm->isChecked());
        f->SBOpenComm->click();
    }

    void ptyMissingDevice()
    {
        setSerialPortFactory(nullptr);
        startFreshProgram();
        f = formMain();
        f->portSetup->settings.PortName = QStringLiteral("/dev/does-not-exist-42");
        f->SBOpenComm->click();
        QCOMPARE(m_prompts.messages, QStringList{QStringLiteral("Ошибка открытия порта")});
        verifyClosedState();
    }

    void ptyUnplugged()
    {
        setSerialPortFactory(nullptr);
        startFreshProgram();
        f = formMain();
        auto pty = std::make_unique<Pty>();
        f->portSetup->settings.PortName = pty->slavePath();
        f->SBOpenComm->click();
        QVERIFY(f->SBOpenComm->isChecked());
        QSignalSpy closed(f->connection, &PortConnection::portClosed);
        pty.reset(); // the other end goes away
        QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 3000);
        QTest::qWait(200); // no second close, no storm
        QCOMPARE(closed.count(), 1);
        verifyClosedState();
        QCOMPARE(f->StatusPanel1->text(), QStringLiteral("Порт закрыт: устройство недоступно"));
        QVERIFY(m_prompts.messages.isEmpty());
    }
};

QTEST_MAIN(TstPortConnection)
#include "tst_portconnection.moc"
