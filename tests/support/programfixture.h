#pragma once

#include "app/formmain.h"
#include "app/program.h"

#include <QApplication>

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
