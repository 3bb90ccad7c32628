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
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

template <typename T>
T *findIn(QWidget *root, const QString &name)
{
    if (root && root->objectName() == name)
        if (auto *t = qobject_cast<T *>(root))
            return t;
    return root ? root->findChild<T *>(name) : nullptr;
}

// Finds a top-level window by object name.
inline QWidget *topLevel(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            return w;
    return nullptr;
}

// Starts the program as a first run: settings files that an earlier test
// left in the current directory (by closing the main window) are removed, so
// each test begins from the designed state.
inline void startFreshProgram()
{
    for (const char *name : {"varnel.set", "varnel.sen", "varnel.str", "varnel.trn", "varnel.ini"})
        QFile::remove(QDir::current().filePath(QString::fromLatin1(name)));
    startProgram();
}

// The program as a test drives it: started as a first run in a private
// directory, every box answered by `prompts`, on a recording fake port unless
// a test opens a pseudo-terminal through the real backend.
struct ProgramFixture {
    QTemporaryDir dir;
    RecordingPrompts prompts;
    TFormMain *f = nullptr;
    FakeSerialPort *port = nullptr;

    // On the fake port; `open` also opens it and forgets the open's calls.
    void start(bool open = false)
    {
        FakeSerialPort::install();
        begin();
        port = FakeSerialPort::last;
        if (open) {
            f->portBar.SBOpenComm->click();
            port->clearLog();
        }
    }

    // On the real backend with the port named `path` (a pty's slave), opened.
    bool startOpenOn(const QString &path)
    {
        setSerialPortFactory(nullptr);
        begin();
        port = nullptr;
        f->portSetup->settings.PortName = path;
        f->portBar.SBOpenComm->click();
        return f->portBar.SBOpenComm->down() && prompts.messages.isEmpty();
    }

private:
    void begin()
    {
        QDir::setCurrent(dir.path());
        startFreshProgram();
        f = formMain();
        prompts.messages.clear();
        prompts.informativeTexts.clear();
        prompts.errors.clear();
        prompts.questions.clear();
        prompts.dialogs.clear();
    }
};
