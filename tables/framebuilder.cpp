#include "tables/framebuilder.h"

#include "app/formmain.h"
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
    table->loadBytes(frame);
}
