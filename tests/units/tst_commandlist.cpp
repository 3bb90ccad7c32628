#include "support/programfixture.h"
#include "core/bytefile.h"
#include "ui/commandgridview.h"
#include "units/commandlist.h"
#include "core/gridmodel.h"
#include "units/transmittable.h"
#include "core/transmittablemodel.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QTest>

using Commands = QList<Command>;

// Commands named by the letters of `names`, each coded with its letter's place.
static Commands lettered(const QString &names)
{
    Commands out;
    for (QChar n : names)
        out << Command{n, QString::number(n.unicode() - 'A' + 1)};
    return out;
}

// The command list on the real window; the file format itself is tst_textfile's.
class TstCommandList : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *f = nullptr;
    CommandGridView *v = nullptr;
    GridModel *g = nullptr;

    QString numbers() const
    {
        QStringList n;
        for (int r = 1; r < g->rowCount(); ++r)
            n << g->cell(0, r);
        return n.join(u' ');
    }
    QPoint centre(int row, int column) const { return v->visualRect(g->index(row, column)).center(); }
    LongLineEdit *editor(int row, int column) const
    {
        return qobject_cast<LongLineEdit *>(v->indexWidget(g->index(row, column)));
    }
    QString line() const { return f->commandsPane.LEStringLabel->text() + '=' + f->commandsPane.LEString->text(); }

private slots:
    void init()
    {
        fx.start();
        f = fx.f;
        v = f->commandsPane.SGTransStr;
        g = v->grid();
        new QAbstractItemModelTester(g, QAbstractItemModelTester::FailureReportingMode::QtTest, f);
    }

    // "$" and cp1251 letters survive a file, which is cp1251 with CR LF; a
    // count that is no positive number or past 100000 rows, or no file,
    // changes nothing. A load is no pick: LEString stays.
    void files_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no file
        QTest::addColumn<Commands>("after");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("errors");
        QTest::newRow("saved") << QByteArray("2\r\n$$ $ \xD1\xE1\xF0\xEE\xF1 \xA8\xB8\r\n AT$0D$0A\xB9 \r\n\r\n\r\n")
                               << Commands{{"$$ $ Сброс Ёё", " AT$0D$0A№ "}, {"", ""}} << "" << 0;
        QTest::newRow("count 0") << QByteArray("0\r\nX\r\nY\r\n") << lettered("ABC") << "" << 0;
        QTest::newRow("count huge") << QByteArray("2147483647\r\nX\r\nY\r\n") << lettered("ABC")
                                    << "Неверный формат файла команд" << 0;
        QTest::newRow("missing") << QByteArray() << lettered("ABC") << "" << 1;
    }
    void files()
    {
        QFETCH(QByteArray, file);
        QFETCH(Commands, after);
        const QString path = fx.dir.filePath(QStringLiteral("команды %1.cmd").arg(QTest::currentDataTag()));
        if (QTest::currentDataTag() == QByteArray("saved")) {
            f->commandList->setCommands(after);
            fx.prompts.fileNames = {path};
            f->commandsPane.SpeedButton4->click();
            QByteArray written;
            QVERIFY(ReadByteFile(path, &written, nullptr));
            QCOMPARE(written, file);
        } else if (!file.isNull()) {
            QVERIFY(WriteByteFile(path, file, nullptr));
        }
        f->commandList->setCommands(lettered("ABC"));
        v->setCurrentIndex(g->index(3, 1)); // a shorter list moves the current cell up: that is no pick
        f->commandsPane.LEString->setText("edit");
        fx.prompts.fileNames = {path};
        f->commandsPane.SpeedButton3->click();
        QCOMPARE(f->commandList->commands(), after);
        QCOMPARE(f->commandsPane.LEString->text(), QStringLiteral("edit"));
        QTEST(fx.prompts.messages.join(';'), "message");
        QTEST(int(fx.prompts.errors.size()), "errors");
        QVERIFY2(!fx.prompts.errors.contains(QString()), "the system's text");
    }

    // Add appends empty rows numbered by the row count; delete takes the
    // current row and leaves the other numbers as they are. Neither touches LEString.
    void addAndDelete_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<int>("current"); // add twice when 0, else delete this row
        QTest::addColumn<Commands>("after");
        QTest::addColumn<QString>("numbers");
        QTest::newRow("add") << "AB" << 0 << lettered("AB") + Commands(2) << "10 20 3 4";
        QTest::newRow("delete the only row") << "A" << 1 << Commands(1) << "10";
        QTest::newRow("delete the middle of three") << "ABC" << 2 << lettered("AC") << "10 20";
    }
    void addAndDelete()
    {
        QFETCH(QString, names);
        QFETCH(int, current);
        f->commandList->setCommands(lettered(names));
        for (int r = 1; r < g->rowCount(); ++r)
            g->setCell(0, r, QString::number(r * 10));
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, centre(current ? current : 2, 1));
        f->commandsPane.LEString->setText("typed");
        for (int i = 0; i < (current ? 1 : 2); ++i)
            (current ? f->commandsPane.SBDelGroup : f->commandsPane.SBAddGroup)->click();
        QTEST(f->commandList->commands(), "after");
        QTEST(numbers(), "numbers");
        QCOMPARE(v->currentRow(), current ? current : 2);
        QCOMPARE(f->commandsPane.LEString->text(), QStringLiteral("typed"));
    }

    // A click or a keyboard move picks the row into LEString and its label
    // (a keystroke in a cell too: tst_newuser); LEString is a working copy.
    void pick()
    {
        f->commandList->setCommands({{"Reset", "$1B"}, {"", "AT"}, {"Name", ""}});
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, centre(2, 1));
        QCOMPARE(line(), QStringLiteral("=AT"));
        f->commandsPane.LEString->setText("changed");
        QCOMPARE(g->cell(2, 2), QStringLiteral("AT"));
        QTest::keyClick(editor(2, 1) ? static_cast<QWidget *>(editor(2, 1)) : v, Qt::Key_Down);
        QCOMPARE(line(), QStringLiteral("Name="));
    }

    // A double click, on the cell or its open editor, loads the code into the
    // transmit table as cp1251 characters, "$" as is, CR LF when "+<CR>" is
    // checked; the size field follows; TransmitArray stays.
    void doubleClickLoadsCode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QByteArray>("bytes"); // "+<CR>" checked for the first row
        QTest::newRow("AT with CR LF") << "AT" << QByteArray("AT\r\n");
        QTest::newRow("$ as is, cp1251") << "$41Яё" << QByteArray("$41\xDF\xB8");
        QTest::newRow("empty: one empty column") << "" << QByteArray(1, '\0');
    }
    void doubleClickLoadsCode()
    {
        QFETCH(QString, code);
        QFETCH(QByteArray, bytes);
        f->transmitBar.SESizeTrans->setValue(5);
        f->transmitTable->showBytes("\x11\x22\x33\x44\x55");
        f->transmitLines.ChBCR->setChecked(QTest::currentDataTag()[0] == 'A');
        f->commandList->setCommands({{"n", "x"}, {"name", code}});
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, centre(1, 2));
        QCOMPARE(f->transmitTable->tableBytes().at(0), 'x');
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, centre(2, 2));
        QVERIFY(editor(2, 2));
        QTest::mouseDClick(editor(2, 2), Qt::LeftButton);
        QCOMPARE(f->transmitTable->tableBytes(), bytes);
        QCOMPARE(f->transmitTable->model()->hexText(1).isEmpty(), code.isEmpty());
        QCOMPARE(f->transmitBar.SESizeTrans->value(), int(bytes.size()));
        QCOMPARE(f->transmitTable->TransmitArray, QByteArray(1, '\0'));
    }
};

QTEST_MAIN(TstCommandList)
#include "tst_commandlist.moc"
