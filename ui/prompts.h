#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// The file dialogs of the main window.
struct FileDialogSpec {
    QString objectName;    // "OpenDialog", "SaveDialog", "OpenDialogCMD", "SaveDialogCMD", "SaveDialogLog"
    bool save;
    QString defaultSuffix; // "RCV", "CMD" or "rcv"
    QStringList nameFilters;
    // A name typed without an extension takes the chosen filter's ("*.log" gives ".log").
    bool suffixFollowsFilter = false;
};
const FileDialogSpec &openDialogSpec();
const FileDialogSpec &saveDialogSpec();
const FileDialogSpec &openDialogCmdSpec();
const FileDialogSpec &saveDialogCmdSpec();
// The capture log's file: "*.rcv" (raw bytes) or "*.log" (text lines).
const FileDialogSpec &logDialogSpec();

// Every modal box and file dialog of the program goes through here, so tests
// can answer them without a human.
class Prompts
{
public:
    virtual ~Prompts() = default;
    // Plain box: the text, one OK button, no icon, titled with the application title.
    virtual void message(QWidget *parent, const QString &text) = 0;
    // The same box with an informative text under the text (the details: what,
    // why, what to do). An empty informative text makes it the plain box.
    // Answerers that keep no details take the box's text alone.
    virtual void detailedMessage(QWidget *parent, const QString &text, const QString &informative)
    {
        Q_UNUSED(informative);
        message(parent, text);
    }
    // Standard error box for a failed file operation; text is the system's.
    virtual void error(QWidget *parent, const QString &text) = 0;
    virtual bool question(QWidget *parent, const QString &text) = 0;
    // Empty when the user cancels. Save dialogs confirm overwriting first.
    virtual std::optional<QString> fileName(QWidget *parent, const FileDialogSpec &dialog) = 0;
};

Prompts &prompts();
// Replaces the prompts (tests); nullptr restores the real dialogs. Not owned.
void setPrompts(Prompts *replacement);

QString applicationTitle(); // "Транслятор портов"

// The error box for a file: its path, then the system's text.
void fileError(QWidget *parent, const QString &path, const QString &error);

// Asks for a file with the dialog and reads it whole. Empty when the user
// cancels or the read fails; a failure is shown in the error box.
std::optional<QByteArray> readChosenFile(QWidget *parent, const FileDialogSpec &dialog);
