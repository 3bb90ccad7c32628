#include "app/commandline.h"
#include "core/settingsfiles.h"
#include "core/version.h"
#include "units/settingsstore.h"
#include "support/programfixture.h"
#include "ui/aboutbox.h"

#include <QProcess>
#include <QTest>

// The built program, run as a process for what only main() decides.
#ifndef VARNEL_PROGRAM
#error "VARNEL_PROGRAM names the built varnel binary"
#endif

using Action = CommandLine::Action;
Q_DECLARE_METATYPE(CommandLine::Action)

class TstCommandLine : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    RecordingPrompts prompts;

    // "@" in a test row stands for the temporary directory.
    QString expand(QString s) const { return s.replace(QLatin1Char('@'), tmp.path()); }
    QStringList expand(const QStringList &list) const
    {
        QStringList out;
        for (const QString &s : list)
            out << expand(s);
        return out;
    }
    QStringList entries(const QString &dir) const
    {
        return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("settings/sub")));
        QFile file(tmp.filePath(QStringLiteral("plain")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    void cleanup() { SettingsStore::setStartupDirectory(QString()); }

    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("xdgConfigHome"); // empty: unset
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("settingsDir");
        QTest::addColumn<bool>("create");
        QTest::addColumn<QString>("message"); // contained in the message

        QTest::newRow("none") << QStringList{} << "" << Action::Run << "" << false << "";
        QTest::newRow("directory") << QStringList{"--settings-dir", "@/settings"} << "" << Action::Run
                                   << "@/settings" << false << "";
        QTest::newRow("relative, cleaned") << QStringList{"--settings-dir=settings/sub/../"} << "" << Action::Run
                                           << "@/settings" << false << "";
        QTest::newRow("user") << QStringList{"--user-settings"} << "@/cfg" << Action::Run << "@/cfg/varnel" << true
                              << "";
        QTest::newRow("user without XDG") << QStringList{"--user-settings"} << "" << Action::Run
                                          << "@/home/.config/varnel" << true << "";
        QTest::newRow("user, relative XDG ignored") << QStringList{"--user-settings"} << "cfg" << Action::Run
                                                    << "@/home/.config/varnel" << true << "";
        QTest::newRow("help wins") << QStringList{"--user-settings", "-h"} << "" << Action::Help << "" << false
                                   << "--settings-dir <dir>";
        QTest::newRow("version") << QStringList{"--version"} << "" << Action::Version << "" << false
                                 << "varnel " VARNEL_VERSION "\n";
        QTest::newRow("unknown option") << QStringList{"--user-settings", "--bogus"} << "" << Action::Error << ""
                                        << false << "Unknown option 'bogus'";
        QTest::newRow("missing directory") << QStringList{"--settings-dir", "@/gone"} << "" << Action::Error << ""
                                           << false << "'@/gone' does not exist";
        QTest::newRow("file, not directory") << QStringList{"--settings-dir", "@/plain"} << "" << Action::Error
                                             << "" << false << "is not a directory";
        QTest::newRow("empty directory name") << QStringList{"--settings-dir="} << "" << Action::Error << ""
                                              << false << "does not exist";
        QTest::newRow("value missing") << QStringList{"--settings-dir"} << "" << Action::Error << "" << false
                                       << "Missing value";
        QTest::newRow("both places") << QStringList{"--settings-dir", "@/settings", "--user-settings"} << ""
                                     << Action::Error << "" << false << "exclude each other";
        QTest::newRow("twice") << QStringList{"--settings-dir", "@/settings", "--settings-dir", "@"} << ""
                               << Action::Error << "" << false << "more than once";
        QTest::newRow("positional") << QStringList{"file.cmd"} << "" << Action::Error << "" << false
                                    << "Unexpected argument 'file.cmd'";
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, xdgConfigHome);
        QFETCH(Action, action);
        QFETCH(QString, settingsDir);
        QFETCH(bool, create);
        QFETCH(QString, message);
        QProcessEnvironment env;
        env.insert(QStringLiteral("HOME"), expand(QStringLiteral("@/home")));
        if (!xdgConfigHome.isEmpty())
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), expand(xdgConfigHome));
        QDir::setCurrent(tmp.path());
        const QStringList before = entries(tmp.path());

        const CommandLine result = parseCommandLine(QStringList{"/usr/bin/varnel"} + expand(arguments), env);
        QCOMPARE(result.action, action);
        QCOMPARE(result.settingsDir, expand(settingsDir));
        QCOMPARE(result.createSettingsDir, create);
        QVERIFY2(result.message.contains(expand(message)), qPrintable(result.message));
        if (action == Action::Error)
            QVERIFY(result.message.startsWith(QStringLiteral("varnel: ")));
        QCOMPARE(entries(tmp.path()), before); // parsing never writes
    }

    // The program reads and writes its four files where the command line says,
    // not in the current directory.
    void settingsLandInDirectory_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("dir");
        QTest::newRow("settings dir") << QStringList{"--settings-dir", "@/given"} << "@/given";
        QTest::newRow("user settings, made") << QStringList{"--user-settings"} << "@/xdg/new/varnel";
    }
    void settingsLandInDirectory()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, dir);
        dir = expand(dir);
        QTemporaryDir current;
        QDir::setCurrent(current.path());
        QProcessEnvironment env;
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), expand(QStringLiteral("@/xdg/new")));
        env.insert(QStringLiteral("HOME"), current.path());
        const bool given = !arguments.contains(QStringLiteral("--user-settings"));
        if (given)
            QVERIFY(QDir().mkpath(dir));

        const CommandLine commandLine = parseCommandLine(QStringList{"varnel"} + expand(arguments), env);
        QCOMPARE(commandLine.action, Action::Run);
        QString error;
        QVERIFY(prepareSettingsDir(commandLine, &error));
        QVERIFY(QFileInfo(dir).isDir());
        QFile set(QDir(dir).filePath(SettingsStore::setFileName()));
        QVERIFY(set.open(QIODevice::WriteOnly));
        set.write(EncodePortSettingsRecord(PortSettings{"COM7", 2400, 7, 1, 0}));
        set.close();

        SettingsStore::setStartupDirectory(commandLine.settingsDir);
        startProgram();
        QCOMPARE(formMain()->portSetup->settings.PortName, QStringLiteral("COM7"));
        QVERIFY(formMain()->close());
        QVERIFY(prompts.errors.isEmpty());
        for (const QString &name : {SettingsStore::setFileName(), SettingsStore::senFileName(),
                                    SettingsStore::strFileName(), SettingsStore::trnFileName()})
            QVERIFY2(QFileInfo::exists(QDir(dir).filePath(name)), qPrintable(name));
        QCOMPARE(entries(current.path()), QStringList{});
    }

    void aboutBoxShowsTheVersion()
    {
        QTemporaryDir current;
        QDir::setCurrent(current.path());
        startProgram();
        auto *label = aboutBox()->findChild<QLabel *>(QStringLiteral("Version"));
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("Version " VARNEL_VERSION));
        delete formMain();
    }

    // What main() does with each answer: exit status, streams, and no trace on
    // disk for a command line it refuses.
    void program_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: varnel [options]\n" << "";
        QTest::newRow("version") << QStringList{"-v"} << 0 << "varnel " VARNEL_VERSION "\n" << "";
        QTest::newRow("unknown, user settings not made")
            << QStringList{"--user-settings", "--bogus"} << 2 << ""
            << "varnel: Unknown option 'bogus'.\nTry 'varnel --help' for more information.\n";
        QTest::newRow("missing directory") << QStringList{"--settings-dir", "gone"} << 2 << ""
                                           << "varnel: Settings directory 'gone' does not exist.\n";
        QTest::newRow("both places") << QStringList{"--user-settings", "--settings-dir", "."} << 2 << ""
                                     << "exclude each other";
    }
    void program()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir current;
        QProcess process;
        process.setWorkingDirectory(current.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), current.filePath(QStringLiteral("config")));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VARNEL_PROGRAM), arguments);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        const QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out), qPrintable(stdOut));
        QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.contains(err), qPrintable(stdErr));
        QCOMPARE(entries(current.path()), QStringList{});
    }

    // A menu start: the config folder is made before the window opens.
    void programMakesUserSettings()
    {
        QTemporaryDir current;
        const QString config = current.filePath(QStringLiteral("home/.config"));
        QProcess process;
        process.setWorkingDirectory(current.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        env.insert(QStringLiteral("HOME"), current.filePath(QStringLiteral("home")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VARNEL_PROGRAM), {QStringLiteral("--user-settings")});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(config + QStringLiteral("/varnel")).isDir(), 20000);
        QCOMPARE(process.state(), QProcess::Running);
        process.kill();
        QVERIFY(process.waitForFinished());
        QCOMPARE(entries(current.path()), QStringList{QStringLiteral("home")});
    }
};

QTEST_MAIN(TstCommandLine)
#include "tst_commandline.moc"
