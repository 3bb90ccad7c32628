#include "units/transmitpath.h"

#include "app/formmain.h"
#include "ui/widgets.h"
#include "core/lineencoder.h"
#include "units/portconnection.h"
#include "core/serialport.h"
#include "units/transmittable.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

TransmitPath::TransmitPath(TFormMain *form, TransmitTable *table, PortConnection *connection, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_table(table)
    , m_connection(connection)
{
}

void TransmitPath::SendLine(const QString &lineText)
{
    QByteArray &block = m_table->TransmitArray;
    block.clear();
    if (!m_form->CheckBoxASCII->isChecked()) {
        m_table->readTableIntoTransmitArray();
    } else {
        if (m_form->ChBHexASCII->isChecked())
            m_table->readTableIntoTransmitArray();
        const Charset charset = m_form->RGWinOrDOSCharset->itemIndex() == 1 ? Charset::Dos : Charset::Windows;
        block += EncodeTransmitLine(lineText, charset);
        if (m_form->ChBCR->isChecked())
            block += "\r\n";
    }
    WriteTransmitArray();
}

void TransmitPath::WriteTransmitArray()
{
    SerialPort *port = m_connection->port();
    const QByteArray &block = m_table->TransmitArray;
    // One write per byte; what the port made of each is not examined.
    for (char b : block)
        port->writeByte(quint8(b));
    m_table->TransmitCount = qint32(block.size());
    m_form->StatusPanel1->setText(QStringLiteral("Передано: %1 байт").arg(m_table->TransmitCount));
}

void TransmitPath::CheckBoxASCIIClick()
{
    // Lines 7 to 10 stay editable in either mode.
    const bool text = m_form->CheckBoxASCII->isChecked();
    for (QLineEdit *e : {m_form->EditString, m_form->EditString2, m_form->EditString3, m_form->EditString4,
                         m_form->EditString5, m_form->EditString6})
        e->setEnabled(text);
}

void TransmitPath::SBTransClick() { SendLine(m_form->EditString->text()); }
void TransmitPath::SBTrans2Click() { SendLine(m_form->EditString2->text()); }
void TransmitPath::SBTrans3Click() { SendLine(m_form->EditString3->text()); }
void TransmitPath::SBTrans4Click() { SendLine(m_form->EditString4->text()); }
void TransmitPath::SBTrans5Click() { SendLine(m_form->EditString5->text()); }
void TransmitPath::SBTrans6Click() { SendLine(m_form->EditString6->text()); }
void TransmitPath::SBTrans7Click() { SendLine(m_form->EditString7->text()); }
void TransmitPath::SBTrans8Click() { SendLine(m_form->EditString8->text()); }
void TransmitPath::SBTrans9Click() { SendLine(m_form->EditString9->text()); }
void TransmitPath::SBTrans10Click() { SendLine(m_form->EditString10->text()); }

void TransmitPath::SBCircleClick()
{
    const bool run = m_form->SBCircle->down();
    if (run) {
        // The period is taken here only; changing it during a run does not
        // change the running timer.
        m_form->TimerCircle->setInterval(qMax(1, m_form->SECircle->fieldValue()));
        CycleCount = 0;
        m_form->TimerCircle->start();
    } else {
        m_form->TimerCircle->stop();
    }
}

void TransmitPath::SECircleChange()
{
    if (m_form->SECircle->fieldValue() < 1)
        m_form->SECircle->setValue(1);
}

void TransmitPath::TimerCircleTimer()
{
    if (m_form->SBCircle->down()) {
        SBTransClick();
        ++CycleCount;
        // Read at every tick: lowering the count below what was sent ends the
        // run after this send.
        if (m_form->SECountC->fieldValue() <= CycleCount) {
            m_form->TimerCircle->stop();
            m_form->SBCircle->setDown(false);
        }
    }
    emit tickAfterCycle();
}
