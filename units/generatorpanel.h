#pragma once

#include "core/frames.h"

#include <QObject>

class TFormMain;

// The generator panel: each button sends one command frame built from the
// panel's fields, opening the port first when it is closed.
class GeneratorPanel : public QObject
{
    Q_OBJECT
public:
    explicit GeneratorPanel(TFormMain *form, QObject *parent = nullptr);

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

    TFormMain *m_form;
};
