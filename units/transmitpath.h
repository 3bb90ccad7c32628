#pragma once

#include "ui/panels.h"

#include <QObject>

class TransmitTable;
class PortConnection;

// Sends the transmit table and the text lines to the port, once per click or
// cyclically on TimerCircle.
class TransmitPath : public QObject
{
    Q_OBJECT
public:
    TransmitPath(TransmitTable *table, PortConnection *connection, const TransmitLines &lines, const PortBar &bar,
                 const StatusPanels &status, const Timers &timers, QObject *parent = nullptr);

    // Builds the block in TransmitArray from the table, the line or both, as
    // the mode controls say, and writes it. Callers check the port is open.
    void SendLine(const QString &lineText);
    // Writes TransmitArray one byte per call and reports its length.
    void WriteTransmitArray();

    void CheckBoxASCIIClick();
    // SBTransClick, SBTrans2Click … SBTrans10Click: sends line `index` (from 0).
    void SBTransClick(int index = 0);

    void SBCircleClick();
    void SECircleChange();
    void TimerCircleTimer();

    // Blocks sent in the current cyclic run.
    int CycleCount = 0;

signals:
    // Every tick of TimerCircle, after the cyclic send: the bit sequence
    // clocks its DTR/RTS branch here.
    void tickAfterCycle();

private:
    TransmitTable *m_table;
    PortConnection *m_connection;
    TransmitLines m_lines;
    PortBar m_bar;
    StatusPanels m_status;
    Timers m_timers;
};
