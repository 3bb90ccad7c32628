#include "app/formmain.h"

#include "ui/aboutbox.h"
#include "app/program.h"
#include "units/settingsstore.h"
#include "ui/prompts.h"
#include "ui/widgets.h"
#include "units/generatorpanel.h"
#include "units/bitsequence.h"
#include "units/portconnection.h"
#include "units/portsetup.h"
#include "units/receivepath.h"
#include "ui/setupdlg.h"
#include "units/transmitpath.h"
#include "ui/bytetableview.h"
#include "ui/commandgridview.h"
#include "units/commandlist.h"
#include "units/datafiles.h"
#include "units/framebuilder.h"
#include "core/gridmodel.h"
#include "core/receivetablemodel.h"
#include "units/transmittable.h"
#include "core/transmittablemodel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <tuple>

QFont designFont()
{
    // The designed face is an 8-point system font; keep the size, take the
    // system's own family so Cyrillic renders.
    QFont f = QApplication::font();
    f.setPointSize(8);
    return f;
}

namespace {

QFrame *makePanel(const QString &name, bool raised, QWidget *parent)
{
    auto *p = new QFrame(parent);
    p->setObjectName(name);
    if (raised)
        p->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return p;
}

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

} // namespace

TFormMain::TFormMain(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(applicationTitle());
    setWindowIcon(glyphIcon(QStringLiteral("program")));
    setFont(designFont());
    buildControls();
    buildMenu();

    TimerRead = new QTimer(this);
    TimerRead->setObjectName(QStringLiteral("TimerRead"));
    TimerRead->setInterval(1);
    TimerRead->setTimerType(Qt::PreciseTimer);
    TimerCircle = new QTimer(this);
    TimerCircle->setObjectName(QStringLiteral("TimerCircle"));
    TimerCircle->setInterval(1000);
    TimerCircle->setTimerType(Qt::PreciseTimer);

    portSetup = new PortSetup(this);
    connection = new PortConnection(this, portSetup, this);

    // transmit table
    transmitTable = new TransmitTable(this, this);

    // transmit path
    transmitPath = new TransmitPath(this, transmitTable, connection, this);

    // receive path
    receivePath = new ReceivePath(this, connection, this);

    // bit sequence
    bitSequence = new BitSequence(this, this);

    // HDLC frame builder
    frameBuilder = new FrameBuilder(this, this);

    // generator
    generator = new GeneratorPanel(this, this);

    // command list
    commandList = new CommandList(this, this);

    // byte files
    dataFiles = new DataFiles(this, this);

    // settings
    settingsStore = new SettingsStore(this);

    // Handlers are bound before creation runs, so restoring a check box's
    // state runs its handler; the designed geometry comes before the saved one.
    wire();
    // Designed client area 858 wide; the outer 866 x 727 includes the frame.
    resize(858, 700);
    move(328, 114);
    FormCreate();
}

TFormMain::~TFormMain() = default;

void TFormMain::buildControls()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("FormMainClient"));
    setCentralWidget(central);
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // Panel1: transmit-table tool bar
    Panel1 = makePanel(QStringLiteral("Panel1"), false, central);
    Panel1->setFixedHeight(41);
    SpeedButton2 = new SpeedButton(QStringLiteral("SpeedButton2"), QStringLiteral("open"), Panel1);
    SpeedButton2->move(8, 8);
    SpeedButton2->setHint(QStringLiteral("Открыть в таблицу передачи.."));
    SpeedButton1 = new SpeedButton(QStringLiteral("SpeedButton1"), QStringLiteral("save"), Panel1);
    SpeedButton1->move(32, 8);
    SpeedButton1->setHint(QStringLiteral("Сохранить таблицу передачи как.."));
    SBSetup = new SpeedButton(QStringLiteral("SBSetup"), QStringLiteral("setup"), Panel1);
    SBSetup->move(56, 8);
    SBSetup->setHint(QStringLiteral("Настройки порта"));
    SBClearTrans = new SpeedButton(QStringLiteral("SBClearTrans"), QStringLiteral("clear"), Panel1);
    SBClearTrans->move(96, 8);
    SBIns = new SpeedButton(QStringLiteral("SBIns"), QStringLiteral("insert"), Panel1);
    SBIns->move(120, 8);
    SBIns->setHint(QStringLiteral("Вставить байт"));
    SBDel = new SpeedButton(QStringLiteral("SBDel"), QStringLiteral("delete"), Panel1);
    SBDel->move(144, 8);
    SBDel->setHint(QStringLiteral("Удалить байт"));
    Label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("Размер таблицы "), 176, 0, Panel1);
    SESizeTrans = makeSpin(QStringLiteral("SESizeTrans"), 1, 8192, 1, 176, 13, 89, Panel1);
    SBMakeFrameHDLC = new SpeedButton(QStringLiteral("SBMakeFrameHDLC"), QString(), Panel1);
    SBMakeFrameHDLC->setFixedSize(41, 22);
    SBMakeFrameHDLC->move(272, 8);
    SBMakeFrameHDLC->setText(QStringLiteral("HDLC"));
    SBMakeFrameHDLC->setHint(QStringLiteral("Формирование кадра HDLC"));
    outer->addWidget(Panel1);

    SGTrans = new ByteTableView(central);
    SGTrans->setObjectName(QStringLiteral("SGTrans"));
    SGTrans->setFirstColumnWidth(51);
    SGTrans->setDefaultColumnWidth(30);
    SGTrans->setRowHeight(20);
    SGTrans->setFixedHeight(95);
    outer->addWidget(SGTrans);

    auto *middle = new QWidget(central);
    auto *middleLayout = new QHBoxLayout(middle);
    middleLayout->setContentsMargins(0, 0, 0, 0);
    middleLayout->setSpacing(0);
    outer->addWidget(middle, 1);

    Panel2 = makePanel(QStringLiteral("Panel2"), false, middle);
    auto *p2 = new QVBoxLayout(Panel2);
    p2->setContentsMargins(0, 0, 0, 0);
    p2->setSpacing(0);
    middleLayout->addWidget(Panel2, 1);

    // Panel4: the ten transmit lines and the command entry
    Panel4 = makePanel(QStringLiteral("Panel4"), true, Panel2);
    Panel4->setFixedHeight(209);
    Panel4->installEventFilter(this);
    p2->addWidget(Panel4);
    Label1 = makeLabel(QStringLiteral("Label1"), QStringLiteral("ASCII"), 8, 8, Panel4);
    CheckBoxASCII = makeCheck(QStringLiteral("CheckBoxASCII"), QString(), 40, 6, 17, Panel4);
    ChBHexASCII = makeCheck(QStringLiteral("ChBHexASCII"), QStringLiteral("Hex+ASCII"), 64, 6, 81, Panel4);
    ChBCR = makeCheck(QStringLiteral("ChBCR"), QStringLiteral("+<CR>"), 152, 6, 57, Panel4);
    RGWinOrDOSCharset = new RadioGroup(QStringLiteral("RGWinOrDOSCharset"),
                                       {QStringLiteral("Windows"), QStringLiteral("DOS")}, 2, Panel4);
    RGWinOrDOSCharset->setGeometry(216, 1, 153, 33);
    RGWinOrDOSCharset->setItemIndex(0);

    struct Line {
        SpeedButton **button;
        QLineEdit **edit;
        const char *buttonName;
        const char *editName;
        int bx, ex, y, w;
    };
    const Line lines[] = {
        {&SBTrans, &EditString, "SBTrans", "EditString", 8, 32, 40, 289},
        {&SBTrans2, &EditString2, "SBTrans2", "EditString2", 328, 352, 40, 345},
        {&SBTrans3, &EditString3, "SBTrans3", "EditString3", 8, 32, 64, 289},
        {&SBTrans4, &EditString4, "SBTrans4", "EditString4", 328, 352, 64, 345},
        {&SBTrans5, &EditString5, "SBTrans5", "EditString5", 8, 32, 88, 289},
        {&SBTrans6, &EditString6, "SBTrans6", "EditString6", 328, 352, 88, 345},
        {&SBTrans7, &EditString7, "SBTrans7", "EditString7", 8, 32, 112, 289},
        {&SBTrans8, &EditString8, "SBTrans8", "EditString8", 328, 352, 112, 344},
        {&SBTrans9, &EditString9, "SBTrans9", "EditString9", 8, 31, 136, 290},
        {&SBTrans10, &EditString10, "SBTrans10", "EditString10", 328, 352, 136, 344},
    };
    for (const Line &l : lines) {
        *l.button = new SpeedButton(QString::fromLatin1(l.buttonName), QStringLiteral("send"), Panel4);
        (*l.button)->move(l.bx, l.y);
        (*l.button)->setEnabled(false);
        *l.edit = makeEdit(QString::fromLatin1(l.editName), l.ex, l.y, l.w, Panel4);
    }
    SBTrans->setHint(QStringLiteral("Передать в порт"));
    EditString->setEnabled(false);

    SpeedButton3 = new SpeedButton(QStringLiteral("SpeedButton3"), QStringLiteral("open"), Panel4);
    SpeedButton3->move(10, 162);
    SpeedButton3->setHint(QStringLiteral("Открыть файл команд"));
    SpeedButton4 = new SpeedButton(QStringLiteral("SpeedButton4"), QStringLiteral("save"), Panel4);
    SpeedButton4->move(34, 162);
    SpeedButton4->setHint(QStringLiteral("Сохранить команды в файле"));
    SBAddGroup = new SpeedButton(QStringLiteral("SBAddGroup"), QStringLiteral("add"), Panel4);
    SBAddGroup->move(10, 184);
    SBAddGroup->setHint(QStringLiteral("Добавить команду"));
    SBDelGroup = new SpeedButton(QStringLiteral("SBDelGroup"), QStringLiteral("remove"), Panel4);
    SBDelGroup->move(34, 184);
    SBDelGroup->setHint(QStringLiteral("Удалить команду"));
    SBTransLEStr = new SpeedButton(QStringLiteral("SBTransLEStr"), QStringLiteral("send"), Panel4);
    SBTransLEStr->move(80, 184);
    SBTransLEStr->setEnabled(false);
    LEString = makeEdit(QStringLiteral("LEString"), 104, 184, 593, Panel4);
    LEStringLabel = new QLabel(QStringLiteral("Наименование команды"), Panel4);
    LEStringLabel->setObjectName(QStringLiteral("LEStringLabel"));
    LEStringLabel->setBuddy(LEString);
    LEStringLabel->setGeometry(104, 184 - 16, 593, 16);

    SGTransStr = new CommandGridView(Panel2);
    SGTransStr->setObjectName(QStringLiteral("SGTransStr"));
    p2->addWidget(SGTransStr, 1);

    // Panel3: port and receive bar
    Panel3 = makePanel(QStringLiteral("Panel3"), true, Panel2);
    Panel3->setFixedHeight(46);
    p2->addWidget(Panel3);
    SBOpen = new SpeedButton(QStringLiteral("SBOpen"), QStringLiteral("open"), Panel3);
    SBOpen->move(8, 8);
    SBOpen->setHint(QStringLiteral("Открыть в таблицу приема.."));
    SBSave = new SpeedButton(QStringLiteral("SBSave"), QStringLiteral("save"), Panel3);
    SBSave->move(32, 8);
    SBSave->setHint(QStringLiteral("Сохранить таблицу приема как.."));
    SBOpenComm = new SpeedButton(QStringLiteral("SBOpenComm"), QStringLiteral("port"), Panel3, true);
    SBOpenComm->move(64, 8);
    SBOpenComm->setHint(QStringLiteral("Открыть порт"));
    ImageLedOff = new QLabel(Panel3);
    ImageLedOff->setObjectName(QStringLiteral("ImageLedOff"));
    ImageLedOff->setPixmap(glyphPixmap(QStringLiteral("ledoff"), 16));
    ImageLedOff->setGeometry(88, 14, 16, 16);
    ImageLedOn = new QLabel(Panel3);
    ImageLedOn->setObjectName(QStringLiteral("ImageLedOn"));
    ImageLedOn->setPixmap(glyphPixmap(QStringLiteral("ledon"), 16));
    ImageLedOn->setGeometry(88, 14, 16, 16);
    ImageLedOn->hide();
    SBClearRec = new SpeedButton(QStringLiteral("SBClearRec"), QStringLiteral("clear"), Panel3);
    SBClearRec->move(136, 8);
    SBShowText = new SpeedButton(QStringLiteral("SBShowText"), QStringLiteral("text"), Panel3, true);
    SBShowText->move(168, 8);
    SBShowText->setHint(QStringLiteral("Отображение приема текстом"));
    ChBGetSec = makeCheck(QStringLiteral("ChBGetSec"), QStringLiteral("Отображать секунды"), 192, 5, 169, Panel3);
    ChBShowRecTable = makeCheck(QStringLiteral("ChBShowRecTable"), QStringLiteral("Отображать прием в таблице"),
                                192, 21, 177, Panel3);
    ChBShowRecTable->setChecked(true);
    SBDTR = new SpeedButton(QStringLiteral("SBDTR"), QStringLiteral("dtr"), Panel3, true);
    SBDTR->move(376, 8);
    SBDTR->setHint(QStringLiteral("DTR"));
    SBDTR->setEnabled(false);
    SBRTS = new SpeedButton(QStringLiteral("SBRTS"), QStringLiteral("rts"), Panel3, true);
    SBRTS->move(400, 8);
    SBRTS->setHint(QStringLiteral("RTS"));
    SBRTS->setEnabled(false);
    SBSend10DtrRts = new SpeedButton(QStringLiteral("SBSend10DtrRts"), QStringLiteral("bits"), Panel3, true);
    SBSend10DtrRts->setFixedSize(25, 22);
    SBSend10DtrRts->move(448, 8);
    // Shown in the status bar, not as a tooltip.
    SBSend10DtrRts->setStatusTip(QStringLiteral("Передать биты с помощью смены DTR и RTS"));
    SBSend10DtrRts->setEnabled(false);
    SBCircle = new SpeedButton(QStringLiteral("SBCircle"), QStringLiteral("cycle"), Panel3, true);
    SBCircle->move(544, 8);
    SBCircle->setEnabled(false);
    Label6 = makeLabel(QStringLiteral("Label6"), QStringLiteral("Период"), 568, 1, Panel3);
    SECircle = makeSpin(QStringLiteral("SECircle"), 0, 0, 1000, 568, 17, 57, Panel3);
    Label7 = makeLabel(QStringLiteral("Label7"), QStringLiteral("Количество"), 632, 1, Panel3);
    SECountC = makeSpin(QStringLiteral("SECountC"), 1, 65535, 1000, 632, 17, 65, Panel3);

    // Panel5: pulse generator
    Panel5 = makePanel(QStringLiteral("Panel5"), true, middle);
    Panel5->setFixedWidth(147);
    middleLayout->addWidget(Panel5);
    Label8 = makeLabel(QStringLiteral("Label8"), QStringLiteral("Управление генератором"), 8, 8, Panel5);
    Label3 = makeLabel(QStringLiteral("Label3"), QStringLiteral("Импульс"), 4, 32, Panel5);
    SELengthPause = makeSpin(QStringLiteral("SELengthPause"), 0, 0, 0, 66, 24, 73, Panel5);
    Label4 = makeLabel(QStringLiteral("Label4"), QStringLiteral("Пауза"), 4, 56, Panel5);
    SELengthPulse = makeSpin(QStringLiteral("SELengthPulse"), 0, 0, 0, 66, 48, 73, Panel5);
    Label5 = makeLabel(QStringLiteral("Label5"), QStringLiteral("Количество"), 4, 80, Panel5);
    SECountPulse = makeSpin(QStringLiteral("SECountPulse"), 0, 0, 0, 66, 72, 73, Panel5);
    BBStartGen = makeButton(QStringLiteral("BBStartGen"), QStringLiteral("Старт (делитель 5)"), 4, 98, 133, 23, Panel5);
    BBStartGen->setIcon(glyphIcon(QStringLiteral("pulse")));
    BBStartGen->setToolTip(QStringLiteral("Передача команды генератору импульсов"));
    BBStartGen->setStatusTip(BBStartGen->toolTip());
    BBNeprGener = makeButton(QStringLiteral("BBNeprGener"), QStringLiteral("Непрер. (делитель 5)"), 4, 122, 133, 23, Panel5);
    Label9 = makeLabel(QStringLiteral("Label9"), QStringLiteral("Делитель"), 8, 160, Panel5);
    SEDivider = makeSpin(QStringLiteral("SEDivider"), 1, 5, 5, 64, 156, 73, Panel5);
    BBNeprSDelit = makeButton(QStringLiteral("BBNeprSDelit"), QStringLiteral("С делителем непрер."), 4, 184, 133, 25, Panel5);
    GroupBox1 = new QGroupBox(QStringLiteral("Пакеты импульсов"), Panel5);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(4, 216, 139, 161);
    Label10 = makeLabel(QStringLiteral("Label10"), QStringLiteral("Импульсов"), 8, 16, GroupBox1);
    SEQPulseInPaket = makeSpin(QStringLiteral("SEQPulseInPaket"), 1, 65535, 1, 8, 32, 121, GroupBox1);
    Label11 = makeLabel(QStringLiteral("Label11"), QStringLiteral("Пауз"), 8, 56, GroupBox1);
    SEQPauseInPaket = makeSpin(QStringLiteral("SEQPauseInPaket"), 1, 65535, 1, 8, 72, 121, GroupBox1);
    BBPaketNepreryvno = makeButton(QStringLiteral("BBPaketNepreryvno"), QStringLiteral("Непрерывно"), 8, 98, 121, 25, GroupBox1);
    BBNPaketov = makeButton(QStringLiteral("BBNPaketov"), QStringLiteral("Пакетов"), 8, 128, 57, 25, GroupBox1);
    SENPaketov = makeSpin(QStringLiteral("SENPaketov"), 0, 0, 0, 66, 129, 65, GroupBox1);
    BitBtnStopGen = makeButton(QStringLiteral("BitBtnStopGen"), QStringLiteral("Стоп"), 7, 386, 133, 23, Panel5);
    BitBtnStopGen->setIcon(glyphIcon(QStringLiteral("stop")));
    // The system font is wider than the designed one: keep each label whole
    // by narrowing the field beside it from the left.
    for (auto [label, spin] : {std::pair{Label3, SELengthPause}, std::pair{Label4, SELengthPulse},
                               std::pair{Label5, SECountPulse}, std::pair{Label9, SEDivider}}) {
        const int right = spin->geometry().right();
        const int left = qMax(spin->x(), label->geometry().right() + 4);
        spin->setGeometry(left, spin->y(), right - left + 1, spin->height());
    }
    if (Label8->width() > Panel5->width() - 4) {
        QFont small = Label8->font();
        small.setPointSizeF(small.pointSizeF() - 1);
        Label8->setFont(small);
        Label8->adjustSize();
    }
    Label8->move(qMax(2, (Panel5->width() - Label8->width()) / 2), Label8->y());

    SGReceive = new ByteTableView(central);
    SGReceive->setObjectName(QStringLiteral("SGReceive"));
    SGReceive->setFirstColumnWidth(59);
    SGReceive->setDefaultColumnWidth(30);
    SGReceive->setRowHeight(20);
    SGReceive->setFixedHeight(102);
    outer->addWidget(SGReceive);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(true);
    setStatusBar(StatusBar);
    auto panel = [this](const QString &name, int width, int stretch) {
        auto *l = new QLabel(StatusBar);
        l->setObjectName(name);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Designed widths are minimums: a long count or message widens its panel.
        l->setMinimumWidth(width);
        StatusBar->addWidget(l, stretch);
        return l;
    };
    StatusPanel0 = panel(QStringLiteral("StatusPanel0"), 150, 0);
    StatusPanel1 = panel(QStringLiteral("StatusPanel1"), 150, 0);
    // The last panel takes the rest of the bar so the receive counters fit.
    StatusPanel2 = panel(QStringLiteral("StatusPanel2"), 50, 1);
}

void TFormMain::buildMenu()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(MainMenu1);
    auto action = [this](QMenu *menu, const QString &name, const QString &text, const QKeySequence &key = {}) {
        auto *a = new QAction(text, this);
        a->setObjectName(name);
        a->setShortcut(key);
        menu->addAction(a);
        return a;
    };
    auto separator = [this](QMenu *menu, const QString &name) {
        QAction *a = menu->addSeparator();
        a->setObjectName(name);
        a->setParent(this);
        menu->addAction(a);
        return a;
    };
    File1 = MainMenu1->addMenu(QStringLiteral("File"));
    File1->setObjectName(QStringLiteral("File1"));
    Open1 = action(File1, QStringLiteral("Open1"), QStringLiteral("Открыть принятое"));
    N2 = action(File1, QStringLiteral("N2"), QStringLiteral("Сохранить принятое"));
    N4 = separator(File1, QStringLiteral("N4"));
    miOpenTrans = action(File1, QStringLiteral("miOpenTrans"), QStringLiteral("Открыть файл для передачи"));
    miSaveTrans = action(File1, QStringLiteral("miSaveTrans"), QStringLiteral("Сохранить массив передачи"));
    N3 = separator(File1, QStringLiteral("N3"));
    Exit1 = action(File1, QStringLiteral("Exit1"), QStringLiteral("Exit"), QKeySequence(Qt::ALT | Qt::Key_X));
    Edit1 = MainMenu1->addMenu(QStringLiteral("Edit"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    miInsertbyte = action(Edit1, QStringLiteral("miInsertbyte"), QStringLiteral("Insert byte"),
                          QKeySequence(Qt::ALT | Qt::Key_Insert));
    miDeletebyte = action(Edit1, QStringLiteral("miDeletebyte"), QStringLiteral("Delete byte"),
                          QKeySequence(Qt::ALT | Qt::Key_Delete));
    N1 = MainMenu1->addMenu(QStringLiteral("?"));
    N1->setObjectName(QStringLiteral("N1"));
    About1 = action(N1, QStringLiteral("About1"), QStringLiteral("About.."));
}

void TFormMain::FormCreate()
{
    // The receive and transmit models have their header cells built in.
    SGReceive->setModel(receivePath->model());
    SGTrans->setModel(transmitTable->model());
    GridModel *commands = SGTransStr->grid();
    commands->setCell(0, 0, QStringLiteral("№"));
    commands->setCell(1, 0, QStringLiteral("Наименование"));
    commands->setCell(2, 0, QStringLiteral("Код"));
    commands->setCell(0, 1, QStringLiteral("1"));

    // initial transmit buffer
    transmitTable->initTransmitBuffer();

    // saved state
    settingsStore->restore();
}

void TFormMain::wire()
{
    connect(Exit1, &QAction::triggered, this, &TFormMain::Exit1Click);
    connect(About1, &QAction::triggered, this, &TFormMain::About1Click);

    connect(SBSetup, &QToolButton::clicked, portSetup, &PortSetup::SBSetupClick);
    connect(portSetup, &PortSetup::captionChanged, this, &QWidget::setWindowTitle);

    connect(SBOpenComm, &QToolButton::clicked, connection, &PortConnection::SBOpenCommClick);
    connect(SBDTR, &QToolButton::clicked, connection, &PortConnection::SBDTRClick);
    connect(SBRTS, &QToolButton::clicked, connection, &PortConnection::SBRTSClick);

    // transmit table
    connect(transmitTable->model(), &TransmitTableModel::cellEdited, transmitTable,
            &TransmitTable::SGTransSetEditText);
    connect(SESizeTrans, &QSpinBox::textChanged, transmitTable, &TransmitTable::SESizeTransChange);
    connect(SBClearTrans, &QToolButton::clicked, transmitTable, &TransmitTable::SBClearTransClick);
    connect(SBIns, &QToolButton::clicked, transmitTable, &TransmitTable::SBInsClick);
    connect(SBDel, &QToolButton::clicked, transmitTable, &TransmitTable::SBDelClick);
    connect(miInsertbyte, &QAction::triggered, transmitTable, &TransmitTable::miInsertbyteClick);
    connect(miDeletebyte, &QAction::triggered, transmitTable, &TransmitTable::miDeletebyteClick);

    // transmit path
    connect(CheckBoxASCII, &QCheckBox::toggled, transmitPath, &TransmitPath::CheckBoxASCIIClick);
    connect(SBTrans, &QToolButton::clicked, transmitPath, &TransmitPath::SBTransClick);
    connect(SBTrans2, &QToolButton::clicked, transmitPath, &TransmitPath::SBTrans2Click);
    connect(SBTrans3, &QToolButton::clicked, transmitPath, &TransmitPath::SBTrans3Click);
    connect(SBTrans4, &QToolButton::clicked, transmitPath, &TransmitPath::SBTrans4Click);
    connect(SBTrans5, &QToolButton::clicked, transmitPath, &TransmitPath::SBTrans5Click);
    connect(SBTrans6, &QToolButton::clicked, transmitPath, &TransmitPath::SBTrans6Click);
    connect(SBTrans7, &QToolButton::clicked, transmitPath, &TransmitPath::SBTrans7Click);
    connect(SBTrans8, &QToolButton::clicked, transmitPath, &TransmitPath::SBTrans8Click);
    connect(SBTrans9, &QToolButton::clicked, transmitPath, &TransmitPath::SBTrans9Click);
    connect(SBTrans10, &QToolButton::clicked, transmitPath, &TransmitPath::SBTrans10Click);
    connect(SBCircle, &QToolButton::clicked, transmitPath, &TransmitPath::SBCircleClick);
    connect(SECircle, &QSpinBox::textChanged, transmitPath, &TransmitPath::SECircleChange);
    connect(TimerCircle, &QTimer::timeout, transmitPath, &TransmitPath::TimerCircleTimer);

    // receive path
    connect(TimerRead, &QTimer::timeout, receivePath, &ReceivePath::TimerReadTimer);
    connect(SBClearRec, &QToolButton::clicked, receivePath, &ReceivePath::SBClearRecClick);
    connect(ChBGetSec, &QCheckBox::toggled, receivePath, &ReceivePath::ChBGetSecClick);
    connect(SBShowText, &QToolButton::clicked, receivePath, &ReceivePath::SBShowTextClick);

    // bit sequence
    connect(SBSend10DtrRts, &QToolButton::clicked, bitSequence, &BitSequence::SBSend10DtrRtsClick);
    connect(transmitPath, &TransmitPath::tickAfterCycle, bitSequence, &BitSequence::TimerCircleBits);

    // HDLC frame builder
    connect(SBMakeFrameHDLC, &QToolButton::clicked, frameBuilder, &FrameBuilder::SBMakeFrameHDLCClick);

    // generator
    connect(BBStartGen, &QPushButton::clicked, generator, &GeneratorPanel::BBStartGenClick);
    connect(BBNeprGener, &QPushButton::clicked, generator, &GeneratorPanel::BBNeprGenerClick);
    connect(BBNeprSDelit, &QPushButton::clicked, generator, &GeneratorPanel::BBNeprSDelitClick);
    connect(BBNPaketov, &QPushButton::clicked, generator, &GeneratorPanel::BBNPaketovClick);
    connect(BBPaketNepreryvno, &QPushButton::clicked, generator, &GeneratorPanel::BBPaketNepreryvnoClick);
    connect(BitBtnStopGen, &QPushButton::clicked, generator, &GeneratorPanel::BitBtnStopGenClick);

    // command list
    connect(SBAddGroup, &QToolButton::clicked, commandList, &CommandList::SBAddGroupClick);
    connect(SBDelGroup, &QToolButton::clicked, commandList, &CommandList::SBDelGroupClick);
    connect(SBTransLEStr, &QToolButton::clicked, commandList, &CommandList::SBTransLEStrClick);
    connect(SpeedButton3, &QToolButton::clicked, commandList, &CommandList::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, commandList, &CommandList::SpeedButton4Click);
    // A cell becomes current by mouse or keyboard; a click on the current cell picks it again.
    connect(SGTransStr->selectionModel(), &QItemSelectionModel::currentChanged, commandList,
            &CommandList::SGTransStrClick);
    connect(SGTransStr, &QAbstractItemView::clicked, commandList, &CommandList::SGTransStrClick);
    connect(SGTransStr->grid(), &GridModel::cellEdited, commandList, &CommandList::SGTransStrSetEditText);
    connect(SGTransStr, &CommandGridView::gridDoubleClicked, commandList, &CommandList::SGTransStrDblClick);

    // byte files
    for (auto [action, button, handler] : {std::tuple{Open1, SBOpen, &DataFiles::Open1Click},
                                           std::tuple{N2, SBSave, &DataFiles::N2Click},
                                           std::tuple{miOpenTrans, SpeedButton2, &DataFiles::miOpenTransClick},
                                           std::tuple{miSaveTrans, SpeedButton1, &DataFiles::miSaveTransClick}}) {
        connect(action, &QAction::triggered, dataFiles, handler);
        connect(button, &QToolButton::clicked, dataFiles, handler);
    }

    // settings
}

void TFormMain::attachWindows(TSetupDlg *dlg, TFormText *text)
{
    setupDlg = dlg;
    formText = text;
    portSetup->setDialog(dlg);
}

void TFormMain::Exit1Click()
{
    close();
}

void TFormMain::About1Click()
{
    if (TAboutBox *box = aboutBox())
        box->exec();
}

int TFormMain::outerWidth() const
{
    // The designed frame (866 outer for 858 client); window managers differ
    // in what they report, and the layout should not depend on which one runs.
    return width() + 8;
}

void TFormMain::FormResize()
{
    const int w = Panel4->width() / 2 - SBTrans->width() - 20;
    EditString->resize(w, EditString->height());
    SBTrans2->move(EditString->x() + EditString->width() + 10, SBTrans2->y());
    EditString2->move(SBTrans2->x() + SBTrans2->width(), EditString2->y());
    for (QLineEdit *e : {EditString2, EditString3, EditString4, EditString5, EditString6, EditString7,
                         EditString8, EditString9, EditString10})
        e->resize(w, e->height());
    for (SpeedButton *b : {SBTrans4, SBTrans6, SBTrans8, SBTrans10})
        b->move(SBTrans2->x(), b->y());
    for (QLineEdit *e : {EditString4, EditString6, EditString8, EditString10})
        e->move(EditString2->x(), e->y());
    LEString->resize(outerWidth() - SBTransLEStr->x() - SBTransLEStr->width() - 20, LEString->height());
    LEStringLabel->resize(LEString->width(), LEStringLabel->height());
}

bool TFormMain::event(QEvent *e)
{
    if (e->type() == QEvent::StatusTip) {
        // The hint of the control under the mouse goes to the first panel.
        StatusPanel0->setText(static_cast<QStatusTipEvent *>(e)->tip());
        return true;
    }
    return QMainWindow::event(e);
}

void TFormMain::paintEvent(QPaintEvent *e)
{
    QMainWindow::paintEvent(e);
    settingsStore->FormPaint();
}

void TFormMain::closeEvent(QCloseEvent *e)
{
    if (settingsStore->FormClose())
        e->accept();
    else
        e->ignore();
}

bool TFormMain::eventFilter(QObject *watched, QEvent *e)
{
    // Panel4 gets its width from the layout after the window's own resize.
    if (watched == Panel4 && e->type() == QEvent::Resize)
        FormResize();
    return QMainWindow::eventFilter(watched, e);
}
