#pragma once

#include "core/portfailure.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QTimer;
class QToolButton;
class QPushButton;
class SpinEdit;

// "Параметры порта": the port parameters, edited modally.
class TSetupDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TSetupDlg(QWidget *parent = nullptr);

    QComboBox *CBCommPortName;
    QToolButton *SpeedButton1; // "?": lists the ports that can be opened now
    QComboBox *CBBaudRate;
    SpinEdit *SEByteSize;
    QComboBox *CBParity;
    QComboBox *CBStopBits;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    // What is known about the port named in CBCommPortName; refreshed as the
    // name changes and every InfoRefreshMs while the dialog is shown.
    QLabel *LabelPortInfo;
    static constexpr int InfoRefreshMs = 1000;

    void SpeedButton1Click();
    void updatePortInfo();

    // The system behind the dialog; tests replace them.
    std::function<PortFacts(const QString &name)> inspectPort;
    std::function<QStringList()> listPorts;
    // Opens and closes the port at once: None when it could be opened.
    std::function<PortProblem(const QString &name, QString *detail)> tryOpenPort;
    // What the server behind a network name called itself when the program
    // was last connected to it; empty when unknown. Must not ask the network.
    std::function<QString(const QString &name)> serverSignature;

    // Role of an entry's description, shown beside its name in the drop-down.
    static constexpr int DescriptionRole = Qt::UserRole + 1;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QString describeNetworkPort(const QString &name) const;

    QTimer *m_infoTimer;
    QString m_probeNote; // why the last probe found nothing, until the name changes
};

// Replaces the port box's entries with the ports this process can open
// exclusively right now; the box's text stays. Returns how many were found.
int ProbePorts(QComboBox *box);
int ProbePorts(QComboBox *box, const QStringList &candidates,
               const std::function<bool(const QString &)> &canOpen);
// Names of the serial devices of this system, as a user would type them.
QStringList candidatePorts();

// Position of the text among the box's entries (-1 when it is none of them).
int selectedPosition(const QComboBox *box);
