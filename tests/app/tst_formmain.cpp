#include "ui/setupdlg.h"
#include "support/programfixture.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TstFormMain : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *&f = fx.f;

    // Answers the setup dialog that SBSetup opens.
    void setup(const std::function<void(TSetupDlg *)> &edit)
    {
        QTimer::singleShot(0, setupDlg(), [&] { edit(setupDlg()); });
        f->transmitBar.SBSetup->click();
    }

private slots:
    void init()
    {
        fx.start();
        QVERIFY(QTest::qWaitForWindowExposed(f));
    }

    void windowsAfterStart()
    {
        QCOMPARE(topLevel("FormMain"), f);
        for (const char *name : {"AboutBox", "SetupDlg", "FormText"})
            QVERIFY2(topLevel(name) && !topLevel(name)->isVisible(), name);
        f->mainMenu.Exit1->trigger(); // as the close box
        QVERIFY(!f->isVisible());
        // Drivers may start the program again: the windows are replaced, not added.
        startProgram();
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.cbegin(), windows.cend(), [](QWidget *w) { return w->objectName() == "FormMain"; }), 1);
    }

    // Panel4 and the text lines follow the window's width.
    void resizeRule()
    {
        f->resize(1058, 700);
        QTRY_COMPARE(f->transmitLines.Panel4->width(), 911);
        QCOMPARE(f->transmitLines.EditString[9]->width(), 412);
        QCOMPARE(f->transmitLines.EditString[7]->x(), 477);
        QCOMPARE(f->commandsPane.LEString->width(), 943);
    }

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
        setup([&](TSetupDlg *d) {
            if (!texts.isEmpty()) {
                d->CBCommPortName->setEditText(texts[0]);
                d->CBBaudRate->setEditText(texts[1]);
                d->SEByteSize->setValue(settings.ByteSize);
                d->CBParity->setEditText(texts[2]);
                d->CBStopBits->setEditText(texts[3]);
            }
            d->OKBtn->click();
        });
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
};

QTEST_MAIN(TstFormMain)
#include "tst_formmain.moc"
