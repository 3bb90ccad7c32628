#include "units/generatorpanel.h"

#include "app/formmain.h"
#include "ui/widgets.h"
#include "units/portconnection.h"
#include "units/transmitpath.h"
#include "units/transmittable.h"

GeneratorPanel::GeneratorPanel(TFormMain *form, QObject *parent)
    : QObject(parent)
    , m_form(form)
{
}

GeneratorFields GeneratorPanel::fields() const
{
    const TFormMain *f = m_form;
    GeneratorFields v;
    v.LengthPulse = f->SELengthPulse->fieldValue();
    v.LengthPause = f->SELengthPause->fieldValue();
    v.CountPulse = f->SECountPulse->fieldValue();
    v.Divider = f->SEDivider->fieldValue();
    v.NPaketov = f->SENPaketov->fieldValue();
    v.QPulseInPaket = f->SEQPulseInPaket->fieldValue();
    v.QPauseInPaket = f->SEQPauseInPaket->fieldValue();
    return v;
}

void GeneratorPanel::sendCommand(GeneratorCommand command)
{
    TFormMain *f = m_form;
    if (!f->connection->isOpen()) {
        f->SBOpenComm->setDown(true);
        f->connection->OpenClosePort(true);
        // The open has shown why it failed; reporting a frame as sent when
        // nothing could reach the line would be false.
        if (!f->connection->isOpen())
            return;
    }
    f->transmitTable->TransmitArray = GeneratorFrame(command, fields());
    f->transmitPath->WriteTransmitArray();
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
