#include "units/portconnection.h"

#include "core/serialport.h"
#include "port/networkport.h"
#include "port/serverknock.h"
#include "ui/prompts.h"
#include "ui/widgets.h"
#include "units/portsetup.h"

#include "core/netportname.h"
#include "core/portsettings.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

PortConnection::PortConnection(SerialPort *port, PortSetup *setup, const PortBar &bar,
                               const TransmitBar &transmitBar, const TransmitLines &lines,
                               const CommandsPane &commands, const StatusPanels &status, const Timers &timers,
                               QWidget *window, QObject *parent)
    : QObject(parent)
    , m_setup(setup)
    , m_port(port)
    , m_bar(bar)
    , m_transmitBar(transmitBar)
    , m_lines(lines)
    , m_commands(commands)
    , m_status(status)
    , m_timers(timers)
    , m_window(window)
    , m_reconnectTimer(new QTimer(this))
    , m_knock(new ServerKnock(this))
{
    m_port->setParent(this);
    connect(m_port, &SerialPort::deviceGone, this, &PortConnection::onDeviceGone);
    m_reconnectTimer->setInterval(ReconnectCheckMs);
    connect(m_reconnectTimer, &QTimer::timeout, this, &PortConnection::tryReconnect);
    connect(m_knock, &ServerKnock::answered, this, &PortConnection::serverAnswered);
}

bool PortConnection::isOpen() const
{
    return m_bar.SBOpenComm->down();
}

void PortConnection::OpenClosePort(bool open)
{
    // Whatever the user does with the port ends the wait for a lost device.
    m_reconnectTimer->stop();
    m_lostPath.clear();
    if (!open) {
        m_port->close();
        controlSwitch(false);
        return;
    }
    openPort(true);
}

bool PortConnection::openPort(bool report)
{
    QString failure;
    switch (m_port->open(m_setup->settings)) {
    case SerialPort::OpenResult::Opened:
        break;
    case SerialPort::OpenResult::OpenFailed:
        failure = QStringLiteral("Ошибка открытия порта");
        break;
    case SerialPort::OpenResult::SettingsRejected:
        failure = QStringLiteral("Ошибка SetCommState или GetCommTimeouts");
        break;
    case SerialPort::OpenResult::TimeoutsRejected:
        failure = QStringLiteral("Ошибка SetCommTimeouts или SetCommMask");
        break;
    }
    if (!failure.isEmpty()) {
        // Read before closing: the port forgets why once it is closed.
        const QString why = m_port->failureText();
        m_port->close();
        m_bar.SBOpenComm->setDown(false);
        if (report)
            prompts().detailedMessage(m_window, failure, why);
        return false;
    }
    // The buttons keep their state while disabled; the lines follow them.
    m_port->setDtr(m_bar.SBDTR->down());
    m_port->setRts(m_bar.SBRTS->down());
    controlSwitch(true);
    return true;
}

void PortConnection::controlSwitch(bool open)
{
    const PortBar &b = m_bar;
    b.SBOpenComm->setHint(b.SBOpenComm->down() ? QStringLiteral("Закрыть порт") : QStringLiteral("Открыть порт"));
    for (SpeedButton *send : m_lines.SBTrans)
        send->setEnabled(open);
    m_commands.SBTransLEStr->setEnabled(open);
    b.ImageLedOn->setVisible(open);
    m_transmitBar.SBSetup->setEnabled(!open);
    b.ImageLedOff->setVisible(b.ImageLedOn->isHidden());
    LedBlinkCount = 0;
    for (SpeedButton *button : {b.SBDTR, b.SBRTS, b.SBCircle, b.SBSend10DtrRts})
        button->setEnabled(open);
    if (!open) {
        m_timers.TimerCircle->stop();
        b.SBCircle->setDown(false);
        b.SBSend10DtrRts->setDown(false);
    }
    if (open)
        m_timers.TimerRead->start();
    else
        m_timers.TimerRead->stop();
    m_status.StatusPanel1->setText(open ? QStringLiteral("Готов к приему") : QString());
    if (open)
        emit portOpened();
    else
        emit portClosed();
}

void PortConnection::openFromCode()
{
    m_bar.SBOpenComm->setDown(true);
    OpenClosePort(true);
}

void PortConnection::SBOpenCommClick()
{
    OpenClosePort(m_bar.SBOpenComm->down());
}

void PortConnection::SBDTRClick()
{
    m_port->setDtr(m_bar.SBDTR->down());
}

void PortConnection::SBRTSClick()
{
    m_port->setRts(m_bar.SBRTS->down());
}

void PortConnection::onDeviceGone()
{
    if (!isOpen())
        return;
    // Exactly what a click on SBOpenComm does, then say why.
    m_bar.SBOpenComm->setDown(false);
    OpenClosePort(false);
    m_status.StatusPanel1->setText(QStringLiteral("Порт закрыт: устройство недоступно"));
    m_lostPath = portsettings::resolvePortName(m_setup->settings.PortName);
    m_lastNetworkTry.invalidate(); // a server that dropped the line is tried at the next check
    if (m_reconnect)
        m_reconnectTimer->start();
}

void PortConnection::setReconnect(bool on)
{
    m_reconnect = on;
    if (!on)
        m_reconnectTimer->stop();
    else if (!m_lostPath.isEmpty() && !isOpen())
        m_reconnectTimer->start();
}

bool PortConnection::waitingForDevice() const
{
    return m_reconnectTimer->isActive();
}

bool PortConnection::stillWaiting()
{
    // The settings may have moved to another port meanwhile.
    if (isOpen() || !m_reconnect || portsettings::resolvePortName(m_setup->settings.PortName) != m_lostPath) {
        m_reconnectTimer->stop();
        return false;
    }
    // Not behind an open dialog's back (the setup dialog edits the settings).
    return !m_retrying && !QApplication::activeModalWidget();
}

void PortConnection::tryReconnect()
{
    if (!stillWaiting())
        return;
    if (!netport::isNetworkName(m_lostPath)) {
        // A device is back when its path is.
        if (QFileInfo::exists(m_lostPath))
            reopen();
        return;
    }
    // A port server is opened only once it takes connections: opening at a
    // host that does not answer would hold the window for the whole connect
    // time-out. Knocking costs the server a connection, so it is done seldom.
    if (!m_knock->pending() && !(m_lastNetworkTry.isValid() && !m_lastNetworkTry.hasExpired(NetworkRetryMs)))
        m_knock->knock(m_lostPath, NetworkPort::kConnectTimeoutMs);
}

void PortConnection::serverAnswered(bool takesConnections)
{
    m_lastNetworkTry.start();
    if (takesConnections && stillWaiting())
        reopen();
}

void PortConnection::reopen()
{
    // As a click on SBOpenComm would; a device still settling (its group
    // not set yet) is tried again at the next check, without a box.
    m_bar.SBOpenComm->setDown(true);
    m_retrying = true;
    const bool opened = openPort(false);
    m_retrying = false;
    if (!opened)
        return;
    m_reconnectTimer->stop();
    m_lostPath.clear();
    m_status.StatusPanel1->setText(QStringLiteral("Порт открыт снова: устройство подключено"));
}
