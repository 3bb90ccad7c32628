#include "core/bytestore.h"
#include "core/receivetablemodel.h"
#include "support/filesizelimit.h"
#include "support/programfixture.h"
#include "units/capturelogging.h"
#include "units/portconnection.h"
#include "units/receivepath.h"

#include <QAction>
#include <QTest>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The bytes of a text log, from each line's hex field (the line format is tst_receivetablemodel's).
QByteArray logBytes(const QByteArray &text)
{
    QByteArray bytes;
    for (const QByteArray &line : text.chopped(1).split('\n'))
        bytes += QByteArray::fromHex(line.split('\t').value(2));
    return bytes;
}

} // namespace

class TstCaptureLogging : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *&f = fx.f;

    QAction *item() const { return f->mainMenu.miLogReceive; }
    QLabel *logPanel() const { return f->statusPanels.StatusPanelLog; }
    const ByteStore &store() const { return f->receivePath->ReceiveArray(); }
    QString path(const QString &name) const { return fx.dir.filePath(name); }

    // As the user picks the item and answers the dialog with `name` (empty: cancel).
    void startLog(const QString &name)
    {
        if (!name.isEmpty())
            fx.prompts.fileNames << path(name);
        item()->trigger();
    }
    // Sends `pieces` one receive step apart; true once all have arrived.
    bool send(const QList<QByteArray> &pieces)
    {
        for (const QByteArray &p : pieces) {
            const qint64 before = store().size();
            fx.port->inject(p);
            if (!QTest::qWaitFor([&] { return store().size() == before + p.size(); }, 5000))
                return false;
        }
        return true;
    }

private slots:
    void logEqualsBytesReceived_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("byte file") << QStringLiteral("capture.rcv");
        QTest::newRow("text lines") << QStringLiteral("capture.log");
    }
    void logEqualsBytesReceived()
    {
        QFETCH(QString, name);
        fx.start(true);
        startLog(name);
        QVERIFY(item()->isChecked() && !logPanel()->isHidden() && logPanel()->text().contains(name));
        f->portBar.ChBShowRecTable->click(); // the table hidden: the log takes what arrives all the same
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        const QList<QByteArray> pieces{all.left(100), all.mid(100), "\t\r\nend"};
        QVERIFY(send(pieces));
        const QByteArray received = store().toByteArray();

        // Written within a flush period, without unchecking; a line per step at least.
        QTRY_VERIFY_WITH_TIMEOUT(fileBytes(path(name)).contains("end"), 3 * CaptureLogging::FlushMs);
        const QByteArray logged = fileBytes(path(name));
        QCOMPARE(name.endsWith(".rcv") ? logged : logBytes(logged), received);
        QTRY_VERIFY(logPanel()->text().contains(QString::number(QFileInfo(path(name)).size()) + " байт"));
        // Nothing waits, so nothing wakes the program.
        QVERIFY(!f->captureLogging->findChild<QTimer *>(QStringLiteral("TimerLogFlush"))->isActive());
        item()->trigger(); // unchecked: the file is closed, what comes next stays out
        QVERIFY(!item()->isChecked() && logPanel()->isHidden());
        QVERIFY(send({"after"}));
        QTest::qWait(CaptureLogging::FlushMs + 100);
        QCOMPARE(fileBytes(path(name)), logged);
        QVERIFY(fx.prompts.errors.isEmpty());
    }

    // Logging outlives a close and reopen; the disk refusing stops it with the
    // system's reason, and the capture goes on.
    void loggingOutlivesReopenUntilTheDiskRefuses()
    {
        fx.start(true);
        startLog(QString()); // cancelled
        QVERIFY(!item()->isChecked() && logPanel()->isHidden());
        startLog("capture.rcv");
        QVERIFY(send({"first"}));
        f->portBar.SBOpenComm->click();
        QVERIFY(!f->connection->isOpen() && item()->isChecked());
        f->portBar.SBOpenComm->click();
        const QByteArray sent = "firstsecond" + QByteArray(300, 'x');
        QVERIFY(send({"second"}));
        QTRY_COMPARE_WITH_TIMEOUT(fileBytes(path("capture.rcv")), sent.left(11), 3 * CaptureLogging::FlushMs);
        {
            FileSizeLimit limit(100);
            QVERIFY(send({sent.mid(11)}));
            QTRY_COMPARE_WITH_TIMEOUT(fx.prompts.errors.size(), 1, 3 * CaptureLogging::FlushMs);
        }
        const QString error = fx.prompts.errors.constFirst();
        QVERIFY2(error.startsWith(QDir::toNativeSeparators(path("capture.rcv")) + ": ")
                     && error.contains(QStringLiteral("остановлена")),
                 qPrintable(error));
        QVERIFY(!item()->isChecked() && !f->captureLogging->isLogging() && logPanel()->isHidden());
        QCOMPARE(fileBytes(path("capture.rcv")), sent.left(100));
        QVERIFY(send({"more"}));
        QCOMPARE(store().toByteArray(), sent + "more");
    }

    // The store refuses bytes (its temporary file cannot be made): the user
    // hears once, the port stays open, the log keeps everything.
    void storeFullIsToldOnceAndLoggingGoesOn()
    {
        fx.start(true);
        f->receivePath->model()->store() = ByteStore(ByteStore::ChunkSize, path("no such directory"));
        startLog("capture.rcv");
        QByteArray sent;
        for (int i = 0; i < 12; ++i) {
            sent += QByteArray(int(ReceivePath::ReceiveBufferSize), char('a' + i));
            fx.port->inject(sent.right(ReceivePath::ReceiveBufferSize));
            f->receivePath->receiveStep();
        }
        QVERIFY(store().hasStopped() && store().size() < sent.size());
        QTRY_COMPARE(fx.prompts.messages.size(), 1); // once, though every step after was refused
        QVERIFY(fx.prompts.informativeTexts.constFirst().contains(QStringLiteral("продолжается")));
        QVERIFY(f->portBar.SBOpenComm->down() && item()->isChecked());
        f->captureLogging->flush();
        QCOMPARE(fileBytes(path("capture.rcv")), sent);
    }
};

QTEST_MAIN(TstCaptureLogging)
#include "tst_capturelogging.moc"
