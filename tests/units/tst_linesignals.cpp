#include "units/linesignals.h"
#include "units/portconnection.h"
#include "units/receivepath.h"
#include "units/settingsstore.h"
#include "support/programfixture.h"

#include <QAction>
#include <QElapsedTimer>
#include <QSettings>
#include <QTest>

class TstLineSignals : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *&f = fx.f;

    QList<QLabel *> leds() const
    {
        const StatusPanels &s = f->statusPanels;
        return {s.LedCTS, s.LedDSR, s.LedDCD, s.LedRI};
    }
    QString litPattern() const
    {
        QString out;
        for (QLabel *l : leds())
            out += !l->isEnabled() ? u'-' : l->property("lit").toBool() ? u'1' : u'0';
        return out;
    }

private slots:
    // The box keeps its text; the informative text carries the port's reason.
    void openFailureExplained_data()
    {
        QTest::addColumn<SerialPort::OpenResult>("result");
        QTest::addColumn<QString>("why");
        QTest::addColumn<QString>("text");
        QTest::newRow("missing") << SerialPort::OpenResult::OpenFailed
                                 << "Устройство /dev/ttyUSB0 не существует." << "Ошибка открытия порта";
        QTest::newRow("permission")
            << SerialPort::OpenResult::OpenFailed
            << "Нет прав на доступ к /dev/ttyS0 (владелец — группа dialout): добавьте пользователя в группу "
               "dialout и войдите в систему заново."
            << "Ошибка открытия порта";
        QTest::newRow("setting") << SerialPort::OpenResult::SettingsRejected
                                 << "Порт /dev/ttyS0 не может работать с настройкой «4 бита данных»."
                                 << "Ошибка SetCommState или GetCommTimeouts";
        QTest::newRow("reason unknown") << SerialPort::OpenResult::OpenFailed << "" << "Ошибка открытия порта";
    }
    void openFailureExplained()
    {
        QFETCH(SerialPort::OpenResult, result);
        QFETCH(QString, why);
        fx.start();
        fx.port->nextOpenResult = result;
        fx.port->nextFailureText = why;
        f->portBar.SBOpenComm->click();
        QVERIFY(!f->portBar.SBOpenComm->down());
        QCOMPARE(fx.prompts.messages, QStringList{QTest::currentDataTag() == QByteArray("setting")
                                                      ? QStringLiteral("Ошибка SetCommState или GetCommTimeouts")
                                                      : QStringLiteral("Ошибка открытия порта")});
        QTEST(fx.prompts.messages.value(0), "text");
        QCOMPARE(fx.prompts.informativeTexts, QStringList{why});
    }

    // Indicators follow the lines while open; dark and disabled while closed
    // or when the port cannot tell.
    void indicatorsFollowLines()
    {
        fx.start();
        QCOMPARE(litPattern(), QStringLiteral("----"));
        for (QLabel *l : leds())
            QVERIFY(!l->toolTip().isEmpty());
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
        // A port without lines (a pty) leaves them disabled while open.
        fx.port->lines.reset();
        f->portBar.SBOpenComm->click();
        QVERIFY(f->portBar.SBOpenComm->down());
        QCOMPARE(litPattern(), QStringLiteral("----"));
    }

    // Break is held 250 ms; the command is there exactly while the port is open.
    void breakHeldForItsTime()
    {
        fx.start();
        QAction *brk = f->mainMenu.miSendBreak;
        QCOMPARE(brk->text(), QStringLiteral("Послать Break"));
        QVERIFY(!brk->isEnabled());
        f->portBar.SBOpenComm->click();
        QVERIFY(brk->isEnabled());
        brk->trigger();
        QVERIFY(fx.port->breakHeld);
        brk->trigger(); // a second press while held does not stretch or restart it
        QTRY_VERIFY_WITH_TIMEOUT(!fx.port->breakHeld, 1000);
        QCOMPARE(fx.port->breaks.size(), 2);
        QCOMPARE(fx.port->breaks[0].first, QStringLiteral("break 1"));
        QCOMPARE(fx.port->breaks[1].first, QStringLiteral("break 0"));
        const qint64 held = fx.port->breaks[1].second - fx.port->breaks[0].second;
        QVERIFY2(held >= 250 && held < 330, qPrintable(QString::number(held)));
        // Closing while held ends it with the port; nothing is sent afterwards.
        brk->trigger();
        f->portBar.SBOpenComm->click();
        QVERIFY(!brk->isEnabled());
        QTest::qWait(300);
        QCOMPARE(fx.port->breaks.size(), 3);
    }

    // Bytes are read when the port announces them, without TimerRead.
    void readingFollowsTheNotification()
    {
        fx.start(true);
        QCOMPARE(f->timers.TimerRead->interval(), 80);
        QVERIFY(f->timers.TimerRead->isActive());
        f->timers.TimerRead->stop();
        fx.port->inject("abc");
        QTRY_COMPARE(f->receivePath->ReceivedCount, 3);
        // What arrives within a frame is read in one step.
        fx.port->inject("d");
        fx.port->inject("ef");
        fx.port->inject("g");
        QTRY_COMPARE(f->receivePath->ReceivedCount, 7);
        QCOMPARE(f->statusPanels.StatusPanel2->text(),
                 QStringLiteral("Принято: в последнем пакете - 4 байт; всего - 7 байт"));
    }

    // The preference lives in varnel.ini; the four files keep their sizes.
    void reconnectKeptInIni()
    {
        fx.start();
        QVERIFY(f->mainMenu.miReconnect->isCheckable());
        QVERIFY(f->mainMenu.miReconnect->isChecked());
        QCOMPARE(f->mainMenu.miReconnect->text(), QStringLiteral("Переподключать автоматически"));
        f->mainMenu.miReconnect->setChecked(false);
        QVERIFY(!f->connection->reconnect());
        QVERIFY(f->close());
        QDir dir(fx.dir.path());
        QCOMPARE(QFileInfo(dir.filePath("varnel.set")).size(), 16);
        QCOMPARE(QFileInfo(dir.filePath("varnel.sen")).size(), 48);
        QSettings ini(dir.filePath("varnel.ini"), QSettings::IniFormat);
        QCOMPARE(ini.value("Port/Reconnect").toBool(), false);
        startProgram(); // the same directory, files kept
        f = formMain();
        QVERIFY(!f->mainMenu.miReconnect->isChecked());
        QVERIFY(!f->connection->reconnect());
    }
};

QTEST_MAIN(TstLineSignals)
#include "tst_linesignals.moc"
