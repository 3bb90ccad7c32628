#include "app/formmain.h"
#include "app/program.h"
#include "app/widgets.h"
#include "support/programfixture.h"
#include "support/fakeserialport.h"
#include "support/recordingprompts.h"
#include "tables/commandgridview.h"
#include "tables/commandlist.h"
#include "tables/gridmodel.h"
#include "tables/transmittable.h"
#include "tables/transmittablemodel.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using Commands = QList<Command>;
Q_DECLARE_METATYPE(Command)

namespace QTest {
template <>
char *toString(const Command &c)
{
    return qstrdup(qPrintable(QStringLiteral("{%1|%2}").arg(c.name, c.code)));
}
} // namespace QTest

// The command list on the real window: its buttons, picking, sending,
// loading a code into the transmit table, dragging rows, and command files
// through the file dialogs.
class TstCommandList : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    RecordingPrompts m_prompts;
    TFormMain *f = nullptr;
    CommandGridView *v = nullptr;
    GridModel *g = nullptr;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile(const QString &name)
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
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
        const QRect cell = v->visualRect(g->index(row, column));
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell.center());
    }

    QLineEdit *editor(int row, int column) const { return qobject_cast<QLineEdit *>(v->indexWidget(g->index(row, column))); }

    QByteArray transmitTableBytes() const { return f->transmitTable->tableBytes(); }

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
        v = f->SGTransStr;
        g = v->grid();
        for (QStringList *l : {&m_prompts.messages, &m_prompts.errors, &m_prompts.dialogs, &m_prompts.fileNames})
            l->clear();
    }

    void modelContract()
    {
        QAbstractItemModelTester tester(g, QAbstractItemModelTester::FailureReportingMode::QtTest);
        f->commandList->setCommands({{"A", "1"}, {"B", "2"}, {"C", "3"}});
        f->SBAddGroup->click();
        v->setCurrentIndex(g->index(2, 1));
        f->SBDelGroup->click();
        g->moveRows({}, 1, 1, {}, 3);
    }

    void fileRoundTrip_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<Commands>("commands");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("start-up list") << "start.cmd" << Commands{{"", ""}} << QByteArray("1\r\n\r\n\r\n");
        QTest::newRow("two") << "two.cmd" << Commands{{"A", "$41"}, {"B", "42"}}
                             << QByteArray("2\r\nA\r\n$41\r\nB\r\n42\r\n");
        QTest::newRow("dollars and spaces") << "d.cmd" << Commands{{"$$ $ 1", " AT$0D$0A "}}
                                            << QByteArray("1\r\n$$ $ 1\r\n AT$0D$0A \r\n");
        QTest::newRow("cp1251 letters") << "команды.cmd" << Commands{{"Сброс Ёё", "Яя№"}, {"", ""}}
                                        << QByteArray("2\r\n\xD1\xE1\xF0\xEE\xF1 \xA8\xB8\r\n\xDF\xFF\xB9\r\n\r\n\r\n");
    }
    void fileRoundTrip()
    {
        QFETCH(QString, fileName);
        QFETCH(Commands, commands);
        QFETCH(QByteArray, bytes);
        f->commandList->setCommands(commands);
        m_prompts.fileNames = {path(fileName)};
        f->SpeedButton4->click();
        QCOMPARE(readFile(fileName), bytes);

        f->commandList->setCommands({{"other", "list"}, {"of", "three"}, {"rows", "here"}});
        m_prompts.fileNames = {path(fileName)};
        f->SpeedButton3->click();
        QCOMPARE(m_prompts.dialogs, (QStringList{"SaveDialogCMD", "OpenDialogCMD"}));
        QCOMPARE(f->commandList->commands(), commands);
        QCOMPARE(numbers().size(), commands.size());
        for (int r = 1; r <= commands.size(); ++r)
            QCOMPARE(g->cell(0, r), QString::number(r));
        QVERIFY(m_prompts.errors.isEmpty());
        QVERIFY(m_prompts.messages.isEmpty());
    }

    void openFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Commands>("expected"); // empty: the list stays as it was
        QTest::addColumn<QStringList>("messages");
        const QStringList none;
        const QStringList notCommands{"Неверный формат файла команд"};
        const Commands ab{{"A", "$41"}, {"B", "42"}};
        QTest::newRow("CR LF") << QByteArray("2\r\nA\r\n$41\r\nB\r\n42\r\n") << ab << none;
        QTest::newRow("LF only") << QByteArray("2\nA\n$41\nB\n42\n") << ab << none;
        QTest::newRow("CR in the middle") << QByteArray("1\r\nA\rB\r\n\rC\r\rD\r\n") << Commands{{"AB", "CD"}} << none;
        QTest::newRow("short file") << QByteArray("3\r\nA\r\n") << Commands{{"A", ""}, {"", ""}, {"", ""}} << none;
        QTest::newRow("cp1251") << QByteArray("1\r\n\xD1\xE1\xF0\xEE\xF1\r\n\x80\xFF\r\n")
                                << Commands{{"Сброс", "Ђя"}} << none;
        QTest::newRow("count 0") << QByteArray("0\r\nA\r\nB\r\n") << Commands{} << none;
        QTest::newRow("count empty") << QByteArray("\r\nA\r\nB\r\n") << Commands{} << none;
        QTest::newRow("count not a number") << QByteArray("two\r\nA\r\nB\r\n") << Commands{} << none;
        QTest::newRow("count huge") << QByteArray("2147483647\r\nA\r\nB\r\n") << Commands{} << notCommands;
        QTest::newRow("count past 32 bits") << QByteArray("99999999999\r\nA\r\n") << Commands{} << notCommands;
        QTest::newRow("count just past the limit") << QByteArray("100001\r\n") << Commands{} << notCommands;
    }
    void openFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Commands, expected);
        const Commands before{{"keep", "me"}, {"and", "me"}};
        f->commandList->setCommands(before);
        // A shorter list moves the current cell up: that is no pick.
        v->setCurrentIndex(g->index(2, 1));
        f->LEString->setText("edit");
        f->LEStringLabel->setText("label");
        writeFile("in.cmd", bytes);
        m_prompts.fileNames = {path("in.cmd")};
        f->SpeedButton3->click();
        QCOMPARE(f->commandList->commands(), expected.isEmpty() ? before : expected);
        QTEST(m_prompts.messages, "messages");
        QVERIFY(m_prompts.errors.isEmpty());
        QCOMPARE(f->LEString->text(), QStringLiteral("edit"));
        QCOMPARE(f->LEStringLabel->text(), QStringLiteral("label"));
    }

    void openAtTheCountLimit()
    {
        writeFile("big.cmd", "100000\r\nfirst\r\n1\r\n");
        m_prompts.fileNames = {path("big.cmd")};
        f->SpeedButton3->click();
        QCOMPARE(g->rowCount(), 100001);
        QCOMPARE(g->cell(1, 1), QStringLiteral("first"));
        QCOMPARE(g->cell(0, 100000), QStringLiteral("100000"));
        QVERIFY(m_prompts.messages.isEmpty());
    }

    void fileFailures()
    {
        const Commands before{{"keep", "me"}};
        f->commandList->setCommands(before);
        // Cancel does nothing.
        f->SpeedButton3->click();
        f->SpeedButton4->click();
        QCOMPARE(m_prompts.dialogs, (QStringList{"OpenDialogCMD", "SaveDialogCMD"}));
        QVERIFY(m_prompts.errors.isEmpty());

        m_prompts.fileNames = {path("missing.cmd")};
        f->SpeedButton3->click();
        QCOMPARE(m_prompts.errors.size(), 1);
        QVERIFY2(!m_prompts.errors[0].isEmpty(), "the system's text");
        QCOMPARE(f->commandList->commands(), before);

        QVERIFY(QDir(m_dir.path()).mkdir("sub"));
        m_prompts.fileNames = {path("no/such/dir/x.cmd"), path("sub")};
        f->SpeedButton4->click();
        f->SpeedButton4->click();
        QCOMPARE(m_prompts.errors.size(), 3);
        QVERIFY(QFileInfo(path("sub")).isDir());
    }

    void addKeepsCurrentAndEdit()
    {
        f->commandList->setCommands({{"A", "1"}, {"B", "2"}});
        v->setCurrentIndex(g->index(2, 2));
        f->LEString->setText("typed");
        f->SBAddGroup->click();
        f->SBAddGroup->click();
        QCOMPARE(numbers(), (QStringList{"1", "2", "3", "4"}));
        QCOMPARE(f->commandList->commands(), (Commands{{"A", "1"}, {"B", "2"}, {"", ""}, {"", ""}}));
        QCOMPARE(v->currentRow(), 2);
        QCOMPARE(f->LEString->text(), QStringLiteral("typed"));
    }

    void deleteRow_data()
    {
        QTest::addColumn<Commands>("commands");
        QTest::addColumn<int>("current");
        QTest::addColumn<Commands>("after");
        QTest::addColumn<int>("currentAfter");
        const Commands abc{{"A", "1"}, {"B", "2"}, {"C", "3"}};
        QTest::newRow("only row") << Commands{{"A", "1"}} << 1 << Commands{{"", ""}} << 1;
        QTest::newRow("first of three") << abc << 1 << Commands{{"B", "2"}, {"C", "3"}} << 1;
        QTest::newRow("middle of three") << abc << 2 << Commands{{"A", "1"}, {"C", "3"}} << 2;
        QTest::newRow("last of three") << abc << 3 << Commands{{"A", "1"}, {"B", "2"}} << 2;
    }
    void deleteRow()
    {
        QFETCH(Commands, commands);
        QFETCH(int, current);
        QFETCH(Commands, after);
        QFETCH(int, currentAfter);
        f->commandList->setCommands(commands);
        // Numbers are not rewritten by a delete: mark them to see that.
        for (int r = 1; r < g->rowCount(); ++r)
            g->setCell(0, r, QString::number(r * 10));
        clickRow(current);
        f->LEString->setText("typed");
        f->LEStringLabel->setText("label");
        f->SBDelGroup->click();
        QCOMPARE(f->commandList->commands(), after);
        QCOMPARE(v->currentRow(), currentAfter);
        QStringList expectedNumbers;
        for (int r = 1; r <= after.size(); ++r)
            expectedNumbers << QString::number(r * 10);
        QCOMPARE(numbers(), expectedNumbers);
        QCOMPARE(f->LEString->text(), QStringLiteral("typed"));
        QCOMPARE(f->LEStringLabel->text(), QStringLiteral("label"));
        // An editor left open on the current cell shows what the cell now holds.
        if (QLineEdit *e = editor(currentAfter, 1))
            QCOMPARE(e->text(), g->cell(1, currentAfter));
    }

    void pickByClickAndKeyboard()
    {
        f->commandList->setCommands({{"Reset", "$1B"}, {"", "AT"}, {"Name", ""}});
        clickRow(1, 2);
        QCOMPARE(f->LEString->text(), QStringLiteral("$1B"));
        QCOMPARE(f->LEStringLabel->text(), QStringLiteral("Reset"));
        clickRow(2);
        QCOMPARE(f->LEString->text(), QStringLiteral("AT"));
        QCOMPARE(f->LEStringLabel->text(), QString());
        // The edit is a working copy: changing it leaves the list alone.
        f->LEString->setText("$1B$0D");
        QCOMPARE(g->cell(2, 2), QStringLiteral("AT"));
        // Moving the current cell with the keyboard picks as well.
        QTest::keyClick(editor(2, 1) ? static_cast<QWidget *>(editor(2, 1)) : v, Qt::Key_Down);
        QCOMPARE(v->currentRow(), 3);
        QCOMPARE(f->LEString->text(), QString());
        QCOMPARE(f->LEStringLabel->text(), QStringLiteral("Name"));
    }

    void pickFollowsEachKeystroke()
    {
        f->commandList->setCommands({{"Old", "X"}});
        clickRow(1, 1);
        QLineEdit *e = editor(1, 1);
        QVERIFY(e);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QCOMPARE(f->LEStringLabel->text(), QString());
        QTest::keyClicks(e, "Ne");
        QCOMPARE(g->cell(1, 1), QStringLiteral("Ne"));
        QCOMPARE(f->LEStringLabel->text(), QStringLiteral("Ne"));
        // Typing in the middle keeps the cursor where it is.
        e->setCursorPosition(1);
        QTest::keyClicks(e, "am");
        QCOMPARE(f->LEStringLabel->text(), QStringLiteral("Name"));
        QCOMPARE(e->text(), QStringLiteral("Name"));

        clickRow(1, 2);
        e = editor(1, 2);
        QVERIFY(e);
        e->selectAll();
        QTest::keyClicks(e, "$1");
        QCOMPARE(f->LEString->text(), QStringLiteral("$1"));
        QTest::keyClicks(e, "B");
        QCOMPARE(f->LEString->text(), QStringLiteral("$1B"));
        QCOMPARE(f->commandList->commands(), (Commands{{"Name", "$1B"}}));
    }

    void sendPicked()
    {
        f->commandList->setCommands({{"Reset", "$1B"}});
        clickRow(1, 2);
        f->SBOpenComm->click();
        FakeSerialPort *port = FakeSerialPort::last;
        port->clearLog();
        f->CheckBoxASCII->setChecked(true);
        f->SBTransLEStr->click();
        QCOMPARE(port->written, QByteArray("\x1B"));
        f->LEString->setText("A$42");
        f->ChBCR->setChecked(true);
        f->SBTransLEStr->click();
        QCOMPARE(port->written, QByteArray("\x1B" "AB\r\n"));
        QCOMPARE(f->StatusPanel1->text(), QStringLiteral("Передано: 4 байт"));
    }

    void doubleClickLoadsCode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("cr");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("hexOfFirst");
        QTest::newRow("AT with CR LF") << "AT" << true << QByteArray("AT\r\n") << "41";
        QTest::newRow("$ taken as is") << "$41" << false << QByteArray("$41") << "24";
        QTest::newRow("cp1251") << "Яё" << false << QByteArray("\xDF\xB8") << "DF";
        QTest::newRow("empty") << "" << false << QByteArray(1, '\0') << "";
        QTest::newRow("empty with CR LF") << "" << true << QByteArray("\r\n") << "0D";
        QTest::newRow("past the size field") << QString(9000, u'U') << false << QByteArray(9000, 'U') << "55";
    }
    void doubleClickLoadsCode()
    {
        QFETCH(QString, code);
        QFETCH(bool, cr);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, hexOfFirst);
        // A table of 5 bytes to be replaced.
        f->transmitTable->showBytes("\x11\x22\x33\x44\x55");
        f->SESizeTrans->setValue(5);
        const QByteArray transmitArray = f->transmitTable->TransmitArray;
        f->ChBCR->setChecked(cr);
        f->commandList->setCommands({{"first", "other"}, {"name", code}});
        const QRect cell = v->visualRect(g->index(2, 2));
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(transmitTableBytes(), bytes);
        TransmitTableModel *m = f->transmitTable->model();
        QCOMPARE(m->hexText(1), hexOfFirst);
        for (int c = 1; c <= m->dataColumnCount(); ++c)
            QCOMPARE(m->numberText(c), QString::number(c));
        QCOMPARE(f->SESizeTrans->value(), qMin(int(bytes.size()), 8192));
        QCOMPARE(f->transmitTable->TransmitArray, transmitArray);
        // The click before it picked the row.
        QCOMPARE(f->LEString->text(), code);
    }

    void doubleClickOnTheEditor()
    {
        f->commandList->setCommands({{"n", "AB"}});
        clickRow(1, 2);
        QLineEdit *e = editor(1, 2);
        QVERIFY(e);
        QTest::mouseDClick(e, Qt::LeftButton);
        QCOMPARE(transmitTableBytes(), QByteArray("AB"));
    }

    void dragRowKeepsItsNumber_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("first to last") << 1 << 3 << "BCA" << QStringList{"2", "3", "1"};
        QTest::newRow("last to first") << 3 << 1 << "CAB" << QStringList{"3", "1", "2"};
        QTest::newRow("middle down") << 2 << 3 << "ACB" << QStringList{"1", "3", "2"};
    }
    void dragRowKeepsItsNumber()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, names);
        f->commandList->setCommands({{"A", "1"}, {"B", "2"}, {"C", "3"}});
        v->setCurrentIndex(g->index(from, 2));
        QHeaderView *header = v->verticalHeader();
        QWidget *port = header->viewport();
        const int x = header->width() / 2;
        auto centre = [&](int row) { return QPoint(x, header->sectionViewportPosition(row) + header->sectionSize(row) / 2); };
        QTest::mousePress(port, Qt::LeftButton, {}, centre(from));
        const QPoint target = centre(to) + QPoint(0, to > from ? 4 : -4);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(port, centre(from) + (target - centre(from)) * step / 4);
        QTest::mouseRelease(port, Qt::LeftButton, {}, target);

        QString shown;
        for (const Command &c : f->commandList->commands())
            shown += c.name;
        QCOMPARE(shown, names);
        QTEST(numbers(), "numbers");
        // The header shows what the model holds, in the model's order.
        for (int r = 1; r < g->rowCount(); ++r) {
            QCOMPARE(header->visualIndex(r), r);
            QCOMPARE(g->headerData(r, Qt::Vertical, Qt::DisplayRole).toString(), g->cell(0, r));
        }
        QVERIFY(header->isSectionHidden(0));
        // The current cell stays with the command it was on.
        QCOMPARE(g->cell(1, v->currentRow()), QString(QChar(u'A' + from - 1)));

        // A file keeps the rows in the order shown.
        m_prompts.fileNames = {path("dragged.cmd")};
        f->SpeedButton4->click();
        QByteArray expected = "3\r\n";
        for (QChar n : names)
            expected += n.toLatin1() + QByteArray("\r\n") + QByteArray::number(n.unicode() - 'A' + 1) + "\r\n";
        QCOMPARE(readFile("dragged.cmd"), expected);
    }
};

QTEST_MAIN(TstCommandList)
#include "tst_commandlist.moc"
