#pragma once

#include <QDialog>
#include <functional>

class QComboBox;
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

    void SpeedButton1Click();
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
