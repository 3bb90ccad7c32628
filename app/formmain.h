#pragma once

#include <QMainWindow>

class QAbstractItemView;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QStatusBar;
class QTimer;
class QAction;
class QFrame;
class QPushButton;
class QStandardItemModel;

class SpeedButton;
class SpinEdit;
class RadioGroup;
class ByteTableView;
class CommandGridView;
class PortSetup;
class PortConnection;
class TransmitTable;
class TransmitPath;
class ReceivePath;
class BitSequence;
class FrameBuilder;
class GeneratorPanel;
class CommandList;
class DataFiles;
class SettingsStore;
class TSetupDlg;
class TFormText;

// The main window. It creates every control under its own name, creates the
// subsystem units, and wires controls to the units' handlers in one place.
// Controls are public so units can be handed the ones they own.
class TFormMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFormMain(QWidget *parent = nullptr);
    ~TFormMain() override;

    // Windows created after the main window (program start order).
    void attachWindows(TSetupDlg *setupDlg, TFormText *formText);

    void Exit1Click();
    void About1Click();
    void FormResize();

    // Width including the designed window frame.
    int outerWidth() const;

    // Panel1: transmit-table tool bar
    QFrame *Panel1;
    SpeedButton *SpeedButton2, *SpeedButton1, *SBSetup, *SBClearTrans, *SBIns, *SBDel;
    QLabel *Label2;
    SpinEdit *SESizeTrans;
    SpeedButton *SBMakeFrameHDLC;

    ByteTableView *SGTrans;

    QFrame *Panel2, *Panel3, *Panel4, *Panel5;

    // Panel4: transmit lines and command entry
    QLabel *Label1;
    QCheckBox *CheckBoxASCII, *ChBHexASCII, *ChBCR;
    RadioGroup *RGWinOrDOSCharset;
    SpeedButton *SBTrans, *SBTrans2, *SBTrans3, *SBTrans4, *SBTrans5, *SBTrans6, *SBTrans7, *SBTrans8,
        *SBTrans9, *SBTrans10;
    QLineEdit *EditString, *EditString2, *EditString3, *EditString4, *EditString5, *EditString6,
        *EditString7, *EditString8, *EditString9, *EditString10;
    SpeedButton *SpeedButton3, *SpeedButton4, *SBAddGroup, *SBDelGroup, *SBTransLEStr;
    QLineEdit *LEString;
    QLabel *LEStringLabel;

    CommandGridView *SGTransStr;

    // Panel3: port and receive bar
    SpeedButton *SBOpen, *SBSave, *SBOpenComm;
    QLabel *ImageLedOff, *ImageLedOn;
    SpeedButton *SBClearRec, *SBShowText;
    QCheckBox *ChBGetSec, *ChBShowRecTable;
    SpeedButton *SBDTR, *SBRTS, *SBSend10DtrRts, *SBCircle;
    QLabel *Label6;
    SpinEdit *SECircle;
    QLabel *Label7;
    SpinEdit *SECountC;

    // Panel5: pulse generator
    QLabel *Label8, *Label3, *Label4, *Label5, *Label9, *Label10, *Label11;
    SpinEdit *SELengthPause, *SELengthPulse, *SECountPulse, *SEDivider, *SEQPulseInPaket,
        *SEQPauseInPaket, *SENPaketov;
    QPushButton *BBStartGen, *BBNeprGener, *BBNeprSDelit, *BBPaketNepreryvno, *BBNPaketov, *BitBtnStopGen;
    QGroupBox *GroupBox1;

    ByteTableView *SGReceive;

    QStatusBar *StatusBar;
    QLabel *StatusPanel0, *StatusPanel1, *StatusPanel2;

    QMenuBar *MainMenu1;
    QMenu *File1, *Edit1, *N1;
    QAction *Open1, *N2, *N4, *miOpenTrans, *miSaveTrans, *N3, *Exit1, *miInsertbyte, *miDeletebyte, *About1;

    QTimer *TimerRead, *TimerCircle;

    // Subsystem units, each owning the state and handlers of one subsystem.
    PortSetup *portSetup = nullptr;
    PortConnection *connection = nullptr;

    TransmitTable *transmitTable = nullptr;

    TransmitPath *transmitPath = nullptr;

    ReceivePath *receivePath = nullptr;

    BitSequence *bitSequence = nullptr;

    FrameBuilder *frameBuilder = nullptr;

    GeneratorPanel *generator = nullptr;

    CommandList *commandList = nullptr;

    DataFiles *dataFiles = nullptr;

    SettingsStore *settingsStore = nullptr;

    TSetupDlg *setupDlg = nullptr;
    TFormText *formText = nullptr;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenu();
    void wire();
    void FormCreate();
};
