#include "core/bytestore.h"
#include "core/bytetext.h"
#include "core/receivetablemodel.h"
#include "support/filesizelimit.h"
#include "support/programfixture.h"
#include "support/pty.h"
#include "units/capturelogging.h"
#include "units/portconnection.h"
#include "units/receivepath.h"

#include <QAction>
#include <QDateTime>
#include <QTest>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// One receive step read back from a text log line.
struct LogLine {
    QDateTime time;
    qint64 count = -1;
    QByteArray bytes;
    QString chars;
};

std::optional<LogLine> parseLogLine(const QByteArray &line)
{
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != 4)
        return std::nullopt;
    LogLine l;
    l.time = QDateTime::fromString(QString::fromLatin1(fields[0]), QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    bool ok = false;
    l.count = fields[1].toLongLong(&ok);
    if (!l.time.isValid() || !ok)
        return std::nullopt;
    for (const QByteArray &pair : fields[2].split(' ')) {
        if (pair.size() != 2 || pair.toUpper() != pair)
            return std::nullopt;
        l.bytes += char(pair.toInt(&ok, 16));
        if (!ok)
            return std::nullopt;
    }
    l.chars = QString::fromUtf8(fields[3]);
    return l;
}

} // namespace

class TstCaptureLogging : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *f = nullptr;

    QAction *item() const { return f->mainMenu.miLogReceive; }
    QLabel *logPanel() const { return f->statusPanels.StatusPanelLog; }
    const ByteStore &store() const { return f->receivePath->ReceiveArray(); }
    QString path(const QString &name) const { return fx.dir.filePath(name); }

    // As the user picks the item and answers the dialog with `name` (empty: cancel).
    void startLog(const QString &name)
    {
        if (!name.isEmpty())
            fx.prompts.fileNames << name;
        item()->trigger();
    }
    bool startOnPty(Pty &pty)
    {
        if (!pty.isValid() || !fx.startOpenOn(pty.slavePath()))
            return false;
        f = fx.f;
        return true;
    }
    // Sends `pieces` one receive step apart; true once all have arrived.
    bool send(Pty &pty, const QList<QByteArray> &pieces)
    {
        for (const QByteArray &p : pieces) {
            const qint64 before = store().size();
            if (!pty.write(p) || !QTest::qWaitFor([&] { return store().size() == before + p.size(); }, 5000))
                return false;
        }
        return true;
    }

private slots:
    void cleanup()
    {
        if (f && f->captureLogging->isLogging())
            f->captureLogging->stopLogging();
        f = nullptr;
    }

    void cancelOrUnwritableLeavesItemUnchecked_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("errors");
        QTest::newRow("cancelled") << QString() << 0;
        QTest::newRow("directory missing") << QStringLiteral("missing/capture.rcv") << 1;
    }
    void cancelOrUnwritableLeavesItemUnchecked()
    {
        QFETCH(QString, answer);
        fx.start(true);
        f = fx.f;
        startLog(answer.isEmpty() ? answer : path(answer));
        QCOMPARE(fx.prompts.dialogs, QStringList{QStringLiteral("SaveDialogLog")});
        QVERIFY(!item()->isChecked());
        QVERIFY(!f->captureLogging->isLogging());
        QVERIFY(logPanel()->isHidden());
        QTEST(int(fx.prompts.errors.size()), "errors");
        fx.port->inject("abc");
        f->receivePath->receiveStep();
        QCOMPARE(store().size(), 3);
    }

    void logEqualsBytesReceived_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("byte file") << QStringLiteral("capture.rcv");
        QTest::newRow("text lines") << QStringLiteral("capture.log");
    }
    void logEqualsBytesReceived()
    {
        QFETCH(QString, name);
        Pty pty;
        QVERIFY(startOnPty(pty));
        QVERIFY(send(pty, {"before"})); // received before logging: not in the file
        startLog(path(name));
        QVERIFY(item()->isChecked());
        QVERIFY(!logPanel()->isHidden());
        QVERIFY(logPanel()->text().contains(name));

        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        const QList<QByteArray> pieces{all.left(100), all.mid(100, 1), all.mid(101), QByteArray("\t\r\nend")};
        const qint64 from = store().size();
        const qint64 stamped = QDateTime::currentMSecsSinceEpoch();
        QVERIFY(send(pty, pieces));
        // The table hidden: the log takes what arrives all the same.
        f->portBar.ChBShowRecTable->click();
        QVERIFY(send(pty, {"hidden"}));
        const QByteArray received = store().mid(from, store().size() - from);

        // Written within a flush period, without unchecking.
        if (name.endsWith(".rcv")) {
            QTRY_COMPARE_WITH_TIMEOUT(fileBytes(path(name)), received, 3 * CaptureLogging::FlushMs);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(fileBytes(path(name)).endsWith("hidden\n"), 3 * CaptureLogging::FlushMs);
            QByteArray parsed;
            const QList<QByteArray> lines = fileBytes(path(name)).split('\n');
            QCOMPARE(lines.last(), QByteArray()); // every line ends
            for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
                const std::optional<LogLine> l = parseLogLine(lines[i]);
                QVERIFY2(l, lines[i].constData());
                QCOMPARE(l->count, l->bytes.size());
                QCOMPARE(l->chars.size(), l->bytes.size());
                QVERIFY(qAbs(l->time.toMSecsSinceEpoch() - stamped) < 10000);
                for (qsizetype k = 0; k < l->bytes.size(); ++k) {
                    const char c = l->bytes[k];
                    if (c >= 0x20 && c < 0x7F)
                        QCOMPARE(l->chars[k], QChar(c));
                    else if (quint8(c) < 0x20)
                        QCOMPARE(l->chars[k], u'.');
                }
                parsed += l->bytes;
            }
            QVERIFY(lines.size() - 1 >= pieces.size() + 1); // at least one line per step
            QCOMPARE(parsed, received);
        }
        QTRY_VERIFY(logPanel()->text().contains(QString::number(QFileInfo(path(name)).size()) + " байт"));
        // Nothing waits, so nothing wakes the program.
        QVERIFY(!f->captureLogging->findChild<QTimer *>(QStringLiteral("TimerLogFlush"))->isActive());

        // Unchecked: the file is closed, and what comes next stays out of it.
        const QByteArray logged = fileBytes(path(name));
        item()->trigger();
        QVERIFY(!item()->isChecked());
        QVERIFY(!f->captureLogging->isLogging());
        QVERIFY(logPanel()->isHidden());
        QVERIFY(send(pty, {"after"}));
        QTest::qWait(CaptureLogging::FlushMs + 100);
        QCOMPARE(fileBytes(path(name)), logged);
        QVERIFY(fx.prompts.errors.isEmpty());
    }

    void loggingSurvivesPortCloseAndReopen()
    {
        Pty pty;
        QVERIFY(startOnPty(pty));
        startLog(path("capture.rcv"));
        QVERIFY(send(pty, {"first"}));
        f->portBar.SBOpenComm->click();
        QVERIFY(!f->connection->isOpen());
        QVERIFY(item()->isChecked());
        QVERIFY(!logPanel()->isHidden());
        f->portBar.SBOpenComm->click();
        QVERIFY(f->connection->isOpen());
        QVERIFY(send(pty, {"second", "third"}));
        QTRY_COMPARE_WITH_TIMEOUT(fileBytes(path("capture.rcv")), QByteArray("firstsecondthird"),
                                  3 * CaptureLogging::FlushMs);
        QCOMPARE(store().toByteArray(), QByteArray("firstsecondthird"));
    }

    void failedWriteStopsLogging()
    {
        Pty pty;
        QVERIFY(startOnPty(pty));
        startLog(path("capture.rcv"));
        QVERIFY(send(pty, {"kept "}));
        QTRY_COMPARE_WITH_TIMEOUT(fileBytes(path("capture.rcv")), QByteArray("kept "), 3 * CaptureLogging::FlushMs);
        {
            FileSizeLimit limit(100);
            QVERIFY(send(pty, {QByteArray(300, 'x')}));
            QTRY_COMPARE_WITH_TIMEOUT(fx.prompts.errors.size(), 1, 3 * CaptureLogging::FlushMs);
        }
        const QString error = fx.prompts.errors.constFirst();
        QVERIFY2(error.startsWith(QDir::toNativeSeparators(path("capture.rcv")) + ": "), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("остановлена")), qPrintable(error));
        QVERIFY(!item()->isChecked());
        QVERIFY(!f->captureLogging->isLogging());
        QVERIFY(logPanel()->isHidden());
        // What the file got is what arrived, up to where the disk refused.
        QCOMPARE(fileBytes(path("capture.rcv")), (QByteArray("kept ") + QByteArray(300, 'x')).left(100));
        // The capture and the port go on.
        QVERIFY(f->connection->isOpen());
        QVERIFY(send(pty, {"more"}));
        QCOMPARE(store().toByteArray(), QByteArray("kept ") + QByteArray(300, 'x') + "more");
        QTest::qWait(CaptureLogging::FlushMs + 100);
        QCOMPARE(fx.prompts.errors.size(), 1);
        // And it can be started again.
        startLog(path("again.rcv"));
        QVERIFY(item()->isChecked());
        QVERIFY(send(pty, {"again"}));
        QTRY_COMPARE_WITH_TIMEOUT(fileBytes(path("again.rcv")), QByteArray("again"), 3 * CaptureLogging::FlushMs);
    }

    // The store refuses bytes (its temporary file cannot be made): the user
    // hears once, the port stays open, the log keeps everything.
    void storeFullIsToldOnceAndLoggingGoesOn()
    {
        fx.start(true);
        f = fx.f;
        ReceiveTableModel *model = f->receivePath->model();
        model->store() = ByteStore(ByteStore::ChunkSize, path("no such directory"));
        startLog(path("capture.rcv"));
        QByteArray sent;
        for (int i = 0; i < 12; ++i) {
            const QByteArray step(int(ReceivePath::ReceiveBufferSize), char('a' + i));
            fx.port->inject(step);
            f->receivePath->receiveStep();
            sent += step;
        }
        QVERIFY(store().hasStopped());
        QVERIFY(store().size() < sent.size());
        QCOMPARE(store().toByteArray(), sent.left(store().size()));
        QTRY_COMPARE(fx.prompts.messages.size(), 1);
        QTest::qWait(50);
        QCOMPARE(fx.prompts.messages.size(), 1);
        QVERIFY(fx.prompts.informativeTexts.constFirst().contains(QStringLiteral("продолжается")));
        QVERIFY(f->portBar.SBOpenComm->down());
        QVERIFY(item()->isChecked());
        f->captureLogging->flush();
        QCOMPARE(fileBytes(path("capture.rcv")), sent);
        QVERIFY(fx.prompts.errors.isEmpty());
    }
};

QTEST_MAIN(TstCaptureLogging)
#include "tst_capturelogging.moc"
