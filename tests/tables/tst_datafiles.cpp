#include "app/formmain.h"
#include "app/program.h"
#include "app/widgets.h"
#include "serial/formtext.h"
#include "serial/receivepath.h"
#include "serial/receivedtextview.h"
#include "support/programfixture.h"
#include "support/fakeserialport.h"
#include "support/filesizelimit.h"
#include "support/recordingprompts.h"
#include "tables/datafiles.h"
#include "tables/receivetablemodel.h"
#include "tables/transmittable.h"
#include "tables/transmittablemodel.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Byte files into and out of both tables through the menu items and buttons.
class TstDataFiles : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<QTemporaryDir> m_files; // a fresh one for each test
    RecordingPrompts m_prompts;
    TFormMain *f = nullptr;
    TransmitTableModel *tm = nullptr;
    ReceiveTableModel *rm = nullptr;

    QString path(const QString &name) const
    {
        return QDir::isAbsolutePath(name) ? name : m_files->filePath(name);
    }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QByteArray readFile(const QString &name)
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QByteArray transmitBytes() const { return f->transmitTable->tableBytes(); }
    QByteArray receiveCells() const
    {
        // What the receive table shows, read back through its Hex row.
        QByteArray out;
        for (int c = 1; c < rm->columnCount(); ++c)
            out += char(rm->index(ReceiveTableModel::HexRow, c).data().toString().toInt(nullptr, 16));
        return out;
    }

    void setTransmitTable(const QByteArray &bytes)
    {
        f->SESizeTrans->setValue(int(bytes.size()));
        for (int c = 1; c <= bytes.size(); ++c)
            tm->setHexText(c, QString::number(quint8(bytes[c - 1]), 16));
    }

    void receive(const QByteArray &bytes)
    {
        if (!f->SBOpenComm->down())
            f->SBOpenComm->click();
        FakeSerialPort::last->inject(bytes);
        QTRY_COMPARE(rm->bytes().right(bytes.size()), bytes);
    }

    // Both tables and everything a load may touch, to see that nothing changed.
    struct Snapshot {
        QByteArray transmit, transmitArray, receive, receiveCells;
        int size;
        qint64 receivedCount;
        QString counters, text;
        bool operator==(const Snapshot &) const = default;
    };
    Snapshot snapshot() const
    {
        return {transmitBytes(), f->transmitTable->TransmitArray, rm->bytes(), receiveCells(),
                f->SESizeTrans->value(), f->receivePath->ReceivedCount, f->StatusPanel2->text(),
                formText()->Memo1->property("plainText").toString()};
    }

    void clearPrompts()
    {
        for (QStringList *l : {&m_prompts.messages, &m_prompts.errors, &m_prompts.dialogs, &m_prompts.fileNames})
            l->clear();
    }

private slots:
    void initTestCase()
    {
        QDir::setCurrent(m_dir.path());
        FakeSerialPort::install();
    }
    void init()
    {
        m_files = std::make_unique<QTemporaryDir>();
        startFreshProgram();
        f = formMain();
        tm = f->transmitTable->model();
        rm = f->receivePath->model();
        clearPrompts();
    }

    void transmitToReceive()
    {
        setTransmitTable("\x01\x02\x03");
        tm->setHexText(2, "zz"); // not hexadecimal: saved as 00
        m_prompts.fileNames = {path("t.rcv")};
        f->SpeedButton1->click();
        QCOMPARE(readFile("t.rcv"), QByteArray("\x01\x00\x03", 3));
        QCOMPARE(f->transmitTable->TransmitArray, QByteArray("\x01\x00\x03", 3));

        f->SBShowText->click();
        receive("xy");
        const QString counters = f->StatusPanel2->text();
        const QString text = formText()->Memo1->property("plainText").toString();
        QCOMPARE(text, QStringLiteral("xy"));
        m_prompts.fileNames = {path("t.rcv")};
        f->SBOpen->click();
        QCOMPARE(f->receivePath->ReceivedCount, 2);
        QCOMPARE(formText()->Memo1->property("plainText").toString(), text);
        QCOMPARE(rm->bytes(), QByteArray("\x01\x00\x03", 3));
        QCOMPARE(rm->index(ReceiveTableModel::HexRow, 2).data().toString(), QStringLiteral("00"));
        QCOMPARE(rm->index(ReceiveTableModel::NumberRow, 3).data().toString(), QStringLiteral("3"));
        QCOMPARE(rm->columnCount(), 4);
        QCOMPARE(f->StatusPanel2->text(), counters);
        // Bytes received later follow the loaded ones.
        receive("z");
        QCOMPARE(rm->bytes(), QByteArray("\x01\x00\x03z", 4));
        QCOMPARE(m_prompts.dialogs, (QStringList{"SaveDialog", "OpenDialog"}));
        QVERIFY(m_prompts.errors.isEmpty());
    }

    void receiveToTransmit()
    {
        receive(QByteArray("\x00\x41\xFF", 3));
        m_prompts.fileNames = {path("r.rcv")};
        f->N2->trigger();
        QCOMPARE(readFile("r.rcv"), QByteArray("\x00\x41\xFF", 3));

        f->transmitTable->TransmitCount = 7;
        m_prompts.fileNames = {path("r.rcv")};
        f->miOpenTrans->trigger();
        QCOMPARE(transmitBytes(), QByteArray("\x00\x41\xFF", 3));
        QCOMPARE(tm->hexText(1), QStringLiteral("00"));
        QCOMPARE(tm->asciiText(2), QStringLiteral("A"));
        QCOMPARE(tm->numberText(3), QStringLiteral("3"));
        QCOMPARE(f->SESizeTrans->value(), 3);
        QCOMPARE(f->transmitTable->TransmitArray, QByteArray("\x00\x41\xFF", 3));
        QCOMPARE(f->transmitTable->TransmitCount, 7);
        QCOMPARE(m_prompts.dialogs, (QStringList{"SaveDialog", "OpenDialog"}));
    }

    void largeFileIntoTransmitTable()
    {
        QByteArray bytes(10000, Qt::Uninitialized);
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7);
        writeFile("big.rcv", bytes);
        QVERIFY(f->dataFiles->LoadTransmitFile(path("big.rcv")));
        QCOMPARE(tm->dataColumnCount(), 10000);
        QCOMPARE(f->SESizeTrans->value(), 8192);
        QCOMPARE(transmitBytes(), bytes);
        QCOMPARE(tm->numberText(10000), QStringLiteral("10000"));
        // And it goes out whole again.
        QVERIFY(f->dataFiles->SaveTransmitFile(path("big2.rcv")));
        QCOMPARE(readFile("big2.rcv"), bytes);
    }

    void saveAfterClearWritesTheTable()
    {
        setTransmitTable("\x11\x22");
        f->SBClearTrans->click();
        QVERIFY(f->transmitTable->TransmitArray.isEmpty());
        tm->setHexText(1, "5A");
        m_prompts.fileNames = {path("cleared.rcv")};
        f->miSaveTrans->trigger();
        QCOMPARE(readFile("cleared.rcv"), QByteArray("\x5A"));
    }

    void emptyReceiveTableWritesNothing()
    {
        writeFile("old.rcv", "old");
        m_prompts.fileNames = {path("old.rcv")};
        f->SBSave->click();
        QCOMPARE(readFile("old.rcv"), QByteArray("old"));
        QVERIFY(m_prompts.errors.isEmpty());
    }

    void cancelDoesNothing()
    {
        const Snapshot before = snapshot();
        for (SpeedButton *b : {f->SBOpen, f->SBSave, f->SpeedButton2, f->SpeedButton1})
            b->click();
        QCOMPARE(m_prompts.dialogs, (QStringList{"OpenDialog", "SaveDialog", "OpenDialog", "SaveDialog"}));
        QVERIFY(snapshot() == before);
        QCOMPARE(QDir(m_files->path()).entryList(QDir::Files), QStringList());
    }

    void loadsThatChangeNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("transmitError"); // the receive table reports every failure
        QTest::newRow("empty file") << "empty.rcv" << false;
        QTest::newRow("missing file") << "missing.rcv" << false;
        QTest::newRow("directory") << "dir.rcv" << true;
        QTest::newRow("read error") << "/proc/self/mem" << true;
    }
    void loadsThatChangeNothing()
    {
        QFETCH(QString, name);
        QFETCH(bool, transmitError);
        writeFile("empty.rcv", {});
        QDir(m_files->path()).mkdir("dir.rcv");
        setTransmitTable("\x11\x22\x33");
        receive("abc");
        const Snapshot before = snapshot();
        const bool emptyFile = name == u"empty.rcv";

        m_prompts.fileNames = {path(name), path(name)};
        f->SpeedButton2->click();
        QCOMPARE(m_prompts.errors.size(), transmitError ? 1 : 0);
        QCOMPARE(f->dataFiles->LoadTransmitFile(path(name)), !transmitError);
        f->SBOpen->click();
        QCOMPARE(m_prompts.errors.size(), (transmitError ? 2 : 0) + (emptyFile ? 0 : 1));
        for (const QString &e : m_prompts.errors)
            QVERIFY2(!e.isEmpty(), "the system's text");
        QVERIFY(snapshot() == before);
    }

    void readOnlyFileLoads()
    {
        writeFile("ro.rcv", "\x01\x02");
        QVERIFY(QFile::setPermissions(path("ro.rcv"), QFileDevice::ReadOwner | QFileDevice::ReadGroup
                                                          | QFileDevice::ReadOther));
        m_prompts.fileNames = {path("ro.rcv"), path("ro.rcv")};
        f->miOpenTrans->trigger();
        f->Open1->trigger();
        QCOMPARE(transmitBytes(), QByteArray("\x01\x02"));
        QCOMPARE(rm->bytes(), QByteArray("\x01\x02"));
        QVERIFY(m_prompts.errors.isEmpty());
    }

    void failedSaveKeepsTheOldFile()
    {
        writeFile("keep.rcv", "old");
        setTransmitTable(QByteArray(3000, '\x42'));
        receive(QByteArray(3000, 'r'));
        {
            const FileSizeLimit limit(1000);
            QVERIFY(!f->dataFiles->SaveTransmitFile(path("keep.rcv")));
            m_prompts.fileNames = {path("keep.rcv")};
            f->N2->trigger();
        }
        QCOMPARE(m_prompts.errors.size(), 2);
        QVERIFY(!m_prompts.errors[0].isEmpty());
        QCOMPARE(readFile("keep.rcv"), QByteArray("old"));
        // No temporary file left behind either.
        QCOMPARE(QDir(m_files->path()).entryList(QDir::Files), QStringList{"keep.rcv"});

        QVERIFY(!f->dataFiles->SaveTransmitFile(path("no/such/dir/x.rcv")));
        QCOMPARE(m_prompts.errors.size(), 3);
    }
};

QTEST_MAIN(TstDataFiles)
#include "tst_datafiles.moc"
