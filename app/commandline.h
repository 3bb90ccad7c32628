#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// What the command line asks for. Parsing reads the file system only to see
// whether a given directory exists; it writes nothing.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // Absolute path of the settings directory; empty keeps the current
    // directory at start-up.
    QString settingsDir;
    // The directory is the user's config folder and is made when missing.
    bool createSettingsDir = false;
    // Help text or version line for stdout, or the error for stderr.
    QString message;
};

// Exit status for a command line that cannot be run.
constexpr int kUsageExitStatus = 2;

// `arguments` includes the program name first, as argv does; `environment`
// supplies XDG_CONFIG_HOME and HOME for --user-settings.
CommandLine parseCommandLine(const QStringList &arguments, const QProcessEnvironment &environment);

// Makes the settings directory when the command line asks for it; false with
// `error` set when it cannot be made.
bool prepareSettingsDir(const CommandLine &commandLine, QString *error);
