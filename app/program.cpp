#include "app/program.h"

#include <QApplication>

void startProgram()
{
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(QStringLiteral("Транслятор портов"));
}
