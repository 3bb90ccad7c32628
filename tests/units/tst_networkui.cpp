// Ports on other machines through the whole program: the setup dialog's
// description, failed opens, caption and strings file, reconnect, modem lines
// and break. Servers run on 127.0.0.1 only: a scripted telnet server and
// Debian's ser2net.
#include "core/netportname.h"
#include "core/telnetstream.h"
#include "ui/setupdlg.h"
#include "units/linesignals.h"
#include "units/portconnection.h"
#include "units/receivepath.h"
#include "support/programfixture.h"
#include "support/pty.h"
#include "support/scriptedtelnetserver.h"
#include "support/ser2net.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>

namespace {

QString rfc(quint16 port)
{
    return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port);
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

const QString lostText = QStringLiteral("Порт закрыт: устройство недоступно");
const QString backText = QStringLiteral("Порт открыт снова: устройство подключено");

} // namespace

class TstNetworkUi : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *&f = fx.f;

    // The program on its real port, closed, as a first run.
    void begin()
    {
        fx.startOnRealBackend();
    }
    void clickOpen(const QString &name)
    {
        f->portSetup->settings.PortName = name;
        f->portBar.SBOpenComm->click();
    }
    QString litPattern() const
    {
        QString out;
        const StatusPanels &s = f->statusPanels;
        for (QLabel *l : {s.LedCTS, s.LedDSR, s.LedDCD, s.LedRI})
            out += !l->isEnabled() ? u'-' : l->property("lit").toBool() ? u'1' : u'0';
        return out;
    }

private slots:
    // The dialog describes a network name from the name alone; the server's
    // signature appears once the program has been connected to it.
    void portInfoAsksNobody()
    {
        ScriptedTelnetServer server;
        server.greeting = hex("fffa2c64") + "Bench-7 ser2net" + hex("fff0");
        begin();
        TSetupDlg *dlg = f->portSetup->dialog();
        QVERIFY(dlg);
        dlg->show();
        const QString name = rfc(server.port());
        dlg->CBCommPortName->setEditText(name);
        const QString plain = QStringLiteral("сетевой порт RFC 2217, узел 127.0.0.1, TCP-порт %1").arg(server.port());
        QCOMPARE(dlg->LabelPortInfo->text(), plain);
        dlg->CBCommPortName->setEditText(QStringLiteral("socket://[::1]:4001"));
        QCOMPARE(dlg->LabelPortInfo->text(), QStringLiteral("сетевой порт (только байты), узел [::1], TCP-порт 4001"));
        for (const QString bad : {"rfc2217://127.0.0.1", "socket://127.0.0.1:70000", "rfc2217://::1:2000"}) {
            dlg->CBCommPortName->setEditText(bad);
            QCOMPARE(dlg->LabelPortInfo->text(), netport::parseName(bad).error);
            QVERIFY(dlg->LabelPortInfo->text().contains(bad));
        }
        dlg->CBCommPortName->setEditText(name);
        QTest::qWait(TSetupDlg::InfoRefreshMs + 200); // a refresh went by
        QCOMPARE(server.connections, 0);
        dlg->hide();

        f->portSetup->settings.PortName = name;
        f->portBar.SBOpenComm->click();
        QVERIFY(f->portBar.SBOpenComm->down());
        f->portBar.SBOpenComm->click();
        QCOMPARE(server.connections, 1);
        dlg->show();
        dlg->CBCommPortName->setEditText(name.toUpper()); // the same server however written
        QCOMPARE(dlg->LabelPortInfo->text(), plain + QStringLiteral("; сервер: Bench-7 ser2net"));
        dlg->CBCommPortName->setEditText(rfc(quint16(server.port() + 1)));
        QVERIFY(!dlg->LabelPortInfo->text().contains(QStringLiteral("сервер:")));
        dlg->hide();
        QCOMPARE(server.connections, 1);
    }

    // A failed open shows the box's own text with the backend's reason, and
    // leaves the port closed; a value the protocol has no code for is named
    // without a connection being made.
    void failedOpensSayWhy_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("bits");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("reason");
        const quint16 closed = freeTcpPort();
        const QString openFailed = QStringLiteral("Ошибка открытия порта");
        QTest::newRow("refused") << rfc(closed) << 8 << openFailed
                                 << QStringLiteral("никто не ждёт соединений на TCP-порту %1").arg(closed);
        QTest::newRow("no port") << "socket://127.0.0.1" << 8 << openFailed << "не указан номер TCP-порта";
        QTest::newRow("port too big") << "rfc2217://127.0.0.1:65536" << 8 << openFailed << "от 1 до 65535";
        QTest::newRow("four data bits") << "server" << 4 << "Ошибка SetCommState или GetCommTimeouts"
                                        << "4 бита данных";
    }
    void failedOpensSayWhy()
    {
        QFETCH(QString, name);
        QFETCH(int, bits);
        ScriptedTelnetServer server;
        if (name == QLatin1String("server"))
            name = rfc(server.port());
        begin();
        f->portSetup->settings.ByteSize = quint8(bits);
        clickOpen(name);
        QVERIFY(!f->portBar.SBOpenComm->down());
        QVERIFY(!f->mainMenu.miSendBreak->isEnabled());
        QTEST(fx.prompts.messages.value(0), "box");
        QCOMPARE(fx.prompts.messages.size(), 1);
        QFETCH(QString, reason);
        const QString why = fx.prompts.informativeTexts.value(0);
        QVERIFY2(why.contains(reason) && why.contains(name), qPrintable(why));
        QCOMPARE(server.connections, 0);
        QVERIFY(!f->connection->waitingForDevice());
    }

    // The caption shows the name as typed; the strings file keeps it whole
    // where the settings record keeps four characters.
    void nameInCaptionAndStringsFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("rfc2217, IPv6") << "rfc2217://[fe80::1]:2217";
        QTest::newRow("socket, host name as typed") << "SOCKET://Bench-PC.lab:4001";
    }
    void nameInCaptionAndStringsFile()
    {
        QFETCH(QString, name);
        begin();
        TSetupDlg *dlg = f->portSetup->dialog();
        f->portSetup->FillSetupDialog();
        dlg->CBCommPortName->setEditText(name);
        f->portSetup->acceptDialog();
        const QString caption = QStringLiteral("Транслятор портов: %1; 9600 бод; размер символа - 8 бит; паритет - no; "
                                               "стоп-битов - 1")
                                    .arg(name);
        QCOMPARE(f->windowTitle(), caption);
        QVERIFY(f->close());
        QFile str(fx.dir.filePath(QStringLiteral("varnel.str")));
        QVERIFY(str.open(QIODevice::ReadOnly));
        QVERIFY(str.readAll().contains(name.toLatin1() + "\r\n"));

        startProgram(); // the next run, from these files
        f = formMain();
        QCOMPARE(f->portSetup->settings.PortName, name);
        QTRY_COMPARE(f->windowTitle(), caption);
    }

    // The indicators follow the server's modem-state notifications, and
    // "Послать Break" sends break on and, 250 ms later, off.
    void modemLinesAndBreakOverTelnet()
    {
        ScriptedTelnetServer server;
        begin();
        clickOpen(rfc(server.port()));
        QVERIFY(f->portBar.SBOpenComm->down());
        QCOMPARE(litPattern(), QStringLiteral("----")); // nothing told yet
        server.send(hex("fffa2c6b31fff0")); // CTS, DSR; CTS changed
        QTRY_COMPARE_WITH_TIMEOUT(litPattern(), QStringLiteral("1100"), 2000);
        server.send(hex("fffa2c6bc8fff0")); // DCD, RI; DCD changed
        QTRY_COMPARE_WITH_TIMEOUT(litPattern(), QStringLiteral("0011"), 2000);

        QVERIFY(server.waitForReceived(1));
        QTest::qWait(50);
        server.received.clear();
        QVERIFY(f->mainMenu.miSendBreak->isEnabled());
        QElapsedTimer t;
        t.start();
        f->mainMenu.miSendBreak->trigger();
        const QByteArray on = hex("fffa2c0505fff0"), off = hex("fffa2c0506fff0");
        QVERIFY(server.waitForReceived(on.size(), 2000));
        QCOMPARE(server.received, on);
        QVERIFY(server.waitForReceived(on.size() + off.size(), 2000));
        QVERIFY2(t.elapsed() >= LineSignals::BreakMs, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(server.received, on + off);

        f->portBar.SBOpenComm->click();
        QCOMPARE(litPattern(), QStringLiteral("----"));
    }

    // A server that goes away is tried again, but not while a modal dialog
    // is open and not more often than every NetworkRetryMs.
    void reconnectAsksTheServerSeldom()
    {
        ScriptedTelnetServer server;
        begin();
        clickOpen(rfc(server.port()));
        QVERIFY(f->portBar.SBOpenComm->down());
        QDialog modal(f);
        modal.setModal(true);
        modal.show();
        server.hangUpOnFirstBytes = true; // each try is hung up on at once
        server.hangUp();
        QTRY_VERIFY_WITH_TIMEOUT(!f->portBar.SBOpenComm->down(), 3000);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), lostText);
        QVERIFY(f->connection->waitingForDevice());
        QTest::qWait(3 * PortConnection::ReconnectCheckMs);
        QCOMPARE(server.connections, 1);
        modal.hide();
        QTRY_COMPARE_WITH_TIMEOUT(server.connections, 2, 3 * PortConnection::ReconnectCheckMs);
        QElapsedTimer sinceTry;
        sinceTry.start();
        QTest::qWait(2000);
        QCOMPARE(server.connections, 2);
        QVERIFY(!f->portBar.SBOpenComm->down());
        QVERIFY(fx.prompts.messages.isEmpty()); // tries show no box

        server.hangUpOnFirstBytes = false;
        QTRY_VERIFY_WITH_TIMEOUT(f->portBar.SBOpenComm->down(), PortConnection::NetworkRetryMs + 2000);
        QVERIFY2(sinceTry.elapsed() >= PortConnection::NetworkRetryMs - 200, qPrintable(QString::number(sinceTry.elapsed())));
        QCOMPARE(server.connections, 3);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), backText);
        QVERIFY(fx.prompts.messages.isEmpty());
        f->portBar.SBOpenComm->click();
    }

    // ser2net killed: device gone; started again: the port opens with the
    // same settings and reads on.
    void ser2netRestartReconnects()
    {
        Pty rfcPty, rawPty;
        QVERIFY(rfcPty.isValid() && rawPty.isValid());
        Ser2net ser2net;
        QVERIFY2(ser2net.start(rfcPty.slavePath(), rawPty.slavePath()), qPrintable(ser2net.log));
        begin();
        clickOpen(rfc(ser2net.rfcPort));
        QVERIFY(f->portBar.SBOpenComm->down());
        QVERIFY(rfcPty.write("one"));
        QTRY_COMPARE(f->receivePath->ReceivedCount, 3);

        ser2net.kill();
        QTRY_VERIFY_WITH_TIMEOUT(!f->portBar.SBOpenComm->down(), 3000);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), lostText);
        QVERIFY2(ser2net.restart(), qPrintable(ser2net.log));
        QTRY_VERIFY_WITH_TIMEOUT(f->portBar.SBOpenComm->down(), PortConnection::NetworkRetryMs + 3000);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), backText);
        QVERIFY(fx.prompts.messages.isEmpty());
        QVERIFY(rfcPty.write("two"));
        QTRY_COMPARE(f->receivePath->ReceivedCount, 6);
        f->portBar.SBOpenComm->click();
    }
};

QTEST_MAIN(TstNetworkUi)
#include "tst_networkui.moc"
