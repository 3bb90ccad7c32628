#include "port/portprobe.h"
#include "port/qtserialport.h"
#include "support/pty.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A process other than this one holding the device open.
struct Holder {
    QProcess process;
    explicit Holder(const QString &path)
    {
        process.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("exec sleep 30 <\"$0\""), path});
        process.waitForStarted();
    }
    ~Holder()
    {
        process.kill();
        process.waitForFinished();
    }
};

} // namespace

class TstQtSerialPortLinux : public QObject
{
    Q_OBJECT
private slots:
    void missingDeviceSaysSo()
    {
        QtSerialPort port;
        PortSettings s;
        s.PortName = QStringLiteral("/dev/ttyVarnelNone");
        QCOMPARE(port.open(s), SerialPort::OpenResult::OpenFailed);
        QVERIFY2(port.failureText().contains(QStringLiteral("/dev/ttyVarnelNone"))
                     && port.failureText().contains(QStringLiteral("не существует")),
                 qPrintable(port.failureText()));
    }

    void busyDeviceSaysSo()
    {
        Pty pty;
        QVERIFY(pty.isValid());
        QtSerialPort first, second;
        PortSettings s;
        s.PortName = pty.slavePath();
        QCOMPARE(first.open(s), SerialPort::OpenResult::Opened);
        QCOMPARE(second.open(s), SerialPort::OpenResult::OpenFailed);
        QVERIFY2(second.failureText().contains(pty.slavePath())
                     && second.failureText().contains(QStringLiteral("занят другой программой")),
                 qPrintable(second.failureText()));
        first.close();
        QCOMPARE(second.open(s), SerialPort::OpenResult::Opened);
        QVERIFY(second.failureText().isEmpty());
    }

    // Settings this system cannot put on a line are named, with the device.
    void rejectedSettingNamed_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("stop");
        QTest::addColumn<QString>("named");
        QTest::newRow("1.5 stop bits") << 9600 << 8 << 1 << "1,5 стоп-бита";
        QTest::newRow("4 data bits") << 9600 << 4 << 0 << "4 бита данных";
        QTest::newRow("rate 0") << 0 << 8 << 0 << "скорость 0";
    }
    void rejectedSettingNamed()
    {
        QFETCH(int, rate);
        QFETCH(int, bits);
        QFETCH(int, stop);
        QFETCH(QString, named);
        Pty pty;
        QtSerialPort port;
        PortSettings s{pty.slavePath(), rate, quint8(bits), 0, quint8(stop)};
        QCOMPARE(port.open(s), SerialPort::OpenResult::SettingsRejected);
        QVERIFY(!port.isOpen());
        const QString text = port.failureText();
        QVERIFY2(text.contains(pty.slavePath()) && text.contains(QStringLiteral("«") + named + QStringLiteral("»")),
                 qPrintable(text));
    }

    // Without the root's privilege the group that owns the device is named.
    void permissionNamesTheGroup()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                      | QFile::ExeGroup | QFile::ExeOther));
        const QString path = dir.filePath(QStringLiteral("ttyLocked"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        const QString group = portprobe::groupOf(path);
        QVERIFY(!group.isEmpty());
        // As root, ask from a child that gave up its privileges.
        int fds[2];
        QVERIFY(::pipe(fds) == 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::close(fds[0]);
            if (::getuid() == 0) {
                const passwd *nobody = ::getpwnam("nobody");
                if (!nobody || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
                    ::_exit(2);
            }
            QString detail;
            const PortProblem problem = portprobe::diagnoseOpenFailure(path, &detail);
            const QByteArray out = QByteArray::number(int(problem)) + ' ' + detail.toUtf8();
            const bool written = ::write(fds[1], out.constData(), size_t(out.size())) == out.size();
            ::_exit(written ? 0 : 3);
        }
        ::close(fds[1]);
        QByteArray out;
        char buf[256];
        for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
            out.append(buf, n);
        ::close(fds[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(out, QByteArray::number(int(PortProblem::NoPermission)) + ' ' + group.toUtf8());
        const QString text = portfailure::failureText(PortProblem::NoPermission, path, group);
        QVERIFY(text.contains(path) && text.contains(QStringLiteral("добавьте пользователя в группу ") + group));
    }

    void inspectWithoutOpening()
    {
        Pty pty;
        PortFacts facts = portprobe::inspect(pty.slavePath());
        QCOMPARE(facts.path, pty.slavePath());
        QCOMPARE(facts.problem, PortProblem::None);
        {
            Holder holder(pty.slavePath());
            QTRY_COMPARE(portprobe::inspect(pty.slavePath()).problem, PortProblem::Busy);
            QVERIFY(portprobe::holderOf(pty.slavePath()).contains(QString::number(holder.process.processId())));
        }
        QCOMPARE(portprobe::inspect(QStringLiteral("ttyVarnelNone")).path, QStringLiteral("/dev/ttyVarnelNone"));
        QCOMPARE(portprobe::inspect(QStringLiteral("ttyVarnelNone")).problem, PortProblem::Missing);
        // A link (a stable by-id name) names its target.
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("usb-Test-if00"));
        QVERIFY(QFile::link(pty.slavePath(), link));
        facts = portprobe::inspect(link);
        QCOMPARE(facts.target, pty.slavePath());
        QCOMPARE(facts.problem, PortProblem::None);
    }

    // A pty cannot report modem lines; arriving bytes are announced.
    void ptyLinesAndNotification()
    {
        Pty pty;
        QtSerialPort port;
        PortSettings s;
        s.PortName = pty.slavePath();
        QCOMPARE(port.open(s), SerialPort::OpenResult::Opened);
        QVERIFY(!port.modemLines());
        QSignalSpy ready(&port, &SerialPort::readyRead);
        QVERIFY(pty.write("xyz"));
        QTRY_VERIFY(ready.count() >= 1);
        QTRY_COMPARE(port.bytesWaiting(), 3);
        port.close();
        QVERIFY(!port.modemLines());
        QVERIFY(!port.setBreak(true));
    }
};

QTEST_GUILESS_MAIN(TstQtSerialPortLinux)
#include "tst_qtserialport_linux.moc"
