#include "units/settingsstore.h"

#include "core/bytefile.h"
#include "ui/prompts.h"
#include "ui/setupdlg.h"
#include "ui/widgets.h"
#include "ui/windowgeometry.h"
#include "units/commandlist.h"
#include "units/datafiles.h"
#include "units/portsetup.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>

namespace {

QString g_startupDirectory;

} // namespace

void SettingsStore::setStartupDirectory(const QString &dir) { g_startupDirectory = dir; }

SettingsStore::SettingsStore(PortSetup *setup, CommandList *commandList, DataFiles *dataFiles,
                             const TransmitLines &lines, const CommandsPane &commands, const PortBar &bar,
                             const GeneratorControls &generator, QWidget *window)
    : QObject(window)
    , m_setup(setup)
    , m_commandList(commandList)
    , m_dataFiles(dataFiles)
    , m_lines(lines)
    , m_commands(commands)
    , m_bar(bar)
    , m_generator(generator)
    , m_window(window)
{
}

QString SettingsStore::path(const QString &fileName) const
{
    return QDir(SettingsDir).filePath(fileName);
}

void SettingsStore::reportFileError(const QString &fileName, const QString &error)
{
    fileError(m_window, path(fileName), error);
}

bool SettingsStore::readFile(const QString &fileName, QByteArray *bytes, qint64 limit)
{
    QString error;
    const bool read = limit < 0 ? ReadByteFile(path(fileName), bytes, &error)
                                : ReadByteFileStart(path(fileName), limit, bytes, &error);
    if (!read) {
        reportFileError(fileName, error);
        return false;
    }
    return true;
}

bool SettingsStore::writeFile(const QString &fileName, const QByteArray &bytes)
{
    // Replaced whole or not at all: a failed write keeps the previous file.
    QString error;
    if (!WriteByteFile(path(fileName), bytes, &error)) {
        reportFileError(fileName, error);
        return false;
    }
    return true;
}

void SettingsStore::restore()
{
    SettingsDir = g_startupDirectory.isEmpty() ? QDir::currentPath() : g_startupDirectory;
    // A damaged file costs only itself: had the others been skipped, the
    // next close would write the defaults over them.
    restorePreferences();
    restorePortSettings();
    restoreViewSettings();
    restoreStrings();
    const QString trn = path(trnFileName());
    if (QFileInfo::exists(trn))
        m_dataFiles->LoadTransmitFile(trn);
}

void SettingsStore::restorePreferences()
{
    if (!m_hasMenu)
        return;
    // A missing or unreadable file leaves every preference at its default.
    const QSettings ini(path(iniFileName()), QSettings::IniFormat);
    m_menu.miReconnect->setChecked(ini.value(QStringLiteral("Port/Reconnect"), true).toBool());
}

bool SettingsStore::savePreferences()
{
    if (!m_hasMenu)
        return true;
    QSettings ini(path(iniFileName()), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Port/Reconnect"), m_menu.miReconnect->isChecked());
    ini.sync();
    if (ini.status() == QSettings::NoError)
        return true;
    reportFileError(iniFileName(), ini.status() == QSettings::AccessError ? QStringLiteral("нет доступа к файлу")
                                                                          : QStringLiteral("ошибка формата"));
    return false;
}

bool SettingsStore::restorePortSettings()
{
    m_setup->settings = PortSettings{};
    if (!QFileInfo::exists(path(setFileName())))
        return true;
    QByteArray bytes;
    // Only the first record counts: whatever follows it is not read.
    if (!readFile(setFileName(), &bytes, kPortSettingsRecordSize))
        return false;
    const auto settings = DecodePortSettingsRecord(bytes);
    if (!settings) {
        reportFileError(setFileName(), QStringLiteral("чтение за концом файла"));
        return false;
    }
    m_setup->settings = *settings;
    return true;
}

bool SettingsStore::restoreViewSettings()
{
    if (!QFileInfo::exists(path(senFileName())))
        return true;
    QByteArray bytes;
    if (!readFile(senFileName(), &bytes, kViewSettingsRecordSize))
        return false;
    const auto view = DecodeViewSettingsRecord(bytes);
    if (!view) {
        reportFileError(senFileName(), QStringLiteral("чтение за концом файла"));
        return false;
    }
    m_viewRead = view;
    m_lines.CheckBoxASCII->setChecked(view->asciiEntry); // runs its handler when the state changes
    m_lines.ChBCR->setChecked(view->appendCr);
    m_bar.SBShowText->setDown(view->textWindowOn);      // no handler: the text window comes later
    m_bar.ChBShowRecTable->setChecked(view->showReceiveTable);
    m_generator.SELengthPulse->setValue(view->lengthPulse);
    m_generator.SELengthPause->setValue(view->lengthPause);
    m_generator.SECountPulse->setValue(view->countPulse);
    setOuterGeometry(m_window, QRect(view->mainLeft, view->mainTop, view->mainWidth, view->mainHeight));
    keepOnScreen(m_window);
    return true;
}

bool SettingsStore::restoreStrings()
{
    if (!QFileInfo::exists(path(strFileName())))
        return true;
    QByteArray bytes;
    if (!readFile(strFileName(), &bytes))
        return false;
    applyStrings(ParseStringsFile(bytes, m_setup->settings.PortName));
    return true;
}

void SettingsStore::applyStrings(const StringsFileContent &c)
{
    for (int i = 0; i < TransmitLines::Count; ++i)
        m_lines.EditString[i]->setText(c.lines.value(i));
    m_commands.LEString->setText(c.leString);
    m_commands.LEStringLabel->setText(c.leLabel);
    if (c.commands)
        m_commandList->setCommands(*c.commands);
    m_generator.SEDivider->setValue(c.divider);
    m_generator.SEQPulseInPaket->setValue(c.qPulseInPaket);
    m_generator.SEQPauseInPaket->setValue(c.qPauseInPaket);
    if (!c.fullPortName.isEmpty())
        m_setup->settings.PortName = c.fullPortName;
}

void SettingsStore::FormPaint()
{
    // While the dialog is open the user's unconfirmed edits stay in it.
    if (m_setup->dialog() && !m_setup->dialog()->isVisible())
        m_setup->FillSetupDialog();
    const QString caption = m_setup->PortCaption();
    if (m_window->windowTitle() != caption)
        m_window->setWindowTitle(caption);
}

StringsFileContent SettingsStore::collectStrings() const
{
    StringsFileContent c;
    for (QLineEdit *e : m_lines.EditString)
        c.lines << e->text();
    c.leString = m_commands.LEString->text();
    c.leLabel = m_commands.LEStringLabel->text();
    c.commands = m_commandList->commands();
    c.divider = m_generator.SEDivider->fieldValue();
    c.qPulseInPaket = m_generator.SEQPulseInPaket->fieldValue();
    c.qPauseInPaket = m_generator.SEQPauseInPaket->fieldValue();
    c.fullPortName = m_setup->settings.PortName;
    return c;
}

ViewSettings SettingsStore::collectView() const
{
    ViewSettings v;
    v.asciiEntry = m_lines.CheckBoxASCII->isChecked();
    v.appendCr = m_lines.ChBCR->isChecked();
    v.textWindowOn = m_bar.SBShowText->down();
    v.showReceiveTable = m_bar.ChBShowRecTable->isChecked();
    v.lengthPulse = m_generator.SELengthPulse->fieldValue();
    v.lengthPause = m_generator.SELengthPause->fieldValue();
    v.countPulse = m_generator.SECountPulse->fieldValue();
    const QRect main = outerGeometry(m_window);
    v.mainWidth = main.width();
    v.mainHeight = main.height();
    v.mainTop = main.top();
    v.mainLeft = main.left();
    if (m_textWindow) {
        const QRect text = outerGeometry(m_textWindow);
        v.textWidth = text.width();
        v.textHeight = text.height();
        v.textTop = text.top();
        v.textLeft = text.left();
    }
    return v;
}

bool SettingsStore::FormClose()
{
    bool saved = writeFile(setFileName(), EncodePortSettingsRecord(m_setup->settings))
              && writeFile(senFileName(), EncodeViewSettingsRecord(collectView()))
              && writeFile(strFileName(), SerializeStringsFile(collectStrings()));
    if (saved)
        saved = m_dataFiles->SaveTransmitFile(path(trnFileName()));
    if (saved)
        saved = savePreferences();
    if (saved)
        return true;
    // A directory that cannot be written must not keep the program from closing.
    return prompts().question(m_window, QStringLiteral("Закрыть программу без сохранения настроек?"));
}
