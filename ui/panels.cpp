#include "ui/panels.h"

#include "ui/bytetableview.h"
#include "ui/commandgridview.h"
#include "ui/widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

#include <utility>

namespace {

QLabel *makeLabel(const QString &name, const QString &text, int x, int y, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->move(x, y);
    l->ensurePolished();
    l->adjustSize();
    return l;
}

QCheckBox *makeCheck(const QString &name, const QString &text, int x, int y, int w, QWidget *parent)
{
    auto *c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->ensurePolished();
    c->setGeometry(x, y, qMax(w, c->sizeHint().width()), 17);
    return c;
}

QLineEdit *makeEdit(const QString &name, int x, int y, int w, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    keepWholeText(e);
    e->setGeometry(x, y, w, 21);
    return e;
}

SpinEdit *makeSpin(const QString &name, int min, int max, int value, int x, int y, int w, QWidget *parent)
{
    auto *s = new SpinEdit(name, min, max, value, parent);
    s->setGeometry(x, y, w, 22);
    return s;
}

QPushButton *makeButton(const QString &name, const QString &text, int x, int y, int w, int h, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, w, h);
    return b;
}

// The system font is wider than the designed one: controls placed after a
// text that grew move right by as much as it overlaps them, together.
void keepRightOf(int left, std::initializer_list<QWidget *> widgets)
{
    const int shift = left - std::data(widgets)[0]->x();
    if (shift > 0)
        for (QWidget *w : widgets)
            w->move(w->x() + shift, w->y());
}

// Widens a push button, up to `most`, until its icon and text fit.
void fitText(QPushButton *b, int most)
{
    QStyleOptionButton option;
    option.initFrom(b);
    option.text = b->text();
    option.icon = b->icon();
    option.iconSize = b->iconSize();
    const int contents = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b).width();
    const int icon = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
    const int needed = icon + b->fontMetrics().horizontalAdvance(QString(b->text()).remove(QLatin1Char('&')));
    if (needed > contents)
        b->resize(qMin(most, b->width() + needed - contents), b->height());
}

} // namespace

QFrame *makePanel(const QString &name, bool raised, QWidget *parent)
{
    auto *p = new QFrame(parent);
    p->setObjectName(name);
    if (raised)
        p->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return p;
}

TransmitBar TransmitBar::build(QWidget *parent)
{
    TransmitBar b;
    b.Panel1 = makePanel(QStringLiteral("Panel1"), false, parent);
    b.Panel1->setFixedHeight(41);
    b.SpeedButton2 = new SpeedButton(QStringLiteral("SpeedButton2"), QStringLiteral("open"), b.Panel1);
    b.SpeedButton2->move(8, 8);
    b.SpeedButton2->setHint(QStringLiteral("Открыть в таблицу передачи.."));
    b.SpeedButton1 = new SpeedButton(QStringLiteral("SpeedButton1"), QStringLiteral("save"), b.Panel1);
    b.SpeedButton1->move(32, 8);
    b.SpeedButton1->setHint(QStringLiteral("Сохранить таблицу передачи как.."));
    b.SBSetup = new SpeedButton(QStringLiteral("SBSetup"), QStringLiteral("setup"), b.Panel1);
    b.SBSetup->move(56, 8);
    b.SBSetup->setHint(QStringLiteral("Настройки порта"));
    b.SBClearTrans = new SpeedButton(QStringLiteral("SBClearTrans"), QStringLiteral("clear"), b.Panel1);
    b.SBClearTrans->move(96, 8);
    b.SBIns = new SpeedButton(QStringLiteral("SBIns"), QStringLiteral("insert"), b.Panel1);
    b.SBIns->move(120, 8);
    b.SBIns->setHint(QStringLiteral("Вставить байт"));
    b.SBDel = new SpeedButton(QStringLiteral("SBDel"), QStringLiteral("delete"), b.Panel1);
    b.SBDel->move(144, 8);
    b.SBDel->setHint(QStringLiteral("Удалить байт"));
    b.Label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("Размер таблицы "), 176, 0, b.Panel1);
    b.SESizeTrans = makeSpin(QStringLiteral("SESizeTrans"), 1, 8192, 1, 176, 13, 89, b.Panel1);
    b.SBMakeFrameHDLC = new SpeedButton(QStringLiteral("SBMakeFrameHDLC"), QString(), b.Panel1);
    b.SBMakeFrameHDLC->setFixedSize(41, 22);
    b.SBMakeFrameHDLC->move(272, 8);
    b.SBMakeFrameHDLC->setText(QStringLiteral("HDLC"));
    b.SBMakeFrameHDLC->setHint(QStringLiteral("Формирование кадра HDLC"));
    keepRightOf(b.Label2->geometry().right() + 2, {b.SBMakeFrameHDLC});

    b.SGTrans = new ByteTableView(parent);
    b.SGTrans->setObjectName(QStringLiteral("SGTrans"));
    b.SGTrans->setFirstColumnWidth(51);
    b.SGTrans->setDefaultColumnWidth(30);
    b.SGTrans->setRowHeight(20);
    b.SGTrans->setFixedHeight(95);
    return b;
}

TransmitLines TransmitLines::build(QWidget *parent)
{
    TransmitLines t;
    t.Panel4 = makePanel(QStringLiteral("Panel4"), true, parent);
    t.Panel4->setFixedHeight(209);
    t.Label1 = makeLabel(QStringLiteral("Label1"), QStringLiteral("ASCII"), 8, 8, t.Panel4);
    t.CheckBoxASCII = makeCheck(QStringLiteral("CheckBoxASCII"), QString(), 40, 6, 17, t.Panel4);
    t.ChBHexASCII = makeCheck(QStringLiteral("ChBHexASCII"), QStringLiteral("Hex+ASCII"), 64, 6, 81, t.Panel4);
    t.ChBCR = makeCheck(QStringLiteral("ChBCR"), QStringLiteral("+<CR>"), 152, 6, 57, t.Panel4);
    t.RGWinOrDOSCharset = new RadioGroup(QStringLiteral("RGWinOrDOSCharset"),
                                         {QStringLiteral("Windows"), QStringLiteral("DOS")}, 2, t.Panel4);
    t.RGWinOrDOSCharset->setGeometry(216, 1, 153, 33);
    t.RGWinOrDOSCharset->setItemIndex(0);
    keepRightOf(t.ChBHexASCII->geometry().right() + 2, {t.ChBCR, t.RGWinOrDOSCharset});
    keepRightOf(t.ChBCR->geometry().right() + 2, {t.RGWinOrDOSCharset});

    // Odd lines on the left, even ones on the right, at their designed places.
    struct Place {
        int bx, ex, y, w;
    };
    static constexpr Place places[Count] = {
        {8, 32, 40, 289},   {328, 352, 40, 345},  {8, 32, 64, 289},  {328, 352, 64, 345},
        {8, 32, 88, 289},   {328, 352, 88, 345},  {8, 32, 112, 289}, {328, 352, 112, 344},
        {8, 31, 136, 290},  {328, 352, 136, 344},
    };
    for (int i = 0; i < Count; ++i) {
        const QString suffix = i == 0 ? QString() : QString::number(i + 1);
        const Place &p = places[i];
        t.SBTrans[i] = new SpeedButton(QStringLiteral("SBTrans") + suffix, QStringLiteral("send"), t.Panel4);
        t.SBTrans[i]->move(p.bx, p.y);
        t.SBTrans[i]->setEnabled(false);
        t.EditString[i] = makeEdit(QStringLiteral("EditString") + suffix, p.ex, p.y, p.w, t.Panel4);
    }
    t.SBTrans[0]->setHint(QStringLiteral("Передать в порт"));
    t.EditString[0]->setEnabled(false);
    return t;
}

CommandsPane CommandsPane::build(QWidget *panel4, QWidget *listParent)
{
    CommandsPane c;
    c.SpeedButton3 = new SpeedButton(QStringLiteral("SpeedButton3"), QStringLiteral("open"), panel4);
    c.SpeedButton3->move(10, 162);
    c.SpeedButton3->setHint(QStringLiteral("Открыть файл команд"));
    c.SpeedButton4 = new SpeedButton(QStringLiteral("SpeedButton4"), QStringLiteral("save"), panel4);
    c.SpeedButton4->move(34, 162);
    c.SpeedButton4->setHint(QStringLiteral("Сохранить команды в файле"));
    c.SBAddGroup = new SpeedButton(QStringLiteral("SBAddGroup"), QStringLiteral("add"), panel4);
    c.SBAddGroup->move(10, 184);
    c.SBAddGroup->setHint(QStringLiteral("Добавить команду"));
    c.SBDelGroup = new SpeedButton(QStringLiteral("SBDelGroup"), QStringLiteral("remove"), panel4);
    c.SBDelGroup->move(34, 184);
    c.SBDelGroup->setHint(QStringLiteral("Удалить команду"));
    c.SBTransLEStr = new SpeedButton(QStringLiteral("SBTransLEStr"), QStringLiteral("send"), panel4);
    c.SBTransLEStr->move(80, 184);
    c.SBTransLEStr->setEnabled(false);
    // A picked command's code may be megabytes long: this edit lays out only what shows.
    c.LEString = new LongLineEdit(panel4);
    c.LEString->setObjectName(QStringLiteral("LEString"));
    c.LEString->setGeometry(104, 184, 593, 21);
    c.LEStringLabel = new QLabel(QStringLiteral("Наименование команды"), panel4);
    c.LEStringLabel->setObjectName(QStringLiteral("LEStringLabel"));
    c.LEStringLabel->setBuddy(c.LEString);
    c.LEStringLabel->setGeometry(104, 184 - 16, 593, 16);

    c.SGTransStr = new CommandGridView(listParent);
    c.SGTransStr->setObjectName(QStringLiteral("SGTransStr"));
    return c;
}

PortBar PortBar::build(QWidget *parent)
{
    PortBar b;
    b.Panel3 = makePanel(QStringLiteral("Panel3"), true, parent);
    b.Panel3->setFixedHeight(46);
    b.SBOpen = new SpeedButton(QStringLiteral("SBOpen"), QStringLiteral("open"), b.Panel3);
    b.SBOpen->move(8, 8);
    b.SBOpen->setHint(QStringLiteral("Открыть в таблицу приема.."));
    b.SBSave = new SpeedButton(QStringLiteral("SBSave"), QStringLiteral("save"), b.Panel3);
    b.SBSave->move(32, 8);
    b.SBSave->setHint(QStringLiteral("Сохранить таблицу приема как.."));
    b.SBOpenComm = new SpeedButton(QStringLiteral("SBOpenComm"), QStringLiteral("port"), b.Panel3, true);
    b.SBOpenComm->move(64, 8);
    b.SBOpenComm->setHint(QStringLiteral("Открыть порт"));
    b.ImageLedOff = new QLabel(b.Panel3);
    b.ImageLedOff->setObjectName(QStringLiteral("ImageLedOff"));
    b.ImageLedOff->setPixmap(glyphPixmap(QStringLiteral("ledoff"), 16));
    b.ImageLedOff->setGeometry(88, 14, 16, 16);
    b.ImageLedOn = new QLabel(b.Panel3);
    b.ImageLedOn->setObjectName(QStringLiteral("ImageLedOn"));
    b.ImageLedOn->setPixmap(glyphPixmap(QStringLiteral("ledon"), 16));
    b.ImageLedOn->setGeometry(88, 14, 16, 16);
    b.ImageLedOn->hide();
    b.SBClearRec = new SpeedButton(QStringLiteral("SBClearRec"), QStringLiteral("clear"), b.Panel3);
    b.SBClearRec->move(136, 8);
    b.SBShowText = new SpeedButton(QStringLiteral("SBShowText"), QStringLiteral("text"), b.Panel3, true);
    b.SBShowText->move(168, 8);
    b.SBShowText->setHint(QStringLiteral("Отображение приема текстом"));
    b.ChBGetSec = makeCheck(QStringLiteral("ChBGetSec"), QStringLiteral("Отображать секунды"), 192, 5, 169, b.Panel3);
    b.ChBShowRecTable = makeCheck(QStringLiteral("ChBShowRecTable"), QStringLiteral("Отображать прием в таблице"),
                                  192, 21, 177, b.Panel3);
    b.ChBShowRecTable->setChecked(true);
    b.SBDTR = new SpeedButton(QStringLiteral("SBDTR"), QStringLiteral("dtr"), b.Panel3, true);
    b.SBDTR->move(376, 8);
    b.SBDTR->setHint(QStringLiteral("DTR"));
    b.SBDTR->setEnabled(false);
    b.SBRTS = new SpeedButton(QStringLiteral("SBRTS"), QStringLiteral("rts"), b.Panel3, true);
    b.SBRTS->move(400, 8);
    b.SBRTS->setHint(QStringLiteral("RTS"));
    b.SBRTS->setEnabled(false);
    b.SBSend10DtrRts = new SpeedButton(QStringLiteral("SBSend10DtrRts"), QStringLiteral("bits"), b.Panel3, true);
    b.SBSend10DtrRts->setFixedSize(25, 22);
    b.SBSend10DtrRts->move(448, 8);
    // Shown in the status bar, not as a tooltip.
    b.SBSend10DtrRts->setStatusTip(QStringLiteral("Передать биты с помощью смены DTR и RTS"));
    b.SBSend10DtrRts->setEnabled(false);
    // The two check boxes lie one under the other, the DTR buttons after them.
    b.ChBGetSec->resize(b.ChBGetSec->width(), b.ChBShowRecTable->y() - b.ChBGetSec->y());
    keepRightOf(qMax(b.ChBGetSec->geometry().right(), b.ChBShowRecTable->geometry().right()) + 4,
                {b.SBDTR, b.SBRTS, b.SBSend10DtrRts});
    b.SBCircle = new SpeedButton(QStringLiteral("SBCircle"), QStringLiteral("cycle"), b.Panel3, true);
    b.SBCircle->move(544, 8);
    b.SBCircle->setEnabled(false);
    b.Label6 = makeLabel(QStringLiteral("Label6"), QStringLiteral("Период"), 568, 1, b.Panel3);
    b.SECircle = makeSpin(QStringLiteral("SECircle"), 0, 0, 1000, 568, 17, 57, b.Panel3);
    b.Label7 = makeLabel(QStringLiteral("Label7"), QStringLiteral("Количество"), 632, 1, b.Panel3);
    b.SECountC = makeSpin(QStringLiteral("SECountC"), 1, 65535, 1000, 632, 17, 65, b.Panel3);
    return b;
}

GeneratorControls GeneratorControls::build(QWidget *parent)
{
    GeneratorControls g;
    g.Panel5 = makePanel(QStringLiteral("Panel5"), true, parent);
    g.Panel5->setFixedWidth(147);
    QFrame *panel = g.Panel5;
    g.Label8 = makeLabel(QStringLiteral("Label8"), QStringLiteral("Управление генератором"), 8, 8, panel);
    g.Label3 = makeLabel(QStringLiteral("Label3"), QStringLiteral("Импульс"), 4, 32, panel);
    g.SELengthPause = makeSpin(QStringLiteral("SELengthPause"), 0, 0, 0, 66, 24, 73, panel);
    g.Label4 = makeLabel(QStringLiteral("Label4"), QStringLiteral("Пауза"), 4, 56, panel);
    g.SELengthPulse = makeSpin(QStringLiteral("SELengthPulse"), 0, 0, 0, 66, 48, 73, panel);
    g.Label5 = makeLabel(QStringLiteral("Label5"), QStringLiteral("Количество"), 4, 80, panel);
    g.SECountPulse = makeSpin(QStringLiteral("SECountPulse"), 0, 0, 0, 66, 72, 73, panel);
    g.BBStartGen = makeButton(QStringLiteral("BBStartGen"), QStringLiteral("Старт (делитель 5)"), 4, 98, 133, 23, panel);
    g.BBStartGen->setIcon(glyphIcon(QStringLiteral("pulse")));
    g.BBStartGen->setToolTip(QStringLiteral("Передача команды генератору импульсов"));
    g.BBStartGen->setStatusTip(g.BBStartGen->toolTip());
    g.BBNeprGener = makeButton(QStringLiteral("BBNeprGener"), QStringLiteral("Непрер. (делитель 5)"), 4, 122, 133, 23, panel);
    g.Label9 = makeLabel(QStringLiteral("Label9"), QStringLiteral("Делитель"), 8, 160, panel);
    g.SEDivider = makeSpin(QStringLiteral("SEDivider"), 1, 5, 5, 64, 156, 73, panel);
    g.BBNeprSDelit = makeButton(QStringLiteral("BBNeprSDelit"), QStringLiteral("С делителем непрер."), 4, 184, 133, 25, panel);
    g.GroupBox1 = new QGroupBox(QStringLiteral("Пакеты импульсов"), panel);
    g.GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    g.GroupBox1->setGeometry(4, 216, 139, 161);
    QGroupBox *box = g.GroupBox1;
    g.Label10 = makeLabel(QStringLiteral("Label10"), QStringLiteral("Импульсов"), 8, 16, box);
    g.SEQPulseInPaket = makeSpin(QStringLiteral("SEQPulseInPaket"), 1, 65535, 1, 8, 32, 121, box);
    g.Label11 = makeLabel(QStringLiteral("Label11"), QStringLiteral("Пауз"), 8, 56, box);
    g.SEQPauseInPaket = makeSpin(QStringLiteral("SEQPauseInPaket"), 1, 65535, 1, 8, 72, 121, box);
    g.BBPaketNepreryvno = makeButton(QStringLiteral("BBPaketNepreryvno"), QStringLiteral("Непрерывно"), 8, 98, 121, 25, box);
    g.BBNPaketov = makeButton(QStringLiteral("BBNPaketov"), QStringLiteral("Пакетов"), 8, 128, 57, 25, box);
    g.SENPaketov = makeSpin(QStringLiteral("SENPaketov"), 0, 0, 0, 66, 129, 65, box);
    g.BitBtnStopGen = makeButton(QStringLiteral("BitBtnStopGen"), QStringLiteral("Стоп"), 7, 386, 133, 23, panel);
    g.BitBtnStopGen->setIcon(glyphIcon(QStringLiteral("stop")));
    for (QPushButton *b : {g.BBStartGen, g.BBNeprGener, g.BBNeprSDelit, g.BitBtnStopGen})
        fitText(b, panel->width() - 2 * b->x());
    for (QPushButton *b : {g.BBPaketNepreryvno, g.BBNPaketov})
        fitText(b, b->width());
    // The system font is wider than the designed one: keep each label whole
    // by narrowing the field beside it from the left.
    for (auto [label, spin] : {std::pair{g.Label3, g.SELengthPause}, std::pair{g.Label4, g.SELengthPulse},
                               std::pair{g.Label5, g.SECountPulse}, std::pair{g.Label9, g.SEDivider}}) {
        const int right = spin->geometry().right();
        const int left = qMax(spin->x(), label->geometry().right() + 4);
        spin->setGeometry(left, spin->y(), right - left + 1, spin->height());
    }
    if (g.Label8->width() > panel->width() - 4) {
        QFont small = g.Label8->font();
        small.setPointSizeF(small.pointSizeF() - 1);
        g.Label8->setFont(small);
        g.Label8->adjustSize();
    }
    g.Label8->move(qMax(2, (panel->width() - g.Label8->width()) / 2), g.Label8->y());
    return g;
}

ByteTableView *buildReceiveTable(QWidget *parent)
{
    auto *view = new ByteTableView(parent);
    view->setObjectName(QStringLiteral("SGReceive"));
    view->setFirstColumnWidth(59);
    view->setDefaultColumnWidth(30);
    view->setRowHeight(20);
    view->setFixedHeight(102);
    return view;
}

StatusPanels StatusPanels::build(QMainWindow *window)
{
    StatusPanels s;
    s.StatusBar = new QStatusBar(window);
    s.StatusBar->setObjectName(QStringLiteral("StatusBar"));
    s.StatusBar->setSizeGripEnabled(true);
    window->setStatusBar(s.StatusBar);
    auto panel = [bar = s.StatusBar](const QString &name, int width, int stretch) {
        auto *l = new QLabel(bar);
        l->setObjectName(name);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Designed widths are minimums: a long count or message widens its panel.
        l->setMinimumWidth(width);
        bar->addWidget(l, stretch);
        return l;
    };
    s.StatusPanel0 = panel(QStringLiteral("StatusPanel0"), 150, 0);
    s.StatusPanel1 = panel(QStringLiteral("StatusPanel1"), 150, 0);
    // The last panel takes the rest of the bar so the receive counters fit.
    s.StatusPanel2 = panel(QStringLiteral("StatusPanel2"), 50, 1);
    auto led = [bar = s.StatusBar](const QString &line, const QString &tip) {
        auto *l = new QLabel(line, bar);
        l->setObjectName(QStringLiteral("Led") + line);
        l->setAlignment(Qt::AlignCenter);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(line) + 10);
        l->setToolTip(tip);
        l->setEnabled(false);
        setLineLit(l, false);
        bar->addPermanentWidget(l);
        return l;
    };
    s.StatusPanelLog = new QLabel(s.StatusBar);
    s.StatusPanelLog->setObjectName(QStringLiteral("StatusPanelLog"));
    s.StatusPanelLog->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    s.StatusBar->addPermanentWidget(s.StatusPanelLog);
    s.StatusPanelLog->hide();
    s.LedCTS = led(QStringLiteral("CTS"), QStringLiteral("CTS — готовность к приёму (Clear To Send)"));
    s.LedDSR = led(QStringLiteral("DSR"), QStringLiteral("DSR — готовность устройства (Data Set Ready)"));
    s.LedDCD = led(QStringLiteral("DCD"), QStringLiteral("DCD — наличие несущей (Data Carrier Detect)"));
    s.LedRI = led(QStringLiteral("RI"), QStringLiteral("RI — вызов (Ring Indicator)"));
    return s;
}

MainMenu MainMenu::build(QMainWindow *window)
{
    MainMenu m;
    m.MainMenu1 = new QMenuBar(window);
    m.MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    window->setMenuBar(m.MainMenu1);
    auto action = [window](QMenu *menu, const QString &name, const QString &text, const QKeySequence &key = {}) {
        auto *a = new QAction(text, window);
        a->setObjectName(name);
        a->setShortcut(key);
        menu->addAction(a);
        return a;
    };
    auto separator = [window](QMenu *menu, const QString &name) {
        QAction *a = menu->addSeparator();
        a->setObjectName(name);
        a->setParent(window);
        menu->addAction(a);
        return a;
    };
    m.File1 = m.MainMenu1->addMenu(QStringLiteral("&File"));
    m.File1->setObjectName(QStringLiteral("File1"));
    m.Open1 = action(m.File1, QStringLiteral("Open1"), QStringLiteral("Открыть принятое"));
    m.N2 = action(m.File1, QStringLiteral("N2"), QStringLiteral("Сохранить принятое"));
    m.miLogReceive = action(m.File1, QStringLiteral("miLogReceive"), QStringLiteral("Записывать принятое в файл…"));
    m.miLogReceive->setCheckable(true);
    m.N4 = separator(m.File1, QStringLiteral("N4"));
    m.miOpenTrans = action(m.File1, QStringLiteral("miOpenTrans"), QStringLiteral("Открыть файл для передачи"));
    m.miSaveTrans = action(m.File1, QStringLiteral("miSaveTrans"), QStringLiteral("Сохранить массив передачи"));
    m.N3 = separator(m.File1, QStringLiteral("N3"));
    m.Exit1 = action(m.File1, QStringLiteral("Exit1"), QStringLiteral("Exit"), QKeySequence(Qt::ALT | Qt::Key_X));
    m.Edit1 = m.MainMenu1->addMenu(QStringLiteral("&Edit"));
    m.Edit1->setObjectName(QStringLiteral("Edit1"));
    m.miInsertbyte = action(m.Edit1, QStringLiteral("miInsertbyte"), QStringLiteral("Insert byte"),
                            QKeySequence(Qt::ALT | Qt::Key_Insert));
    m.miDeletebyte = action(m.Edit1, QStringLiteral("miDeletebyte"), QStringLiteral("Delete byte"),
                            QKeySequence(Qt::ALT | Qt::Key_Delete));
    m.miSendBreak = action(m.Edit1, QStringLiteral("miSendBreak"), QStringLiteral("Послать Break"));
    m.miSendBreak->setEnabled(false);
    m.miReconnect = action(m.Edit1, QStringLiteral("miReconnect"), QStringLiteral("Переподключать автоматически"));
    m.miReconnect->setCheckable(true);
    m.miReconnect->setChecked(true);
    m.N1 = m.MainMenu1->addMenu(QStringLiteral("?"));
    m.N1->setObjectName(QStringLiteral("N1"));
    m.About1 = action(m.N1, QStringLiteral("About1"), QStringLiteral("About.."));
    // Alt+F and Alt+E open the menus through the captions' mnemonics.
    m.menuKey = new QAction(window);
    m.menuKey->setObjectName(QStringLiteral("menuKey"));
    m.menuKey->setShortcut(QKeySequence(Qt::Key_F10));
    window->addAction(m.menuKey);
    return m;
}

void setLineLit(QLabel *led, bool lit)
{
    if (led->property("lit").isValid() && led->property("lit").toBool() == lit)
        return;
    led->setProperty("lit", lit);
    // Green while the line is active; the label's own look while it is not.
    led->setStyleSheet(lit ? QStringLiteral("QLabel { background-color: #2ecc40; color: black; }") : QString());
}

Timers Timers::build(QObject *owner)
{
    Timers t;
    t.TimerRead = new QTimer(owner);
    t.TimerRead->setObjectName(QStringLiteral("TimerRead"));
    // The port announces arriving bytes; the timer keeps the LED's ~80 ms blink.
    t.TimerRead->setInterval(80);
    t.TimerRead->setTimerType(Qt::PreciseTimer);
    t.TimerCircle = new QTimer(owner);
    t.TimerCircle->setObjectName(QStringLiteral("TimerCircle"));
    t.TimerCircle->setInterval(1000);
    t.TimerCircle->setTimerType(Qt::PreciseTimer);
    return t;
}
