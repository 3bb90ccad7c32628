#pragma once

#include "core/transmittablemodel.h"
#include "support/fakeserialport.h"
#include "support/recordingprompts.h"
#include "ui/bytetableview.h"
#include "ui/panels.h"
#include "ui/widgets.h"
#include "units/portconnection.h"
#include "units/portsetup.h"
#include "units/transmitpath.h"
#include "units/transmittable.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTimer>

// The main window's panels on a bare window, and the units every sending
// unit builds on, over a recording fake port: no main window and no wiring.
// Tests call the handlers as the wiring would.
struct UnitRig {
    RecordingPrompts prompts;
    QMainWindow window;
    TransmitBar transmitBar = TransmitBar::build(&window);
    TransmitLines transmitLines = TransmitLines::build(&window);
    CommandsPane commandsPane = CommandsPane::build(transmitLines.Panel4, &window);
    PortBar portBar = PortBar::build(&window);
    GeneratorControls generatorControls = GeneratorControls::build(&window);
    StatusPanels statusPanels = StatusPanels::build(&window);
    Timers timers = Timers::build(&window);
    FakeSerialPort *port = new FakeSerialPort;
    PortSetup setup;
    PortConnection connection{port,         &setup,        portBar, transmitBar, transmitLines,
                              commandsPane, statusPanels, timers,  &window};
    TransmitTable table{transmitBar, transmitLines};
    TransmitPath path{&table, &connection, transmitLines, portBar, statusPanels, timers};

    UnitRig()
    {
        transmitBar.SGTrans->setModel(table.model());
        QObject::connect(transmitBar.SESizeTrans, &QSpinBox::textChanged, &table, &TransmitTable::SESizeTransChange);
        QObject::connect(table.model(), &TransmitTableModel::cellEdited, &table, &TransmitTable::SGTransSetEditText);
        table.initTransmitBuffer();
        window.show();
    }

    // As a click on SBOpenComm; the open's own calls are forgotten.
    void open()
    {
        portBar.SBOpenComm->setDown(true);
        connection.SBOpenCommClick();
        port->clearLog();
    }
};
