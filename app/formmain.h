#pragma once

#include "ui/panels.h"

#include <QMainWindow>

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
class LineSignals;
class CaptureLogging;
class TSetupDlg;
class TFormText;

// The main window: lays out the panels, creates the subsystem units with the
// panels each one drives, and wires controls to the units' handlers in one place.
class TFormMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFormMain(QWidget *parent = nullptr);
    ~TFormMain() override;

    // Windows created after the main window (program start order).
    void attachWindows(TSetupDlg *setupDlg, TFormText *formText);

    void Exit1Click();
    // Closes as the close box does, asking nothing: for a system that ends
    // the program (a signal, the end of the session).
    void endPolitely();
    void About1Click();
    void FormResize();

    // Width including the designed window frame.
    int outerWidth() const;

    // The panels, in the order they are built (tab order follows it).
    TransmitBar transmitBar;
    TransmitLines transmitLines;
    CommandsPane commandsPane;
    PortBar portBar;
    GeneratorControls generatorControls;
    ByteTableView *SGReceive;
    StatusPanels statusPanels;
    MainMenu mainMenu;
    Timers timers;

    // Subsystem units, each owning the state and handlers of one subsystem.
    PortSetup *portSetup;
    PortConnection *connection;
    TransmitTable *transmitTable;
    TransmitPath *transmitPath;
    ReceivePath *receivePath;
    BitSequence *bitSequence;
    FrameBuilder *frameBuilder;
    GeneratorPanel *generator;
    CommandList *commandList;
    DataFiles *dataFiles;
    SettingsStore *settingsStore;
    LineSignals *lineSignals;
    CaptureLogging *captureLogging;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    // The panels fill the client area, or more when it is smaller than they need.
    void layoutClient();
    void wire();
    void FormCreate();

    bool m_endingPolitely = false;
    QWidget *m_content = nullptr;
};
