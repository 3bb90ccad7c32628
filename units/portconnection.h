#pragma once

#include "ui/panels.h"

#include <QElapsedTimer>
#include <QObject>

class PortSetup;
class ServerKnock;
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
    // A port server is asked again only this long after it last answered
    // (or failed to): each question costs it a connection.
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
    // Whether the lost port is still waited for and may be opened now.
    bool stillWaiting();
    void serverAnswered(bool takesConnections);
    void reopen();

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
    ServerKnock *m_knock;
    QElapsedTimer m_lastNetworkTry; // when a port server last answered the knock, or failed to
};
