#include "tables/framebuilder.h"

#include "app/formmain.h"
#include "app/widgets.h"
#include "tables/hdlc.h"
#include "tables/transmittable.h"

FrameBuilder::FrameBuilder(TFormMain *form, QObject *parent)
    : QObject(parent)
    , m_form(form)
{
}

void FrameBuilder::SBMakeFrameHDLCClick()
{
    TransmitTable *table = m_form->transmitTable;
    const QByteArray frame = BuildHdlcFrame(table->tableBytes());
    // The size field first: its change handler resizes the table to what the
    // field can show, and the frame then takes every column it needs.
    SpinEdit *size = m_form->SESizeTrans;
    size->setValue(int(qMin<qsizetype>(frame.size(), size->maximum())));
    table->showBytes(frame);
}
