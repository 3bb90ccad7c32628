#include "app/formmain.h"
#include "app/program.h"
#include "app/settingsfiles.h"
#include "app/settingsstore.h"
#include "app/widgets.h"
#include "serial/formtext.h"
#include "serial/portsetup.h"
#include "tables/commandgridview.h"
#include "tables/gridmodel.h"
#include "tables/textfile.h"
#include "support/fakeserialport.h"
#include "support/recordingprompts.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TstSettingsStore : public QObject
{
    Q_OBJECT
    RecordingPrompts m_prompts;
    std::unique_ptr<QTemporaryDir> m_dir;
    TFormMain *f = nullptr;

    QString file(const QString &name) const { return m_dir->filePath(name); }

    void start()
    {
        startProgram();
        f = formMain();
        QVERIFY(QTest::qWaitForWindowExposed(f));
    }
    void closeMain()
    {
        f->close();
        QVERIFY(!f->isVisible());
    }

private slots:
    void initTestCase() { FakeSerialPort::install(); }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(m_dir->path());
        m_prompts.errors.clear();
        m_prompts.questions.clear();
        m_prompts.answerYes = true;
    }

    void firstStartInEmptyDirectory()
    {
        start();
        QTRY_COMPARE(f->windowTitle(),
                     QStringLiteral("Транслятор портов: COM1; 9600 бод; размер символа - 8 бит; паритет - no; стоп-битов - 1"));
        closeMain();
        QCOMPARE(QFileInfo(file("varnel.set")).size(), 16);
        QCOMPARE(QFileInfo(file("varnel.sen")).size(), 48);
        QVERIFY(QFileInfo::exists(file("varnel.str")));
        QVERIFY(QFileInfo::exists(file("varnel.trn")));
        QVERIFY(m_prompts.errors.isEmpty());
    }

    void portRecordRestores()
    {
        PortSettings s;
        s.PortName = "COM3";
        s.BaudRate = 19200;
        s.ByteSize = 7;
        s.Parity = 2;
        s.StopBits = 2;
        writeBytes(file("varnel.set"), EncodePortSettingsRecord(s));
        start();
        QCOMPARE(f->portSetup->settings, s);
        QTRY_COMPARE(f->windowTitle(), QStringLiteral("Транслятор портов: COM3; 19200 бод; размер символа - 7 бит; "
                                                      "паритет - even; стоп-битов - 2"));
    }

    void longPortNameRoundTrips_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("COM10") << "COM10";
        QTest::newRow("ttyUSB0") << "ttyUSB0";
        QTest::newRow("path") << "/dev/serial/by-id/usb-x";
        QTest::newRow("short") << "COM2";
    }
    void longPortNameRoundTrips()
    {
        QFETCH(QString, name);
        start();
        f->portSetup->settings.PortName = name;
        closeMain();
        // The record itself keeps its fixed four characters.
        QCOMPARE(DecodePortSettingsRecord(readBytes(file("varnel.set")))->PortName, name.left(4));
        start();
        QCOMPARE(f->portSetup->settings.PortName, name);
    }

    void fullNameIgnoredWhenRecordDisagrees()
    {
        start();
        f->portSetup->settings.PortName = "ttyUSB0";
        closeMain();
        PortSettings other;
        other.PortName = "COM5";
        writeBytes(file("varnel.set"), EncodePortSettingsRecord(other));
        start();
        QCOMPARE(f->portSetup->settings.PortName, QStringLiteral("COM5"));
    }

    void stringsFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("divider");
        QTest::addColumn<int>("pulses");
        QTest::addColumn<int>("pauses");
        const QByteArray head = QByteArray("l1\r\n").repeated(10) + "code\r\nname\r\n";
        QTest::newRow("N=0") << head + "0\r\n3\r\n7\r\n9\r\n" << 2 << 3 << 7 << 9;
        QTest::newRow("count not a number") << head + "x\r\n4\r\n70000\r\n0\r\n" << 2 << 4 << 65535 << 1;
        QTest::newRow("two commands") << head + "2\r\nA\r\n$41\r\nB\r\n42\r\n2\r\n5\r\n6\r\n" << 3 << 2 << 5 << 6;
        QTest::newRow("divider 9") << head + "0\r\n9\r\n1\r\n1\r\n" << 2 << 5 << 1 << 1;
        QTest::newRow("divider 0") << head + "0\r\n0\r\n1\r\n1\r\n" << 2 << 1 << 1 << 1;
        QTest::newRow("empty file") << QByteArray() << 2 << 5 << 1 << 1;
        QTest::newRow("huge count") << head + "2147483647\r\n2\r\n3\r\n4\r\n" << 2 << 2 << 3 << 4;
    }
    void stringsFile()
    {
        QFETCH(QByteArray, content);
        writeBytes(file("varnel.str"), content);
        start();
        QTEST(f->SGTransStr->grid()->rowCount(), "rows");
        QTEST(f->SEDivider->value(), "divider");
        QTEST(f->SEQPulseInPaket->value(), "pulses");
        QTEST(f->SEQPauseInPaket->value(), "pauses");
        QCOMPARE(f->SGTransStr->grid()->cell(0, 1), QStringLiteral("1"));
        if (content.isEmpty()) {
            QCOMPARE(f->EditString->text(), QString());
            QCOMPARE(f->LEString->text(), QString());
            QCOMPARE(f->LEStringLabel->text(), QString());
        } else {
            QCOMPARE(f->EditString10->text(), QStringLiteral("l1"));
            QCOMPARE(f->LEString->text(), QStringLiteral("code"));
            QCOMPARE(f->LEStringLabel->text(), QStringLiteral("name"));
        }
        if (f->SGTransStr->grid()->rowCount() == 3) {
            QCOMPARE(f->SGTransStr->grid()->cell(2, 1), QStringLiteral("$41"));
            QCOMPARE(f->SGTransStr->grid()->cell(0, 2), QStringLiteral("2"));
        }
    }

    void viewSettingsRoundTrip()
    {
        start();
        f->ChBCR->setChecked(true);
        f->ChBShowRecTable->setChecked(false);
        f->SELengthPulse->setValue(-5);
        f->SELengthPause->setValue(70000);
        f->SECountPulse->setValue(12);
        f->move(40, 50);
        f->resize(900, 720);
        f->EditString7->setText("ПРИВЕТ $0D");
        closeMain();
        const ViewSettings v = *DecodeViewSettingsRecord(readBytes(file("varnel.sen")));
        QCOMPARE(v.mainWidth, 908);
        QCOMPARE(v.mainHeight, 747);
        start();
        QVERIFY(f->ChBCR->isChecked());
        QVERIFY(!f->ChBShowRecTable->isChecked());
        QCOMPARE(f->SELengthPulse->value(), -5);
        QCOMPARE(f->SELengthPause->value(), 70000);
        QCOMPARE(f->SECountPulse->value(), 12);
        QCOMPARE(f->size(), QSize(900, 720));
        QCOMPARE(f->EditString7->text(), QStringLiteral("ПРИВЕТ $0D"));
    }

    void asciiRestoredEnablesLines()
    {
        ViewSettings v;
        v.asciiEntry = true;
        v.mainWidth = 866;
        v.mainHeight = 727;
        v.mainLeft = 10;
        v.mainTop = 10;
        writeBytes(file("varnel.sen"), EncodeViewSettingsRecord(v));
        start();
        QVERIFY(f->CheckBoxASCII->isChecked());
        for (QLineEdit *e : {f->EditString, f->EditString3, f->EditString6, f->EditString10})
            QVERIFY2(e->isEnabled(), qPrintable(e->objectName()));
    }

    void textWindowShownWhenSavedOn()
    {
        ViewSettings v;
        v.textWindowOn = true;
        v.mainWidth = 866;
        v.mainHeight = 727;
        v.textLeft = 20;
        v.textTop = 30;
        v.textWidth = 508;
        v.textHeight = 227;
        writeBytes(file("varnel.sen"), EncodeViewSettingsRecord(v));
        start();
        QVERIFY(f->SBShowText->isChecked());
        QTRY_VERIFY(formText()->isVisible());
        QCOMPARE(formText()->size(), QSize(500, 200));
    }

    void offScreenGeometryComesBack()
    {
        ViewSettings v;
        v.mainLeft = -50000;
        v.mainTop = 90000;
        v.mainWidth = 866;
        v.mainHeight = 727;
        writeBytes(file("varnel.sen"), EncodeViewSettingsRecord(v));
        start();
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(avail.intersects(f->geometry()), qPrintable(QString("%1,%2").arg(f->x()).arg(f->y())));
        // absurd sizes are brought down too
        v.mainLeft = 0;
        v.mainTop = 0;
        v.mainWidth = 2000000000;
        v.mainHeight = 2000000000;
        writeBytes(file("varnel.sen"), EncodeViewSettingsRecord(v));
        start();
        QVERIFY(f->width() < 100000);
    }

    void shortRecordReportedAndRestSkipped()
    {
        writeBytes(file("varnel.set"), QByteArray(10, 'x'));
        writeBytes(file("varnel.str"), QByteArray("hello\r\n"));
        start();
        QCOMPARE(m_prompts.errors.size(), 1);
        QCOMPARE(f->portSetup->settings, PortSettings{});
        QCOMPARE(f->EditString->text(), QString()); // later steps skipped
    }

    void settingsDirCapturedOnce()
    {
        start();
        const QString first = QDir::currentPath();
        QTemporaryDir other;
        QDir::setCurrent(other.path());
        closeMain();
        QVERIFY(QFileInfo::exists(QDir(first).filePath("varnel.set")));
        QVERIFY(!QFileInfo::exists(other.filePath("varnel.set")));
    }

    void unwritableDirectoryAsksBeforeClosing()
    {
        start();
        QTemporaryDir doomed;
        f->settingsStore->SettingsDir = doomed.path() + "/gone";
        m_prompts.answerYes = false;
        f->close();
        QCOMPARE(m_prompts.errors.size(), 1);
        QCOMPARE(m_prompts.questions, QStringList{QStringLiteral("Закрыть программу без сохранения настроек?")});
        QVERIFY(f->isVisible());
        m_prompts.answerYes = true;
        f->close();
        QVERIFY(!f->isVisible());
    }
};

QTEST_MAIN(TstSettingsStore)
#include "tst_settingsstore.moc"
