#pragma once

#include "core/frames.h"
#include "ui/panels.h"

#include <QObject>

class PortConnection;
class TransmitPath;
class TransmitTable;

// The generator panel: each button sends one command frame built from the
// panel's fields, opening the port first when it is closed.
class GeneratorPanel : public QObject
{
    Q_OBJECT
public:
    GeneratorPanel(const GeneratorControls &controls, PortConnection *connection, TransmitTable *table,
                   TransmitPath *transmitPath, QObject *parent = nullptr);

    // The panel's values as their texts read now.
    GeneratorFields fields() const;

    void BBStartGenClick();
    void BBNeprGenerClick();
    void BBNeprSDelitClick();
    void BBNPaketovClick();
    void BBPaketNepreryvnoClick();
    void BitBtnStopGenClick();

private:
    void sendCommand(GeneratorCommand command);

    GeneratorControls m_controls;
    PortConnection *m_connection;
    TransmitTable *m_table;
    TransmitPath *m_transmitPath;
};
