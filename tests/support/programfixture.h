#pragma once

#include "app/formmain.h"
#include "app/program.h"

#include <QApplication>
#include <QDir>
#include <QFile>

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
    for (const char *name : {"varnel.set", "varnel.sen", "varnel.str", "varnel.trn"})
        QFile::remove(QDir::current().filePath(QString::fromLatin1(name)));
    startProgram();
}
