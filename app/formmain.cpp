#include "app/formmain.h"

#include "app/program.h"
#include "core/gridmodel.h"
#include "core/receivetablemodel.h"
#include "core/transmittablemodel.h"
#include "port/anyport.h"
#include "port/portfactory.h"
#include "ui/aboutbox.h"
#include "ui/bytetableview.h"
#include "ui/commandgridview.h"
#include "ui/formtext.h"
#include "ui/prompts.h"
#include "ui/setupdlg.h"
#include "ui/widgets.h"
#include "units/bitsequence.h"
#include "units/capturelogging.h"
#include "units/commandlist.h"
#include "units/datafiles.h"
#include "units/framebuilder.h"
#include "units/linesignals.h"
#include "units/generatorpanel.h"
#include "units/portconnection.h"
#include "units/portsetup.h"
#include "units/receivepath.h"
#include "units/settingsstore.h"
#include "units/transmitpath.h"
#include "units/transmittable.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <tuple>
#include <type_traits>

TFormMain::TFormMain(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(applicationTitle());
    setWindowIcon(glyphIcon(QStringLiteral("program")));
    setFont(designFont());
    buildControls();
    mainMenu = MainMenu::build(this);
    timers = Timers::build(this);

    QWidget *window = this;
    portSetup = new PortSetup(this);
    connection = new PortConnection(createSerialPort(nullptr), portSetup, portBar, transmitBar, transmitLines,
                                    commandsPane, statusPanels, timers, window, this);
    transmitTable = new TransmitTable(transmitBar, transmitLines, this);
    transmitPath = new TransmitPath(transmitTable, connection, transmitLines, portBar, statusPanels, timers, this);
    receivePath = new ReceivePath(connection, portBar, SGReceive, statusPanels, window, this);
    bitSequence = new BitSequence(connection, transmitPath, transmitTable, portBar, timers, this);
    frameBuilder = new FrameBuilder(transmitTable, this);
    generator = new GeneratorPanel(generatorControls, connection, transmitTable, transmitPath, this);
    commandList = new CommandList(commandsPane, transmitLines, transmitTable, transmitPath, window, this);
    dataFiles = new DataFiles(transmitTable, receivePath, window, this);
    settingsStore = new SettingsStore(portSetup, commandList, dataFiles, transmitLines, commandsPane, portBar,
                                      generatorControls, window);
    settingsStore->attachMenu(mainMenu);
    lineSignals = new LineSignals(connection, statusPanels, mainMenu, this);
    captureLogging = new CaptureLogging(mainMenu, statusPanels, window, this);

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
    // The client area asks for no least size: the window shrinks as far as
    // the user likes, the panels keep their heights, the command list gives
    // way and what still does not fit is cut off at the right and the bottom.
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("FormMainClient"));
    setCentralWidget(client);
    client->installEventFilter(this);
    auto *central = new QWidget(client);
    m_content = central;
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    transmitBar = TransmitBar::build(central);
    outer->addWidget(transmitBar.Panel1);
    outer->addWidget(transmitBar.SGTrans);

    auto *middle = new QWidget(central);
    auto *middleLayout = new QHBoxLayout(middle);
    middleLayout->setContentsMargins(0, 0, 0, 0);
    middleLayout->setSpacing(0);
    outer->addWidget(middle, 1);

    QFrame *panel2 = makePanel(QStringLiteral("Panel2"), false, middle);
    auto *p2 = new QVBoxLayout(panel2);
    p2->setContentsMargins(0, 0, 0, 0);
    p2->setSpacing(0);
    middleLayout->addWidget(panel2, 1);

    transmitLines = TransmitLines::build(panel2);
    transmitLines.Panel4->installEventFilter(this);
    p2->addWidget(transmitLines.Panel4);
    commandsPane = CommandsPane::build(transmitLines.Panel4, panel2);
    p2->addWidget(commandsPane.SGTransStr, 1);
    portBar = PortBar::build(panel2);
    p2->addWidget(portBar.Panel3);

    generatorControls = GeneratorControls::build(middle);
    middleLayout->addWidget(generatorControls.Panel5);

    SGReceive = buildReceiveTable(central);
    outer->addWidget(SGReceive);

    statusPanels = StatusPanels::build(this);
}

void TFormMain::FormCreate()
{
    // The receive and transmit models have their header cells built in.
    SGReceive->setModel(receivePath->model());
    transmitBar.SGTrans->setModel(transmitTable->model());
    GridModel *commands = commandsPane.SGTransStr->grid();
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
    const MainMenu &m = mainMenu;
    const TransmitBar &tb = transmitBar;
    const TransmitLines &tl = transmitLines;
    const CommandsPane &cp = commandsPane;
    const PortBar &pb = portBar;
    const GeneratorControls &gc = generatorControls;

    connect(m.Exit1, &QAction::triggered, this, &TFormMain::Exit1Click);
    connect(m.About1, &QAction::triggered, this, &TFormMain::About1Click);
    connect(m.menuKey, &QAction::triggered, m.MainMenu1,
            [bar = m.MainMenu1, file = m.File1] { bar->setActiveAction(file->menuAction()); });

    connect(tb.SBSetup, &QToolButton::clicked, portSetup, &PortSetup::SBSetupClick);
    connect(portSetup, &PortSetup::captionChanged, this, &QWidget::setWindowTitle);

    connect(pb.SBOpenComm, &QToolButton::clicked, connection, &PortConnection::SBOpenCommClick);
    connect(pb.SBDTR, &QToolButton::clicked, connection, &PortConnection::SBDTRClick);
    connect(pb.SBRTS, &QToolButton::clicked, connection, &PortConnection::SBRTSClick);
    connect(m.miReconnect, &QAction::toggled, connection, &PortConnection::setReconnect);
    connect(m.miSendBreak, &QAction::triggered, lineSignals, &LineSignals::miSendBreakClick);

    // transmit table
    connect(transmitTable->model(), &TransmitTableModel::cellEdited, transmitTable,
            &TransmitTable::SGTransSetEditText);
    connect(tb.SESizeTrans, &QSpinBox::textChanged, transmitTable, &TransmitTable::SESizeTransChange);
    connect(tb.SBClearTrans, &QToolButton::clicked, transmitTable, &TransmitTable::SBClearTransClick);
    connect(tb.SBIns, &QToolButton::clicked, transmitTable, &TransmitTable::SBInsClick);
    connect(tb.SBDel, &QToolButton::clicked, transmitTable, &TransmitTable::SBDelClick);
    connect(m.miInsertbyte, &QAction::triggered, transmitTable, &TransmitTable::miInsertbyteClick);
    connect(m.miDeletebyte, &QAction::triggered, transmitTable, &TransmitTable::miDeletebyteClick);

    // transmit path
    connect(tl.CheckBoxASCII, &QCheckBox::toggled, transmitPath, &TransmitPath::CheckBoxASCIIClick);
    for (int i = 0; i < TransmitLines::Count; ++i)
        connect(tl.SBTrans[i], &QToolButton::clicked, transmitPath, [this, i] { transmitPath->SBTransClick(i); });
    // Enter in a line does what a click on its send button does, while that may be clicked.
    const auto enterClicks = [this](auto *line, QToolButton *button) {
        connect(line, &std::remove_pointer_t<decltype(line)>::returnPressed, button, [button] {
            if (button->isEnabled())
                button->click();
        });
    };
    for (int i = 0; i < TransmitLines::Count; ++i)
        enterClicks(tl.EditString[i], tl.SBTrans[i]);
    enterClicks(cp.LEString, cp.SBTransLEStr);
    connect(pb.SBCircle, &QToolButton::clicked, transmitPath, &TransmitPath::SBCircleClick);
    connect(pb.SECircle, &QSpinBox::textChanged, transmitPath, &TransmitPath::SECircleChange);
    connect(timers.TimerCircle, &QTimer::timeout, transmitPath, &TransmitPath::TimerCircleTimer);

    // receive path
    connect(timers.TimerRead, &QTimer::timeout, receivePath, &ReceivePath::TimerReadTimer);
    connect(pb.SBClearRec, &QToolButton::clicked, receivePath, &ReceivePath::SBClearRecClick);
    connect(pb.ChBGetSec, &QCheckBox::toggled, receivePath, &ReceivePath::ChBGetSecClick);
    connect(pb.SBShowText, &QToolButton::clicked, receivePath, &ReceivePath::SBShowTextClick);

    // capture log: every receive step, whether the tables show it or the store keeps it
    connect(m.miLogReceive, &QAction::triggered, captureLogging, &CaptureLogging::miLogReceiveClick);
    connect(receivePath->model(), &ReceiveTableModel::received, captureLogging, &CaptureLogging::received,
            Qt::DirectConnection);
    connect(receivePath->model(), &ReceiveTableModel::storeStopped, captureLogging, &CaptureLogging::storeStopped);
    // The window is not destroyed when the program ends: write what waits then.
    connect(qApp, &QCoreApplication::aboutToQuit, captureLogging, &CaptureLogging::stopLogging);

    // bit sequence
    connect(pb.SBSend10DtrRts, &QToolButton::clicked, bitSequence, &BitSequence::SBSend10DtrRtsClick);
    connect(transmitPath, &TransmitPath::tickAfterCycle, bitSequence, &BitSequence::TimerCircleBits);

    // HDLC frame builder
    connect(tb.SBMakeFrameHDLC, &QToolButton::clicked, frameBuilder, &FrameBuilder::SBMakeFrameHDLCClick);

    // generator
    connect(gc.BBStartGen, &QPushButton::clicked, generator, &GeneratorPanel::BBStartGenClick);
    connect(gc.BBNeprGener, &QPushButton::clicked, generator, &GeneratorPanel::BBNeprGenerClick);
    connect(gc.BBNeprSDelit, &QPushButton::clicked, generator, &GeneratorPanel::BBNeprSDelitClick);
    connect(gc.BBNPaketov, &QPushButton::clicked, generator, &GeneratorPanel::BBNPaketovClick);
    connect(gc.BBPaketNepreryvno, &QPushButton::clicked, generator, &GeneratorPanel::BBPaketNepreryvnoClick);
    connect(gc.BitBtnStopGen, &QPushButton::clicked, generator, &GeneratorPanel::BitBtnStopGenClick);

    // command list
    connect(cp.SBAddGroup, &QToolButton::clicked, commandList, &CommandList::SBAddGroupClick);
    connect(cp.SBDelGroup, &QToolButton::clicked, commandList, &CommandList::SBDelGroupClick);
    connect(cp.SBTransLEStr, &QToolButton::clicked, commandList, &CommandList::SBTransLEStrClick);
    connect(cp.SpeedButton3, &QToolButton::clicked, commandList, &CommandList::SpeedButton3Click);
    connect(cp.SpeedButton4, &QToolButton::clicked, commandList, &CommandList::SpeedButton4Click);
    // A cell becomes current by mouse or keyboard; a click on the current cell picks it again.
    connect(cp.SGTransStr->selectionModel(), &QItemSelectionModel::currentChanged, commandList,
            &CommandList::SGTransStrClick);
    connect(cp.SGTransStr, &QAbstractItemView::clicked, commandList, &CommandList::SGTransStrClick);
    connect(cp.SGTransStr->grid(), &GridModel::cellEdited, commandList, &CommandList::SGTransStrSetEditText);
    connect(cp.SGTransStr, &CommandGridView::gridDoubleClicked, commandList, &CommandList::SGTransStrDblClick);

    // byte files
    for (auto [action, button, handler] : {std::tuple{m.Open1, pb.SBOpen, &DataFiles::Open1Click},
                                           std::tuple{m.N2, pb.SBSave, &DataFiles::N2Click},
                                           std::tuple{m.miOpenTrans, tb.SpeedButton2, &DataFiles::miOpenTransClick},
                                           std::tuple{m.miSaveTrans, tb.SpeedButton1, &DataFiles::miSaveTransClick}}) {
        connect(action, &QAction::triggered, dataFiles, handler);
        connect(button, &QToolButton::clicked, dataFiles, handler);
    }
}

void TFormMain::attachWindows(TSetupDlg *dlg, TFormText *text)
{
    portSetup->setDialog(dlg);
    // The dialog names a port server only from what an open learnt.
    if (auto *any = qobject_cast<AnyPort *>(connection->port()))
        dlg->serverSignature = [any](const QString &name) { return any->serverSignature(name); };
    receivePath->attachFormText(text);
    settingsStore->attachTextWindow(text);
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
    const TransmitLines &tl = transmitLines;
    const auto &send = tl.SBTrans;
    const auto &edit = tl.EditString;
    const int w = tl.Panel4->width() / 2 - send[0]->width() - 20;
    edit[0]->resize(w, edit[0]->height());
    send[1]->move(edit[0]->x() + edit[0]->width() + 10, send[1]->y());
    edit[1]->move(send[1]->x() + send[1]->width(), edit[1]->y());
    for (int i = 1; i < TransmitLines::Count; ++i)
        edit[i]->resize(w, edit[i]->height());
    // The right column (lines 2, 4, … 10) lines up under line 2.
    for (int i = 3; i < TransmitLines::Count; i += 2) {
        send[i]->move(send[1]->x(), send[i]->y());
        edit[i]->move(edit[1]->x(), edit[i]->y());
    }
    const CommandsPane &cp = commandsPane;
    cp.LEString->resize(outerWidth() - cp.SBTransLEStr->x() - cp.SBTransLEStr->width() - 20, cp.LEString->height());
    cp.LEStringLabel->resize(cp.LEString->width(), cp.LEStringLabel->height());
}

bool TFormMain::event(QEvent *e)
{
    if (e->type() == QEvent::StatusTip) {
        // The hint of the control under the mouse goes to the first panel.
        statusPanels.StatusPanel0->setText(static_cast<QStatusTipEvent *>(e)->tip());
        return true;
    }
    return QMainWindow::event(e);
}

void TFormMain::paintEvent(QPaintEvent *e)
{
    QMainWindow::paintEvent(e);
    settingsStore->FormPaint();
}

namespace {

// Nobody is there to answer: failures go to the log and the answer to
// "close without saving?" is yes.
class UnattendedPrompts : public Prompts
{
public:
    void message(QWidget *, const QString &text) override { qWarning().noquote() << text; }
    void detailedMessage(QWidget *, const QString &text, const QString &informative) override
    {
        qWarning().noquote() << text << informative;
    }
    void error(QWidget *, const QString &text) override { qWarning().noquote() << text; }
    bool question(QWidget *, const QString &) override { return true; }
    std::optional<QString> fileName(QWidget *, const FileDialogSpec &) override { return std::nullopt; }
};

} // namespace

void TFormMain::endPolitely()
{
    // A modal loop (a box, a dialog) would hold the close until it ends.
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    m_endingPolitely = true;
    close();
}

void TFormMain::closeEvent(QCloseEvent *e)
{
    if (m_endingPolitely) {
        UnattendedPrompts unattended;
        Prompts *previous = &prompts();
        setPrompts(&unattended);
        settingsStore->FormClose();
        setPrompts(previous);
        e->accept();
        return;
    }
    if (settingsStore->FormClose())
        e->accept();
    else
        e->ignore();
}

void TFormMain::layoutClient()
{
    const QSize least = m_content->layout()->minimumSize();
    m_content->setGeometry(QRect(QPoint(0, 0), centralWidget()->size().expandedTo(least)));
}

bool TFormMain::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == centralWidget() && e->type() == QEvent::Resize)
        layoutClient();
    // Panel4 gets its width from the layout after the window's own resize.
    if (watched == transmitLines.Panel4 && e->type() == QEvent::Resize)
        FormResize();
    return QMainWindow::eventFilter(watched, e);
}
