#pragma once

#include "ui/panels.h"

#include <QElapsedTimer>
#include <QObject>

class PortSetup;
class SerialPort;
class QTimer;
class QWidget;

// Opens and closes the one port and switches the window between its closed
// and open states; DTR and RTS by hand.
class PortConnection : public QObject
{
    Q_OBJECT
public:
    // Takes ownership of `port`. `window` parents the boxes it shows.
    PortConnection(SerialPort *port, PortSetup *setup, const PortBar &bar, const TransmitBar &transmitBar,
                   const TransmitLines &lines, const CommandsPane &commands, const StatusPanels &status,
                   const Timers &timers, QWidget *window, QObject *parent = nullptr);

    SerialPort *port() const { return m_port; }
    // The port counts as open exactly while SBOpenComm is down.
    bool isOpen() const;

    void OpenClosePort(bool open);
    // Opens the port as a click on SBOpenComm would (a command that needs the port).
    void openFromCode();
    void SBOpenCommClick();
    void SBDTRClick();
    void SBRTSClick();

    // After the device went away, reopen it with the same settings when it
    // comes back under the same name (miReconnect).
    void setReconnect(bool on);
    bool reconnect() const { return m_reconnect; }
    bool waitingForDevice() const;
    static constexpr int ReconnectCheckMs = 500;
    // A port server is asked again only this long after the last try ended:
    // a try at an unreachable host holds the program up to the connect time-out.
    static constexpr int NetworkRetryMs = 5000;

    // Ticks since the LED last changed; the receive poll advances it.
    int LedBlinkCount = 0;

signals:
    void portOpened();
    void portClosed();

private:
    void controlSwitch(bool open);
    void onDeviceGone();
    // Opens with the stored settings; a failure is shown only when `report`.
    bool openPort(bool report);
    void tryReconnect();

    PortSetup *m_setup;
    SerialPort *m_port;
    PortBar m_bar;
    TransmitBar m_transmitBar;
    TransmitLines m_lines;
    CommandsPane m_commands;
    StatusPanels m_status;
    Timers m_timers;
    QWidget *m_window;
    bool m_reconnect = true;
    QTimer *m_reconnectTimer;
    QString m_lostPath; // the device to wait for
    bool m_retrying = false; // a reconnecting open is under way
    QElapsedTimer m_lastNetworkTry; // when the last try at a port server ended
};
