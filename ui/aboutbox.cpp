#include "ui/aboutbox.h"

#include "ui/widgets.h"
#include "core/version.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFont(designFont());
    setFixedSize(172, 154);
    setModal(true);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setGeometry(8, 8, 156, 105);
    auto *inner = new QFrame(panel);
    inner->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    inner->setGeometry(3, 3, 150, 99);

    auto *icon = new QLabel(inner);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(glyphPixmap(QStringLiteral("program"), 33));
    icon->setGeometry(6, 6, 33, 33);
    auto label = [inner](const QString &name, const QString &text, int x, int y) {
        auto *l = new QLabel(text, inner);
        l->setObjectName(name);
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    label(QStringLiteral("ProductName"), QStringLiteral("Varnel"), 48, 8);
    label(QStringLiteral("Version"), QStringLiteral("Version " VARNEL_VERSION), 48, 26);
    label(QStringLiteral("Copyright"), QStringLiteral("Varnel developers"), 6, 50);
    label(QStringLiteral("Comments"), QStringLiteral("2006"), 6, 72);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    ok->setGeometry(49, 121, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
