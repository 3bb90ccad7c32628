#include "units/bitsequence.h"

#include "app/formmain.h"
#include "ui/widgets.h"
#include "units/portconnection.h"
#include "core/serialport.h"
#include "units/transmitpath.h"
#include "core/textfile.h"
#include "units/transmittable.h"
#include "core/transmittablemodel.h"

#include <QTimer>

bool DtrRtsBit(QStringView hexCellText)
{
    return parseDecimalLine(hexCellText.toString()) == 1;
}

BitSequence::BitSequence(TFormMain *form, QObject *parent)
    : QObject(parent)
    , m_form(form)
{
}

bool BitSequence::running() const
{
    return m_form->SBSend10DtrRts->down();
}

void BitSequence::SBSend10DtrRtsClick()
{
    TFormMain *f = m_form;
    if (!running()) {
        // Released by hand: end as the last tick would.
        finish();
        return;
    }
    f->SBRTS->setDown(false);
    f->SBDTR->setDown(false);
    f->SBCircle->setDown(false);
    // The lines rest cleared, and a cyclic send in progress stops.
    f->connection->SBDTRClick();
    f->connection->SBRTSClick();
    f->transmitPath->SBCircleClick();
    for (SpeedButton *b : {f->SBRTS, f->SBDTR, f->SBCircle})
        b->setEnabled(false);
    DtrRtsBitIndex = 0;
    f->TimerCircle->setInterval(qMax(1, f->SECircle->fieldValue()));
    f->TimerCircle->start();
}

void BitSequence::TimerCircleBits()
{
    if (!running())
        return;
    TransmitTable *table = m_form->transmitTable;
    if (DtrRtsBitIndex >= table->dataColumnCount()) {
        finish();
        return;
    }
    // Read at every tick, so an edit reaches the bits not yet sent.
    const bool one = DtrRtsBit(table->model()->hexText(DtrRtsBitIndex + 1));
    SerialPort *port = m_form->connection->port();
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
    TFormMain *f = m_form;
    f->SBSend10DtrRts->setDown(false);
    // Closing the port ends a run through the control switch, which leaves
    // these buttons disabled with the port.
    if (!f->connection->isOpen())
        return;
    for (SpeedButton *b : {f->SBRTS, f->SBDTR, f->SBCircle})
        b->setEnabled(true);
    // Nothing else uses the timer now: SBCircle was released at the start
    // and stayed disabled.
    if (!f->SBCircle->down())
        f->TimerCircle->stop();
}
