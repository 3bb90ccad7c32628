#include "core/gridmodel.h"
#include "core/settingsfiles.h"
#include "ui/bytetableview.h"
#include "ui/commandgridview.h"
#include "ui/windowgeometry.h"
#include "units/commandlist.h"
#include "units/transmittable.h"
#include "support/programfixture.h"

#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QTest>

// The main window as laid out in the system font: every control shows its
// whole text, none lies over another, and the window shrinks and grows.
// A list of faults, shown in full when there are any.
#define VERIFY_NONE(faults)                                                                                  \
    do {                                                                                                     \
        const QStringList found_ = (faults);                                                                 \
        QVERIFY2(found_.isEmpty(), qPrintable(found_.join(QLatin1String("; "))));                           \
    } while (false)

class TstMainLayout : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *&f = fx.f;

    static QString shown(QString text) { return text.remove(QLatin1Char('&')); }

    // Why a control does not show its whole text, or empty when it does.
    static QString clipping(QWidget *w)
    {
        const QFontMetrics fm = w->fontMetrics();
        auto tooNarrow = [&](int needed, int has) {
            return needed > has ? QStringLiteral("needs %1 px, has %2").arg(needed).arg(has) : QString();
        };
        if (auto *label = qobject_cast<QLabel *>(w)) {
            if (label->text().isEmpty())
                return {};
            const QSize hint = label->sizeHint();
            if (hint.height() > label->height())
                return QStringLiteral("needs %1 px high, has %2").arg(hint.height()).arg(label->height());
            return tooNarrow(hint.width(), label->width());
        }
        if (auto *check = qobject_cast<QCheckBox *>(w))
            return tooNarrow(check->sizeHint().width(), check->width());
        if (auto *radio = qobject_cast<QRadioButton *>(w))
            return tooNarrow(radio->sizeHint().width(), radio->width());
        if (auto *button = qobject_cast<QPushButton *>(w)) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            option.icon = button->icon();
            option.iconSize = button->iconSize();
            const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
            return tooNarrow(icon + fm.horizontalAdvance(shown(button->text())), contents.width());
        }
        if (auto *tool = qobject_cast<QToolButton *>(w)) {
            if (tool->text().isEmpty() || !tool->icon().isNull())
                return {};
            return tooNarrow(fm.horizontalAdvance(shown(tool->text())) + 4, tool->width());
        }
        if (auto *box = qobject_cast<QGroupBox *>(w))
            return tooNarrow(box->minimumSizeHint().width(), box->width());
        if (auto *spin = qobject_cast<QSpinBox *>(w)) {
            const QLineEdit *edit = spin->findChild<QLineEdit *>();
            return tooNarrow(fm.horizontalAdvance(spin->text()) + 4, edit->width());
        }
        return {};
    }

    // The named controls in sight, grouped by the widget that holds them.
    QMap<QWidget *, QList<QWidget *>> controlsByParent() const
    {
        QMap<QWidget *, QList<QWidget *>> controls;
        for (QWidget *w : f->findChildren<QWidget *>()) {
            if (w->isWindow() || !w->isVisibleTo(f) || w->objectName().isEmpty()
                || w->objectName().startsWith(QLatin1String("qt_")))
                continue;
            controls[w->parentWidget()].append(w);
        }
        return controls;
    }

    // Everything one can see at the designed size, as the failure lists it.
    QStringList layoutFaults() const
    {
        QStringList faults;
        const QMap<QWidget *, QList<QWidget *>> controls = controlsByParent();
        for (auto it = controls.cbegin(); it != controls.cend(); ++it) {
            const QList<QWidget *> &siblings = it.value();
            for (int i = 0; i < siblings.size(); ++i) {
                QWidget *a = siblings[i];
                if (const QString why = clipping(a); !why.isEmpty())
                    faults << a->objectName() + QStringLiteral(" clipped: ") + why;
                // The command line runs on under the generator panel, by design.
                const bool runsOn = a == f->commandsPane.LEString || a == f->commandsPane.LEStringLabel;
                const QRect inside = runsOn ? QRect(0, 0, INT_MAX / 2, it.key()->height()) : it.key()->rect();
                if (!inside.contains(a->geometry()))
                    faults << a->objectName() + QStringLiteral(" cut by ") + it.key()->objectName();
                for (int j = i + 1; j < siblings.size(); ++j)
                    if (a->geometry().intersects(siblings[j]->geometry()))
                        faults << a->objectName() + QStringLiteral(" overlaps ") + siblings[j]->objectName();
            }
        }
        return faults;
    }

    // The view's cells in sight whose text is wider than the cell.
    static QStringList clippedCells(ByteTableView *view)
    {
        QStringList faults;
        const QAbstractItemModel *m = view->model();
        const QFontMetrics fm(view->font());
        const qint64 last = qMin<qint64>(view->dataColumnCount(), view->leftColumn() + view->fullyVisibleColumnCount() - 1);
        QList<int> columns{0};
        for (qint64 c = view->leftColumn(); c <= last; ++c)
            columns << int(c);
        for (int r = 0; r < m->rowCount(); ++r)
            for (int c : columns) {
                const QString text = m->index(r, c).data().toString();
                const QRect cell = view->visualRect(m->index(r, c));
                if (fm.horizontalAdvance(text) + 4 > cell.width() || cell.width() < (c ? 30 : 1))
                    faults << QStringLiteral("%1,%2 \"%3\" in %4 px").arg(r).arg(c).arg(text).arg(cell.width());
            }
        return faults;
    }

    // With VARNEL_SHOT_DIR set, the window is saved there as a picture.
    void savePicture(const QString &name)
    {
        const QString dir = qEnvironmentVariable("VARNEL_SHOT_DIR");
        if (dir.isEmpty())
            return;
        f->repaint();
        QVERIFY(f->grab().save(QDir(dir).filePath(name)));
    }

private slots:
    void init()
    {
        fx.start();
        QVERIFY(QTest::qWaitForWindowExposed(f));
    }

    void designedSizeShowsEverything()
    {
        QCOMPARE(outerGeometry(f).size(), QSize(866, 727));
        VERIFY_NONE(layoutFaults());
        f->portBar.ChBGetSec->setChecked(true);
        VERIFY_NONE(layoutFaults());
    }

    // The seconds row and five-digit numbers after 20,000 bytes fit their cells.
    void secondsAfterManyBytes()
    {
        f->portBar.ChBGetSec->setChecked(true);
        f->portBar.SBOpenComm->click();
        QByteArray bytes;
        for (int i = 0; i < 20000; ++i)
            bytes += char("Varnel receives\r\n"[i % 17]);
        fx.port->inject(bytes);
        QTRY_COMPARE(f->SGReceive->dataColumnCount(), 20000);
        QTRY_VERIFY(f->SGReceive->isShowingEnd());
        QCOMPARE(f->SGReceive->model()->index(3, 20000).data().toString().size(), 5);
        VERIFY_NONE(clippedCells(f->SGReceive));
        f->SGReceive->scrollToColumn(1);
        VERIFY_NONE(clippedCells(f->SGReceive));
        VERIFY_NONE(layoutFaults());
        f->SGReceive->scrollToColumn(20000);
        savePicture(QStringLiteral("mainwindow-seconds.png"));
    }

    // In use: bytes in both tables, text lines and a command list.
    void inUse()
    {
        f->transmitLines.CheckBoxASCII->setChecked(true);
        f->transmitLines.ChBCR->setChecked(true);
        f->transmitLines.EditString[0]->setText(QStringLiteral("AT$0D"));
        f->transmitLines.EditString[1]->setText(QStringLiteral("Привет, мир$0D$0A"));
        f->commandList->setCommands({{QStringLiteral("Сброс"), QStringLiteral("$1B")},
                                     {QStringLiteral("Версия"), QStringLiteral("AT+GMR$0D")},
                                     {QStringLiteral("Запрос состояния"), QStringLiteral("$02$10$03")}});
        f->commandsPane.SGTransStr->setCurrentIndex(f->commandsPane.SGTransStr->grid()->index(2, 1));
        f->transmitTable->loadBytes(QByteArray("AT+CGMI\r\n~\x01\x02"));
        f->portBar.SBOpenComm->click();
        f->transmitLines.CheckBoxASCII->setChecked(false);
        f->transmitLines.SBTrans[0]->click();
        f->transmitLines.CheckBoxASCII->setChecked(true);
        fx.port->inject(QByteArray("OK\r\nVarnel 003\r\n\xC4\xE0\xED\xED\xFB\xE5"));
        QTRY_COMPARE(f->SGReceive->dataColumnCount(), 22);
        VERIFY_NONE(layoutFaults());
        VERIFY_NONE(clippedCells(f->SGReceive));
        VERIFY_NONE(clippedCells(f->transmitBar.SGTrans));
        savePicture(QStringLiteral("mainwindow.png"));
    }

    // The window gets as small as the designed one could: the panels keep
    // their heights, the command list gives way, the rest is cut off.
    void shrinks()
    {
        const QMap<QString, int> heights{{"Panel1", 41}, {"SGTrans", 95}, {"Panel4", 209}, {"Panel3", 46},
                                         {"SGReceive", 102}};
        const int listAtDesign = f->commandsPane.SGTransStr->height();
        QVERIFY(listAtDesign > 50);
        setOuterGeometry(f, QRect(f->pos(), QSize(700, 500)));
        QTRY_COMPARE(outerGeometry(f).size(), QSize(700, 500));
        for (auto it = heights.cbegin(); it != heights.cend(); ++it)
            QCOMPARE(f->findChild<QWidget *>(it.key())->height(), it.value());
        QVERIFY(f->commandsPane.SGTransStr->height() < listAtDesign);
        setOuterGeometry(f, QRect(f->pos(), QSize(866, 727)));
        QTRY_COMPARE(f->commandsPane.SGTransStr->height(), listAtDesign);
        VERIFY_NONE(layoutFaults());
    }

    // A stored size comes back as it was saved, smaller than designed or not.
    void storedSizeComesBack_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("small") << QSize(700, 500);
        QTest::newRow("a netbook's screen") << QSize(1024, 600);
        QTest::newRow("large") << QSize(1200, 900);
    }
    void storedSizeComesBack()
    {
        QFETCH(QSize, size);
        ViewSettings view;
        view.mainLeft = 10;
        view.mainTop = 20;
        view.mainWidth = size.width();
        view.mainHeight = size.height();
        f->close();
        QFile file(QDir::current().filePath(QStringLiteral("varnel.sen")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(EncodeViewSettingsRecord(view));
        file.close();
        startProgram();
        f = formMain();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QCOMPARE(outerGeometry(f).size(), size);
        f->close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        const std::optional<ViewSettings> saved = DecodeViewSettingsRecord(file.readAll());
        QVERIFY(saved);
        QCOMPARE(QSize(saved->mainWidth, saved->mainHeight), size);
    }
};

QTEST_MAIN(TstMainLayout)
#include "tst_mainlayout.moc"
