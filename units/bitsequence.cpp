#include "units/bitsequence.h"

#include "core/serialport.h"
#include "core/textfile.h"
#include "core/transmittablemodel.h"
#include "ui/widgets.h"
#include "units/portconnection.h"
#include "units/transmitpath.h"
#include "units/transmittable.h"

#include <QTimer>

BitSequence::BitSequence(PortConnection *connection, TransmitPath *transmitPath, TransmitTable *table,
                         const PortBar &bar, const Timers &timers, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
    , m_transmitPath(transmitPath)
    , m_table(table)
    , m_bar(bar)
    , m_timers(timers)
{
}

bool BitSequence::running() const
{
    return m_bar.SBSend10DtrRts->down();
}

void BitSequence::SBSend10DtrRtsClick()
{
    const PortBar &bar = m_bar;
    if (!running()) {
        // Released by hand: end as the last tick would.
        finish();
        return;
    }
    bar.SBRTS->setDown(false);
    bar.SBDTR->setDown(false);
    bar.SBCircle->setDown(false);
    // The lines rest cleared, and a cyclic send in progress stops.
    m_connection->SBDTRClick();
    m_connection->SBRTSClick();
    m_transmitPath->SBCircleClick();
    for (SpeedButton *b : {bar.SBRTS, bar.SBDTR, bar.SBCircle})
        b->setEnabled(false);
    DtrRtsBitIndex = 0;
    m_timers.TimerCircle->setInterval(qMax(1, bar.SECircle->fieldValue()));
    m_timers.TimerCircle->start();
}

void BitSequence::TimerCircleBits()
{
    if (!running())
        return;
    if (DtrRtsBitIndex >= m_table->dataColumnCount()) {
        finish();
        return;
    }
    // Read at every tick, so an edit reaches the bits not yet sent.
    const bool one = DtrRtsBit(m_table->model()->hexText(DtrRtsBitIndex + 1));
    SerialPort *port = m_connection->port();
    if (one) {
        port->setRts(true);
        port->setRts(false);
    } else {
        port->setDtr(true);
        port->setDtr(false);
    }
    ++DtrRtsBitIndex;
}

void BitSequence::finish()
{
    const PortBar &bar = m_bar;
    bar.SBSend10DtrRts->setDown(false);
    // Closing the port ends a run through the control switch, which leaves
    // these buttons disabled with the port.
    if (!m_connection->isOpen())
        return;
    for (SpeedButton *b : {bar.SBRTS, bar.SBDTR, bar.SBCircle})
        b->setEnabled(true);
    // Nothing else uses the timer now: SBCircle was released at the start
    // and stayed disabled.
    if (!bar.SBCircle->down())
        m_timers.TimerCircle->stop();
}
