#include "units/portconnection.h"
#include "units/receivepath.h"
#include "support/programfixture.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A pair of linked ptys under fixed paths, as a USB adapter's stable name
// would be: killing socat removes both, starting it again brings them back.
class SocatLink
{
public:
    explicit SocatLink(const QString &dir)
        : device(dir + QStringLiteral("/ttyVarnel")), peer(dir + QStringLiteral("/ttyPeer"))
    {
    }
    ~SocatLink() { stop(); }

    bool start()
    {
        m_socat.start(QStringLiteral("socat"), {QStringLiteral("pty,link=%1,raw,echo=0").arg(device),
                                                QStringLiteral("pty,link=%1,raw,echo=0").arg(peer)});
        return m_socat.waitForStarted(3000)
               && QTest::qWaitFor([&] { return QFileInfo::exists(device) && QFileInfo::exists(peer); }, 3000);
    }
    void stop()
    {
        m_socat.terminate(); // socat removes its links on SIGTERM
        if (m_socat.state() != QProcess::NotRunning && !m_socat.waitForFinished(3000))
            m_socat.kill();
    }
    bool writePeer(const QByteArray &bytes)
    {
        const int fd = ::open(QFile::encodeName(peer).constData(), O_RDWR | O_NOCTTY);
        if (fd < 0)
            return false;
        const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
        QTest::qWait(100); // closing the peer at once may drop what socat has not relayed
        ::close(fd);
        return ok;
    }

    const QString device, peer;

private:
    QProcess m_socat;
};

} // namespace

class TstReconnect : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *&f = fx.f;

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty())
            QSKIP("socat is not installed (scripts/install-deps.sh installs it)");
    }

    // The device vanishes and returns under the same path: with miReconnect
    // on the port opens again and reads on. Off, it stays closed; switched
    // on later it waits, until the user opens or closes by hand.
    void replug_data()
    {
        QTest::addColumn<bool>("reconnect");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void replug()
    {
        QFETCH(bool, reconnect);
        SocatLink link(fx.dir.path());
        QVERIFY(link.start());
        QVERIFY(fx.startOpenOn(link.device));
        f->mainMenu.miReconnect->setChecked(reconnect);
        QVERIFY(link.writePeer("one"));
        QTRY_COMPARE(f->receivePath->ReceivedCount, 3);

        link.stop();
        QTRY_VERIFY(!f->portBar.SBOpenComm->down());
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QStringLiteral("Порт закрыт: устройство недоступно"));
        QCOMPARE(f->connection->waitingForDevice(), reconnect);
        if (!reconnect) {
            f->mainMenu.miReconnect->setChecked(true);
            QVERIFY(f->connection->waitingForDevice());
            f->portBar.SBOpenComm->click(); // the device is not there: the box says so
            QCOMPARE(fx.prompts.messages, QStringList{QStringLiteral("Ошибка открытия порта")});
            QVERIFY(fx.prompts.informativeTexts.value(0).contains(link.device));
            QVERIFY(!f->connection->waitingForDevice());
            QVERIFY(link.start());
            QTest::qWait(3 * PortConnection::ReconnectCheckMs);
            QVERIFY(!f->portBar.SBOpenComm->down());
            return;
        }
        QVERIFY(link.start());
        QTRY_VERIFY_WITH_TIMEOUT(f->portBar.SBOpenComm->down(), 5000);
        QCOMPARE(f->statusPanels.StatusPanel1->text(), QStringLiteral("Порт открыт снова: устройство подключено"));
        QVERIFY(fx.prompts.messages.isEmpty());
        QVERIFY(link.writePeer("two"));
        QTRY_COMPARE(f->receivePath->ReceivedCount, 6);
        f->portBar.SBOpenComm->click();
    }
};

QTEST_MAIN(TstReconnect)
#include "tst_reconnect.moc"
