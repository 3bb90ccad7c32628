#pragma once

#include <QObject>

class TFormMain;
class TransmitTable;
class PortConnection;

// Sends the transmit table and the text lines to the port, once per click or
// cyclically on TimerCircle.
class TransmitPath : public QObject
{
    Q_OBJECT
public:
    TransmitPath(TFormMain *form, TransmitTable *table, PortConnection *connection, QObject *parent = nullptr);

    // Builds the block in TransmitArray from the table, the line or both, as
    // the mode controls say, and writes it. Callers check the port is open.
    void SendLine(const QString &lineText);
    // Writes TransmitArray one byte per call and reports its length.
    void WriteTransmitArray();

    void CheckBoxASCIIClick();
    void SBTransClick();
    void SBTrans2Click();
    void SBTrans3Click();
    void SBTrans4Click();
    void SBTrans5Click();
    void SBTrans6Click();
    void SBTrans7Click();
    void SBTrans8Click();
    void SBTrans9Click();
    void SBTrans10Click();

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
    TFormMain *m_form;
    TransmitTable *m_table;
    PortConnection *m_connection;
};
