#include "units/datafiles.h"

#include "ui/prompts.h"
#include "units/receivepath.h"
#include "core/bytefile.h"
#include "core/receivetablemodel.h"
#include "units/transmittable.h"

#include <QFileInfo>


DataFiles::DataFiles(TransmitTable *table, ReceivePath *receivePath, QWidget *window, QObject *parent)
    : QObject(parent)
    , m_table(table)
    , m_receivePath(receivePath)
    , m_window(window)
{
}

bool DataFiles::LoadTransmitFile(const QString &fileName)
{
    if (!QFileInfo::exists(fileName))
        return true;
    QByteArray bytes;
    QString error;
    if (!ReadByteFile(fileName, &bytes, &error)) {
        fileError(m_window, fileName, error);
        return false;
    }
    if (bytes.isEmpty())
        return true;
    m_table->TransmitArray = bytes;
    m_table->loadBytes(bytes);
    return true;
}

bool DataFiles::SaveTransmitFile(const QString &fileName)
{
    m_table->readTableIntoTransmitArray();
    QString error;
    if (!WriteByteFile(fileName, m_table->TransmitArray, &error)) {
        fileError(m_window, fileName, error);
        return false;
    }
    return true;
}

void DataFiles::miOpenTransClick()
{
    if (const std::optional<QString> name = prompts().fileName(m_window, openDialogSpec()))
        LoadTransmitFile(*name);
}

void DataFiles::miSaveTransClick()
{
    // Saved whenever the user names a file, even while TransmitArray happens
    // to be empty: the table is what the user sees and means to keep.
    if (const std::optional<QString> name = prompts().fileName(m_window, saveDialogSpec()))
        SaveTransmitFile(*name);
}

void DataFiles::Open1Click()
{
    // The received count and the text window stay as they are; bytes that
    // arrive later follow the loaded ones.
    if (const std::optional<QByteArray> bytes = readChosenFile(m_window, openDialogSpec()))
        m_receivePath->LoadReceiveArray(*bytes);
}

void DataFiles::N2Click()
{
    const std::optional<QString> name = prompts().fileName(m_window, saveDialogSpec());
    if (!name)
        return;
    const ByteStore &store = m_receivePath->model()->store();
    if (store.isEmpty())
        return;
    // Chunk by chunk from the store: a second whole copy of a long capture
    // may not fit in memory.
    QString error;
    if (!WriteByteFileFrom(*name, store, &error))
        fileError(m_window, *name, error);
}
