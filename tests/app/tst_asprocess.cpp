#include "core/settingsfiles.h"
#include "support/programfixture.h"

// The program as a process: where its command line puts the settings, what
// it answers or refuses before the window opens, and how it ends when the
// system, not the user, ends it.
class TstAsProcess : public QObject
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
        QTest::newRow("unknown") << QStringList{"--user-settings", "--bogus"} << 2 << ""
                                 << "varnel: Unknown option 'bogus'.\nTry 'varnel --help' for more information.\n";
        QTest::newRow("missing directory") << QStringList{"--settings-dir", "gone"} << 2 << "" << "'gone' does not exist";
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

    // A signal closes it as the close box does (SIGTERM: above): the
    // settings are saved. A
    // write past the file-size limit fails as a full disk does: the old file
    // stays, the rest is saved, the program goes on to its end.
    void signalClosesAsTheCloseBox_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("fileSizeLimit"); // 0: none
        QTest::newRow("SIGHUP") << int(SIGHUP) << 0;
        QTest::newRow("SIGTERM, table past the size limit") << int(SIGTERM) << (1 << 20);
    }
    void signalClosesAsTheCloseBox()
    {
        QFETCH(int, signal);
        QFETCH(int, fileSizeLimit);
        QTemporaryDir dir;
        const QByteArray table(2 << 20, 'x');
        QFile trn(dir.filePath(QStringLiteral("varnel.trn")));
        if (fileSizeLimit)
            QVERIFY(trn.open(QIODevice::WriteOnly) && trn.write(table) == table.size() && trn.flush());
        trn.close();
        QProcess program;
        QVERIFY(startProgramProcess(program, dir.path(), {}, QProcessEnvironment::systemEnvironment(), rlim_t(fileSizeLimit)));
        ::kill(pid_t(program.processId()), signal);
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        for (const char *name : {"varnel.set", "varnel.sen", "varnel.str", "varnel.trn"})
            QVERIFY2(QFileInfo::exists(dir.filePath(QLatin1String(name))), name);
        if (fileSizeLimit) {
            QVERIFY(program.readAllStandardError().contains("varnel.trn"));
            QVERIFY(trn.open(QIODevice::ReadOnly));
            QCOMPARE(trn.readAll(), table);
        }
    }
};

QTEST_GUILESS_MAIN(TstAsProcess)
#include "tst_asprocess.moc"
