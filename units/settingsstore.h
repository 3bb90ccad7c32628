#pragma once

#include "core/settingsfiles.h"

#include <QObject>
#include <QString>

class TFormMain;
class QWidget;

// The program's state across runs: four files in the directory that was
// current at start-up, read when the main window is created and written when
// it closes.
class SettingsStore : public QObject
{
    Q_OBJECT
public:
    explicit SettingsStore(TFormMain *form);

    // Where restore() looks for the files; empty means the current directory.
    static void setStartupDirectory(const QString &dir);

    static QString setFileName() { return QStringLiteral("varnel.set"); }
    static QString senFileName() { return QStringLiteral("varnel.sen"); }
    static QString strFileName() { return QStringLiteral("varnel.str"); }
    static QString trnFileName() { return QStringLiteral("varnel.trn"); }

    // Captured once, at start-up; later changes of the current directory
    // (file dialogs) do not move the settings.
    QString SettingsDir;
    QString path(const QString &fileName) const;

    // Restores the saved state; a file that cannot be read is reported and
    // the remaining steps are skipped.
    void restore();
    // The view record read at start-up, if any (the text window takes its geometry from it).
    const std::optional<ViewSettings> &viewRead() const { return m_viewRead; }
    // Caption and setup dialog follow PortSettings on every repaint.
    void FormPaint();
    // Writes the four files; false when the window should stay open.
    bool FormClose();

    // Outer window rectangles are stored; the frame is counted as designed so
    // sizes round-trip exactly whatever the window manager reports.
    static QRect outerGeometry(const QWidget *window);
    static void setOuterGeometry(QWidget *window, const QRect &outer);
    // A window that would lie off every screen is brought onto the primary one.
    static void keepOnScreen(QWidget *window);

private:
    void reportFileError(const QString &fileName, const QString &error);
    bool readFile(const QString &fileName, QByteArray *bytes);
    bool writeFile(const QString &fileName, const QByteArray &bytes);
    bool restorePortSettings();
    bool restoreViewSettings();
    bool restoreStrings();
    void applyStrings(const StringsFileContent &content);
    StringsFileContent collectStrings() const;
    ViewSettings collectView() const;

    TFormMain *m_form;
    std::optional<ViewSettings> m_viewRead;
};
