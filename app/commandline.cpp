#include "app/commandline.h"

#include "core/version.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {

const QString kProgram = QStringLiteral("varnel");

CommandLine failure(const QString &what)
{
    CommandLine result;
    result.action = CommandLine::Action::Error;
    result.message = kProgram + QStringLiteral(": ") + what + QStringLiteral("\nTry '") + kProgram
                     + QStringLiteral(" --help' for more information.\n");
    return result;
}

// XDG base directories: a relative XDG_CONFIG_HOME is invalid and ignored.
QString userConfigDir(const QProcessEnvironment &environment)
{
    const QString xdg = environment.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg + QStringLiteral("/varnel"));
    const QString home = environment.value(QStringLiteral("HOME"));
    if (!home.isEmpty() && QDir::isAbsolutePath(home))
        return QDir::cleanPath(home + QStringLiteral("/.config/varnel"));
    return {};
}

QString helpText(const QCommandLineParser &parser)
{
    // Qt's usage line names argv[0] with its full path; the rest is kept.
    QString text = parser.helpText();
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    return QStringLiteral("Usage: ") + kProgram + QStringLiteral(" [options]") + text.mid(end);
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments, const QProcessEnvironment &environment)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serial-port terminal. The settings files (varnel.set, varnel.sen, varnel.str,\n"
        "varnel.trn) are kept in the current directory unless an option names another."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption settingsDir(QStringLiteral("settings-dir"),
                                         QStringLiteral("Keep the settings files in <dir>, which must exist."),
                                         QStringLiteral("dir"));
    const QCommandLineOption userSettings(
        QStringLiteral("user-settings"),
        QStringLiteral("Keep the settings files in $XDG_CONFIG_HOME/varnel (~/.config/varnel), made when missing."));
    parser.addOptions({help, version, settingsDir, userSettings});

    if (!parser.parse(arguments))
        return failure(parser.errorText());
    if (parser.isSet(help)) {
        CommandLine result;
        result.action = CommandLine::Action::Help;
        result.message = helpText(parser);
        return result;
    }
    if (parser.isSet(version)) {
        CommandLine result;
        result.action = CommandLine::Action::Version;
        result.message = kProgram + QStringLiteral(" " VARNEL_VERSION "\n");
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return failure(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst()));
    if (parser.values(settingsDir).size() > 1)
        return failure(QStringLiteral("--settings-dir is given more than once."));
    if (parser.isSet(settingsDir) && parser.isSet(userSettings))
        return failure(QStringLiteral("--settings-dir and --user-settings exclude each other."));

    CommandLine result;
    if (parser.isSet(settingsDir)) {
        const QString given = parser.value(settingsDir);
        const QFileInfo info(given);
        if (given.isEmpty() || !info.exists())
            return failure(QStringLiteral("Settings directory '%1' does not exist.").arg(given));
        if (!info.isDir())
            return failure(QStringLiteral("'%1' is not a directory.").arg(given));
        result.settingsDir = QDir::cleanPath(info.absoluteFilePath());
    } else if (parser.isSet(userSettings)) {
        result.settingsDir = userConfigDir(environment);
        if (result.settingsDir.isEmpty())
            return failure(QStringLiteral("--user-settings needs HOME or XDG_CONFIG_HOME as an absolute path."));
        result.createSettingsDir = true;
    }
    return result;
}

bool prepareSettingsDir(const CommandLine &commandLine, QString *error)
{
    if (!commandLine.createSettingsDir || QFileInfo(commandLine.settingsDir).isDir())
        return true;
    if (QDir().mkpath(commandLine.settingsDir))
        return true;
    *error = kProgram + QStringLiteral(": Cannot make the settings directory '%1'.\n").arg(commandLine.settingsDir);
    return false;
}
