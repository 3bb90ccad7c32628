#include "port/portprobe.h"
#include "port/qtserialport.h"
#include "support/pty.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

class TstQtSerialPortLinux : public QObject
{
    Q_OBJECT
private slots:
    // A failed open names the device and why; the next good open clears it.
    void failureSaysWhy_data()
    {
        QTest::addColumn<PortSettings>("settings"); // no name: the pty; "busy": the pty, held by another
        QTest::addColumn<SerialPort::OpenResult>("result");
        QTest::addColumn<QString>("text");
        const auto failed = SerialPort::OpenResult::OpenFailed, rejected = SerialPort::OpenResult::SettingsRejected;
        QTest::newRow("missing") << PortSettings{"/dev/ttyVarnelNone"} << failed << "не существует";
        QTest::newRow("busy") << PortSettings{"busy"} << failed << "занят другой программой";
        // Linux lines take 5 to 8 data bits, one or two stop bits and a positive rate.
        QTest::newRow("1.5 stop bits") << PortSettings{{}, 9600, 8, 0, 1} << rejected << "«1,5 стоп-бита»";
    }
    void failureSaysWhy()
    {
        QFETCH(PortSettings, settings);
        QFETCH(SerialPort::OpenResult, result);
        QFETCH(QString, text);
        Pty pty;
        QtSerialPort first, port;
        const bool busy = settings.PortName == "busy";
        if (settings.PortName.isEmpty() || busy)
            settings.PortName = pty.slavePath();
        QVERIFY(!busy || first.open(settings) == SerialPort::OpenResult::Opened);
        QCOMPARE(port.open(settings), result);
        QVERIFY(!port.isOpen());
        QVERIFY2(port.failureText().contains(settings.PortName) && port.failureText().contains(text),
                 qPrintable(port.failureText()));
        first.close();
        QCOMPARE(port.open(PortSettings{pty.slavePath()}), SerialPort::OpenResult::Opened);
        QVERIFY(port.failureText().isEmpty());
    }

    // Without the root's privilege the group that owns the device is named.
    void permissionNamesTheGroup()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ttyLocked"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                      | QFile::ExeGroup | QFile::ExeOther));
        const QString group = portprobe::groupOf(path);
        QVERIFY(!group.isEmpty());
        // As root, ask from a child that gave up its privileges.
        const pid_t child = ::fork();
        if (child == 0) {
            const passwd *nobody = ::getpwnam("nobody");
            if (::getuid() == 0 && (!nobody || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0))
                ::_exit(2);
            QString detail;
            ::_exit(portprobe::diagnoseOpenFailure(path, &detail) == PortProblem::NoPermission && detail == group ? 0 : 1);
        }
        int status = -1;
        QVERIFY(child > 0 && ::waitpid(child, &status, 0) == child);
        QCOMPARE(WEXITSTATUS(status), 0);
    }
};

QTEST_GUILESS_MAIN(TstQtSerialPortLinux)
#include "tst_qtserialport_linux.moc"
