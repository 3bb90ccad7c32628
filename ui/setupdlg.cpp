#include "ui/setupdlg.h"

#include "ui/widgets.h"
#include "core/netportname.h"
#include "core/portsettings.h"
#include "port/portprobe.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTimer>
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

// The drop-down shows each port's description beside its name; the entry's
// text, which goes into the box, stays the bare name.
class DescribedItemDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString description = index.data(TSetupDlg::DescriptionRole).toString();
        if (!description.isEmpty())
            option->text += QStringLiteral("  —  ") + description;
    }
};

PortProblem openOnce(const QString &name, QString *detail)
{
    // Qt opens exclusively (lock file and TIOCEXCL), so a port held by
    // another program is refused here.
    const QString path = portsettings::resolvePortName(name);
    QSerialPort port;
    port.setPortName(path);
    if (port.open(QIODevice::ReadWrite)) {
        port.close();
        return PortProblem::None;
    }
    return portprobe::diagnoseOpenFailure(path, detail);
}

} // namespace

TSetupDlg::TSetupDlg(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SetupDlg"));
    setWindowTitle(QStringLiteral("Параметры порта"));
    setFont(designFont());
    // Taller than designed by the port description under the port box.
    constexpr int info = 50;
    setFixedSize(313, 235 + info);
    setModal(true);

    auto *pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("PageControl1"));
    pages->setGeometry(8, 8, 297, 185 + info);
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Comm"));
    pages->addTab(page, QStringLiteral("Comm"));

    auto label = [page](const QString &text, int y) {
        auto *l = new QLabel(text, page);
        l->setGeometry(8, y + 3 + (y > 10 ? info : 0), 140, 17);
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

    LabelPortInfo = new QLabel(page);
    LabelPortInfo->setObjectName(QStringLiteral("LabelPortInfo"));
    LabelPortInfo->setGeometry(8, 36, 275, info - 2);
    LabelPortInfo->setWordWrap(true);
    LabelPortInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelPortInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    CBCommPortName->setItemDelegate(new DescribedItemDelegate(CBCommPortName));

    label(QStringLiteral("Скорость передачи"), 40);
    CBBaudRate = makeBox(QStringLiteral("CBBaudRate"), rates, page);
    CBBaudRate->setGeometry(150, 40 + info, 100, 22);
    CBBaudRate->setCurrentIndex(portsettings::baudRateIndex(9600));

    label(QStringLiteral("Размер символа"), 70);
    SEByteSize = new SpinEdit(QStringLiteral("SEByteSize"), 4, 8, 8, page);
    SEByteSize->setGeometry(150, 70 + info, 100, 22);

    label(QStringLiteral("Паритет"), 100);
    CBParity = makeBox(QStringLiteral("CBParity"), portsettings::parityNames(), page);
    CBParity->setGeometry(150, 100 + info, 100, 22);

    label(QStringLiteral("Количество стоп-битов"), 130);
    CBStopBits = makeBox(QStringLiteral("CBStopBits"), portsettings::stopBitsNames(), page);
    CBStopBits->setGeometry(150, 130 + info, 100, 22);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(143, 202 + info, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(227, 202 + info, 75, 25);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject); // Escape rejects too
    connect(SpeedButton1, &QToolButton::clicked, this, &TSetupDlg::SpeedButton1Click);

    inspectPort = &portprobe::inspect;
    listPorts = &candidatePorts;
    tryOpenPort = &openOnce;
    m_infoTimer = new QTimer(this);
    m_infoTimer->setInterval(InfoRefreshMs);
    connect(m_infoTimer, &QTimer::timeout, this, &TSetupDlg::updatePortInfo);
    connect(CBCommPortName, &QComboBox::editTextChanged, this, [this] {
        m_probeNote.clear();
        updatePortInfo();
    });
}

void TSetupDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    updatePortInfo();
    m_infoTimer->start(); // adapters come and go while the dialog is open
}

void TSetupDlg::hideEvent(QHideEvent *event)
{
    m_infoTimer->stop();
    QDialog::hideEvent(event);
}

void TSetupDlg::updatePortInfo()
{
    // The main window refills the hidden dialog on every repaint; showing it
    // describes the port afresh.
    if (!isVisible())
        return;
    const QString name = CBCommPortName->currentText().trimmed();
    // Until another name is typed, why the probe found nothing says more.
    const QString text = !m_probeNote.isEmpty()          ? m_probeNote
                       : name.isEmpty()                  ? QString()
                       : netport::isNetworkName(name)    ? describeNetworkPort(name)
                                                         : portfailure::describe(inspectPort(name));
    if (LabelPortInfo->text() != text) {
        LabelPortInfo->setText(text);
        LabelPortInfo->setToolTip(text);
    }
}

QString TSetupDlg::describeNetworkPort(const QString &name) const
{
    // Nothing is sent to the server: typing a name must not reach out to it.
    const netport::ParsedName parsed = netport::parseName(name);
    if (!parsed.address)
        return parsed.error;
    return netport::describe(*parsed.address, serverSignature ? serverSignature(name) : QString());
}

void TSetupDlg::SpeedButton1Click()
{
    const QString text = CBCommPortName->currentText();
    // Ports refused for the same reason are named together: "ttyS0, ttyS1 — нет прав доступа".
    QStringList reasons;
    QList<QStringList> refused;
    const int found = ProbePorts(CBCommPortName, listPorts(), [&](const QString &name) {
        QString detail;
        const PortProblem problem = tryOpenPort(name, &detail);
        if (problem == PortProblem::None)
            return true;
        const QString reason = portfailure::shortReason(problem, detail);
        qsizetype i = reasons.indexOf(reason);
        if (i < 0) {
            i = reasons.size();
            reasons << reason;
            refused.append(QStringList());
        }
        refused[i] << name;
        return false;
    });
    int widest = 0;
    for (int i = 0; i < CBCommPortName->count(); ++i) {
        const PortFacts facts = inspectPort(CBCommPortName->itemText(i));
        QString description = facts.description;
        if (facts.vendorId && facts.productId)
            description += QStringLiteral(" (%1:%2)")
                               .arg(*facts.vendorId, 4, 16, QLatin1Char('0'))
                               .arg(*facts.productId, 4, 16, QLatin1Char('0'));
        description = description.trimmed();
        CBCommPortName->setItemData(i, description, DescriptionRole);
        CBCommPortName->setItemData(i, description, Qt::ToolTipRole);
        widest = qMax(widest, CBCommPortName->fontMetrics().horizontalAdvance(CBCommPortName->itemText(i)
                                                                              + QStringLiteral("  —  ") + description));
    }
    CBCommPortName->view()->setMinimumWidth(widest + 32);
    // Changing the current entry's data puts its name into the box; the typed text stays.
    CBCommPortName->setEditText(text);
    // The text stayed, so the description of the named port stands; say why the list is empty.
    QStringList why;
    for (qsizetype i = 0; i < reasons.size(); ++i) {
        QStringList names = refused[i];
        if (names.size() > 4)
            names = names.mid(0, 3) << QStringLiteral("ещё %1").arg(names.size() - 3);
        why << names.join(QStringLiteral(", ")) + QStringLiteral(" — ") + reasons[i];
    }
    m_probeNote = found > 0 ? QString()
                            : (QStringList{QStringLiteral("нет доступных портов")} + why).join(QStringLiteral("; "));
    updatePortInfo();
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
        QString detail;
        return openOnce(name, &detail) == PortProblem::None;
    });
}
