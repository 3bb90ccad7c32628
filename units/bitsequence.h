#pragma once

#include "ui/panels.h"

#include <QObject>

class PortConnection;
class TransmitPath;
class TransmitTable;

// Signals the transmit table bit by bit on the control lines: one pulse per
// TimerCircle tick, RTS for a 1, DTR for a 0.
class BitSequence : public QObject
{
    Q_OBJECT
public:
    BitSequence(PortConnection *connection, TransmitPath *transmitPath, TransmitTable *table, const PortBar &bar,
                const Timers &timers, QObject *parent = nullptr);

    // Running exactly while SBSend10DtrRts is down.
    bool running() const;

    void SBSend10DtrRtsClick();
    // The bit branch of each TimerCircle tick, after the cyclic send.
    void TimerCircleBits();

    // Index (from 0) of the next bit to send.
    qint32 DtrRtsBitIndex = 0;

private:
    void finish();

    PortConnection *m_connection;
    TransmitPath *m_transmitPath;
    TransmitTable *m_table;
    PortBar m_bar;
    Timers m_timers;
};
