#include "support/programfixture.h"
#include "core/bytefile.h"
#include "ui/commandgridview.h"
#include "units/commandlist.h"
#include "core/gridmodel.h"
#include "units/transmittable.h"
#include "core/transmittablemodel.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
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

// The command list on the real window: its buttons, picking, sending,
// loading a code into the transmit table, dragging rows, and command files
// through the file dialogs. The file format itself is tst_commandfile's.
class TstCommandList : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *f = nullptr;
    CommandGridView *v = nullptr;
    GridModel *g = nullptr;

    QString path(const QString &name) const { return fx.dir.filePath(name); }
    QByteArray readFile(const QString &name) const
    {
        QByteArray bytes;
        return ReadByteFile(path(name), &bytes, nullptr) ? bytes : QByteArray("<missing>");
    }
    QStringList numbers() const
    {
        QStringList n;
        for (int r = 1; r < g->rowCount(); ++r)
            n << g->cell(0, r);
        return n;
    }
    void clickRow(int row, int column = 1)
    {
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(g->index(row, column)).center());
    }
    QLineEdit *editor(int row, int column) const
    {
        return qobject_cast<QLineEdit *>(v->indexWidget(g->index(row, column)));
    }
    void verifyLine(const QString &text, const QString &label)
    {
        QCOMPARE(f->commandsPane.LEString->text(), text);
        QCOMPARE(f->commandsPane.LEStringLabel->text(), label);
    }

private slots:
    void init()
    {
        fx.start();
        fx.prompts.fileNames.clear();
        f = fx.f;
        v = f->commandsPane.SGTransStr;
        g = v->grid();
        new QAbstractItemModelTester(g, QAbstractItemModelTester::FailureReportingMode::QtTest, f);
    }

    // "$" and cp1251 letters survive a file; the file is cp1251 with CR LF.
    void fileRoundTrip()
    {
        const Commands commands{{"$$ $ Сброс Ёё", " AT$0D$0A№ "}, {"", ""}};
        f->commandList->setCommands(commands);
        fx.prompts.fileNames = {path("команды.cmd"), path("команды.cmd")};
        f->commandsPane.SpeedButton4->click();
        QCOMPARE(readFile("команды.cmd"), QByteArray("2\r\n$$ $ \xD1\xE1\xF0\xEE\xF1 \xA8\xB8\r\n AT$0D$0A\xB9 \r\n\r\n\r\n"));
        f->commandList->setCommands(lettered("ABC"));
        v->setCurrentIndex(g->index(3, 1)); // a shorter list moves the current cell up: that is no pick
        f->commandsPane.LEString->setText("edit");
        f->commandsPane.SpeedButton3->click();
        QCOMPARE(f->commandsPane.LEString->text(), QStringLiteral("edit"));
        QCOMPARE(fx.prompts.dialogs, (QStringList{"SaveDialogCMD", "OpenDialogCMD"}));
        QCOMPARE(f->commandList->commands(), commands);
        QCOMPARE(numbers(), (QStringList{"1", "2"}));
        QVERIFY(fx.prompts.errors.isEmpty() && fx.prompts.messages.isEmpty());
    }

    // A count that is no positive number, or past 100000 rows, changes nothing.
    void refusedCount_data()
    {
        QTest::addColumn<QByteArray>("count");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("count 0") << QByteArray("0") << QStringList();
        QTest::newRow("count huge") << QByteArray("2147483647") << QStringList{"Неверный формат файла команд"};
    }
    void refusedCount()
    {
        QFETCH(QByteArray, count);
        f->commandList->setCommands(lettered("AB"));
        QVERIFY(WriteByteFile(path("in.cmd"), count + "\r\nX\r\nY\r\n", nullptr));
        fx.prompts.fileNames = {path("in.cmd")};
        f->commandsPane.SpeedButton3->click();
        QCOMPARE(f->commandList->commands(), lettered("AB"));
        QTEST(fx.prompts.messages, "messages");
        QVERIFY(fx.prompts.errors.isEmpty());
    }

    // A file that cannot be read or written is reported with the system's
    // text and the list stays.
    void fileFailures()
    {
        f->commandList->setCommands(lettered("A"));
        fx.prompts.fileNames = {path("missing.cmd"), path("no/such/dir/x.cmd")};
        f->commandsPane.SpeedButton3->click();
        f->commandsPane.SpeedButton4->click();
        QCOMPARE(fx.prompts.errors.size(), 2);
        QVERIFY2(!fx.prompts.errors.contains(QString()), "the system's text");
        QCOMPARE(f->commandList->commands(), lettered("A"));
    }

    // Add appends empty rows numbered by the row count; delete takes the
    // current row and leaves the other numbers as they are. Neither touches LEString.
    void addAndDelete_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<int>("current"); // add twice when 0, else delete this row
        QTest::addColumn<Commands>("after");
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<QString>("numbers");
        QTest::newRow("add") << "AB" << 0 << lettered("AB") + Commands(2) << 2 << "10 20 3 4";
        QTest::newRow("delete the only row") << "A" << 1 << Commands(1) << 1 << "10";
        QTest::newRow("delete the middle of three") << "ABC" << 2 << lettered("AC") << 2 << "10 20";
    }
    void addAndDelete()
    {
        QFETCH(QString, names);
        QFETCH(int, current);
        QFETCH(int, currentAfter);
        f->commandList->setCommands(lettered(names));
        for (int r = 1; r < g->rowCount(); ++r)
            g->setCell(0, r, QString::number(r * 10));
        clickRow(current ? current : 2);
        f->commandsPane.LEString->setText("typed");
        f->commandsPane.LEStringLabel->setText("label");
        if (current) {
            f->commandsPane.SBDelGroup->click();
        } else {
            f->commandsPane.SBAddGroup->click();
            f->commandsPane.SBAddGroup->click();
        }
        QTEST(f->commandList->commands(), "after");
        QTEST(numbers().join(u' '), "numbers");
        QCOMPARE(v->currentRow(), currentAfter);
        verifyLine("typed", "label");
    }

    // A click, a keyboard move or each keystroke in a cell picks the row into
    // LEString and its label; LEString is a working copy.
    void picking()
    {
        f->commandList->setCommands({{"Reset", "$1B"}, {"", "AT"}, {"Name", ""}});
        clickRow(1, 2);
        verifyLine("$1B", "Reset");
        clickRow(2);
        verifyLine("AT", "");
        f->commandsPane.LEString->setText("$1B$0D");
        QCOMPARE(g->cell(2, 2), QStringLiteral("AT"));
        QTest::keyClick(editor(2, 1) ? static_cast<QWidget *>(editor(2, 1)) : v, Qt::Key_Down);
        QCOMPARE(v->currentRow(), 3);
        verifyLine("", "Name");
        QLineEdit *e = editor(3, 1);
        QVERIFY(e);
        e->selectAll();
        QTest::keyClicks(e, "N");
        verifyLine("", "N");
        clickRow(3, 2);
        QVERIFY(e = editor(3, 2));
        QTest::keyClicks(e, "$1");
        verifyLine("$1", "N");
        QCOMPARE(f->commandList->commands().last(), (Command{"N", "$1"}));
    }

    // Sent through the line rules, once per click.
    void sendPicked()
    {
        f->commandList->setCommands({{"Reset", "$1B"}});
        clickRow(1, 2);
        f->portBar.SBOpenComm->click();
        f->transmitLines.CheckBoxASCII->setChecked(true);
        f->commandsPane.SBTransLEStr->click();
        f->commandsPane.LEString->setText("A$42");
        f->transmitLines.ChBCR->setChecked(true);
        f->commandsPane.SBTransLEStr->click();
        QCOMPARE(fx.port->written, QByteArray("\x1B" "AB\r\n"));
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QStringLiteral("Передано: 4 байт"));
    }

    // The code goes into the transmit table as cp1251 characters, "$" as is,
    // CR LF when "+<CR>" is checked; the size field follows up to its maximum;
    // TransmitArray is left alone.
    void doubleClickLoadsCode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("cr");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("AT with CR LF") << "AT" << true << QByteArray("AT\r\n");
        QTest::newRow("$ taken as is") << "$41" << false << QByteArray("$41");
        QTest::newRow("cp1251") << "Яё" << false << QByteArray("\xDF\xB8");
        QTest::newRow("empty: one empty column") << "" << false << QByteArray(1, '\0');
        QTest::newRow("past the size field") << QString(9000, u'U') << false << QByteArray(9000, 'U');
    }
    void doubleClickLoadsCode()
    {
        QFETCH(QString, code);
        QFETCH(bool, cr);
        QFETCH(QByteArray, bytes);
        f->transmitBar.SESizeTrans->setValue(5);
        f->transmitTable->showBytes("\x11\x22\x33\x44\x55");
        f->transmitLines.ChBCR->setChecked(cr);
        f->commandList->setCommands({{"first", "other"}, {"name", code}});
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(g->index(2, 2)).center());
        QCOMPARE(f->transmitTable->tableBytes(), bytes);
        QCOMPARE(f->transmitTable->model()->hexText(1).isEmpty(), bytes == QByteArray(1, '\0'));
        QCOMPARE(f->transmitBar.SESizeTrans->value(), qMin(int(bytes.size()), 8192));
        QCOMPARE(f->transmitTable->TransmitArray, QByteArray(1, '\0'));
        QCOMPARE(f->commandsPane.LEString->text(), code); // the click before it picked the row
        // On the open editor, a double click loads as well.
        f->commandList->setCommands({{"n", "AB"}});
        clickRow(1, 2);
        QVERIFY(editor(1, 2));
        QTest::mouseDClick(editor(1, 2), Qt::LeftButton);
        QCOMPARE(f->transmitTable->tableBytes(), QByteArray(cr ? "AB\r\n" : "AB"));
    }

    // A row dragged by its number takes the number along and the current
    // cell stays with its command.
    void dragRowKeepsItsNumber()
    {
        const int from = 1, to = 3;
        f->commandList->setCommands(lettered("ABC"));
        v->setCurrentIndex(g->index(from, 2));
        QHeaderView *header = v->verticalHeader();
        const auto centre = [&](int row) {
            return QPoint(header->width() / 2, header->sectionViewportPosition(row) + header->sectionSize(row) / 2);
        };
        const QPoint target = centre(to) + QPoint(0, to > from ? 4 : -4);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, centre(from));
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(header->viewport(), centre(from) + (target - centre(from)) * step / 4);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, target);
        QCOMPARE(f->commandList->commands(), lettered("BCA"));
        for (int r = 1; r < g->rowCount(); ++r) // each command is coded with its first number
            QCOMPARE(g->cell(0, r), g->cell(2, r));
        QCOMPARE(g->cell(1, v->currentRow()), QString(QChar(u'A' + from - 1)));
    }
};

QTEST_MAIN(TstCommandList)
#include "tst_commandlist.moc"
