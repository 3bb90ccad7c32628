#include "units/framebuilder.h"

#include "app/formmain.h"
#include "core/hdlc.h"
#include "units/transmittable.h"

FrameBuilder::FrameBuilder(TFormMain *form, QObject *parent)
    : QObject(parent)
    , m_form(form)
{
}

void FrameBuilder::SBMakeFrameHDLCClick()
{
    TransmitTable *table = m_form->transmitTable;
    const QByteArray frame = BuildHdlcFrame(table->tableBytes());
    table->loadBytes(frame);
}
