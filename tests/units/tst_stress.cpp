#include "core/commandfile.h"
#include "core/settingsfiles.h"
#include "support/programfixture.h"
#include "ui/commandgridview.h"
#include "units/commandlist.h"
#include "units/datafiles.h"
#include "units/receivepath.h"
#include "units/transmittable.h"

#include "core/receivetablemodel.h"

#include <QTest>

#include <sys/resource.h>

namespace {

// The most memory this process has held at once, in MiB.
qint64 peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

class TstStress : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *&f = fx.f;

    QByteArray contents(const char *name) const
    {
        QFile in(fx.file(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    void restart(bool close)
    {
        if (close)
            QVERIFY(f->close());
        startProgram();
        f = formMain();
    }

private slots:
    void init() { fx.start(); }

    // Peak memory only grows: these two come first, while it is low.
    void captureSavedWithoutASecondCopy()
    {
        const int mib = 192;
        QByteArray piece(1 << 20, Qt::Uninitialized);
        for (int i = 0; i < mib; ++i) {
            piece.fill(char(i));
            f->receivePath->model()->appendHidden(piece.constData(), piece.size());
        }
        fx.prompts.fileNames = {fx.file("capture.RCV")};
        const qint64 before = peakMiB();
        f->dataFiles->N2Click();
#if !defined(__SANITIZE_ADDRESS__) // its quarantine holds on to every freed piece
        QVERIFY2(peakMiB() - before < 64, qPrintable(QString::number(peakMiB() - before)));
#endif
        QVERIFY(fx.prompts.errors.isEmpty());
        QFile saved(fx.file("capture.RCV"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.size(), qint64(mib) << 20);
        QVERIFY(saved.seek((qint64(mib) << 20) - 1));
        QCOMPARE(saved.read(1), QByteArray(1, char(mib - 1)));
    }

    void settingsRecordsReadOnlyTheirBytes()
    {
        fx.put("varnel.set", QByteArray::fromHex("04434F4D33000000004B000007020200"));
        fx.put("varnel.sen", EncodeViewSettingsRecord({.asciiEntry = true}));
        for (const char *name : {"varnel.set", "varnel.sen"}) // sparse: costs no disk
            QVERIFY(QFile::resize(fx.file(name), QFileInfo(fx.file(name)).size() + (qint64(1) << 30)));
        const qint64 before = peakMiB();
        restart(false);
        QVERIFY2(peakMiB() - before < 64, qPrintable(QString::number(peakMiB() - before)));
        QCOMPARE(f->portSetup->settings.PortName, QStringLiteral("COM3"));
        QVERIFY(f->transmitLines.CheckBoxASCII->isChecked());
        QVERIFY(fx.prompts.errors.isEmpty());
    }

    void commandListStopsAtTheBound()
    {
        f->commandList->setCommands(QList<Command>(kMaxCommandRows));
        f->commandsPane.SBAddGroup->click();
        QCOMPARE(fx.prompts.messages.size(), 1);
        QCOMPARE(f->commandList->commands().size(), kMaxCommandRows);
    }

    // A list past the bound (as older runs could write one) comes back whole,
    // with the lines after it, and the next close writes the same bytes.
    void longCommandListSurvivesRestarts()
    {
        QList<Command> list;
        for (int i = 0; i <= kMaxCommandRows; ++i)
            list.append({QStringLiteral("n%1").arg(i), QStringLiteral("c%1").arg(i)});
        f->commandList->setCommands(list);
        f->portSetup->settings.PortName = QStringLiteral("/dev/ttyUSB7");
        restart(true);
        const QByteArray written = contents("varnel.str");
        QCOMPARE(f->commandList->commands(), list);
        QCOMPARE(f->portSetup->settings.PortName, QStringLiteral("/dev/ttyUSB7"));
        restart(true);
        QCOMPARE(contents("varnel.str"), written);
    }

    void noEditCutsText()
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
    }

    // Across a restart, in the cell editor and in LEString.
    void longTextsKeptWhole()
    {
        const QString line(40000, QLatin1Char('l'));
        const QString code(100000, QLatin1Char('c'));
        f->transmitLines.EditString[0]->setText(line);
        f->commandList->setCommands({{QStringLiteral("long"), code}});
        restart(true);
        QCOMPARE(f->transmitLines.EditString[0]->text().size(), line.size());
        CommandGridView *grid = f->commandsPane.SGTransStr;
        grid->setCurrentIndex(grid->model()->index(1, 2)); // opens the editor
        auto *editor = grid->viewport()->findChild<LongLineEdit *>();
        QVERIFY(editor);
        QCOMPARE(editor->text().size(), code.size());
        QCOMPARE(f->commandsPane.LEString->text().size(), code.size());
    }

    // A damaged record is reported by name, the port takes its defaults, and
    // the other files load and are written back as they were.
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
        QVERIFY(f->close());
        QVERIFY(contents("varnel.str").startsWith("l0\r\nl1\r\n"));
        QCOMPARE(contents("varnel.trn"), QByteArray("XYZ"));
    }

    // Every failed file operation is reported as "<path>: <the system's text>".
    void fileErrorsNameTheFile_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("name");
        QTest::newRow("save receive table") << 0 << QStringLiteral("gone/r.RCV");
        QTest::newRow("open transmit table") << 1 << QStringLiteral("folder");
        QTest::newRow("save command file") << 2 << QStringLiteral("gone/c.CMD");
        QTest::newRow("varnel.trn at close") << 3 << QStringLiteral("varnel.trn");
    }
    void fileErrorsNameTheFile()
    {
        QFETCH(int, action);
        QFETCH(QString, name);
        const QString path = fx.dir.filePath(name);
        QDir(fx.dir.path()).mkpath(action == 3 ? name : QStringLiteral("folder"));
        fx.prompts.fileNames = {path};
        f->receivePath->LoadReceiveArray("abc");
        if (action == 0)
            f->dataFiles->N2Click();
        else if (action == 1)
            f->dataFiles->miOpenTransClick();
        else if (action == 2)
            f->commandList->SpeedButton4Click();
        else
            QVERIFY(f->close());
        QCOMPARE(fx.prompts.errors.size(), 1);
        QVERIFY2(fx.prompts.errors[0].startsWith(QDir::toNativeSeparators(path) + QStringLiteral(": ")),
                 qPrintable(fx.prompts.errors[0]));
        QVERIFY(fx.prompts.errors[0].size() > path.size() + 2);
    }
};

QTEST_MAIN(TstStress)
#include "tst_stress.moc"
