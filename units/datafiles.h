#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class ReceivePath;
class TransmitTable;
class QWidget;

// Byte files into and out of the receive table and the transmit table. A
// load reads the whole file before anything changes; a save replaces the
// file only once it is written whole.
class DataFiles : public QObject
{
    Q_OBJECT
public:
    // `window` parents the dialogs and boxes it shows.
    DataFiles(TransmitTable *table, ReceivePath *receivePath, QWidget *window, QObject *parent = nullptr);

    // A missing file is no failure and changes nothing. False when the file
    // could not be read; the user has then seen the system's text.
    bool LoadTransmitFile(const QString &fileName);
    // False when the file could not be written; the user has then seen the
    // system's text and the previous file is whole.
    bool SaveTransmitFile(const QString &fileName);

    void Open1Click();
    void N2Click();
    void miOpenTransClick();
    void miSaveTransClick();

private:
    TransmitTable *m_table;
    ReceivePath *m_receivePath;
    QWidget *m_window;
};

