#include "core/bytefile.h"
#include "core/receivetablemodel.h"
#include "core/transmittablemodel.h"
#include "support/programfixture.h"
#include "ui/formtext.h"
#include "ui/receivedtextview.h"
#include "units/datafiles.h"
#include "units/receivepath.h"
#include "units/transmittable.h"

#include <QTest>

// Byte files into and out of both tables through the menu items and buttons;
// reading and writing themselves are tst_bytefile's.
class TstDataFiles : public QObject
{
    Q_OBJECT
    ProgramFixture fx;
    TFormMain *f = nullptr;
    TransmitTable *t = nullptr;
    ReceiveTableModel *rm = nullptr;

    QString path(const QString &name) const { return QDir::isAbsolutePath(name) ? name : fx.dir.filePath(name); }
    QByteArray readFile(const QString &name) const
    {
        QByteArray bytes;
        return ReadByteFile(path(name), &bytes, nullptr) ? bytes : QByteArray("<missing>");
    }
    void receive(const QByteArray &bytes)
    {
        if (!f->portBar.SBOpenComm->down())
            f->portBar.SBOpenComm->click();
        fx.port->inject(bytes);
        QTRY_COMPARE(rm->bytes().right(bytes.size()), bytes);
    }
    // Both tables and everything a load may touch.
    QVariantList snapshot() const
    {
        return {t->tableBytes(), t->TransmitArray, rm->bytes(), f->transmitBar.SESizeTrans->value(), f->receivePath->ReceivedCount,
                f->statusPanels.StatusPanel2->text(), formText()->Memo1->property("plainText")};
    }

private slots:
    void init()
    {
        fx.start();
        fx.prompts.fileNames.clear();
        f = fx.f;
        t = f->transmitTable;
        rm = f->receivePath->model();
    }

    // Each table's file loads into the other. A load into the receive table
    // leaves the count, the counters and the text window as they were, and
    // bytes received later follow; a load into the transmit table sizes the
    // field and leaves TransmitCount alone. Read-only files load.
    void eachTableLoadsTheOthersFile()
    {
        receive(QByteArray("\x00\x41\xFF", 3));
        fx.prompts.fileNames = {path("r.rcv"), path("r.rcv"), path("t.rcv"), path("t.rcv")};
        f->mainMenu.N2->trigger();
        QVERIFY(QFile::setPermissions(path("r.rcv"), QFileDevice::ReadOwner));
        t->TransmitCount = 7;
        f->mainMenu.miOpenTrans->trigger();
        QCOMPARE(t->tableBytes(), QByteArray("\x00\x41\xFF", 3));
        QCOMPARE(t->TransmitArray, QByteArray("\x00\x41\xFF", 3));
        QCOMPARE(f->transmitBar.SESizeTrans->value(), 3);
        QCOMPARE(t->TransmitCount, 7);

        t->loadBytes(QByteArray("\x01\x00\x03", 3));
        f->transmitBar.SpeedButton1->click();
        f->portBar.SBShowText->click();
        receive("xy");
        QVariantList before = snapshot();
        f->portBar.SBOpen->click();
        before[2] = QByteArray("\x01\x00\x03", 3);
        QCOMPARE(snapshot(), before);
        receive("z");
        QCOMPARE(rm->bytes(), QByteArray("\x01\x00\x03z", 4));
        QVERIFY(fx.prompts.errors.isEmpty());

        // A table past what the size field counts goes out whole.
        QVERIFY(WriteByteFile(path("big.rcv"), QByteArray(10000, 'b'), nullptr));
        QVERIFY(f->dataFiles->LoadTransmitFile(path("big.rcv")) && f->dataFiles->SaveTransmitFile(path("big2.rcv")));
        QCOMPARE(readFile("big2.rcv"), QByteArray(10000, 'b'));
    }

    // The table is saved even when TransmitArray is empty, as after a clear;
    // an empty receive table writes nothing.
    void savesOfClearedTables()
    {
        f->transmitBar.SBClearTrans->click();
        QVERIFY(t->TransmitArray.isEmpty());
        t->model()->setHexText(1, "5A");
        QVERIFY(WriteByteFile(path("old.rcv"), "old", nullptr));
        fx.prompts.fileNames = {path("cleared.rcv"), path("old.rcv")};
        f->mainMenu.miSaveTrans->trigger();
        f->portBar.SBSave->click();
        QCOMPARE(readFile("cleared.rcv"), QByteArray("\x5A"));
        QCOMPARE(readFile("old.rcv"), QByteArray("old"));
        QVERIFY(fx.prompts.errors.isEmpty());
    }

    // Nothing changes when a load is cancelled, finds an empty or missing file,
    // or fails reading; the receive table reports a missing file as well.
    void loadsThatChangeNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("transmitErrors");
        QTest::addColumn<int>("receiveErrors");
        QTest::newRow("cancelled") << "" << 0 << 0;
        QTest::newRow("empty file") << "empty.rcv" << 0 << 0;
        QTest::newRow("missing file") << "missing.rcv" << 0 << 1;
        QTest::newRow("read error") << "/proc/self/mem" << 1 << 1;
    }
    void loadsThatChangeNothing()
    {
        QFETCH(QString, name);
        QFETCH(int, transmitErrors);
        QVERIFY(WriteByteFile(path("empty.rcv"), {}, nullptr));
        t->loadBytes("\x11\x22\x33");
        receive("abc");
        const QVariantList before = snapshot();
        if (!name.isEmpty())
            fx.prompts.fileNames = {path(name), path(name)};
        f->transmitBar.SpeedButton2->click();
        QCOMPARE(fx.prompts.errors.size(), transmitErrors);
        f->portBar.SBOpen->click();
        QTEST(int(fx.prompts.errors.size()) - transmitErrors, "receiveErrors");
        QVERIFY2(!fx.prompts.errors.contains(QString()), "the system's text");
        QCOMPARE(snapshot(), before);
    }
};

QTEST_MAIN(TstDataFiles)
#include "tst_datafiles.moc"
