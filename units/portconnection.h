#pragma once

#include <QObject>

class TFormMain;
class PortSetup;
class SerialPort;

// Opens and closes the one port and switches the window between its closed
// and open states; DTR and RTS by hand.
class PortConnection : public QObject
{
    Q_OBJECT
public:
    PortConnection(TFormMain *form, PortSetup *setup, QObject *parent = nullptr);

    SerialPort *port() const { return m_port; }
    // The port counts as open exactly while SBOpenComm is down.
    bool isOpen() const;

    void OpenClosePort(bool open);
    void SBOpenCommClick();
    void SBDTRClick();
    void SBRTSClick();

    // Ticks since the LED last changed; the receive poll advances it.
    int LedBlinkCount = 0;

signals:
    void portOpened();
    void portClosed();

private:
    void controlSwitch(bool open);
    void onDeviceGone();

    TFormMain *m_form;
    PortSetup *m_setup;
    SerialPort *m_port;
};
