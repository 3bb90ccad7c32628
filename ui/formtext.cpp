#include "ui/formtext.h"

#include "core/settingsfiles.h"
#include "ui/receivedtextview.h"
#include "ui/widgets.h"
#include "ui/windowgeometry.h"

#include <QCloseEvent>
#include <QFrame>
#include <QVBoxLayout>

TFormText::TFormText(QWidget *owner)
    : QWidget(owner, Qt::Tool)
{
    setObjectName(QStringLiteral("FormText"));
    setWindowTitle(QStringLiteral("Прием"));
    setFont(designFont());
    setOuterGeometry(this, QRect(275, 656, 715, 218)); // designed outer rectangle
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *strip = new QFrame(this);
    strip->setFixedHeight(41);
    layout->addWidget(strip);
    SBClearRec = new SpeedButton(QStringLiteral("SBClearRec"), QStringLiteral("clear"), strip);
    SBClearRec->move(8, 8);
    Memo1 = new ReceivedTextView(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    layout->addWidget(Memo1, 1);
    connect(SBClearRec, &QToolButton::clicked, this, &TFormText::SBClearRecClick);
}

void TFormText::FormCreate(const std::optional<ViewSettings> &saved)
{
    if (!saved)
        return;
    setOuterGeometry(this, QRect(saved->textLeft, saved->textTop, saved->textWidth, saved->textHeight));
    keepOnScreen(this);
}

void TFormText::SBClearRecClick()
{
    Memo1->blank();
}

void TFormText::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}
