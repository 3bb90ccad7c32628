#pragma once

#include "ui/panels.h"

#include <QByteArray>
#include <QObject>

class TransmitTableModel;

// The transmit table SGTrans with its tool bar, and the block to send.
// Byte i of the table is the Hex cell of data column i + 1; the ASCII row
// only follows it while the user types.
class TransmitTable : public QObject
{
    Q_OBJECT
public:
    TransmitTable(const TransmitBar &bar, const TransmitLines &lines, QObject *parent = nullptr);

    TransmitTableModel *model() const { return m_model; }

    // The block to send, rebuilt before each send; not a mirror of the table.
    QByteArray TransmitArray;
    // Length of the block last written to the port.
    qint32 TransmitCount = 0;

    // Start-up state: one zero byte, counted as sent.
    void initTransmitBuffer();

    int dataColumnCount() const;
    // The column of the focused cell, at least 1: where bytes go in and out.
    int currentColumn() const;
    // One byte per shown data column, each its Hex cell read as hexadecimal.
    QByteArray tableBytes() const;
    void readTableIntoTransmitArray();
    // Column count n + 1, every data column written with its number, hex
    // pair and character. The size field is left as it is.
    void showBytes(const QByteArray &bytes);
    // Bytes that replace the table (a file, a command, a frame): the size
    // field follows (at most its maximum) and every byte gets its column; no
    // bytes leave one empty column.
    void loadBytes(const QByteArray &bytes);

    // Runs on every keystroke of the cell editor, after the cell took `text`.
    void SGTransSetEditText(int column, int row, const QString &text);
    void SESizeTransChange();
    void SBClearTransClick();
    void SBInsClick();
    void SBDelClick();
    void miInsertbyteClick();
    void miDeletebyteClick();

private:
    void insertByte(bool fromMenu);
    void deleteByte(bool fromMenu);
    // The menu commands keep the size field equal to the byte count.
    void setSizeField(int n);

    TransmitBar m_bar;
    TransmitLines m_lines;
    TransmitTableModel *m_model;
};
