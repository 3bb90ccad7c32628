#include "units/framebuilder.h"

#include "core/hdlc.h"
#include "units/transmittable.h"

FrameBuilder::FrameBuilder(TransmitTable *table, QObject *parent)
    : QObject(parent)
    , m_table(table)
{
}

void FrameBuilder::SBMakeFrameHDLCClick()
{
    m_table->loadBytes(BuildHdlcFrame(m_table->tableBytes()));
}
