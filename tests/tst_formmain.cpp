#include "app/aboutbox.h"
#include "app/formmain.h"
#include "app/program.h"
#include "app/widgets.h"
#include "serial/portsetup.h"
#include "serial/setupdlg.h"
#include "support/fakeserialport.h"
#include "support/programfixture.h"
#include "support/recordingprompts.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TstFormMain : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    RecordingPrompts m_prompts;
    TFormMain *f = nullptr;

private slots:
    void initTestCase()
    {
        QDir::setCurrent(m_dir.path());
        FakeSerialPort::install();
    }
    void init()
    {
        startFreshProgram();
        f = formMain();
        QVERIFY(QTest::qWaitForWindowExposed(f));
    }

    void windowsAfterStart()
    {
        QCOMPARE(topLevel("FormMain"), f);
        QVERIFY(f->isVisible());
        for (const char *name : {"AboutBox", "SetupDlg", "FormText"}) {
            QWidget *w = topLevel(name);
            QVERIFY2(w, name);
            QVERIFY2(!w->isVisible(), name);
        }
        // The first repaint puts the port parameters into the caption.
        QCOMPARE(f->windowTitle(), QStringLiteral("Транслятор портов: COM1; 9600 бод; размер символа - 8 бит; "
                                                  "паритет - no; стоп-битов - 1"));
        // A second start replaces the windows rather than adding more.
        startFreshProgram();
        int mains = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            mains += w->objectName() == QLatin1String("FormMain");
        QCOMPARE(mains, 1);
        f = formMain();
    }

    void controlsByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cls");
        const char *buttons[] = {"SpeedButton2", "SpeedButton1", "SBSetup", "SBClearTrans", "SBIns", "SBDel",
                                 "SBMakeFrameHDLC", "SBTrans", "SBTrans10", "SpeedButton3", "SpeedButton4",
                                 "SBAddGroup", "SBDelGroup", "SBTransLEStr", "SBOpen", "SBSave", "SBOpenComm",
                                 "SBClearRec", "SBShowText", "SBDTR", "SBRTS", "SBSend10DtrRts", "SBCircle"};
        for (const char *b : buttons)
            QTest::newRow(b) << b << "QToolButton";
        for (const char *s : {"SESizeTrans", "SECircle", "SECountC", "SELengthPause", "SELengthPulse",
                              "SECountPulse", "SEDivider", "SEQPulseInPaket", "SEQPauseInPaket", "SENPaketov"})
            QTest::newRow(s) << s << "QSpinBox";
        for (const char *g : {"SGTrans", "SGReceive", "SGTransStr"})
            QTest::newRow(g) << g << "QAbstractItemView";
        for (const char *b : {"BBStartGen", "BBNeprGener", "BBNeprSDelit", "BBPaketNepreryvno", "BBNPaketov",
                              "BitBtnStopGen"})
            QTest::newRow(b) << b << "QPushButton";
        for (const char *c : {"CheckBoxASCII", "ChBHexASCII", "ChBCR", "ChBGetSec", "ChBShowRecTable"})
            QTest::newRow(c) << c << "QCheckBox";
        for (const char *l : {"ImageLedOff", "ImageLedOn", "StatusPanel0", "StatusPanel1", "StatusPanel2",
                              "Label1", "Label11"})
            QTest::newRow(l) << l << "QLabel";
        QTest::newRow("LEString") << "LEString" << "QLineEdit";
        QTest::newRow("EditString7") << "EditString7" << "QLineEdit";
        QTest::newRow("StatusBar") << "StatusBar" << "QStatusBar";
        QTest::newRow("MainMenu1") << "MainMenu1" << "QMenuBar";
    }
    void controlsByName()
    {
        QFETCH(QString, name);
        QFETCH(QString, cls);
        QObject *o = f->findChild<QObject *>(name);
        QVERIFY2(o, qPrintable(name));
        QVERIFY2(o->inherits(qPrintable(cls)), qPrintable(name + " is " + o->metaObject()->className()));
    }

    void statusPanelsInStatusBar()
    {
        for (const char *name : {"StatusPanel0", "StatusPanel1", "StatusPanel2"})
            QCOMPARE(f->findChild<QLabel *>(name)->parent(), f->StatusBar);
        QCOMPARE(f->StatusPanel0->width(), 150);
        QCOMPARE(f->StatusPanel1->width(), 150);
        QVERIFY(f->StatusPanel2->width() >= 50);
    }

    void designedStates()
    {
        QVERIFY(!f->SBOpenComm->isChecked());
        QVERIFY(f->SBOpenComm->isCheckable());
        QVERIFY(f->ImageLedOff->isVisible());
        QVERIFY(!f->ImageLedOn->isVisible());
        for (QWidget *w : std::initializer_list<QWidget *>{f->SBDTR, f->SBRTS, f->SBSend10DtrRts, f->SBCircle,
                                                           f->SBTrans, f->SBTrans9, f->SBTransLEStr, f->EditString})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(f->EditString2->isEnabled());
        QVERIFY(f->ChBShowRecTable->isChecked());
        QVERIFY(!f->ChBGetSec->isChecked());
        QCOMPARE(f->RGWinOrDOSCharset->itemIndex(), 0);
        QCOMPARE(f->SESizeTrans->minimum(), 1);
        QCOMPARE(f->SESizeTrans->maximum(), 8192);
        QCOMPARE(f->SECountC->value(), 1000);
        QCOMPARE(f->SECircle->value(), 1000);
        QCOMPARE(f->SEDivider->maximum(), 5);
        QCOMPARE(f->SEDivider->value(), 5);
        QCOMPARE(f->SEQPauseInPaket->maximum(), 65535);
        QVERIFY(!f->TimerRead->isActive());
        QVERIFY(!f->TimerCircle->isActive());
        QCOMPARE(f->TimerRead->interval(), 1);
        QCOMPARE(f->TimerCircle->interval(), 1000);
        QCOMPARE(f->LEStringLabel->buddy(), f->LEString);
        QCOMPARE(f->LEStringLabel->text(), QStringLiteral("Наименование команды"));
        QCOMPARE(f->SBMakeFrameHDLC->text(), QStringLiteral("HDLC"));
        QCOMPARE(f->SBOpenComm->size(), QSize(23, 22));
        QCOMPARE(f->SBSend10DtrRts->size(), QSize(25, 22));
    }

    void headerCells()
    {
        for (QAbstractItemView *grid : {static_cast<QAbstractItemView *>(f->findChild<QAbstractItemView *>("SGTrans")),
                                        f->findChild<QAbstractItemView *>("SGReceive")}) {
            QAbstractItemModel *m = grid->model();
            QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("№"));
            QCOMPARE(m->index(1, 0).data().toString(), QStringLiteral("Hex"));
            QCOMPARE(m->index(2, 0).data().toString(), QStringLiteral("ASCII"));
            QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("1"));
            QCOMPARE(m->columnCount(), 2);
            QCOMPARE(m->rowCount(), 3);
        }
        QAbstractItemModel *c = f->findChild<QAbstractItemView *>("SGTransStr")->model();
        QCOMPARE(c->index(0, 1).data().toString(), QStringLiteral("Наименование"));
        QCOMPARE(c->index(0, 2).data().toString(), QStringLiteral("Код"));
        QCOMPARE(c->index(1, 0).data().toString(), QStringLiteral("1"));
        QCOMPARE(c->rowCount(), 2);
    }

    void hints_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hint");
        QTest::newRow("SpeedButton2") << "SpeedButton2" << "Открыть в таблицу передачи..";
        QTest::newRow("SpeedButton1") << "SpeedButton1" << "Сохранить таблицу передачи как..";
        QTest::newRow("SBSetup") << "SBSetup" << "Настройки порта";
        QTest::newRow("SBIns") << "SBIns" << "Вставить байт";
        QTest::newRow("SBDel") << "SBDel" << "Удалить байт";
        QTest::newRow("HDLC") << "SBMakeFrameHDLC" << "Формирование кадра HDLC";
        QTest::newRow("SBTrans") << "SBTrans" << "Передать в порт";
        QTest::newRow("SpeedButton3") << "SpeedButton3" << "Открыть файл команд";
        QTest::newRow("SpeedButton4") << "SpeedButton4" << "Сохранить команды в файле";
        QTest::newRow("SBAddGroup") << "SBAddGroup" << "Добавить команду";
        QTest::newRow("SBDelGroup") << "SBDelGroup" << "Удалить команду";
        QTest::newRow("SBOpen") << "SBOpen" << "Открыть в таблицу приема..";
        QTest::newRow("SBSave") << "SBSave" << "Сохранить таблицу приема как..";
        QTest::newRow("SBOpenComm") << "SBOpenComm" << "Открыть порт";
        QTest::newRow("SBShowText") << "SBShowText" << "Отображение приема текстом";
        QTest::newRow("SBDTR") << "SBDTR" << "DTR";
        QTest::newRow("SBRTS") << "SBRTS" << "RTS";
        QTest::newRow("bits (no tooltip)") << "SBSend10DtrRts" << "Передать биты с помощью смены DTR и RTS";
        QTest::newRow("BBStartGen") << "BBStartGen" << "Передача команды генератору импульсов";
        QTest::newRow("SBClearTrans (none)") << "SBClearTrans" << "";
        QTest::newRow("SBCircle (none)") << "SBCircle" << "";
    }
    void hints()
    {
        QFETCH(QString, name);
        QFETCH(QString, hint);
        auto *w = f->findChild<QWidget *>(name);
        QVERIFY(w);
        QCOMPARE(w->statusTip(), hint);
        QCOMPARE(w->toolTip(), name == QLatin1String("SBSend10DtrRts") ? QString() : hint);
        // The hint of the control under the mouse goes to the first panel.
        QStatusTipEvent tip(w->statusTip());
        QApplication::sendEvent(w, &tip);
        QCOMPARE(f->StatusPanel0->text(), hint);
    }

    void menu_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QKeySequence>("key");
        QTest::newRow("Open1") << "Open1" << "Открыть принятое" << QKeySequence();
        QTest::newRow("N2") << "N2" << "Сохранить принятое" << QKeySequence();
        QTest::newRow("miOpenTrans") << "miOpenTrans" << "Открыть файл для передачи" << QKeySequence();
        QTest::newRow("miSaveTrans") << "miSaveTrans" << "Сохранить массив передачи" << QKeySequence();
        QTest::newRow("Exit1") << "Exit1" << "Exit" << QKeySequence(Qt::ALT | Qt::Key_X);
        QTest::newRow("miInsertbyte") << "miInsertbyte" << "Insert byte" << QKeySequence(Qt::ALT | Qt::Key_Insert);
        QTest::newRow("miDeletebyte") << "miDeletebyte" << "Delete byte" << QKeySequence(Qt::ALT | Qt::Key_Delete);
        QTest::newRow("About1") << "About1" << "About.." << QKeySequence();
    }
    void menu()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QKeySequence, key);
        auto *a = f->findChild<QAction *>(name);
        QVERIFY(a);
        QCOMPARE(a->text(), text);
        QCOMPARE(a->shortcut(), key);
    }

    void resizeRule()
    {
        // Designed client area: Panel4 is 711 wide.
        f->resize(858, 700);
        QTRY_COMPARE(f->Panel4->width(), 711);
        QCOMPARE(f->EditString->width(), 312);
        QCOMPARE(f->SBTrans2->x(), 354);
        QCOMPARE(f->EditString2->x(), 377);
        QCOMPARE(f->LEString->width(), 743);
        QCOMPARE(f->EditString->x(), 32);
        QCOMPARE(f->EditString9->x(), 31);

        f->resize(1058, 700);
        QTRY_COMPARE(f->Panel4->width(), 911);
        for (QLineEdit *e : {f->EditString, f->EditString2, f->EditString5, f->EditString10})
            QCOMPARE(e->width(), 412);
        for (QWidget *w : std::initializer_list<QWidget *>{f->SBTrans2, f->SBTrans4, f->SBTrans10})
            QCOMPARE(w->x(), 454);
        QCOMPARE(f->EditString8->x(), 477);
        QCOMPARE(f->SBTrans3->x(), 8);
        QCOMPARE(f->LEString->width(), 943);
    }

    void exitClosesLikeCloseBox()
    {
        QVERIFY(f->isVisible());
        f->Exit1->trigger();
        QVERIFY(!f->isVisible());
    }

    void setupDialogDefaults()
    {
        TSetupDlg *d = setupDlg();
        QCOMPARE(d->windowTitle(), QStringLiteral("Параметры порта"));
        f->portSetup->FillSetupDialog();
        QCOMPARE(d->CBCommPortName->currentText(), QStringLiteral("COM1"));
        QCOMPARE(d->CBCommPortName->count(), 9);
        QCOMPARE(d->CBBaudRate->currentText(), QStringLiteral("9600"));
        QCOMPARE(d->CBBaudRate->count(), 15);
        QCOMPARE(d->SEByteSize->value(), 8);
        QCOMPARE(d->CBParity->currentText(), QStringLiteral("no"));
        QCOMPARE(d->CBStopBits->currentText(), QStringLiteral("1"));
    }

    void setupAccept_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("baud");
        QTest::addColumn<int>("bits");
        QTest::addColumn<QString>("parity");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("parityIndex");
        QTest::addColumn<int>("stopIndex");
        QTest::addColumn<QString>("caption");
        QTest::newRow("unchanged") << "COM1" << "9600" << 8 << "no" << "1" << 9600 << 0 << 0
                                   << "Транслятор портов: COM1; 9600 бод; размер символа - 8 бит; паритет - no; стоп-битов - 1";
        QTest::newRow("115200 even") << "COM1" << "115200" << 8 << "even" << "1" << 115200 << 2 << 0
                                     << "Транслятор портов: COM1; 115200 бод; размер символа - 8 бит; паритет - even; стоп-битов - 1";
        QTest::newRow("unlisted rate taken") << "ttyUSB0" << "31250" << 7 << "odd" << "2" << 31250 << 1 << 2
                                             << "Транслятор портов: ttyUSB0; 31250 бод; размер символа - 7 бит; паритет - odd; стоп-битов - 2";
        QTest::newRow("bad rate kept") << "COM3" << "fast" << 8 << "space" << "1,5" << 9600 << 4 << 1
                                       << "Транслятор портов: COM3; 9600 бод; размер символа - 8 бит; паритет - space; стоп-битов - 1,5";
        QTest::newRow("unlisted parity") << "COM1" << "9600" << 4 << "weird" << "3" << 9600 << 255 << 255
                                         << "Транслятор портов: COM1; 9600 бод; размер символа - 4 бит; паритет - weird; стоп-битов - 3";
    }
    void setupAccept()
    {
        QFETCH(QString, port);
        QFETCH(QString, baud);
        QFETCH(int, bits);
        QFETCH(QString, parity);
        QFETCH(QString, stop);
        TSetupDlg *d = setupDlg();
        QTimer::singleShot(0, d, [&] {
            d->CBCommPortName->setEditText(port);
            d->CBBaudRate->setEditText(baud);
            d->SEByteSize->setValue(bits);
            d->CBParity->setEditText(parity);
            d->CBStopBits->setEditText(stop);
            d->OKBtn->click();
        });
        f->SBSetup->click();
        const PortSettings &s = f->portSetup->settings;
        QCOMPARE(s.PortName, port);
        QTEST(int(s.BaudRate), "rate");
        QCOMPARE(int(s.ByteSize), bits);
        QTEST(int(s.Parity), "parityIndex");
        QTEST(int(s.StopBits), "stopIndex");
        QTEST(f->windowTitle(), "caption");
    }

    void setupCancelChangesNothing()
    {
        TSetupDlg *d = setupDlg();
        const PortSettings before = f->portSetup->settings;
        const QString caption = f->windowTitle();
        QTimer::singleShot(0, d, [&] {
            d->CBCommPortName->setEditText("COM7");
            d->CBBaudRate->setCurrentIndex(0);
            d->SEByteSize->setValue(5);
            d->CBParity->setCurrentIndex(3);
            d->CancelBtn->click();
        });
        f->SBSetup->click();
        QCOMPARE(f->portSetup->settings, before);
        QCOMPARE(f->windowTitle(), caption);
        f->portSetup->FillSetupDialog();
        QCOMPARE(d->CBCommPortName->currentText(), QStringLiteral("COM1"));
        QCOMPARE(d->CBParity->currentText(), QStringLiteral("no"));
        QCOMPARE(d->SEByteSize->value(), 8);
    }

    void fillShowsRateOutsideList()
    {
        f->portSetup->settings.BaudRate = 921600;
        f->portSetup->settings.Parity = 9;
        f->portSetup->FillSetupDialog();
        QCOMPARE(setupDlg()->CBBaudRate->currentText(), QStringLiteral("921600"));
        QCOMPARE(setupDlg()->CBParity->currentText(), QString());
    }

    void probeListsOpenablePorts()
    {
        QComboBox box;
        box.setEditable(true);
        box.addItems({"COM1", "COM2"});
        box.setEditText("ttyUSB9");
        const int n = ProbePorts(&box, {"ttyS0", "ttyS1", "ttyUSB0"},
                                 [](const QString &name) { return name != QLatin1String("ttyS1"); });
        QCOMPARE(n, 2);
        QCOMPARE(box.count(), 2);
        QCOMPARE(box.itemText(0), QStringLiteral("ttyS0"));
        QCOMPARE(box.itemText(1), QStringLiteral("ttyUSB0"));
        QCOMPARE(box.currentText(), QStringLiteral("ttyUSB9"));
    }

    void aboutBox()
    {
        TAboutBox *box = ::aboutBox();
        QCOMPARE(box->windowTitle(), QStringLiteral("About"));
        QVERIFY(box->findChild<QLabel *>("ProductName")->text() == QStringLiteral("Varnel"));
        QTimer::singleShot(0, box, [box] { box->findChild<QPushButton *>("OKButton")->click(); });
        f->About1->trigger();
        QVERIFY(!box->isVisible());
    }
};

QTEST_MAIN(TstFormMain)
#include "tst_formmain.moc"
