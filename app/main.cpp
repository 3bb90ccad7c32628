#include "app/commandline.h"
#include "app/program.h"
#include "core/version.h"
#include "units/settingsstore.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    // The command line is read before the GUI starts, so --help, --version
    // and mistakes are answered without a display and leave the disk alone.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine = parseCommandLine(arguments, QProcessEnvironment::systemEnvironment());
    switch (commandLine.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
        std::fputs(commandLine.message.toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fputs(commandLine.message.toLocal8Bit().constData(), stderr);
        return kUsageExitStatus;
    case CommandLine::Action::Run:
        break;
    }
    QString error;
    if (!prepareSettingsDir(commandLine, &error)) {
        std::fputs(error.toLocal8Bit().constData(), stderr);
        return 1;
    }
    SettingsStore::setStartupDirectory(commandLine.settingsDir);

    QGuiApplication::setDesktopFileName(QStringLiteral(VARNEL_APP_ID));
    QApplication app(argc, argv);
    startProgram();
    return app.exec();
}
