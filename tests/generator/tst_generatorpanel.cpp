#include "app/formmain.h"
#include "app/program.h"
#include "app/widgets.h"
#include "serial/portconnection.h"
#include "serial/portsetup.h"
#include "support/programfixture.h"
#include "support/fakeserialport.h"
#include "support/pty.h"
#include "support/recordingprompts.h"
#include "tables/transmittable.h"
#include "tables/transmittablemodel.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

namespace {

// Values for the seven fields, by component name.
struct Panel {
    int pulse = 0, count = 0, pause = 0, divider = 5, packets = 0, qPulse = 1, qPause = 1;
};

} // namespace

Q_DECLARE_METATYPE(Panel)

class TstGeneratorPanel : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    RecordingPrompts m_prompts;
    TFormMain *f = nullptr;
    FakeSerialPort *port = nullptr;

    QPushButton *button(const QString &name) { return f->findChild<QPushButton *>(name); }

    void fill(const Panel &p)
    {
        f->SELengthPulse->setValue(p.pulse);
        f->SECountPulse->setValue(p.count);
        f->SELengthPause->setValue(p.pause);
        f->SEDivider->setValue(p.divider);
        f->SENPaketov->setValue(p.packets);
        f->SEQPulseInPaket->setValue(p.qPulse);
        f->SEQPauseInPaket->setValue(p.qPause);
    }

    QStringList tableTexts()
    {
        QStringList out;
        TransmitTableModel *m = f->transmitTable->model();
        for (int c = 1; c <= m->dataColumnCount(); ++c)
            out << m->hexText(c) + QLatin1Char('/') + m->asciiText(c);
        return out;
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

    void frames_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<Panel>("panel");
        QTest::addColumn<QByteArray>("frame");
        auto hex = [](const char *h) { return QByteArray::fromHex(h); };
        const Panel defaults;
        const Panel timed{1000, 3, 500, 5, 0, 1, 1};
        const Panel packets{1000, 99, 500, 5, 10, 4, 2};
        QTest::newRow("start, defaults") << "BBStartGen" << defaults << hex("FFFFFF0000FFFF");
        QTest::newRow("stop, defaults") << "BitBtnStopGen" << defaults << hex("00FFFF0000FFFF");
        QTest::newRow("continuous") << "BBNeprGener" << timed << hex("FE17FC03000BFE");
        QTest::newRow("stop carries the fields") << "BitBtnStopGen" << timed << hex("0017FC03000BFE");
        QTest::newRow("with divider 2")
            << "BBNeprSDelit" << Panel{1000, 3, 500, 2} << hex("FC17FC03000BFE02");
        QTest::newRow("packets") << "BBNPaketov" << packets << hex("FB17FC0A000BFE0504000200");
        QTest::newRow("packets continuously")
            << "BBPaketNepreryvno" << packets << hex("FA17FC0A000BFE0504000200");
        QTest::newRow("durations 65535") << "BBStartGen" << Panel{65535, 0, 65535} << hex("FF000000000000");
        QTest::newRow("durations 65536 wrap") << "BBStartGen" << Panel{65536, 0, 65536} << hex("FFFFFF0000FFFF");
        QTest::newRow("durations -1") << "BBNeprGener" << Panel{-1, 0, -1} << hex("FE000000000000");
        QTest::newRow("count -1") << "BBStartGen" << Panel{0, -1, 0} << hex("FFFFFFFFFFFFFF");
        QTest::newRow("count 65536 wraps") << "BBStartGen" << Panel{0, 65536, 0} << hex("FFFFFF0000FFFF");
        QTest::newRow("packets -1, counts at their maximum")
            << "BBNPaketov" << Panel{0, 0, 0, 1, -1, 65535, 65535} << hex("FBFFFFFFFFFFFF01FFFFFFFF");
    }
    void frames()
    {
        QFETCH(QString, button);
        QFETCH(Panel, panel);
        QFETCH(QByteArray, frame);
        f->SBOpenComm->click();
        f->transmitTable->showBytes(QByteArray::fromHex("112233"));
        const QStringList table = tableTexts();
        fill(panel);
        port->clearLog();
        this->button(button)->click();
        QCOMPARE(port->written.toHex(' '), frame.toHex(' '));
        QCOMPARE(port->calls.size(), frame.size()); // one write per byte, nothing else
        QCOMPARE(f->transmitTable->TransmitArray.toHex(' '), frame.toHex(' '));
        QCOMPARE(f->transmitTable->TransmitCount, frame.size());
        QCOMPARE(f->StatusPanel1->text(), QStringLiteral("Передано: %1 байт").arg(frame.size()));
        QCOMPARE(tableTexts(), table);
    }

    void closedPortOpensFirst()
    {
        f->BBStartGen->click();
        QVERIFY(f->SBOpenComm->down());
        QVERIFY(f->TimerRead->isActive());
        QCOMPARE(port->calls.value(0), QStringLiteral("open COM1 9600 8 0 0"));
        QCOMPARE(port->written, QByteArray::fromHex("FFFFFF0000FFFF"));
        QCOMPARE(f->StatusPanel1->text(), QStringLiteral("Передано: 7 байт"));
        // The port stays open: the next click only writes.
        port->clearLog();
        f->BitBtnStopGen->click();
        QCOMPARE(port->calls.size(), 7);
        QVERIFY(f->SBOpenComm->down());
    }

    void failedOpenSendsNothing_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        QTest::newRow("open") << int(SerialPort::OpenResult::OpenFailed) << "Ошибка открытия порта";
        QTest::newRow("settings") << int(SerialPort::OpenResult::SettingsRejected)
                                  << "Ошибка SetCommState или GetCommTimeouts";
        QTest::newRow("timeouts") << int(SerialPort::OpenResult::TimeoutsRejected)
                                  << "Ошибка SetCommTimeouts или SetCommMask";
    }
    void failedOpenSendsNothing()
    {
        QFETCH(int, result);
        QFETCH(QString, message);
        port->nextOpenResult = SerialPort::OpenResult(result);
        const QByteArray before = f->transmitTable->TransmitArray;
        const int countBefore = f->transmitTable->TransmitCount;
        f->BBNPaketov->click();
        QCOMPARE(m_prompts.messages, QStringList{message});
        QVERIFY(!f->SBOpenComm->down());
        QVERIFY(port->written.isEmpty());
        QVERIFY(!port->calls.join(' ').contains(QLatin1String("write")));
        QCOMPARE(f->StatusPanel1->text(), QString());
        QCOMPARE(f->transmitTable->TransmitArray, before);
        QCOMPARE(f->transmitTable->TransmitCount, countBefore);
    }

    // A bounded field takes a typed value back into range as the click moves
    // the focus to the button, before the click is handled.
    void typedValueClampedBeforeClick_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("shown");
        QTest::newRow("divider 9") << "SEDivider" << "9" << "BBNeprSDelit" << 7 << QByteArray("\x05") << "5";
        QTest::newRow("divider 0") << "SEDivider" << "0" << "BBNeprSDelit" << 7 << QByteArray("\x01") << "1";
        QTest::newRow("divider emptied") << "SEDivider" << "" << "BBNeprSDelit" << 7 << QByteArray("\x01") << "1";
        QTest::newRow("divider 3") << "SEDivider" << "3" << "BBPaketNepreryvno" << 7 << QByteArray("\x03") << "3";
        QTest::newRow("pulses 0") << "SEQPulseInPaket" << "0" << "BBNPaketov" << 8 << QByteArray("\x01\x00", 2)
                                  << "1";
        QTest::newRow("unbounded -1") << "SELengthPulse" << "-1" << "BBStartGen" << 1 << QByteArray("\x00\x00", 2)
                                      << "-1";
        QTest::newRow("unbounded emptied")
            << "SECountPulse" << "" << "BBStartGen" << 3 << QByteArray("\x00\x00", 2) << "0";
    }
    void typedValueClampedBeforeClick()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(int, offset);
        QFETCH(QByteArray, sent);
        QFETCH(QString, shown);
        f->SBOpenComm->click();
        QApplication::setActiveWindow(f);
        QVERIFY(QTest::qWaitForWindowActive(f));
        auto *spin = f->findChild<SpinEdit *>(field);
        spin->setFocus();
        QTRY_VERIFY(spin->hasFocus());
        spin->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(spin, Qt::Key_Backspace);
        else
            QTest::keyClicks(spin, typed); // replaces the selection where the field accepts the text
        port->clearLog();
        QPushButton *b = this->button(button);
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(!spin->hasFocus());
        QCOMPARE(port->written.mid(offset, sent.size()).toHex(' '), sent.toHex(' '));
        QCOMPARE(spin->text(), shown);
    }

    // The real backend on a pty: the click opens the port and the frame
    // arrives whole.
    void framesArriveOverPty_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("packets") << "BBNPaketov" << QByteArray::fromHex("FB17FC0A000BFE0504000200");
        QTest::newRow("with divider") << "BBNeprSDelit" << QByteArray::fromHex("FC17FC03000BFE05");
    }
    void framesArriveOverPty()
    {
        QFETCH(QString, button);
        QFETCH(QByteArray, frame);
        setSerialPortFactory(nullptr);
        startFreshProgram();
        f = formMain();
        Pty pty;
        QVERIFY(pty.isValid());
        f->portSetup->settings.PortName = pty.slavePath();
        fill(Panel{1000, 3, 500, 5, 10, 4, 2});
        this->button(button)->click();
        QVERIFY2(m_prompts.messages.isEmpty(), qPrintable(m_prompts.messages.join(';')));
        QVERIFY(f->SBOpenComm->down());
        QCOMPARE(pty.read(frame.size(), 3000).toHex(' '), frame.toHex(' '));
        QCOMPARE(pty.read(1, 100), QByteArray()); // nothing more
        QCOMPARE(f->StatusPanel1->text(), QStringLiteral("Передано: %1 байт").arg(frame.size()));
        f->SBOpenComm->click();
    }
};

QTEST_MAIN(TstGeneratorPanel)
#include "tst_generatorpanel.moc"
