#include "support/unitrig.h"

#include <QTcpServer>
#include <QTest>

// Waiting for a lost port server: the port is opened again only once the
// server takes connections, so a host that does not answer never holds the
// window for an open's connect time-out.
class TstServerKnock : public QObject
{
    Q_OBJECT
private slots:
    void opensOnlyWhenTheServerAnswers()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const quint16 tcpPort = server.serverPort();
        server.close(); // refused from now on

        UnitRig rig;
        rig.setup.settings.PortName = QStringLiteral("socket://127.0.0.1:%1").arg(tcpPort);
        rig.open();
        rig.port->loseDevice();
        QVERIFY(rig.connection.waitingForDevice());
        QTest::qWait(3 * PortConnection::ReconnectCheckMs);
        QVERIFY2(!rig.port->calls.join(' ').contains("open"), qPrintable(rig.port->calls.join(' ')));
        QVERIFY(!rig.connection.isOpen());

        QVERIFY(server.listen(QHostAddress::LocalHost, tcpPort));
        QTRY_VERIFY_WITH_TIMEOUT(rig.connection.isOpen(), PortConnection::NetworkRetryMs + 3000);
        QVERIFY(server.hasPendingConnections() || server.waitForNewConnection(1000)); // the knock
        QCOMPARE(rig.statusPanels.StatusPanel1->text(), QStringLiteral("Порт открыт снова: устройство подключено"));
    }
};

QTEST_MAIN(TstServerKnock)
#include "tst_serverknock.moc"
