#include "units/portsetup.h"

#include "ui/widgets.h"
#include "ui/setupdlg.h"

#include <QComboBox>

PortSetup::PortSetup(QObject *parent)
    : QObject(parent)
{
}

void PortSetup::FillSetupDialog()
{
    if (!m_dialog)
        return;
    m_dialog->CBCommPortName->setEditText(settings.PortName);
    // A rate outside the list is still shown, so the box tells what the port will use.
    const int rate = portsettings::baudRateIndex(settings.BaudRate);
    if (rate >= 0)
        m_dialog->CBBaudRate->setCurrentIndex(rate);
    m_dialog->CBBaudRate->setEditText(QString::number(settings.BaudRate));
    m_dialog->SEByteSize->setValue(settings.ByteSize);
    m_dialog->CBParity->setCurrentIndex(settings.Parity < m_dialog->CBParity->count() ? settings.Parity : -1);
    m_dialog->CBParity->setEditText(m_dialog->CBParity->currentIndex() >= 0 ? m_dialog->CBParity->currentText()
                                                                            : QString());
    m_dialog->CBStopBits->setCurrentIndex(settings.StopBits < m_dialog->CBStopBits->count() ? settings.StopBits
                                                                                            : -1);
    m_dialog->CBStopBits->setEditText(
        m_dialog->CBStopBits->currentIndex() >= 0 ? m_dialog->CBStopBits->currentText() : QString());
}

QString PortSetup::PortCaption() const
{
    if (!m_dialog)
        return portsettings::portCaption(settings.PortName, QString::number(settings.BaudRate),
                                         settings.ByteSize,
                                         portsettings::parityNames().value(settings.Parity),
                                         portsettings::stopBitsNames().value(settings.StopBits));
    return portsettings::portCaption(m_dialog->CBCommPortName->currentText(),
                                     m_dialog->CBBaudRate->currentText(), settings.ByteSize,
                                     m_dialog->CBParity->currentText(),
                                     m_dialog->CBStopBits->currentText());
}

void PortSetup::acceptDialog()
{
    if (!m_dialog)
        return;
    settings.PortName = m_dialog->CBCommPortName->currentText();
    if (const auto rate = portsettings::parseBaudRate(m_dialog->CBBaudRate->currentText()))
        settings.BaudRate = *rate;
    else // the caption then reports the rate actually kept
        m_dialog->CBBaudRate->setEditText(QString::number(settings.BaudRate));
    settings.ByteSize = quint8(m_dialog->SEByteSize->fieldValue());
    settings.Parity = quint8(selectedPosition(m_dialog->CBParity));     // -1 is kept as 255
    settings.StopBits = quint8(selectedPosition(m_dialog->CBStopBits));
    emit captionChanged(PortCaption());
}

void PortSetup::SBSetupClick()
{
    FillSetupDialog();
    if (!m_dialog)
        return;
    if (m_dialog->exec() == QDialog::Accepted)
        acceptDialog();
}
