#include "serial/formtext.h"

#include "app/widgets.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TFormText::TFormText(QWidget *owner)
    : QWidget(owner, Qt::Tool)
{
    setObjectName(QStringLiteral("FormText"));
    setWindowTitle(QStringLiteral("Прием"));
    setFont(designFont());
    setGeometry(275, 656, 715, 218);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *strip = new QFrame(this);
    strip->setFixedHeight(41);
    layout->addWidget(strip);
    SBClearRec = new SpeedButton(QStringLiteral("SBClearRec"), QStringLiteral("clear"), strip);
    SBClearRec->move(8, 8);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    layout->addWidget(Memo1, 1);
}

void TFormText::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}
