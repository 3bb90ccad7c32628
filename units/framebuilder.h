#pragma once

#include <QObject>

class TransmitTable;

// The "HDLC" button: wraps the transmit table's bytes into a frame in place.
class FrameBuilder : public QObject
{
    Q_OBJECT
public:
    explicit FrameBuilder(TransmitTable *table, QObject *parent = nullptr);

    // Nothing is sent and TransmitArray is left alone; the size field
    // follows the frame as far as it can count (as loading a file does).
    void SBMakeFrameHDLCClick();

private:
    TransmitTable *m_table;
};
