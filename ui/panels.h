#pragma once

#include "ui/longlineedit.h" // LEString's users call it

#include <QString>

#include <array>

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QMenuBar;
class QObject;
class QPushButton;
class QStatusBar;
class QTimer;
class QWidget;

class ByteTableView;
class CommandGridView;
class RadioGroup;
class SpeedButton;
class SpinEdit;

// The main window's controls, one struct per panel. Each builder creates its
// panel's controls under their names at their designed places; the window
// lays the panels out and hands each unit the panels it drives.

// Panel1 and the transmit table under it.
struct TransmitBar {
    QFrame *Panel1;
    SpeedButton *SpeedButton2, *SpeedButton1, *SBSetup, *SBClearTrans, *SBIns, *SBDel;
    QLabel *Label2;
    SpinEdit *SESizeTrans;
    SpeedButton *SBMakeFrameHDLC;
    ByteTableView *SGTrans;

    static TransmitBar build(QWidget *parent);
};

// Panel4's upper part: the mode switches and the ten text lines.
struct TransmitLines {
    static constexpr int Count = 10;
    QFrame *Panel4;
    QLabel *Label1;
    QCheckBox *CheckBoxASCII, *ChBHexASCII, *ChBCR;
    RadioGroup *RGWinOrDOSCharset;
    // SBTrans, SBTrans2 … SBTrans10 and EditString, EditString2 … EditString10.
    std::array<SpeedButton *, Count> SBTrans;
    std::array<QLineEdit *, Count> EditString;

    static TransmitLines build(QWidget *parent);
};

// The command entry at the foot of Panel4 and the command list below it.
struct CommandsPane {
    SpeedButton *SpeedButton3, *SpeedButton4, *SBAddGroup, *SBDelGroup, *SBTransLEStr;
    LongLineEdit *LEString;
    QLabel *LEStringLabel;
    CommandGridView *SGTransStr;

    static CommandsPane build(QWidget *panel4, QWidget *listParent);
};

// Panel3: port, receive and control-line bar.
struct PortBar {
    QFrame *Panel3;
    SpeedButton *SBOpen, *SBSave, *SBOpenComm;
    QLabel *ImageLedOff, *ImageLedOn;
    SpeedButton *SBClearRec, *SBShowText;
    QCheckBox *ChBGetSec, *ChBShowRecTable;
    SpeedButton *SBDTR, *SBRTS, *SBSend10DtrRts, *SBCircle;
    QLabel *Label6;
    SpinEdit *SECircle;
    QLabel *Label7;
    SpinEdit *SECountC;

    static PortBar build(QWidget *parent);
};

// Panel5: the pulse generator's fields and command buttons.
struct GeneratorControls {
    QFrame *Panel5;
    QLabel *Label8, *Label3, *Label4, *Label5, *Label9, *Label10, *Label11;
    SpinEdit *SELengthPause, *SELengthPulse, *SECountPulse, *SEDivider, *SEQPulseInPaket,
        *SEQPauseInPaket, *SENPaketov;
    QPushButton *BBStartGen, *BBNeprGener, *BBNeprSDelit, *BBPaketNepreryvno, *BBNPaketov, *BitBtnStopGen;
    QGroupBox *GroupBox1;

    static GeneratorControls build(QWidget *parent);
};

ByteTableView *buildReceiveTable(QWidget *parent);

struct StatusPanels {
    QStatusBar *StatusBar;
    QLabel *StatusPanel0, *StatusPanel1, *StatusPanel2;
    // The modem status lines at the right of the bar; disabled until an open
    // port reports its lines.
    QLabel *LedCTS, *LedDSR, *LedDCD, *LedRI;
    // The capture log's file and size, left of the lines; shown only while logging.
    QLabel *StatusPanelLog;

    static StatusPanels build(QMainWindow *window);
};

struct MainMenu {
    QMenuBar *MainMenu1;
    QMenu *File1, *Edit1, *N1;
    QAction *Open1, *N2, *N4, *miOpenTrans, *miSaveTrans, *N3, *Exit1, *miInsertbyte, *miDeletebyte, *About1;
    // File menu, after N2: checkable, checked while received bytes go to a file.
    QAction *miLogReceive;
    // Edit menu, after the byte commands.
    QAction *miSendBreak; // enabled while the port is open
    QAction *miReconnect; // checkable, on
    // F10 anywhere in the window: the menu bar takes the keyboard at "File".
    QAction *menuKey;

    static MainMenu build(QMainWindow *window);
};

// The window's two timers, both stopped: the receive poll and the cyclic send.
struct Timers {
    QTimer *TimerRead, *TimerCircle;

    static Timers build(QObject *owner);
};

// A modem-line indicator lit (line active) or dark; its "lit" property tells which.
void setLineLit(QLabel *led, bool lit);

QFrame *makePanel(const QString &name, bool raised, QWidget *parent);
