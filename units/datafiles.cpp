#include "units/datafiles.h"

#include "app/formmain.h"
#include "ui/prompts.h"
#include "units/receivepath.h"
#include "core/bytefile.h"
#include "core/receivetablemodel.h"
#include "units/transmittable.h"

#include <QFileInfo>


DataFiles::DataFiles(TFormMain *form, QObject *parent)
    : QObject(parent)
    , m_form(form)
{
}

bool DataFiles::LoadTransmitFile(const QString &fileName)
{
    if (!QFileInfo::exists(fileName))
        return true;
    QByteArray bytes;
    QString error;
    if (!ReadByteFile(fileName, &bytes, &error)) {
        prompts().error(m_form, error);
        return false;
    }
    if (bytes.isEmpty())
        return true;
    m_form->transmitTable->TransmitArray = bytes;
    m_form->transmitTable->loadBytes(bytes);
    return true;
}

bool DataFiles::SaveTransmitFile(const QString &fileName)
{
    m_form->transmitTable->readTableIntoTransmitArray();
    QString error;
    if (!WriteByteFile(fileName, m_form->transmitTable->TransmitArray, &error)) {
        prompts().error(m_form, error);
        return false;
    }
    return true;
}

void DataFiles::miOpenTransClick()
{
    if (const std::optional<QString> name = prompts().fileName(m_form, openDialogSpec()))
        LoadTransmitFile(*name);
}

void DataFiles::miSaveTransClick()
{
    // Saved whenever the user names a file, even while TransmitArray happens
    // to be empty: the table is what the user sees and means to keep.
    if (const std::optional<QString> name = prompts().fileName(m_form, saveDialogSpec()))
        SaveTransmitFile(*name);
}

void DataFiles::Open1Click()
{
    // The received count and the text window stay as they are; bytes that
    // arrive later follow the loaded ones.
    if (const std::optional<QByteArray> bytes = readChosenFile(m_form, openDialogSpec()))
        m_form->receivePath->LoadReceiveArray(*bytes);
}

void DataFiles::N2Click()
{
    const std::optional<QString> name = prompts().fileName(m_form, saveDialogSpec());
    if (!name)
        return;
    const QByteArray bytes = m_form->receivePath->model()->bytes();
    if (bytes.isEmpty())
        return;
    QString error;
    if (!WriteByteFile(*name, bytes, &error))
        prompts().error(m_form, error);
}
