#include "core/gridmodel.h"
#include "ui/commandgridview.h"
#include "units/commandlist.h"
#include "support/programfixture.h"

#include <QMenu>
#include <QTest>

// What a first-time user runs into on the main window: the command line's
// working copy, keyboard sending, menus, Qt's own texts.
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

    // The user's own text in LEString outlives the list's editor closing
    // again without a change (a load is no pick either: tst_commandlist);
    // an edit in the cell is.
    void typedCommandSurvivesEditorCommit_data()
    {
        QTest::addColumn<bool>("otherWindow");
        QTest::newRow("focus passes through the list") << false;
        QTest::newRow("another window taken up") << true;
    }
    void typedCommandSurvivesEditorCommit()
    {
        QFETCH(bool, otherWindow);
        activate();
        pickPing();
        LongLineEdit *le = f->commandsPane.LEString;
        le->setFocus();
        le->selectAll();
        QTest::keyClicks(le, QStringLiteral("ATZ"));
        f->commandsPane.SGTransStr->setFocus();
        QTRY_VERIFY(openEditor() && openEditor()->hasFocus());
        QWidget other;
        if (otherWindow) { // the editor stays open while the main window is left
            other.show();
            QApplication::setActiveWindow(&other);
            QVERIFY(QTest::qWaitForWindowActive(&other));
        } else {
            le->setFocus();
        }
        QCOMPARE(le->text() + '=' + f->commandsPane.LEStringLabel->text(), QStringLiteral("ATZ=Ping"));
        if (otherWindow)
            return;
        // Typing in a cell still carries the row into LEString at each keystroke.
        f->commandsPane.SGTransStr->setFocus();
        QTRY_VERIFY(openEditor() && openEditor()->hasFocus());
        QTest::keyClick(openEditor(), Qt::Key_End);
        QTest::keyClicks(openEditor(), QStringLiteral("I"));
        QCOMPARE(f->commandsPane.SGTransStr->grid()->cell(2, 2) + '=' + le->text(), QStringLiteral("ATI=ATI"));
    }

    // Enter in a text line sends it as its button does, and only while the
    // button could be clicked.
    void enterSendsLine_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("button");
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
        line->setProperty("text", QStringLiteral("AT$0D"));
        line->setFocus();
        QTRY_VERIFY(line->hasFocus());
        // Closed port: the button is disabled and Enter sends nothing.
        QVERIFY(!send->isEnabled());
        QTest::keyClick(line, Qt::Key_Return);
        QVERIFY(fx.port->written.isEmpty());
        f->portBar.SBOpenComm->click();
        fx.port->clearLog();
        QTest::keyClick(line, Qt::Key_Return);
        QCOMPARE(fx.port->written, QByteArray("AT\r"));
        QTest::keyClick(line, Qt::Key_Enter);
        QCOMPARE(fx.port->written, QByteArray("AT\rAT\r"));
    }

    // The menus open from the keyboard.
    void menusByKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Alt+F") << int(Qt::Key_F) << int(Qt::AltModifier);
        QTest::newRow("F10") << int(Qt::Key_F10) << int(Qt::NoModifier);
    }
    void menusByKeyboard()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        activate();
        f->transmitLines.EditString[1]->setFocus();
        QTRY_VERIFY(f->transmitLines.EditString[1]->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        auto *popup = f->findChild<QMenu *>(QStringLiteral("File1"));
        QTRY_VERIFY(popup->isVisible());
        QTest::keyClick(popup, Qt::Key_Escape);
        QTRY_VERIFY(!popup->isVisible());
    }

    // Qt's own texts speak the program's language.
    void qtTextsInRussian()
    {
        std::unique_ptr<QMenu> menu(f->transmitLines.EditString[1]->createStandardContextMenu());
        QCOMPARE(menu->actions().constFirst()->text().remove(QLatin1Char('&')).left(8), QStringLiteral("Отменить"));
    }
};

QTEST_MAIN(TstNewUser)
#include "tst_newuser.moc"
