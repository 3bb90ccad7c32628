#include "core/commandfile.h"
#include "core/settingsfiles.h"
#include "support/programfixture.h"
#include "ui/commandgridview.h"
#include "units/commandlist.h"
#include "units/datafiles.h"
#include "units/receivepath.h"
#include "units/transmittable.h"

#include <QTest>

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

    // Adding stops at the bound; a list past it (as older runs could write
    // one) comes back whole, with the lines after it, and the next close
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
        f->portSetup->settings.PortName = QStringLiteral("/dev/ttyUSB7");
        restart(true);
        const QByteArray written = contents("varnel.str");
        QCOMPARE(f->commandList->commands(), list);
        QCOMPARE(f->portSetup->settings.PortName, QStringLiteral("/dev/ttyUSB7"));
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

    // A failed save is reported as "<path>: <the system's text>".
    void fileErrorsNameTheFile_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("name");
        QTest::newRow("save receive table") << 0 << QStringLiteral("gone/r.RCV");
        QTest::newRow("varnel.trn at close") << 1 << QStringLiteral("varnel.trn");
    }
    void fileErrorsNameTheFile()
    {
        QFETCH(int, action);
        QFETCH(QString, name);
        const QString path = fx.dir.filePath(name);
        if (action)
            QDir(fx.dir.path()).mkpath(name); // a folder in the file's place
        fx.prompts.fileNames = {path};
        f->receivePath->LoadReceiveArray("abc");
        if (action == 0)
            f->dataFiles->N2Click();
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
