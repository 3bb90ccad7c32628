#include "app/formmain.h"
#include "app/program.h"
#include "app/widgets.h"
#include "serial/formtext.h"
#include "serial/portconnection.h"
#include "serial/portsetup.h"
#include "serial/receivedtextview.h"
#include "serial/receivepath.h"
#include "serial/serialport.h"
#include "support/programfixture.h"
#include "support/fakeserialport.h"
#include "support/pty.h"
#include "support/recordingprompts.h"
#include "tables/bytetableview.h"
#include "tables/receivetablemodel.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <QTimer>

namespace {

QString counters(qint64 n, qint64 total)
{
    return QStringLiteral("Принято: в последнем пакете - %1 байт; всего - %2 байт").arg(n).arg(total);
}

// Runs the event loop in short slices, so the 1 ms poll really ticks.
void pump(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

} // namespace

class TstReceivePath : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    RecordingPrompts m_prompts;
    TFormMain *f = nullptr;
    ReceivePath *rp = nullptr;
    FakeSerialPort *port = nullptr;

    QString cell(int row, int column) const
    {
        return f->SGReceive->model()->index(row, column).data().toString();
    }
    void receive(const QByteArray &bytes)
    {
        port->inject(bytes);
        rp->TimerReadTimer();
    }
    QString memoText() const { return formText()->Memo1->property("plainText").toString(); }

private slots:
    void initTestCase() { QDir::setCurrent(m_dir.path()); }
    void init()
    {
        FakeSerialPort::install();
        startFreshProgram();
        f = formMain();
        rp = f->receivePath;
        port = FakeSerialPort::last;
        f->SBOpenComm->click();
        QVERIFY(f->SBOpenComm->down());
        // Ticks come from the test only.
        f->TimerRead->stop();
    }

    void gridContract()
    {
        QCOMPARE(f->SGReceive->model(), rp->model());
        QCOMPARE(f->SGReceive->model()->rowCount(), 3);
        QCOMPARE(f->SGReceive->model()->columnCount(), 2);
        const QStringList headers{cell(0, 0), cell(1, 0), cell(2, 0), cell(0, 1)};
        QCOMPARE(headers, (QStringList{"№", "Hex", "ASCII", "1"}));
        QCOMPARE(f->SGReceive->objectName(), QStringLiteral("SGReceive"));
        QCOMPARE(formText()->Memo1->objectName(), QStringLiteral("Memo1"));
    }

    void countersAfterEachPoll_data()
    {
        QTest::addColumn<QList<int>>("packets");
        QTest::addColumn<QString>("status");
        QTest::newRow("one packet") << QList<int>{3} << counters(3, 3);
        QTest::newRow("three packets") << QList<int>{5, 1, 7} << counters(7, 13);
        QTest::newRow("quiet tick after bytes keeps the text") << QList<int>{4, 0} << counters(4, 4);
    }
    void countersAfterEachPoll()
    {
        QFETCH(QList<int>, packets);
        for (int n : packets)
            receive(QByteArray(n, 'x'));
        QTEST(f->StatusPanel2->text(), "status");
    }

    void restOfALongPacketComesNextTick()
    {
        const qint64 cap = ReceivePath::ReceiveBufferSize;
        receive(QByteArray(int(cap) + 10, 'q'));
        rp->TimerReadTimer();
        QCOMPARE(f->StatusPanel2->text(), counters(10, cap + 10));
        QCOMPARE(rp->model()->columnCount(), cap + 10 + 1);
    }

    void quietTickOnlyAdvancesTheLed_data()
    {
        QTest::addColumn<bool>("failing");
        QTest::newRow("nothing waiting") << false;
        QTest::newRow("the port cannot tell") << true;
    }
    void quietTickOnlyAdvancesTheLed()
    {
        QFETCH(bool, failing);
        rp->setClock([] { return qint64(0); }); // no LED change in this test
        receive("ab");
        f->StatusPanel2->setText(QStringLiteral("before"));
        if (failing) {
            port->failBytesWaiting = true;
            port->inject("c"); // there, but the port cannot tell
        }
        const int led = f->connection->LedBlinkCount;
        rp->TimerReadTimer();
        QCOMPARE(f->connection->LedBlinkCount, led + 1);
        QCOMPARE(f->StatusPanel2->text(), QStringLiteral("before"));
        QCOMPARE(rp->model()->columnCount(), 3);
        QCOMPARE(rp->ReceivedCount, 2);
        QCOMPARE(rp->ReceiveArray().toByteArray(), QByteArray("ab"));
    }

    void ledCadence_data()
    {
        QTest::addColumn<double>("tickMs");
        QTest::addColumn<int>("durationMs");
        QTest::addColumn<int>("changes");
        // About every 80 ms, whatever the tick rate.
        QTest::newRow("1 ms ticks") << 1.0 << 400 << 5;
        QTest::newRow("15.6 ms ticks") << 15.625 << 400 << 4;
        QTest::newRow("under one period") << 1.0 << 79 << 0;
    }
    void ledCadence()
    {
        QFETCH(double, tickMs);
        QFETCH(int, durationMs);
        double now = 1000;
        rp->setClock([&now] { return qint64(now); });
        const double end = now + durationMs;
        int changes = 0;
        bool lit = !f->ImageLedOn->isHidden();
        for (now += tickMs; now <= end; now += tickMs) {
            rp->TimerReadTimer();
            QCOMPARE(f->ImageLedOff->isHidden(), !f->ImageLedOn->isHidden());
            if (!f->ImageLedOn->isHidden() != lit) {
                ++changes;
                lit = !lit;
                QCOMPARE(f->connection->LedBlinkCount, 0);
            }
        }
        QTEST(changes, "changes");
    }

    void ledBlinksInRealTime()
    {
        f->TimerRead->start();
        int changes = 0;
        bool lit = !f->ImageLedOn->isHidden();
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 400) {
            pump(5);
            if (!f->ImageLedOn->isHidden() != lit) {
                ++changes;
                lit = !lit;
            }
        }
        QVERIFY2(changes >= 3 && changes <= 5, qPrintable(QString::number(changes)));
    }

    void clearEmptiesStoreAndTable()
    {
        receive("ABCDE");
        f->SBClearRec->click();
        QCOMPARE(rp->ReceivedCount, 0);
        QCOMPARE(rp->ReceiveArray().size(), 0);
        QCOMPARE(rp->model()->columnCount(), 2);
        QCOMPARE((QStringList{cell(0, 1), cell(1, 1), cell(2, 1)}), (QStringList{"1", "", ""}));
        // The counters stay until the next bytes.
        QCOMPARE(f->StatusPanel2->text(), counters(5, 5));
        receive("xyz");
        QCOMPARE(f->StatusPanel2->text(), counters(3, 3));
        QCOMPARE((QStringList{cell(0, 1), cell(0, 2), cell(0, 3), cell(1, 1), cell(1, 3)}),
                 (QStringList{"1", "2", "3", "78", "7A"}));
    }

    void hiddenTableStoresAndCounts()
    {
        f->ChBShowRecTable->setChecked(false);
        receive(QByteArray("0123456789"));
        QCOMPARE(rp->model()->columnCount(), 2);
        QCOMPARE(f->StatusPanel2->text(), counters(10, 10));
        f->ChBShowRecTable->setChecked(true);
        receive("AB");
        QCOMPARE(rp->model()->columnCount(), 13);
        QCOMPARE((QStringList{cell(0, 11), cell(1, 11), cell(2, 11), cell(1, 12)}), (QStringList{"11", "41", "A", "42"}));
        for (int c = 2; c <= 10; ++c)
            QVERIFY2(cell(0, c).isEmpty() && cell(1, c).isEmpty() && cell(2, c).isEmpty(), qPrintable(QString::number(c)));
        QCOMPARE(cell(0, 1), QStringLiteral("1"));
        QCOMPARE(cell(1, 1), QString());
        QCOMPARE(f->StatusPanel2->text(), counters(2, 12));
        QCOMPARE(rp->ReceiveArray().toByteArray(), QByteArray("0123456789AB"));
    }

    void timeStampRow()
    {
        receive("a");
        f->ChBGetSec->setChecked(true); // a check box runs its handler when set
        QCOMPARE(rp->model()->rowCount(), 4);
        QCOMPARE(cell(3, 0), QStringLiteral("Секунды"));
        const QString before = TimeStamp(QTime::currentTime(), QLocale::system());
        receive("bc");
        const QString after = TimeStamp(QTime::currentTime(), QLocale::system());
        for (int c : {2, 3})
            QVERIFY2(cell(3, c) == before || cell(3, c) == after, qPrintable(cell(3, c)));
        f->ChBGetSec->setChecked(false);
        QCOMPARE(rp->model()->rowCount(), 3);
    }

    void timeStampFormat_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("one-digit hour") << "ru_RU" << QTime(9, 5, 7) << "05:07";
        QTest::newRow("12-hour clock") << "en_US" << QTime(21, 5, 7) << "05:07";
        QTest::newRow("dot separator") << "fi_FI" << QTime(23, 59, 0) << "59.00";
        QTest::newRow("C") << "C" << QTime(0, 0, 59) << "00:59";
    }
    void timeStampFormat()
    {
        QFETCH(QString, locale);
        QFETCH(QTime, time);
        QTEST(TimeStamp(time, QLocale(locale)), "stamp");
    }

    void modelStaysConsistent()
    {
        QAbstractItemModelTester tester(rp->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        receive("hello");
        f->ChBGetSec->setChecked(true);
        receive("\r\n");
        f->SBClearRec->click();
        f->ChBShowRecTable->setChecked(false);
        receive("hidden");
        f->ChBShowRecTable->setChecked(true);
        receive("!");
        f->ChBGetSec->setChecked(false);
        QCOMPARE(rp->model()->columnCount(), 8);
    }

    void textWindowFollowsReceiveArray()
    {
        f->SBShowText->click();
        QVERIFY(formText()->isVisible());
        receive("A\r\nB");
        QCOMPARE(memoText(), QStringLiteral("A\nB"));
        // Its own clear empties it; the next bytes bring back the whole capture.
        formText()->SBClearRec->click();
        QCOMPARE(memoText(), QString());
        receive("C");
        QCOMPARE(memoText(), QStringLiteral("A\nBC"));
        // The receive table's clear leaves the text until the next bytes.
        f->SBClearRec->click();
        QCOMPARE(memoText(), QStringLiteral("A\nBC"));
        receive("D");
        QCOMPARE(memoText(), QStringLiteral("D"));
    }

    void textWindowCatchesUpAfterBeingOff()
    {
        receive("abc");
        QCOMPARE(memoText(), QString());
        f->SBShowText->click();
        QCOMPARE(memoText(), QString()); // unchanged until bytes arrive
        receive("d");
        QCOMPARE(memoText(), QStringLiteral("abcd"));
        f->SBShowText->click(); // closes
        QVERIFY(!formText()->isVisible());
        receive("e");
        QCOMPARE(memoText(), QStringLiteral("abcd"));
    }

    void closeBoxReleasesTheButton()
    {
        f->SBShowText->click();
        receive("x");
        QVERIFY(formText()->close());
        QVERIFY(!f->SBShowText->down());
        QVERIFY(!formText()->isVisible());
        f->SBShowText->click();
        QVERIFY(formText()->isVisible());
        QCOMPARE(memoText(), QStringLiteral("x"));
    }

    void textWindowComesWithTheMainWindow()
    {
        // A restored state sets the button without its handler.
        f->SBShowText->setDown(true);
        f->hide();
        QVERIFY(!formText()->isVisible());
        f->show();
        QTRY_VERIFY(formText()->isVisible());
        // Closing the main window does not release the button (it is saved).
        f->close();
        QVERIFY(f->SBShowText->down());
    }

    void loadedFileReplacesTheText()
    {
        f->SBShowText->click();
        receive("abc");
        rp->LoadReceiveArray("XYZ");
        QCOMPARE(memoText(), QStringLiteral("abc"));
        receive("1");
        QCOMPARE(memoText(), QStringLiteral("XYZ1"));
        QCOMPARE(cell(1, 4), QStringLiteral("31"));
        QCOMPARE(rp->ReceivedCount, 4);
    }

    void closingThePortKeepsTheCapture()
    {
        f->SBShowText->click();
        receive("ab");
        f->SBOpenComm->click();
        QVERIFY(!f->TimerRead->isActive());
        QCOMPARE(f->StatusPanel2->text(), counters(2, 2));
        QCOMPARE(memoText(), QStringLiteral("ab"));
        f->SBOpenComm->click();
        f->TimerRead->stop();
        receive("c");
        QCOMPARE(cell(0, 3), QStringLiteral("3"));
        QCOMPARE(f->StatusPanel2->text(), counters(1, 3));
        QCOMPARE(memoText(), QStringLiteral("abc"));
    }

    void burstsPaintOncePerFrame()
    {
        receive("a");
        QVERIFY(f->SGReceive->updatesEnabled());
        receive("b"); // within the same frame: held back
        QVERIFY(!f->SGReceive->updatesEnabled());
        QCOMPARE(cell(1, 2), QStringLiteral("62")); // the content is there already
        QTRY_VERIFY_WITH_TIMEOUT(f->SGReceive->updatesEnabled(), 200);
        QVERIFY(f->StatusPanel2->updatesEnabled());
    }

    void endToEndOverPty()
    {
        setSerialPortFactory(nullptr);
        startFreshProgram();
        f = formMain();
        rp = f->receivePath;
        Pty pty;
        QVERIFY(pty.isValid());
        f->portSetup->settings.PortName = pty.slavePath();
        f->SBOpenComm->click();
        QVERIFY(f->SBOpenComm->down());
        f->SBShowText->click();
        QVERIFY(pty.write("old"));
        QTRY_COMPARE(rp->ReceivedCount, 3);
        f->SBClearRec->click();

        // The three bytes wait in the port before one tick takes them.
        f->TimerRead->stop();
        QVERIFY(pty.write("\x41\x0D\x0A"));
        QTRY_COMPARE(f->connection->port()->bytesWaiting(), 3);
        f->TimerRead->start();
        QTRY_COMPARE(rp->ReceivedCount, 3);
        QCOMPARE((QStringList{cell(0, 1), cell(0, 2), cell(0, 3)}), (QStringList{"1", "2", "3"}));
        QCOMPARE((QStringList{cell(1, 1), cell(1, 2), cell(1, 3)}), (QStringList{"41", "0D", "0A"}));
        QCOMPARE((QStringList{cell(2, 1), cell(2, 2), cell(2, 3)}), (QStringList{"A", "\r", "\n"}));
        QCOMPARE(f->StatusPanel2->text(), counters(3, 3));
        QTRY_COMPARE(memoText(), QStringLiteral("A\n"));
        f->SBOpenComm->click();
    }
};

QTEST_MAIN(TstReceivePath)
#include "tst_receivepath.moc"
