// Ports on other machines through the whole program, against servers on
// 127.0.0.1 only: a scripted telnet server and Debian's ser2net.
#include "ui/setupdlg.h"
#include "units/portconnection.h"
#include "units/receivepath.h"
#include "support/programfixture.h"
#include "support/pty.h"
#include "support/scriptedtelnetserver.h"
#include "support/ser2net.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QTest>

namespace {

QString rfc(quint16 port)
{
    return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port);
}

} // namespace

class TstNetworkUi : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *&f = fx.f;

    bool isOpen() const { return f->portBar.SBOpenComm->down(); }
    void clickOpen(const QString &name)
    {
        f->portSetup->settings.PortName = name;
        f->portBar.SBOpenComm->click();
    }
    // The program on its real port, opened on `name`.
    bool startOn(const QString &name)
    {
        fx.startOnRealBackend();
        clickOpen(name);
        return isOpen();
    }
    QString litPattern() const
    {
        QString out;
        const StatusPanels &s = f->statusPanels;
        for (QLabel *l : {s.LedCTS, s.LedDSR, s.LedDCD, s.LedRI})
            out += l->isEnabled() ? QChar(u'0' + l->property("lit").toBool()) : QChar(u'-');
        return out;
    }

private slots:
    // The dialog describes a network name from the name alone; the server's
    // signature appears once the program has been connected to it. While
    // open, the indicators follow the server's modem-state notifications.
    void portInfoAndModemLines()
    {
        ScriptedTelnetServer server;
        server.greeting = QByteArray::fromHex("fffa2c64") + "Bench-7 ser2net" + QByteArray::fromHex("fff0");
        fx.startOnRealBackend();
        TSetupDlg *dlg = f->portSetup->dialog();
        dlg->show();
        const QString name = rfc(server.port());
        dlg->CBCommPortName->setEditText(name);
        const QString plain = QStringLiteral("сетевой порт RFC 2217, узел 127.0.0.1, TCP-порт %1").arg(server.port());
        QCOMPARE(dlg->LabelPortInfo->text(), plain);
        QTest::qWait(TSetupDlg::InfoRefreshMs + 200); // a refresh went by
        QCOMPARE(server.connections, 0);
        dlg->hide();

        clickOpen(name);
        QVERIFY(isOpen());
        QCOMPARE(litPattern(), QStringLiteral("----")); // nothing told yet
        server.send(QByteArray::fromHex("fffa2c6b31fff0")); // CTS, DSR; CTS changed
        QTRY_COMPARE_WITH_TIMEOUT(litPattern(), QStringLiteral("1100"), 2000);
        server.send(QByteArray::fromHex("fffa2c6bc8fff0")); // DCD, RI; DCD changed
        QTRY_COMPARE_WITH_TIMEOUT(litPattern(), QStringLiteral("0011"), 2000);
        f->portBar.SBOpenComm->click();
        dlg->show();
        dlg->CBCommPortName->setEditText(name.toUpper()); // the same server however written
        QCOMPARE(dlg->LabelPortInfo->text(), plain + QStringLiteral("; сервер: Bench-7 ser2net"));
        dlg->hide();
        QCOMPARE(server.connections, 1);
    }

    // ser2net killed: device gone; started again: the port opens with the
    // same settings and reads on, but not behind a modal dialog and without a box.
    void ser2netRestartReconnects()
    {
        Pty rfcPty, rawPty;
        QVERIFY(rfcPty.isValid() && rawPty.isValid());
        Ser2net ser2net;
        QVERIFY2(ser2net.start(rfcPty.slavePath(), rawPty.slavePath()), qPrintable(ser2net.log));
        QVERIFY(startOn(rfc(ser2net.rfcPort)));
        QVERIFY(rfcPty.write("one"));
        QTRY_COMPARE(f->receivePath->ReceivedCount, 3);

        QDialog modal(f);
        modal.setModal(true);
        modal.show();
        ser2net.kill();
        QTRY_VERIFY_WITH_TIMEOUT(!isOpen(), 3000);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QStringLiteral("Порт закрыт: устройство недоступно"));
        QVERIFY2(ser2net.restart(), qPrintable(ser2net.log));
        QTest::qWait(3 * PortConnection::ReconnectCheckMs);
        QVERIFY(!isOpen());
        modal.hide();
        QTRY_VERIFY_WITH_TIMEOUT(isOpen(), PortConnection::NetworkRetryMs + 3000);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QStringLiteral("Порт открыт снова: устройство подключено"));
        QVERIFY(fx.prompts.messages.isEmpty());
        QVERIFY(rfcPty.write("two"));
        QTRY_COMPARE(f->receivePath->ReceivedCount, 6);
        f->portBar.SBOpenComm->click();
    }
};

QTEST_MAIN(TstNetworkUi)
#include "tst_networkui.moc"
