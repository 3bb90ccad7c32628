#include "units/portconnection.h"

#include "app/formmain.h"
#include "ui/prompts.h"
#include "ui/widgets.h"
#include "units/portsetup.h"
#include "core/serialport.h"

#include <QLabel>
#include <QTimer>

PortConnection::PortConnection(TFormMain *form, PortSetup *setup, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_setup(setup)
    , m_port(createSerialPort(this))
{
    connect(m_port, &SerialPort::deviceGone, this, &PortConnection::onDeviceGone);
}

bool PortConnection::isOpen() const
{
    return m_form->SBOpenComm->down();
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
        m_form->SBOpenComm->setDown(false);
        prompts().message(m_form, failure);
        return;
    }
    // The buttons keep their state while disabled; the lines follow them.
    m_port->setDtr(m_form->SBDTR->down());
    m_port->setRts(m_form->SBRTS->down());
    controlSwitch(true);
}

void PortConnection::controlSwitch(bool open)
{
    TFormMain *f = m_form;
    f->SBOpenComm->setHint(f->SBOpenComm->down() ? QStringLiteral("Закрыть порт") : QStringLiteral("Открыть порт"));
    for (SpeedButton *b : {f->SBTrans, f->SBTrans2, f->SBTrans3, f->SBTrans4, f->SBTrans5, f->SBTrans6,
                           f->SBTrans7, f->SBTrans8, f->SBTrans9, f->SBTrans10, f->SBTransLEStr})
        b->setEnabled(open);
    f->ImageLedOn->setVisible(open);
    f->SBSetup->setEnabled(!open);
    f->ImageLedOff->setVisible(f->ImageLedOn->isHidden());
    LedBlinkCount = 0;
    for (SpeedButton *b : {f->SBDTR, f->SBRTS, f->SBCircle, f->SBSend10DtrRts})
        b->setEnabled(open);
    if (!open) {
        f->TimerCircle->stop();
        f->SBCircle->setDown(false);
        f->SBSend10DtrRts->setDown(false);
    }
    if (open)
        f->TimerRead->start();
    else
        f->TimerRead->stop();
    f->StatusPanel1->setText(open ? QStringLiteral("Готов к приему") : QString());
    if (open)
        emit portOpened();
    else
        emit portClosed();
}

void PortConnection::SBOpenCommClick()
{
    OpenClosePort(m_form->SBOpenComm->down());
}

void PortConnection::SBDTRClick()
{
    m_port->setDtr(m_form->SBDTR->down());
}

void PortConnection::SBRTSClick()
{
    m_port->setRts(m_form->SBRTS->down());
}

void PortConnection::onDeviceGone()
{
    if (!isOpen())
        return;
    // Exactly what a click on SBOpenComm does, then say why.
    m_form->SBOpenComm->setDown(false);
    OpenClosePort(false);
    m_form->StatusPanel1->setText(QStringLiteral("Порт закрыт: устройство недоступно"));
}
