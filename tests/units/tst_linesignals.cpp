#include "units/linesignals.h"
#include "units/portconnection.h"
#include "units/receivepath.h"
#include "support/programfixture.h"

#include <QAction>
#include <QTest>

class TstLineSignals : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *&f = fx.f;

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

QTEST_MAIN(TstLineSignals)
#include "tst_linesignals.moc"
