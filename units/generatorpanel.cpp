#include "units/generatorpanel.h"

#include "ui/widgets.h"
#include "units/portconnection.h"
#include "units/transmitpath.h"
#include "units/transmittable.h"

GeneratorPanel::GeneratorPanel(const GeneratorControls &controls, PortConnection *connection,
                               TransmitTable *table, TransmitPath *transmitPath, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_connection(connection)
    , m_table(table)
    , m_transmitPath(transmitPath)
{
}

GeneratorFields GeneratorPanel::fields() const
{
    const GeneratorControls &c = m_controls;
    GeneratorFields v;
    v.LengthPulse = c.SELengthPulse->fieldValue();
    v.LengthPause = c.SELengthPause->fieldValue();
    v.CountPulse = c.SECountPulse->fieldValue();
    v.Divider = c.SEDivider->fieldValue();
    v.NPaketov = c.SENPaketov->fieldValue();
    v.QPulseInPaket = c.SEQPulseInPaket->fieldValue();
    v.QPauseInPaket = c.SEQPauseInPaket->fieldValue();
    return v;
}

void GeneratorPanel::sendCommand(GeneratorCommand command)
{
    if (!m_connection->isOpen()) {
        m_connection->openFromCode();
        // The open has shown why it failed; reporting a frame as sent when
        // nothing could reach the line would be false.
        if (!m_connection->isOpen())
            return;
    }
    m_table->TransmitArray = GeneratorFrame(command, fields());
    m_transmitPath->WriteTransmitArray();
}

void GeneratorPanel::BBStartGenClick()
{
    sendCommand(GeneratorCommand::StartGen);
}

void GeneratorPanel::BBNeprGenerClick()
{
    sendCommand(GeneratorCommand::NeprGener);
}

void GeneratorPanel::BBNeprSDelitClick()
{
    sendCommand(GeneratorCommand::NeprSDelit);
}

void GeneratorPanel::BBNPaketovClick()
{
    sendCommand(GeneratorCommand::NPaketov);
}

void GeneratorPanel::BBPaketNepreryvnoClick()
{
    sendCommand(GeneratorCommand::PaketNepreryvno);
}

void GeneratorPanel::BitBtnStopGenClick()
{
    sendCommand(GeneratorCommand::StopGen);
}
