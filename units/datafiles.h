#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class TFormMain;

// Byte files into and out of the receive table and the transmit table. A
// load reads the whole file before anything changes; a save replaces the
// file only once it is written whole.
class DataFiles : public QObject
{
    Q_OBJECT
public:
    explicit DataFiles(TFormMain *form, QObject *parent = nullptr);

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
    TFormMain *m_form;
};

