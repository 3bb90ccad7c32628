// The program as a process: how it ends when the system, not the user, ends it.
#include "support/programfixture.h"

class TstPoliteEnd : public QObject
{
    Q_OBJECT
private slots:
    // A signal closes it as the close box does: the settings are saved. A
    // write past the file-size limit fails as a full disk does: the old file
    // stays, the rest is saved, the program goes on to its end.
    void signalClosesAsTheCloseBox_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("fileSizeLimit"); // 0: none
        QTest::newRow("SIGTERM") << int(SIGTERM) << 0;
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

QTEST_GUILESS_MAIN(TstPoliteEnd)
#include "tst_politeend.moc"
