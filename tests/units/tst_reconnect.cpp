#include "support/unitrig.h"

#include <QDialog>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

// A lost port is opened again once it is back under the same name
// (miReconnect), as a click would, without a box: a device when its path is
// back, a port server only once it takes connections, so a host that does
// not answer never holds the window for an open's connect time-out. The real
// backend telling a vanished device is tst_portconnection's.
class TstReconnect : public QObject
{
    Q_OBJECT
    std::unique_ptr<UnitRig> rig;

    void lose(const QString &name)
    {
        rig->setup.settings.PortName = name;
        rig->open();
        rig->port->loseDevice();
        QVERIFY(!rig->connection.isOpen());
        QCOMPARE(rig->statusPanels.StatusPanel1->text(), QStringLiteral("Порт закрыт: устройство недоступно"));
    }
    // The port stays closed over a few checks, nothing tried.
    bool staysClosed()
    {
        QTest::qWait(3 * PortConnection::ReconnectCheckMs);
        return !rig->connection.isOpen() && !rig->port->calls.join(' ').contains("open");
    }
    bool reopened(int ms)
    {
        return QTest::qWaitFor([&] { return rig->connection.isOpen(); }, ms) && rig->timers.TimerRead->isActive()
               && rig->statusPanels.StatusPanel1->text() == QStringLiteral("Порт открыт снова: устройство подключено")
               && rig->prompts.messages.isEmpty();
    }

private slots:
    void init() { rig = std::make_unique<UnitRig>(); }

    // Not behind a modal dialog; off, the port stays closed until switched on.
    void deviceBackUnderItsPath_data()
    {
        QTest::addColumn<bool>("reconnect");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void deviceBackUnderItsPath()
    {
        QFETCH(bool, reconnect);
        QTemporaryDir dir;
        const QString device = dir.filePath(QStringLiteral("ttyVarnel"));
        rig->connection.setReconnect(reconnect);
        lose(device);
        QCOMPARE(rig->connection.waitingForDevice(), reconnect);
        QDialog modal(&rig->window);
        modal.setModal(true);
        modal.show();
        QVERIFY(QFile(device).open(QIODevice::WriteOnly)); // back
        QVERIFY(staysClosed());
        modal.hide();
        if (!reconnect) {
            QVERIFY(staysClosed());
            rig->connection.setReconnect(true);
        }
        QVERIFY(reopened(3 * PortConnection::ReconnectCheckMs));
    }

    void serverBackTakingConnections()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const quint16 tcpPort = server.serverPort();
        server.close(); // refused from now on
        lose(QStringLiteral("socket://127.0.0.1:%1").arg(tcpPort));
        QVERIFY(rig->connection.waitingForDevice() && staysClosed());
        QVERIFY(server.listen(QHostAddress::LocalHost, tcpPort));
        QVERIFY(reopened(PortConnection::NetworkRetryMs + 3000));
        QVERIFY(server.hasPendingConnections() || server.waitForNewConnection(1000)); // the knock
    }
};

QTEST_MAIN(TstReconnect)
#include "tst_reconnect.moc"
