// The program as a process: how it ends when the system, not the user, ends it.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

// Whether the process has a handler for `signal` (read from /proc, so the
// test sends nothing before the program is ready for it).
bool catches(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

} // namespace

class TstPoliteEnd : public QObject
{
    Q_OBJECT

    // Starts the program in `dir`; `fileSizeLimit` (bytes, 0: none) caps what it may write.
    void start(QProcess &program, const QTemporaryDir &dir, rlim_t fileSizeLimit = 0)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(dir.path());
        program.setChildProcessModifier([fileSizeLimit] {
            if (fileSizeLimit) {
                rlimit limit{fileSizeLimit, fileSizeLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
        });
        program.start(QStringLiteral(VARNEL_BINARY), {});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(catches(program.processId(), SIGTERM), 20000);
    }

private slots:
    void signalClosesAsTheCloseBox_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void signalClosesAsTheCloseBox()
    {
        QFETCH(int, signal);
        QTemporaryDir dir;
        QProcess program;
        start(program, dir);
        if (QTest::currentTestFailed())
            return;
        ::kill(pid_t(program.processId()), signal);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        for (const char *name : {"varnel.set", "varnel.sen", "varnel.str", "varnel.trn"})
            QVERIFY2(QFileInfo::exists(dir.filePath(QLatin1String(name))), name);
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("varnel.set"))).size(), 16);
    }

    // A write past the file-size limit fails as a full disk does: the old
    // file stays, the program goes on to its end.
    void fileSizeLimitFailsTheWriteOnly()
    {
        QTemporaryDir dir;
        QByteArray table(5 << 20, '\0');
        for (int i = 0; i < table.size(); ++i)
            table[i] = char(i * 7);
        {
            QFile trn(dir.filePath(QStringLiteral("varnel.trn")));
            QVERIFY(trn.open(QIODevice::WriteOnly) && trn.write(table) == table.size());
        }
        QProcess program;
        start(program, dir, 1 << 20);
        if (QTest::currentTestFailed())
            return;
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardError().contains("varnel.trn"));
        QFile trn(dir.filePath(QStringLiteral("varnel.trn")));
        QVERIFY(trn.open(QIODevice::ReadOnly));
        QCOMPARE(trn.readAll(), table);
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("varnel.set"))).size(), 16);
    }
};

QTEST_GUILESS_MAIN(TstPoliteEnd)
#include "tst_politeend.moc"
