#pragma once

#include "core/settingsfiles.h"
#include "ui/panels.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QString>

class CommandList;
class DataFiles;
class PortSetup;


// The program's state across runs: four files in the settings directory (the
// one current at start-up unless the command line names another), read when
// the main window is created and written when it closes.
class SettingsStore : public QObject
{
    Q_OBJECT
public:
    // `window` is the main window: its geometry and caption are kept here.
    SettingsStore(PortSetup *setup, CommandList *commandList, DataFiles *dataFiles, const TransmitLines &lines,
                  const CommandsPane &commands, const PortBar &bar, const GeneratorControls &generator,
                  QWidget *window);
    // The text window, whose geometry is stored with the main window's.
    void attachTextWindow(QWidget *textWindow) { m_textWindow = textWindow; }
    // The menu whose preferences live in varnel.ini.
    void attachMenu(const MainMenu &menu) { m_menu = menu; m_hasMenu = true; }

    // Where restore() looks for the files; empty means the current directory.
    static void setStartupDirectory(const QString &dir);

    static QString setFileName() { return QStringLiteral("varnel.set"); }
    static QString senFileName() { return QStringLiteral("varnel.sen"); }
    static QString strFileName() { return QStringLiteral("varnel.str"); }
    static QString trnFileName() { return QStringLiteral("varnel.trn"); }
    // Preferences the four files have no room for (Qt's INI format).
    static QString iniFileName() { return QStringLiteral("varnel.ini"); }

    // Captured once, at start-up; later changes of the current directory
    // (file dialogs) do not move the settings.
    QString SettingsDir;
    QString path(const QString &fileName) const;

    // Restores the saved state; a file that cannot be read is reported and
    // left out, the others are restored.
    void restore();
    // The view record read at start-up, if any (the text window takes its geometry from it).
    const std::optional<ViewSettings> &viewRead() const { return m_viewRead; }
    // Caption and setup dialog follow PortSettings on every repaint.
    void FormPaint();
    // Writes the four files; false when the window should stay open.
    bool FormClose();

private:
    void reportFileError(const QString &fileName, const QString &error);
    // At most `limit` bytes from the start; all of them when it is negative.
    bool readFile(const QString &fileName, QByteArray *bytes, qint64 limit = -1);
    bool writeFile(const QString &fileName, const QByteArray &bytes);
    bool restorePortSettings();
    bool restoreViewSettings();
    bool restoreStrings();
    void restorePreferences();
    bool savePreferences();
    void applyStrings(const StringsFileContent &content);
    StringsFileContent collectStrings() const;
    ViewSettings collectView() const;

    PortSetup *m_setup;
    CommandList *m_commandList;
    DataFiles *m_dataFiles;
    TransmitLines m_lines;
    CommandsPane m_commands;
    PortBar m_bar;
    GeneratorControls m_generator;
    QWidget *m_window;
    QPointer<QWidget> m_textWindow;
    std::optional<ViewSettings> m_viewRead;
    MainMenu m_menu{};
    bool m_hasMenu = false;
};
