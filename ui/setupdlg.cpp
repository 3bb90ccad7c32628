#include "ui/setupdlg.h"

#include "ui/widgets.h"
#include "core/portsettings.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>

namespace {

QComboBox *makeBox(const QString &name, const QStringList &items, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    keepWholeText(box->lineEdit());
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    return box;
}

} // namespace

TSetupDlg::TSetupDlg(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SetupDlg"));
    setWindowTitle(QStringLiteral("Параметры порта"));
    setFont(designFont());
    setFixedSize(313, 235);
    setModal(true);

    auto *pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("PageControl1"));
    pages->setGeometry(8, 8, 297, 185);
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Comm"));
    pages->addTab(page, QStringLiteral("Comm"));

    auto label = [page](const QString &text, int y) {
        auto *l = new QLabel(text, page);
        l->setGeometry(8, y + 3, 140, 17);
        return l;
    };
    QStringList rates;
    for (qint32 r : portsettings::baudRates())
        rates << QString::number(r);

    label(QStringLiteral("Порт"), 10);
    CBCommPortName = makeBox(QStringLiteral("CBCommPortName"), portsettings::defaultPortNames(), page);
    CBCommPortName->setGeometry(150, 10, 100, 22);
    CBCommPortName->setEditText(QStringLiteral("COM1"));
    SpeedButton1 = new QToolButton(page);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("?"));
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setGeometry(256, 10, 23, 22);

    label(QStringLiteral("Скорость передачи"), 40);
    CBBaudRate = makeBox(QStringLiteral("CBBaudRate"), rates, page);
    CBBaudRate->setGeometry(150, 40, 100, 22);
    CBBaudRate->setCurrentIndex(portsettings::baudRateIndex(9600));

    label(QStringLiteral("Размер символа"), 70);
    SEByteSize = new SpinEdit(QStringLiteral("SEByteSize"), 4, 8, 8, page);
    SEByteSize->setGeometry(150, 70, 100, 22);

    label(QStringLiteral("Паритет"), 100);
    CBParity = makeBox(QStringLiteral("CBParity"), portsettings::parityNames(), page);
    CBParity->setGeometry(150, 100, 100, 22);

    label(QStringLiteral("Количество стоп-битов"), 130);
    CBStopBits = makeBox(QStringLiteral("CBStopBits"), portsettings::stopBitsNames(), page);
    CBStopBits->setGeometry(150, 130, 100, 22);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(143, 202, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(227, 202, 75, 25);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject); // Escape rejects too
    connect(SpeedButton1, &QToolButton::clicked, this, &TSetupDlg::SpeedButton1Click);
}

void TSetupDlg::SpeedButton1Click()
{
    ProbePorts(CBCommPortName);
}

int selectedPosition(const QComboBox *box)
{
    const QString text = box->currentText();
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QStringList candidatePorts()
{
    QStringList names;
#ifdef Q_OS_WIN
    for (int n = 1; n <= 41; ++n)
        names << QStringLiteral("COM%1").arg(n);
#else
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        names << portsettings::userPortName(info.systemLocation());
    // ttyS2 before ttyS10; ttyACM, ttyS, ttyUSB grouped by their stems
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        auto split = [](const QString &s) {
            int i = int(s.size());
            while (i > 0 && s[i - 1].isDigit())
                --i;
            return std::pair(s.left(i), s.mid(i).toLongLong());
        };
        return split(a) < split(b);
    });
#endif
    return names;
}

int ProbePorts(QComboBox *box, const QStringList &candidates,
               const std::function<bool(const QString &)> &canOpen)
{
    const QString text = box->currentText();
    box->clear();
    int found = 0;
    for (const QString &name : candidates) {
        if (canOpen(name)) {
            box->addItem(name);
            ++found;
        }
    }
    box->setEditText(text);
    return found;
}

int ProbePorts(QComboBox *box)
{
    return ProbePorts(box, candidatePorts(), [](const QString &name) {
        // Qt opens exclusively (lock file and TIOCEXCL), so a port held by
        // another program is refused here.
        QSerialPort port;
        port.setPortName(portsettings::resolvePortName(name));
        if (!port.open(QIODevice::ReadWrite))
            return false;
        port.close();
        return true;
    });
}
