#include "core/gridmodel.h"
#include "ui/bytetableview.h"
#include "ui/commandgridview.h"
#include "units/commandlist.h"
#include "support/programfixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// What a first-time user runs into on the main window: the command line's
// working copy, keyboard sending, menus, texts of Qt's own boxes.
class TstNewUser : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *&f = fx.f;

    void activate()
    {
        QApplication::setActiveWindow(f);
        QVERIFY(QTest::qWaitForWindowActive(f));
    }

    // Rows Reset/$1B and Ping/AT, the second row picked: LEString shows AT.
    void pickPing()
    {
        f->commandList->setCommands({{QStringLiteral("Reset"), QStringLiteral("$1B")},
                                     {QStringLiteral("Ping"), QStringLiteral("AT")}});
        f->commandsPane.SGTransStr->setCurrentIndex(f->commandsPane.SGTransStr->grid()->index(2, 2));
        QCOMPARE(f->commandsPane.LEString->text(), QStringLiteral("AT"));
        QCOMPARE(f->commandsPane.LEStringLabel->text(), QStringLiteral("Ping"));
    }

    LongLineEdit *openEditor() const { return f->commandsPane.SGTransStr->findChild<LongLineEdit *>(); }

private slots:
    void init()
    {
        fx.start();
        QVERIFY(QTest::qWaitForWindowExposed(f));
    }

    // The user's own text in LEString outlives the list's editor opening and
    // closing again without a change, and a restart.
    void typedCommandSurvivesEditorCommit_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("focus passes through the list") << "focus";
        QTest::newRow("another window taken up") << "window";
        QTest::newRow("command file with no count") << "bad file";
        QTest::newRow("command file read under the editor") << "file";
    }
    void typedCommandSurvivesEditorCommit()
    {
        QFETCH(QString, way);
        activate();
        pickPing();
        LongLineEdit *le = f->commandsPane.LEString;
        le->setFocus();
        le->selectAll();
        QTest::keyClicks(le, QStringLiteral("ATZ"));
        QCOMPARE(le->text(), QStringLiteral("ATZ"));
        f->commandsPane.SGTransStr->setFocus();
        QTRY_VERIFY(openEditor() && openEditor()->hasFocus());
        if (way.endsWith(QLatin1String("file"))) {
            const bool bad = way.startsWith(QLatin1String("bad"));
            const QString name = fx.dir.filePath(QStringLiteral("list.cmd"));
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bad ? "many\r\nA\r\nB\r\n" : "2\r\nA\r\n1\r\nB\r\n2\r\n");
            file.close();
            fx.prompts.fileNames << name;
            // A file dialog takes the focus from the editor as it opens.
            if (bad)
                le->setFocus();
            f->commandsPane.SpeedButton3->click();
            QCOMPARE(f->commandList->commands().constFirst().name, bad ? QStringLiteral("Reset") : QStringLiteral("A"));
            le->setFocus();
        } else if (way == QLatin1String("focus")) {
            le->setFocus();
        } else {
            // The editor stays open while the main window is left.
            QWidget other;
            other.show();
            QApplication::setActiveWindow(&other);
            QVERIFY(QTest::qWaitForWindowActive(&other));
            QVERIFY(!f->isActiveWindow());
        }
        QCOMPARE(le->text(), QStringLiteral("ATZ"));
        QCOMPARE(f->commandsPane.LEStringLabel->text(), QStringLiteral("Ping"));
        f->close();
        startProgram();
        f = formMain();
        QCOMPARE(f->commandsPane.LEString->text(), QStringLiteral("ATZ"));
        QCOMPARE(f->commandsPane.LEStringLabel->text(), QStringLiteral("Ping"));
    }

    // Typing in a cell still carries the row into LEString at each keystroke.
    void editedCellStillPicks()
    {
        activate();
        pickPing();
        f->commandsPane.LEString->setText(QStringLiteral("ATZ"));
        f->commandsPane.SGTransStr->setFocus();
        QTRY_VERIFY(openEditor() && openEditor()->hasFocus());
        QTest::keyClick(openEditor(), Qt::Key_End);
        QTest::keyClicks(openEditor(), QStringLiteral("I"));
        QCOMPARE(f->commandsPane.SGTransStr->grid()->cell(2, 2), QStringLiteral("ATI"));
        QCOMPARE(f->commandsPane.LEString->text(), QStringLiteral("ATI"));
    }

    // A size typed past the field's maximum sets the table to the maximum
    // when the field is left, not to the digits that fitted.
    void tableSizeTypedPastMaximum()
    {
        activate();
        SpinEdit *size = f->transmitBar.SESizeTrans;
        size->setFocus();
        QTRY_VERIFY(size->hasFocus());
        size->selectAll();
        QTest::keyClicks(size, QStringLiteral("99999"));
        QCOMPARE(size->text(), QStringLiteral("99999"));
        QTest::keyClick(size, Qt::Key_Tab);
        QVERIFY(!size->hasFocus());
        QCOMPARE(size->text(), QStringLiteral("8192"));
        QCOMPARE(f->transmitBar.SGTrans->dataColumnCount(), 8192);
    }

    // Enter in a text line sends it as its button does, and only while the
    // button could be clicked.
    void enterSendsLine_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("button");
        QTest::newRow("first line") << "EditString" << "SBTrans";
        QTest::newRow("fifth line") << "EditString5" << "SBTrans5";
        QTest::newRow("tenth line") << "EditString10" << "SBTrans10";
        QTest::newRow("command line") << "LEString" << "SBTransLEStr";
    }
    void enterSendsLine()
    {
        QFETCH(QString, edit);
        QFETCH(QString, button);
        activate();
        f->transmitLines.CheckBoxASCII->setChecked(true);
        auto *line = f->findChild<QWidget *>(edit);
        auto *send = f->findChild<QToolButton *>(button);
        QVERIFY(line && send);
        line->setProperty("text", QStringLiteral("AT$0D"));
        line->setFocus();
        QTRY_VERIFY(line->hasFocus());
        // Closed port: the button is disabled and Enter sends nothing.
        QVERIFY(!send->isEnabled());
        QTest::keyClick(line, Qt::Key_Return);
        QVERIFY(fx.port->written.isEmpty());
        f->portBar.SBOpenComm->click();
        fx.port->clearLog();
        QVERIFY(send->isEnabled());
        QTest::keyClick(line, Qt::Key_Return);
        QCOMPARE(fx.port->written, QByteArray("AT\r"));
        QTest::keyClick(line, Qt::Key_Enter);
        QCOMPARE(fx.port->written, QByteArray("AT\rAT\r"));
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QStringLiteral("Передано: 3 байт"));
    }

    // The menus open from the keyboard; their captions read as designed.
    void menusByKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("menu");
        QTest::newRow("Alt+F") << int(Qt::Key_F) << int(Qt::AltModifier) << "File1";
        QTest::newRow("Alt+E") << int(Qt::Key_E) << int(Qt::AltModifier) << "Edit1";
        QTest::newRow("F10") << int(Qt::Key_F10) << int(Qt::NoModifier) << "File1";
    }
    void menusByKeyboard()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, menu);
        activate();
        f->transmitLines.EditString[1]->setFocus();
        QTRY_VERIFY(f->transmitLines.EditString[1]->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        auto *popup = f->findChild<QMenu *>(menu);
        QTRY_VERIFY(popup->isVisible());
        QTest::keyClick(popup, Qt::Key_Escape);
        QTRY_VERIFY(!popup->isVisible());
        QStringList captions;
        for (QAction *a : f->mainMenu.MainMenu1->actions())
            captions << a->text().remove(QLatin1Char('&'));
        QCOMPARE(captions, (QStringList{"File", "Edit", "?"}));
    }

    // Qt's own buttons and menus speak the program's language.
    void qtTextsInRussian()
    {
        setPrompts(nullptr); // the real boxes
        QStringList buttons;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QMessageBox::StandardButton b : {QMessageBox::Yes, QMessageBox::No})
                buttons << box->button(b)->text().remove(QLatin1Char('&'));
            box->button(QMessageBox::No)->click();
        });
        const bool yes = prompts().question(f, QStringLiteral("Сохранить?"));
        setPrompts(&fx.prompts);
        QVERIFY(!yes);
        QCOMPARE(buttons, (QStringList{"Да", "Нет"}));
        std::unique_ptr<QMenu> menu(f->transmitLines.EditString[1]->createStandardContextMenu());
        QCOMPARE(menu->actions().constFirst()->text().remove(QLatin1Char('&')).left(8), QStringLiteral("Отменить"));
    }
};

QTEST_MAIN(TstNewUser)
#include "tst_newuser.moc"
