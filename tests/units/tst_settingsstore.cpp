#include "core/gridmodel.h"
#include "core/settingsfiles.h"
#include "support/programfixture.h"
#include "ui/commandgridview.h"
#include "ui/formtext.h"
#include "units/portconnection.h"
#include "units/commandlist.h"
#include "units/settingsstore.h"

#include <QScreen>
#include <QTest>

class TstSettingsStore : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *&f = fx.f;

    // The next run, from the files in the directory; `close` ends this one first.
    void restart(bool close = false)
    {
        if (close)
            QVERIFY(f->close());
        startProgram();
        f = formMain();
        QVERIFY(QTest::qWaitForWindowExposed(f));
    }

private slots:
    void init()
    {
        fx.prompts.answerYes = true;
        fx.start();
    }

    // The record holds four characters of the name; the whole name comes
    // back all the same, and the caption tells the settings restored.
    void portSettingsRoundTrip()
    {
        const PortSettings settings{"/dev/serial/by-id/usb-x", 19200, 7, 2, 2};
        f->portSetup->settings = settings;
        restart(true);
        QFile record(fx.file("varnel.set"));
        QVERIFY(record.open(QIODevice::ReadOnly));
        QCOMPARE(DecodePortSettingsRecord(record.readAll())->PortName, QStringLiteral("/dev"));
        QCOMPARE(f->portSetup->settings, settings);
        QTRY_VERIFY(f->windowTitle().endsWith(QStringLiteral("7 бит; паритет - even; стоп-битов - 2")));
    }

    void stringsFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("numbers"); // divider, pulses, pauses after their range checks
        const QByteArray head = "l0\r\nl1\r\nl2\r\nl3\r\nl4\r\nl5\r\nl6\r\nl7\r\nl8\r\nl9\r\ncode\r\nname\r\n";
        QTest::newRow("count not a number") << head + "x\r\n0\r\n70000\r\n0\r\n" << 2 << QList<int>{1, 65535, 1};
        QTest::newRow("empty file") << QByteArray() << 2 << QList<int>{5, 1, 1};
    }
    void stringsFile()
    {
        QFETCH(QByteArray, content);
        fx.put("varnel.str", content);
        restart();
        const GeneratorControls &g = f->generatorControls;
        QTEST(f->commandsPane.SGTransStr->grid()->rowCount(), "rows");
        QTEST((QList<int>{g.SEDivider->value(), g.SEQPulseInPaket->value(), g.SEQPauseInPaket->value()}), "numbers");
        QCOMPARE(f->transmitLines.EditString[0]->text() + f->transmitLines.EditString[9]->text()
                     + f->commandsPane.LEString->text() + f->commandsPane.LEStringLabel->text(),
                 content.isEmpty() ? QString() : QStringLiteral("l0l9codename"));
    }

    // The view record and, in varnel.ini beside it, the reconnect preference.
    void viewSettingsRoundTrip()
    {
        QVERIFY(f->mainMenu.miReconnect->isChecked()); // on by default
        f->mainMenu.miReconnect->setChecked(false);
        f->transmitLines.CheckBoxASCII->click();
        f->portBar.SBShowText->click();
        formText()->resize(500, 200);
        f->resize(700, 500); // smaller than designed
        f->transmitLines.EditString[6]->setText("ПРИВЕТ $0D");
        f->commandList->setCommands({{"Ping", "AT"}});
        f->commandsPane.LEString->setText("ATZ"); // the working copy, not the cell
        restart(true);
        QFile sen(fx.file("varnel.sen"));
        QVERIFY(sen.open(QIODevice::ReadOnly));
        const ViewSettings v = *DecodeViewSettingsRecord(sen.readAll());
        QCOMPARE(QSize(v.mainWidth, v.mainHeight), QSize(708, 527)); // the outer size, as designed
        QCOMPARE(f->size(), QSize(700, 500));
        // Restoring CheckBoxASCII runs its handler; the text window is shown from the start.
        QVERIFY(f->transmitLines.CheckBoxASCII->isChecked() && f->transmitLines.EditString[0]->isEnabled());
        QTRY_VERIFY(formText()->isVisible());
        QCOMPARE(formText()->size(), QSize(500, 200));
        QCOMPARE(f->transmitLines.EditString[6]->text() + f->commandsPane.LEString->text(), QStringLiteral("ПРИВЕТ $0DATZ"));
        QVERIFY(!f->mainMenu.miReconnect->isChecked() && !f->connection->reconnect());
    }

    void offScreenGeometryComesBack()
    {
        fx.put("varnel.sen", EncodeViewSettingsRecord({.mainWidth = 866, .mainHeight = 727, .mainTop = 90000,
                                                    .mainLeft = -50000}));
        restart();
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().intersects(f->geometry()));
        fx.put("varnel.sen", EncodeViewSettingsRecord({.mainWidth = 2000000000, .mainHeight = 2000000000}));
        restart();
        QVERIFY(f->width() < 100000);
    }

    void unwritableDirectoryAsksBeforeClosing()
    {
        f->settingsStore->SettingsDir = fx.dir.filePath("gone");
        fx.prompts.answerYes = false;
        f->close();
        QCOMPARE(fx.prompts.errors.size(), 1);
        QCOMPARE(fx.prompts.questions, QStringList{QStringLiteral("Закрыть программу без сохранения настроек?")});
        QVERIFY(f->isVisible());
        fx.prompts.answerYes = true;
        f->close();
        QVERIFY(!f->isVisible());
    }
};

QTEST_MAIN(TstSettingsStore)
#include "tst_settingsstore.moc"
