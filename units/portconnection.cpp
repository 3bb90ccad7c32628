#include "units/portconnection.h"

#include "core/serialport.h"
#include "ui/prompts.h"
#include "ui/widgets.h"
#include "units/portsetup.h"

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
{
    m_port->setParent(this);
    connect(m_port, &SerialPort::deviceGone, this, &PortConnection::onDeviceGone);
}

bool PortConnection::isOpen() const
{
    return m_bar.SBOpenComm->down();
}

void PortConnection::OpenClosePort(bool open)
{
    if (!open) {
        m_port->close();
        controlSwitch(false);
        return;
    }
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
        m_port->close();
        m_bar.SBOpenComm->setDown(false);
        prompts().message(m_window, failure);
        return;
    }
    // The buttons keep their state while disabled; the lines follow them.
    m_port->setDtr(m_bar.SBDTR->down());
    m_port->setRts(m_bar.SBRTS->down());
    controlSwitch(true);
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
}
