#include "app/formmain.h"
#include "app/program.h"
#include "app/widgets.h"
#include "serial/portconnection.h"
#include "serial/portsetup.h"
#include "serial/transmitpath.h"
#include "support/programfixture.h"
#include "support/fakeserialport.h"
#include "support/pty.h"
#include "support/recordingprompts.h"
#include "tables/transmittable.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>
#include <QTimer>

#include <unistd.h>

namespace {

QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}

// Runs the event loop in short slices so the cyclic timer keeps its pace.
template <typename Done>
bool spin(Done done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        QThread::usleep(500);
    }
    return true;
}

} // namespace

class TstTransmitPath : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    RecordingPrompts m_prompts;
    TFormMain *f = nullptr;
    FakeSerialPort *port = nullptr;

    void setModes(bool ascii, bool hexAscii, bool cr, bool dos)
    {
        f->CheckBoxASCII->setChecked(ascii);
        f->ChBHexASCII->setChecked(hexAscii);
        f->ChBCR->setChecked(cr);
        f->RGWinOrDOSCharset->setItemIndex(dos ? 1 : 0);
    }

    void startOnPty(Pty &pty)
    {
        setSerialPortFactory(nullptr);
        startFreshProgram();
        f = formMain();
        f->portSetup->settings.PortName = pty.slavePath();
        f->SBOpenComm->click();
        QVERIFY2(m_prompts.messages.isEmpty(), qPrintable(m_prompts.messages.join(u';')));
        QVERIFY(f->SBOpenComm->down());
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
        f->SBOpenComm->click();
        port->clearLog();
    }

    void send_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<bool>("ascii");
        QTest::addColumn<bool>("hexAscii");
        QTest::addColumn<bool>("cr");
        QTest::addColumn<bool>("dos");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("table mode ignores line and options")
            << hex("010203") << false << true << true << true << "AB" << hex("010203");
        QTest::newRow("text") << hex("01") << true << false << false << false << "AB" << hex("4142");
        QTest::newRow("text CR LF") << hex("01") << true << false << true << false << "AB" << hex("41420D0A");
        QTest::newRow("escapes") << hex("01") << true << false << false << false << "$41$$x$0d" << hex("4124780D");
        QTest::newRow("hex+ascii") << hex("0102") << true << true << false << false << "A" << hex("010241");
        QTest::newRow("hex+ascii CR LF empty line")
            << hex("0102") << true << true << true << false << "" << hex("01020D0A");
        QTest::newRow("empty line") << hex("01") << true << false << false << false << "" << QByteArray();
        QTest::newRow("empty line CR LF") << hex("01") << true << false << true << false << "" << hex("0D0A");
        QTest::newRow("dos cyrillic, escape unconverted")
            << hex("01") << true << false << false << true << "АяЁ$C0" << hex("80EFA8C0");
        QTest::newRow("dos with everything") << hex("FF") << true << true << true << true << "р" << hex("FFE00D0A");
    }
    void send()
    {
        QFETCH(QByteArray, table);
        QFETCH(bool, ascii);
        QFETCH(bool, hexAscii);
        QFETCH(bool, cr);
        QFETCH(bool, dos);
        QFETCH(QString, line);
        QFETCH(QByteArray, sent);
        f->transmitTable->showBytes(table);
        setModes(ascii, hexAscii, cr, dos);
        f->EditString->setText(line);
        f->SBTrans->click();
        QCOMPARE(port->written.toHex(' '), sent.toHex(' '));
        // One write call per byte, nothing else.
        QStringList calls;
        for (char b : sent)
            calls << QStringLiteral("write ") + QByteArray(1, b).toHex().toUpper();
        QCOMPARE(port->calls, calls);
        QCOMPARE(f->transmitTable->TransmitArray, sent);
        QCOMPARE(f->transmitTable->TransmitCount, int(sent.size()));
        QCOMPARE(f->StatusPanel1->text(), QStringLiteral("Передано: %1 байт").arg(sent.size()));
    }

    void eachButtonSendsItsLine_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("edit");
        for (int i = 1; i <= 10; ++i) {
            const QString n = i == 1 ? QString() : QString::number(i);
            QTest::newRow(qPrintable("SBTrans" + n)) << "SBTrans" + n << "EditString" + n;
        }
        QTest::newRow("SBTransLEStr") << "SBTransLEStr" << "LEString";
    }
    void eachButtonSendsItsLine()
    {
        QFETCH(QString, button);
        QFETCH(QString, edit);
        const QStringList edits{"EditString", "EditString2", "EditString3", "EditString4", "EditString5",
                                "EditString6", "EditString7", "EditString8", "EditString9", "EditString10", "LEString"};
        for (const QString &e : edits)
            f->findChild<QLineEdit *>(e)->setText(e);
        f->transmitTable->showBytes(hex("010203"));
        auto *b = f->findChild<SpeedButton *>(button);
        QVERIFY(b && b->isEnabled());

        // Table mode: every button sends the table, whatever its line holds.
        b->click();
        QCOMPARE(port->written, hex("010203"));
        QCOMPARE(f->StatusPanel1->text(), QStringLiteral("Передано: 3 байт"));

        port->clearLog();
        f->CheckBoxASCII->setChecked(true);
        b->click();
        QCOMPARE(port->written, edit.toLatin1());
    }

    void checkBoxASCII_data()
    {
        QTest::addColumn<bool>("byUser");
        QTest::newRow("click") << true;
        QTest::newRow("set from code") << false;
    }
    void checkBoxASCII()
    {
        QFETCH(bool, byUser);
        QList<QLineEdit *> follow{f->EditString, f->EditString2, f->EditString3,
                                  f->EditString4, f->EditString5, f->EditString6};
        QList<QLineEdit *> stay{f->EditString7, f->EditString8, f->EditString9, f->EditString10};
        for (bool ticked : {true, false, true}) {
            if (byUser)
                f->CheckBoxASCII->click();
            else
                f->CheckBoxASCII->setChecked(ticked);
            QCOMPARE(f->CheckBoxASCII->isChecked(), ticked);
            for (QLineEdit *e : follow)
                QVERIFY2(e->isEnabled() == ticked, qPrintable(e->objectName()));
            for (QLineEdit *e : stay)
                QVERIFY2(e->isEnabled(), qPrintable(e->objectName()));
            QVERIFY(f->SBTrans->isEnabled()); // the buttons follow the port only
        }
    }

    void secircleKeptAtOneOrMore_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << "0" << 1;
        QTest::newRow("negative") << "-5" << 1;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("period") << "250" << 250;
    }
    void secircleKeptAtOneOrMore()
    {
        QFETCH(QString, typed);
        f->SECircle->selectAll();
        QTest::keyClicks(f->SECircle, typed);
        QTEST(f->SECircle->value(), "value");
        QCOMPARE(f->SECircle->text(), QString::number(f->SECircle->value()));
        f->SECircle->setValue(-3); // a value set by the program, e.g. from the settings
        QCOMPARE(f->SECircle->value(), 1);
    }

    void cyclicRunStopsAfterCount()
    {
        f->transmitTable->showBytes(hex("AA"));
        f->SECountC->setValue(3);
        f->SECircle->setValue(20);
        f->SBCircle->click();
        QVERIFY(f->TimerCircle->isActive());
        QCOMPARE(f->TimerCircle->interval(), 20);
        f->SECircle->setValue(5000); // taken only when the run starts
        QVERIFY(spin([&] { return !f->SBCircle->down(); }, 3000));
        QCOMPARE(port->written, hex("AAAAAA"));
        QCOMPARE(f->transmitPath->CycleCount, 3);
        QVERIFY(!f->TimerCircle->isActive());
        QTest::qWait(60);
        QCOMPARE(port->written.size(), 3);
    }

    void loweringTheCountEndsAfterTheNextSend()
    {
        f->transmitTable->showBytes(hex("AA"));
        f->SECountC->setValue(1000);
        f->SECircle->setValue(10);
        f->SBCircle->click();
        QVERIFY(spin([&] { return port->written.size() >= 3; }, 3000));
        const int sent = int(port->written.size());
        f->SECountC->setValue(1);
        QVERIFY(spin([&] { return !f->SBCircle->down(); }, 3000));
        QCOMPARE(int(port->written.size()), sent + 1);
    }

    void releasingStopsTheRun()
    {
        f->SECountC->setValue(1000);
        f->SECircle->setValue(10);
        f->SBCircle->click();
        QVERIFY(spin([&] { return port->written.size() >= 2; }, 3000));
        f->SBCircle->click();
        QVERIFY(!f->TimerCircle->isActive());
        const qsizetype sent = port->written.size();
        QTest::qWait(50);
        QCOMPARE(port->written.size(), sent);
        // A new run counts from zero again.
        f->SECountC->setValue(2);
        f->SBCircle->click();
        QCOMPARE(f->transmitPath->CycleCount, 0);
        QVERIFY(spin([&] { return !f->SBCircle->down(); }, 3000));
        QCOMPARE(port->written.size(), sent + 2);
    }

    // The hook for the bit sequence runs on every tick, after the send.
    void tickHookAfterTheCyclicSend()
    {
        f->transmitTable->showBytes(hex("AABB"));
        QList<qsizetype> writtenAtHook;
        connect(f->transmitPath, &TransmitPath::tickAfterCycle, this,
                [&] { writtenAtHook << port->written.size(); });
        f->SECountC->setValue(2);
        f->SECircle->setValue(10);
        f->SBCircle->click();
        QVERIFY(spin([&] { return !f->SBCircle->down(); }, 3000));
        QCOMPARE(writtenAtHook, (QList<qsizetype>{2, 4}));
        // With SBCircle up the tick sends nothing but still reaches the hook.
        f->TimerCircle->start();
        QVERIFY(spin([&] { return writtenAtHook.size() >= 4; }, 3000));
        f->TimerCircle->stop();
        QCOMPARE(port->written.size(), 4);
    }

    // End to end through the Qt backend on a pseudo-terminal.
    void ptySend_data()
    {
        send_data();
    }
    void ptySend()
    {
        QFETCH(QByteArray, table);
        QFETCH(bool, ascii);
        QFETCH(bool, hexAscii);
        QFETCH(bool, cr);
        QFETCH(bool, dos);
        QFETCH(QString, line);
        QFETCH(QByteArray, sent);
        Pty pty;
        QVERIFY(pty.isValid());
        startOnPty(pty);
        f->transmitTable->showBytes(table);
        setModes(ascii, hexAscii, cr, dos);
        f->EditString->setText(line);
        f->SBTrans->click();
        const QByteArray arrived = pty.read(qMax<int>(1, int(sent.size())), sent.isEmpty() ? 100 : 2000);
        QCOMPARE(arrived.toHex(' '), sent.toHex(' '));
        QCOMPARE(f->StatusPanel1->text(), QStringLiteral("Передано: %1 байт").arg(sent.size()));
        f->SBOpenComm->click();
    }

    void ptyCyclicRun()
    {
        Pty pty;
        QVERIFY(pty.isValid());
        startOnPty(pty);
        setModes(true, false, true, false);
        f->EditString->setText(QStringLiteral("X"));
        f->SECountC->setValue(3);
        f->SECircle->setValue(100);
        QElapsedTimer clock;
        clock.start();
        f->SBCircle->click();

        // Each send arrives as one burst; note when each burst begins.
        QList<qint64> bursts;
        QByteArray all;
        qint64 lastByteAt = -1000;
        const auto drain = [&] {
            char buf[256];
            const ssize_t n = ::read(pty.masterFd(), buf, sizeof buf);
            if (n > 0) {
                const qint64 now = clock.elapsed();
                if (now - lastByteAt > 30)
                    bursts << now;
                lastByteAt = now;
                all.append(buf, n);
            }
        };
        QVERIFY(spin([&] { drain(); return !f->SBCircle->down(); }, 3000));
        spin([&] { drain(); return false; }, 300); // nothing more comes
        QCOMPARE(all, QByteArray("X\r\nX\r\nX\r\n"));
        QCOMPARE(bursts.size(), 3);
        // The first send comes one period after the button went down.
        QVERIFY2(bursts[0] >= 80 && bursts[0] <= 250, qPrintable(QString::number(bursts[0])));
        for (int i = 1; i < bursts.size(); ++i) {
            const qint64 gap = bursts[i] - bursts[i - 1];
            QVERIFY2(gap >= 70 && gap <= 250, qPrintable(QStringLiteral("gap %1").arg(gap)));
        }
        QVERIFY(!f->SBCircle->down());
        QVERIFY(!f->TimerCircle->isActive());
        f->SBOpenComm->click();
    }
};

QTEST_MAIN(TstTransmitPath)
#include "tst_transmitpath.moc"
