#include "ui/longlineedit.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

// The one-line editor for texts of any length: editing as a line edit edits,
// the text kept whole, and only what is in sight laid out.
class TstLongLineEdit : public QObject
{
    Q_OBJECT
    std::unique_ptr<QWidget> window;
    LongLineEdit *edit = nullptr;

    void show(const QString &text, int width)
    {
        window = std::make_unique<QWidget>();
        edit = new LongLineEdit(window.get());
        edit->setText(text);
        edit->setGeometry(0, 0, width, edit->sizeHint().height());
        window->resize(width, 40);
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        edit->setFocus();
    }

    // Keys as QKeySequence names and quoted text to type, separated by ';'.
    void press(const QString &keys)
    {
        for (const QString &k : keys.split(u';', Qt::SkipEmptyParts))
            if (k.startsWith(u'"'))
                QTest::keyClicks(edit, k.mid(1, k.size() - 2));
            else
                QTest::keySequence(edit, QKeySequence(k));
    }

    // A position inside a surrogate pair.
    static bool splitsPair(const QString &text, qsizetype i)
    {
        return i > 0 && i < text.size() && text.at(i).isLowSurrogate() && text.at(i - 1).isHighSurrogate();
    }

private slots:
    void keys_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("resultCursor");
        QTest::addColumn<QString>("selected");
        const QString pair = QString::fromUtf8("a\xF0\x9F\x98\x80z"); // a, a pair, z
        QTest::newRow("type in the middle") << "abcd" << 2 << "\"XY\"" << "abXYcd" << 4 << "";
        QTest::newRow("type at both ends") << "abcd" << 2 << "Home;\"<\";End;\">\"" << "<abcd>" << 6 << "";
        QTest::newRow("backspace at the start") << "abcd" << 0 << "Backspace" << "abcd" << 0 << "";
        QTest::newRow("backspace, delete") << "abcd" << 2 << "Backspace;Del" << "ad" << 1 << "";
        QTest::newRow("delete at the end") << "abcd" << 4 << "Del" << "abcd" << 4 << "";
        QTest::newRow("shift extends, left collapses") << "abcdef" << 1 << "Shift+Right;Shift+Right" << "abcdef" << 3 << "bc";
        QTest::newRow("collapse to the start") << "abcdef" << 1 << "Shift+Right;Shift+Right;Left" << "abcdef" << 1 << "";
        QTest::newRow("shift+end") << "abcdef" << 2 << "Shift+End" << "abcdef" << 6 << "cdef";
        QTest::newRow("typing replaces the selection") << "hello world" << 0 << "Ctrl+Shift+Right;\"bye \"" << "bye world" << 4 << "";
        QTest::newRow("word right") << "one two-three" << 0 << "Ctrl+Right;Ctrl+Right" << "one two-three" << 7 << "";
        QTest::newRow("word left") << "one two  three" << 14 << "Ctrl+Left;Ctrl+Left" << "one two  three" << 4 << "";
        QTest::newRow("select all, delete") << "abc" << 1 << "Ctrl+A;Del" << "" << 0 << "";
        QTest::newRow("pair: left steps over it") << pair << 3 << "Left" << pair << 1 << "";
        QTest::newRow("pair: backspace takes it whole") << pair << 3 << "Backspace" << "az" << 1 << "";
        QTest::newRow("pair: delete takes it whole") << pair << 1 << "Del" << "az" << 1 << "";
        QTest::newRow("undo typing at once") << "ab" << 2 << "\"cd\";Ctrl+Z" << "ab" << 2 << "";
        QTest::newRow("undo, redo") << "ab" << 2 << "\"cd\";Ctrl+Z;Ctrl+Shift+Z" << "abcd" << 4 << "";
        QTest::newRow("undo brings the selection back") << "hello" << 0 << "Ctrl+A;\"x\";Ctrl+Z" << "hello" << 5 << "hello";
        QTest::newRow("undo each edit apart") << "ab" << 2 << "\"c\";Left;\"d\";Ctrl+Z" << "abc" << 2 << "";
        QTest::newRow("cut, paste") << "abcdef" << 0 << "Shift+Right;Shift+Right;Ctrl+X;End;Ctrl+V" << "cdefab" << 6 << "";
        QTest::newRow("copy, paste over") << "abcd" << 0 << "Shift+Right;Ctrl+C;End;Shift+Left;Ctrl+V" << "abca" << 4 << "";
    }
    void keys()
    {
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(QString, keys);
        show(text, 200);
        edit->setCursorPosition(cursor);
        press(keys);
        QTEST(edit->text(), "result");
        QTEST(int(edit->cursorPosition()), "resultCursor");
        QTEST(edit->selectedText(), "selected");
    }

    // Only the user's edits are edits; Enter and Escape go on to the owner.
    void signalsAndPassedKeys()
    {
        show(QString(), 200);
        QSignalSpy changed(edit, &LongLineEdit::textChanged), edited(edit, &LongLineEdit::textEdited),
            returned(edit, &LongLineEdit::returnPressed);
        edit->setText(QStringLiteral("ab"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(edited.size(), 0);
        press(QStringLiteral("\"c\";Ctrl+Z"));
        QCOMPARE(edited.size(), 2);
        QCOMPARE(edited.last().first().toString(), QStringLiteral("ab"));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier), escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
        QApplication::sendEvent(edit, &escape);
        QCOMPARE(returned.size(), 1);
        QVERIFY(!enter.isAccepted() && !escape.isAccepted());
    }

    // A click lands where it points, also with the window scrolled to the
    // end of a long text; a drag selects, a double click takes the word.
    void mouse()
    {
        const QString text = QStringLiteral("word ").repeated(2000);
        show(text, 200);
        const qsizetype target = text.size() - 7; // the 'd' of the last word but one
        edit->setCursorPosition(target);
        const auto xOf = [&](qsizetype pos) {
            edit->setCursorPosition(pos);
            return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().x() + 1;
        };
        const int atTarget = xOf(target), twoOn = xOf(target + 2);
        const int y = edit->height() / 2;
        edit->setCursorPosition(text.size());
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(atTarget, y));
        QCOMPARE(edit->cursorPosition(), target);
        QTest::mousePress(edit, Qt::LeftButton, {}, QPoint(atTarget, y));
        QTest::mouseMove(edit, QPoint(twoOn, y));
        QTest::mouseRelease(edit, Qt::LeftButton, {}, QPoint(twoOn, y));
        QCOMPARE(edit->selectedText(), QStringLiteral("d "));
        QTest::mouseDClick(edit, Qt::LeftButton, {}, QPoint(atTarget, y));
        QCOMPARE(edit->selectedText(), QStringLiteral("word"));
    }

    // Neither end of the laid-out window, nor the cursor, falls inside a
    // surrogate pair, however the width and the text's start fall.
    void pairsAtTheWindowEdges_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("width");
        for (const int width : {150, 151})
            for (const char *prefix : {"", "a"})
                QTest::addRow("width %d, prefix '%s'", width, prefix) << QString::fromLatin1(prefix) << width;
    }
    void pairsAtTheWindowEdges()
    {
        QFETCH(QString, prefix);
        QFETCH(int, width);
        const QString text = prefix + QString::fromUtf8("\xF0\x9F\x98\x80").repeated(2000);
        show(text, width);
        for (const char *step : {"End", "Left", "Left", "Left", "Home", "Right", "Ctrl+End"}) {
            press(QString::fromLatin1(step));
            edit->grab();
            QVERIFY(!splitsPair(text, edit->visibleStart()));
            QVERIFY(!splitsPair(text, edit->visibleStart() + edit->visibleLength()));
            QVERIFY(!splitsPair(text, edit->cursorPosition()));
        }
    }

    // Megabytes of text: kept whole through typing at both ends and a copy
    // and paste, while what is laid out stays about the width in characters.
    void longTextLaysOutOnlyWhatShows()
    {
        QString big(5 << 20, u'x');
        big[1000] = u'Ж';
        show(big, 300);
        const auto windowSmall = [&] { return edit->visibleLength() > 0 && edit->visibleLength() <= edit->width() + 16; };
        edit->grab();
        QVERIFY(windowSmall());
        QCOMPARE(edit->visibleStart() + edit->visibleLength(), big.size());
        // Taking from the end moves the window back rather than leave room at the right.
        const qsizetype tailStart = edit->visibleStart();
        press(QStringLiteral("Shift+Left;Shift+Left;Shift+Left;Del"));
        edit->grab();
        QVERIFY(edit->visibleStart() < tailStart);
        press(QStringLiteral("\"xxx!\";Home;\"^\""));
        edit->grab();
        QVERIFY(windowSmall());
        QCOMPARE(edit->visibleStart(), 0);
        QVERIFY(edit->text() == u'^' + big + u'!');
        press(QStringLiteral("Ctrl+A;Ctrl+C;Del;Ctrl+V"));
        QVERIFY(edit->text() == u'^' + big + u'!');
    }

    // The context menu's entries are the ones Qt's translations know.
    void contextMenuTranslated()
    {
        QTranslator russian;
        if (!russian.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QSKIP("Qt's Russian translations are not installed");
        QCoreApplication::installTranslator(&russian);
        LongLineEdit line;
        std::unique_ptr<QMenu> menu(line.createStandardContextMenu());
        QStringList texts;
        for (QAction *a : menu->actions())
            if (!a->isSeparator())
                texts << a->text();
        QCOMPARE(texts.size(), 7);
        for (const QString &t : texts)
            QVERIFY2(t.contains(QRegularExpression(QStringLiteral("[А-Яа-я]"))), qPrintable(t));
    }
};

QTEST_MAIN(TstLongLineEdit)
#include "tst_longlineedit.moc"
