#pragma once

#include "app/formmain.h"
#include "app/program.h"
#include "ui/widgets.h"
#include "units/portsetup.h"
#include "support/fakeserialport.h"
#include "support/recordingprompts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

inline QWidget *topLevel(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            return w;
    return nullptr;
}

// Whether process `pid` handles `signal` yet (read from /proc, so nothing is
// sent before the program is ready for it).
inline bool catchesSignal(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    for (const QByteArray &line : status.open(QIODevice::ReadOnly) ? status.readAll().split('\n') : QByteArrayList())
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

// Runs the built program offscreen in `dir`, ready once it handles SIGTERM
// (which ends it as the close box does); `fileSizeLimit` (bytes) caps its writes.
inline bool startProgramProcess(QProcess &p, const QString &dir, const QStringList &arguments = {},
                                QProcessEnvironment env = QProcessEnvironment::systemEnvironment(),
                                rlim_t fileSizeLimit = 0)
{
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir);
    p.setChildProcessModifier([limit = rlimit{fileSizeLimit, fileSizeLimit}] {
        if (limit.rlim_cur)
            setrlimit(RLIMIT_FSIZE, &limit);
    });
    p.start(QStringLiteral(VARNEL_BINARY), arguments);
    return p.waitForStarted()
           && QTest::qWaitFor([&] { return p.state() != QProcess::Running || catchesSignal(p.processId(), SIGTERM); }, 20000)
           && p.state() == QProcess::Running;
}

// The program as a test drives it: started as a first run in a private
// directory, every box answered by `prompts`, on a recording fake port unless
// a test opens a pseudo-terminal through the real backend.
struct ProgramFixture {
    QTemporaryDir dir;
    RecordingPrompts prompts;
    TFormMain *f = nullptr;
    FakeSerialPort *port = nullptr;

    // A file in the program's settings directory.
    QString file(const char *name) const { return dir.filePath(QLatin1String(name)); }
    void put(const char *name, const QByteArray &bytes)
    {
        QFile out(file(name));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    }

    // On the fake port; `open` also opens it and forgets the open's calls.
    void start(bool open = false)
    {
        FakeSerialPort::install();
        begin();
        port = FakeSerialPort::last;
        if (open)
            f->portBar.SBOpenComm->click(), port->clearLog();
    }

    // On the real backend, the port closed.
    void startOnRealBackend()
    {
        setSerialPortFactory(nullptr);
        begin();
        port = nullptr;
    }

    // On the real backend with the port named `path` (a pty's slave), opened.
    bool startOpenOn(const QString &path)
    {
        startOnRealBackend();
        f->portSetup->settings.PortName = path;
        f->portBar.SBOpenComm->click();
        return f->portBar.SBOpenComm->down() && prompts.messages.isEmpty();
    }

private:
    void begin()
    {
        QDir::setCurrent(dir.path());
        // A fresh start: no settings left by an earlier test's close.
        for (const char *name : {"varnel.set", "varnel.sen", "varnel.str", "varnel.trn", "varnel.ini"})
            QFile::remove(QLatin1String(name));
        startProgram();
        f = formMain();
        prompts.messages = prompts.informativeTexts = prompts.errors = prompts.questions = prompts.dialogs = {};
    }
};
