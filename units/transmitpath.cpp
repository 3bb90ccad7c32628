#include "units/transmitpath.h"

#include "core/lineencoder.h"
#include "core/serialport.h"
#include "ui/widgets.h"
#include "units/portconnection.h"
#include "units/transmittable.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

TransmitPath::TransmitPath(TransmitTable *table, PortConnection *connection, const TransmitLines &lines,
                           const PortBar &bar, const StatusPanels &status, const Timers &timers, QObject *parent)
    : QObject(parent)
    , m_table(table)
    , m_connection(connection)
    , m_lines(lines)
    , m_bar(bar)
    , m_status(status)
    , m_timers(timers)
{
}

void TransmitPath::SendLine(const QString &lineText)
{
    QByteArray &block = m_table->TransmitArray;
    block.clear();
    if (!m_lines.CheckBoxASCII->isChecked()) {
        m_table->readTableIntoTransmitArray();
    } else {
        if (m_lines.ChBHexASCII->isChecked())
            m_table->readTableIntoTransmitArray();
        const Charset charset = m_lines.RGWinOrDOSCharset->itemIndex() == 1 ? Charset::Dos : Charset::Windows;
        block += EncodeTransmitLine(lineText, charset);
        if (m_lines.ChBCR->isChecked())
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
    m_status.StatusPanel1->setText(QStringLiteral("Передано: %1 байт").arg(m_table->TransmitCount));
}

void TransmitPath::CheckBoxASCIIClick()
{
    // Lines 7 to 10 stay editable in either mode.
    const bool text = m_lines.CheckBoxASCII->isChecked();
    for (int i = 0; i < 6; ++i)
        m_lines.EditString[i]->setEnabled(text);
}

void TransmitPath::SBTransClick(int index)
{
    SendLine(m_lines.EditString[index]->text());
}

void TransmitPath::SBCircleClick()
{
    const bool run = m_bar.SBCircle->down();
    if (run) {
        // The period is taken here only; changing it during a run does not
        // change the running timer.
        m_timers.TimerCircle->setInterval(qMax(1, m_bar.SECircle->fieldValue()));
        CycleCount = 0;
        m_timers.TimerCircle->start();
    } else {
        m_timers.TimerCircle->stop();
    }
}

void TransmitPath::SECircleChange()
{
    if (m_bar.SECircle->fieldValue() < 1)
        m_bar.SECircle->setValue(1);
}

void TransmitPath::TimerCircleTimer()
{
    if (m_bar.SBCircle->down()) {
        SBTransClick();
        ++CycleCount;
        // Read at every tick: lowering the count below what was sent ends the
        // run after this send.
        if (m_bar.SECountC->fieldValue() <= CycleCount) {
            m_timers.TimerCircle->stop();
            m_bar.SBCircle->setDown(false);
        }
    }
    emit tickAfterCycle();
}
