#include "core/gridmodel.h"
#include "ui/bytetableview.h"
#include "ui/commandgridview.h"
#include "ui/windowgeometry.h"
#include "units/transmittable.h"
#include "support/programfixture.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

// The main window as laid out in the system font: every control shows its
// whole text, none lies over another, and the window shrinks and grows. The
// byte tables' cells are tst_bytetableview's.
class TstMainLayout : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *&f = fx.f;

    // Why a control does not show its whole text, or empty when it does.
    static QString clipping(QWidget *w)
    {
        const QFontMetrics fm = w->fontMetrics();
        const auto advance = [&](QString text) { return fm.horizontalAdvance(text.remove(QLatin1Char('&'))); };
        int needed = 0, has = w->width();
        if (auto *label = qobject_cast<QLabel *>(w); label && !label->text().isEmpty()) {
            if (label->sizeHint().height() > label->height())
                return QStringLiteral("needs %1 px high, has %2").arg(label->sizeHint().height()).arg(label->height());
            needed = label->sizeHint().width();
        } else if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w)) {
            needed = w->sizeHint().width();
        } else if (auto *box = qobject_cast<QGroupBox *>(w)) {
            needed = box->minimumSizeHint().width();
        } else if (auto *button = qobject_cast<QPushButton *>(w)) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            option.icon = button->icon();
            option.iconSize = button->iconSize();
            has = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
            needed = (button->icon().isNull() ? 0 : button->iconSize().width() + 4) + advance(button->text());
        } else if (auto *tool = qobject_cast<QToolButton *>(w); tool && tool->icon().isNull()) {
            needed = advance(tool->text()) + 4;
        } else if (auto *spin = qobject_cast<QSpinBox *>(w)) {
            needed = fm.horizontalAdvance(spin->text()) + 4;
            has = spin->findChild<QLineEdit *>()->width();
        }
        return needed > has ? QStringLiteral("needs %1 px, has %2").arg(needed).arg(has) : QString();
    }

    // Named controls in sight that are clipped, cut by their parent or lie over a sibling.
    QStringList layoutFaults() const
    {
        QMap<QWidget *, QList<QWidget *>> controls;
        for (QWidget *w : f->findChildren<QWidget *>())
            if (!w->isWindow() && w->isVisibleTo(f) && !w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
                controls[w->parentWidget()].append(w);
        QStringList faults;
        for (auto it = controls.cbegin(); it != controls.cend(); ++it) {
            const QList<QWidget *> &siblings = it.value();
            for (int i = 0; i < siblings.size(); ++i) {
                QWidget *a = siblings[i];
                if (const QString why = clipping(a); !why.isEmpty())
                    faults << a->objectName() + QStringLiteral(" clipped: ") + why;
                // The command line runs on under the generator panel, by design.
                const bool runsOn = a == f->commandsPane.LEString || a == f->commandsPane.LEStringLabel;
                if (!(runsOn ? QRect(0, 0, INT_MAX / 2, it.key()->height()) : it.key()->rect()).contains(a->geometry()))
                    faults << a->objectName() + QStringLiteral(" cut by ") + it.key()->objectName();
                for (int j = i + 1; j < siblings.size(); ++j)
                    if (a->geometry().intersects(siblings[j]->geometry()))
                        faults << a->objectName() + QStringLiteral(" overlaps ") + siblings[j]->objectName();
            }
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

    // At the designed size, fresh and in use: both counters and the seconds
    // row after 20,000 bytes.
    void designedSizeShowsEverything()
    {
        QCOMPARE(outerGeometry(f).size(), QSize(866, 727));
        QCOMPARE(layoutFaults(), QStringList());
        f->portBar.SBOpenComm->click();
        f->transmitTable->loadBytes(QByteArray("AT+CGMI\r\n~\x01\x02"));
        f->transmitLines.SBTrans[0]->click();
        f->portBar.ChBGetSec->setChecked(true);
        QByteArray bytes;
        for (int i = 0; i < 20000; ++i)
            bytes += char("Varnel receives\r\n"[i % 17]);
        fx.port->inject(bytes);
        QTRY_VERIFY(f->SGReceive->dataColumnCount() == 20000 && f->SGReceive->isShowingEnd());
        QCOMPARE(layoutFaults(), QStringList());
        savePicture(QStringLiteral("mainwindow-seconds.png"));
    }

    // The window gets as small as the designed one could: the panels keep
    // their heights, the command list gives way, the rest is cut off (a
    // smaller size restored: tst_settingsstore).
    void shrinks()
    {
        const QMap<QString, int> heights{{"Panel1", 41}, {"SGTrans", 95}, {"Panel4", 209}, {"Panel3", 46},
                                         {"SGReceive", 102}};
        const int listAtDesign = f->commandsPane.SGTransStr->height();
        setOuterGeometry(f, QRect(f->pos(), QSize(700, 500)));
        QTRY_COMPARE(outerGeometry(f).size(), QSize(700, 500));
        for (auto it = heights.cbegin(); it != heights.cend(); ++it)
            QCOMPARE(f->findChild<QWidget *>(it.key())->height(), it.value());
        QVERIFY(f->commandsPane.SGTransStr->height() < listAtDesign);
        setOuterGeometry(f, QRect(f->pos(), QSize(866, 727)));
        QTRY_COMPARE(f->commandsPane.SGTransStr->height(), listAtDesign);
        QCOMPARE(layoutFaults(), QStringList());
        // The text lines share Panel4's width; LEString runs to the window's edge.
        const TransmitLines &l = f->transmitLines;
        const auto geometry = [&] {
            return QList<int>{l.Panel4->width(), l.EditString[0]->width(), l.SBTrans[1]->x(), l.EditString[1]->x(),
                              f->commandsPane.LEString->width()};
        };
        QCOMPARE(geometry(), (QList<int>{711, 312, 354, 377, 743}));
        setOuterGeometry(f, QRect(f->pos(), QSize(1066, 727)));
        QTRY_COMPARE(geometry(), (QList<int>{911, 412, 454, 477, 943}));
    }
};

QTEST_MAIN(TstMainLayout)
#include "tst_mainlayout.moc"
