#pragma once

#include <QObject>
#include <QStringView>

class TFormMain;

// A Hex cell read as a bit: 1 when the text is the decimal integer 1
// ("1", "01", "+1", spaces around allowed), 0 for any other text.
bool DtrRtsBit(QStringView hexCellText);

// Signals the transmit table bit by bit on the control lines: one pulse per
// TimerCircle tick, RTS for a 1, DTR for a 0.
class BitSequence : public QObject
{
    Q_OBJECT
public:
    explicit BitSequence(TFormMain *form, QObject *parent = nullptr);

    // Running exactly while SBSend10DtrRts is down.
    bool running() const;

    void SBSend10DtrRtsClick();
    // The bit branch of each TimerCircle tick, after the cyclic send.
    void TimerCircleBits();

    // Index (from 0) of the next bit to send.
    qint32 DtrRtsBitIndex = 0;

private:
    void finish();

    TFormMain *m_form;
};
