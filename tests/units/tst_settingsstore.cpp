#include "core/commandfile.h"
#include "core/gridmodel.h"
#include "core/receivetablemodel.h"
#include "core/settingsfiles.h"
#include "support/programfixture.h"
#include "ui/commandgridview.h"
#include "ui/formtext.h"
#include "units/portconnection.h"
#include "units/commandlist.h"
#include "units/datafiles.h"
#include "units/receivepath.h"
#include "units/settingsstore.h"
#include "units/transmittable.h"

#include <QScreen>
#include <QTest>

#include <sys/resource.h>

namespace {

// The most memory this process has held at once, in MiB: it only grows.
qint64 peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

// What comes back after a restart, also from long, large or damaged files,
// and what is said when a file cannot be written.
class TstSettingsStore : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *&f = fx.f;

    QByteArray contents(const char *name) const
    {
        QFile in(fx.file(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
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

    // First, while the peak is low: a settings record followed by 1 GiB is
    // read for its own bytes only, and a capture is saved from its store,
    // never as a second whole copy.
    void largeFilesCostNoCopy()
    {
        fx.put("varnel.set", QByteArray::fromHex("04434F4D33000000004B000007020200"));
        QVERIFY(QFile::resize(fx.file("varnel.set"), (qint64(1) << 30) + 16)); // sparse: costs no disk
        qint64 before = peakMiB();
        restart();
        QCOMPARE(f->portSetup->settings.PortName, QStringLiteral("COM3"));
        QVERIFY2(peakMiB() - before < 64, qPrintable(QString::number(peakMiB() - before)));

        QByteArray piece(1 << 20, Qt::Uninitialized);
        for (int i = 0; i < 128; ++i)
            f->receivePath->model()->appendHidden(piece.fill(char(i)).constData(), piece.size());
        fx.prompts.fileNames = {fx.file("capture.RCV")};
        before = peakMiB();
        f->dataFiles->N2Click();
#if !defined(__SANITIZE_ADDRESS__) // its quarantine holds on to every freed piece
        QVERIFY2(peakMiB() - before < 64, qPrintable(QString::number(peakMiB() - before)));
#endif
        QCOMPARE(QFileInfo(fx.file("capture.RCV")).size(), qint64(128) << 20);
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

    // Adding stops at the bound; a list past it (as older runs could write
    // one) comes back whole, with the lines after it (the whole port name
    // too, and the caption tells the settings restored), and the next close
    // writes the same bytes.
    void longCommandListSurvivesRestarts()
    {
        f->commandList->setCommands(QList<Command>(kMaxCommandRows));
        f->commandsPane.SBAddGroup->click();
        QCOMPARE(fx.prompts.messages.size(), 1);
        QCOMPARE(f->commandList->commands().size(), kMaxCommandRows);
        QList<Command> list;
        for (int i = 0; i <= kMaxCommandRows; ++i)
            list.append({QStringLiteral("n%1").arg(i), QStringLiteral("c%1").arg(i)});
        f->commandList->setCommands(list);
        const PortSettings settings{"/dev/serial/by-id/usb-x", 19200, 7, 2, 2}; // the record holds "/dev"
        f->portSetup->settings = settings;
        restart(true);
        const QByteArray written = contents("varnel.str");
        QCOMPARE(f->commandList->commands(), list);
        QCOMPARE(f->portSetup->settings, settings);
        QTRY_VERIFY(f->windowTitle().endsWith(QStringLiteral("7 бит; паритет - even; стоп-битов - 2")));
        restart(true);
        QCOMPARE(contents("varnel.str"), written);
    }

    // No edit cuts text; lines and codes come back whole after a restart,
    // into the cell editor and LEString too.
    void longTextsKeptWhole()
    {
        QVERIFY(f->portSetup->dialog()); // its boxes are edits too
        const QString text(40000, QLatin1Char('x'));
        int edits = 0;
        for (QWidget *w : QApplication::allWidgets())
            if (auto *edit = qobject_cast<QLineEdit *>(w); edit && !qobject_cast<QAbstractSpinBox *>(w->parent())) {
                edit->setText(text);
                QVERIFY2(edit->text() == text, qPrintable(edit->objectName()));
                ++edits;
            }
        QVERIFY(edits >= 12);
        const QString code(100000, QLatin1Char('c'));
        f->commandList->setCommands({{QStringLiteral("long"), code}});
        restart(true);
        QCOMPARE(f->transmitLines.EditString[0]->text().size(), text.size());
        CommandGridView *grid = f->commandsPane.SGTransStr;
        grid->setCurrentIndex(grid->model()->index(1, 2)); // opens the editor
        auto *editor = grid->viewport()->findChild<LongLineEdit *>();
        QVERIFY(editor);
        QCOMPARE(editor->text().size(), code.size());
        QCOMPARE(f->commandsPane.LEString->text().size(), code.size());
    }

    // A damaged record is reported by name, the port takes its defaults, and
    // the other files load.
    void damagedFileCostsOnlyItself_data()
    {
        QTest::addColumn<QByteArray>("damaged");
        QTest::newRow("short varnel.set") << QByteArray("varnel.set");
        QTest::newRow("short varnel.sen") << QByteArray("varnel.sen");
    }
    void damagedFileCostsOnlyItself()
    {
        QFETCH(QByteArray, damaged);
        fx.put("varnel.str", "l0\r\nl1\r\nl2\r\nl3\r\nl4\r\nl5\r\nl6\r\nl7\r\nl8\r\nl9\r\ncode\r\nname\r\n"
                          "2\r\nA\r\n$41\r\nB\r\n42\r\n2\r\n5\r\n6\r\n");
        fx.put("varnel.trn", "XYZ");
        fx.put(damaged.constData(), QByteArray(10, 'x'));
        restart(false);
        QCOMPARE(fx.prompts.errors.size(), 1);
        QVERIFY(fx.prompts.errors[0].contains(QString::fromLatin1(damaged)));
        QCOMPARE(f->portSetup->settings, PortSettings{});
        QCOMPARE(f->transmitLines.EditString[0]->text() + f->transmitLines.EditString[9]->text(), QStringLiteral("l0l9"));
        QCOMPARE(f->commandList->commands().size(), 2);
        QCOMPARE(f->transmitTable->TransmitArray, QByteArray("XYZ"));
    }

    // A failed save is reported as "<path>: <the system's text>".
    void fileErrorsNameTheFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("save receive table") << QStringLiteral("gone/r.RCV");
        QTest::newRow("varnel.trn at close") << QStringLiteral("varnel.trn");
    }
    void fileErrorsNameTheFile()
    {
        QFETCH(QString, name);
        const QString path = fx.dir.filePath(name);
        const bool atClose = name == QLatin1String("varnel.trn");
        if (atClose)
            QDir(fx.dir.path()).mkpath(name); // a folder in the file's place
        fx.prompts.fileNames = {path};
        f->receivePath->LoadReceiveArray("abc");
        atClose ? void(f->close()) : f->dataFiles->N2Click();
        QCOMPARE(fx.prompts.errors.size(), 1);
        QVERIFY2(fx.prompts.errors[0].startsWith(QDir::toNativeSeparators(path) + QStringLiteral(": ")),
                 qPrintable(fx.prompts.errors[0]));
        QVERIFY(fx.prompts.errors[0].size() > path.size() + 2);
    }
};

QTEST_MAIN(TstSettingsStore)
#include "tst_settingsstore.moc"
