#include "ui/setupdlg.h"
#include "support/pty.h"

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <QToolButton>

class TstSetupDlgPortInfo : public QObject
{
    Q_OBJECT
private slots:
    // The label follows the name as it is typed, and the system while shown.
    void describesTheNamedPort()
    {
        Pty pty;
        TSetupDlg dlg;
        dlg.show();
        const QString device = pty.slavePath() + QStringLiteral(": устройство");
        dlg.CBCommPortName->setEditText(QStringLiteral("ttyVarnelNone"));
        QCOMPARE(dlg.LabelPortInfo->text(), QStringLiteral("/dev/ttyVarnelNone: нет такого устройства"));
        dlg.CBCommPortName->setEditText(pty.slavePath());
        QCOMPARE(dlg.LabelPortInfo->text(), device);

        // Another program takes the port: the next refresh says so, untouched.
        QProcess holder;
        holder.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("exec sleep 30 <\"$0\""), pty.slavePath()});
        QVERIFY(holder.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(dlg.LabelPortInfo->text().contains(
                                     QStringLiteral("занят другой программой (процесс %1, sleep)").arg(holder.processId())),
                                 TSetupDlg::InfoRefreshMs * 3);
        holder.kill();
        holder.waitForFinished();
    }

    // "?" lists what opens, with descriptions beside the bare names, and says
    // why when nothing does; the note goes when another name is typed.
    void probeExplains_data()
    {
        QTest::addColumn<bool>("usbOpens");
        QTest::addColumn<QString>("info"); // after the probe
        QTest::newRow("one opens") << true << "/dev/COM3: последовательный порт";
        QTest::newRow("same reason named once")
            << false << "нет доступных портов; ttyS0, ttyS1, ttyS2, ещё 2 — нет прав доступа (группа dialout); ttyUSB0 — "
                        "занят другой программой";
    }
    void probeExplains()
    {
        QFETCH(bool, usbOpens);
        TSetupDlg dlg;
        dlg.listPorts = [] { return QStringList{"ttyS0", "ttyS1", "ttyUSB0", "ttyS2", "ttyS3", "ttyS4"}; };
        dlg.tryOpenPort = [usbOpens](const QString &name, QString *detail) {
            const bool uart = name.startsWith("ttyS");
            *detail = uart ? QStringLiteral("dialout") : QString();
            return uart ? PortProblem::NoPermission : usbOpens ? PortProblem::None : PortProblem::Busy;
        };
        dlg.inspectPort = [](const QString &name) {
            PortFacts f{.path = "/dev/" + name, .listed = true};
            if (name == "ttyUSB0")
                f.description = "FT232R USB UART", f.manufacturer = "FTDI", f.serialNumber = "A5", f.vendorId = 0x0403, f.productId = 0x6001;
            if (name == "ttyS0")
                f.problem = PortProblem::NoPermission, f.detail = "dialout";
            return f;
        };
        dlg.CBCommPortName->addItem(QStringLiteral("COM9")); // replaced by what opens
        dlg.CBCommPortName->setEditText(QStringLiteral("COM3"));
        dlg.show();
        dlg.SpeedButton1->click();
        QCOMPARE(dlg.CBCommPortName->currentText(), QStringLiteral("COM3"));
        QCOMPARE(dlg.CBCommPortName->count(), usbOpens ? 1 : 0);
        QTEST(dlg.LabelPortInfo->text(), "info");
        dlg.CBCommPortName->setEditText(QStringLiteral("ttyS0"));
        QCOMPARE(dlg.LabelPortInfo->text(), QStringLiteral("/dev/ttyS0: последовательный порт; нет прав доступа (группа dialout)"));
        dlg.CBCommPortName->setEditText(QStringLiteral("ttyUSB0"));
        QCOMPARE(dlg.LabelPortInfo->text(), QStringLiteral("/dev/ttyUSB0: FT232R USB UART, FTDI, серийный номер A5, 0403:6001"));
    }
};

QTEST_MAIN(TstSetupDlgPortInfo)
#include "tst_setupdlg_portinfo.moc"
