#include "app/commandline.h"
#include "core/settingsfiles.h"
#include "core/version.h"
#include "support/programfixture.h"

class TstCommandLine : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;

    // "@" in a test row stands for the temporary directory.
    QString expand(QString s) const { return s.replace(QLatin1Char('@'), tmp.path()); }
    static QStringList entries(const QString &dir)
    {
        return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private slots:
    void initTestCase() { QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("given"))); }

    // A given directory is made absolute and clean.
    void relativeSettingsDir()
    {
        QDir::setCurrent(tmp.path());
        const CommandLine result = parseCommandLine({QStringLiteral("varnel"), QStringLiteral("--settings-dir=./given/../given/")}, {});
        QCOMPARE(result.action, CommandLine::Action::Run);
        QCOMPARE(result.settingsDir, expand(QStringLiteral("@/given")));
    }

    // The program reads and writes its four files where the command line
    // says, making the user's folder (XDG, where a relative XDG_CONFIG_HOME
    // is ignored); nothing lands in the current directory.
    void settingsLandInDirectory_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("xdgConfigHome");
        QTest::addColumn<QString>("dir");
        QTest::newRow("settings dir") << QStringList{"--settings-dir", "@/given"} << "" << "@/given";
        QTest::newRow("user settings, made") << QStringList{"--user-settings"} << "@/xdg/new" << "@/xdg/new/varnel";
        QTest::newRow("relative XDG ignored") << QStringList{"--user-settings"} << "cfg" << "@/home/.config/varnel";
    }
    void settingsLandInDirectory()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, xdgConfigHome);
        QFETCH(QString, dir);
        dir = expand(dir);
        for (QString &a : arguments)
            a = expand(a);
        const QByteArray record = EncodePortSettingsRecord(PortSettings{"COM7", 2400, 7, 1, 0});
        const bool given = arguments.first() == QLatin1String("--settings-dir");
        if (given) {
            QVERIFY(QDir().mkpath(dir));
            QFile set(QDir(dir).filePath(QStringLiteral("varnel.set")));
            QVERIFY(set.open(QIODevice::WriteOnly) && set.write(record) == record.size());
        }
        QTemporaryDir current;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), expand(xdgConfigHome));
        env.insert(QStringLiteral("HOME"), expand(QStringLiteral("@/home")));
        QProcess program;
        QVERIFY(startProgramProcess(program, current.path(), arguments, env));
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(entries(dir), (QStringList{"varnel.ini", "varnel.sen", "varnel.set", "varnel.str", "varnel.trn"}));
        QFile set(QDir(dir).filePath(QStringLiteral("varnel.set")));
        QVERIFY(set.open(QIODevice::ReadOnly));
        if (given)
            QCOMPARE(set.readAll(), record);
        QCOMPARE(entries(current.path()), QStringList{});
    }

    // An answer or a refusal before the window opens: exit status, streams,
    // and no trace on disk (the user's folder is not made).
    void answersAndRefusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("help wins") << QStringList{"--user-settings", "-h"} << 0 << "Usage: varnel [options]\n" << "";
        QTest::newRow("version") << QStringList{"-v"} << 0 << "varnel " VARNEL_VERSION "\n" << "";
        QTest::newRow("unknown") << QStringList{"--user-settings", "--bogus"} << 2 << ""
                                 << "varnel: Unknown option 'bogus'.\nTry 'varnel --help' for more information.\n";
        QTest::newRow("missing directory") << QStringList{"--settings-dir", "gone"} << 2 << "" << "'gone' does not exist";
        QTest::newRow("both places") << QStringList{"--user-settings", "--settings-dir", "."} << 2 << "" << "exclude each other";
        QTest::newRow("positional") << QStringList{"file.cmd"} << 2 << "" << "Unexpected argument 'file.cmd'";
    }
    void answersAndRefusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir current;
        QProcess process;
        process.setWorkingDirectory(current.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), current.filePath(QStringLiteral("config")));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VARNEL_BINARY), arguments);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QTEST(process.exitCode(), "status");
        const QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out), qPrintable(stdOut));
        QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.contains(err), qPrintable(stdErr));
        QCOMPARE(entries(current.path()), QStringList{});
    }
};

QTEST_MAIN(TstCommandLine)
#include "tst_commandline.moc"
