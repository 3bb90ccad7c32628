#include "support/unitrig.h"
#include "units/generatorpanel.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

// The generator buttons; the frames themselves are tst_frames'.
class TstGeneratorPanel : public QObject
{
    Q_OBJECT
    std::unique_ptr<UnitRig> rig;
    std::unique_ptr<GeneratorPanel> generator;

    // Pulse, count, pause, divider, packets, pulses and pauses per packet.
    void fill(const QList<int> &values)
    {
        const GeneratorControls &g = rig->generatorControls;
        const QList<SpinEdit *> fields{g.SELengthPulse, g.SECountPulse, g.SELengthPause, g.SEDivider,
                                       g.SENPaketov, g.SEQPulseInPaket, g.SEQPauseInPaket};
        for (int i = 0; i < values.size(); ++i)
            fields[i]->setValue(values[i]);
    }
    QPushButton *button(const QString &name) const { return rig->window.findChild<QPushButton *>(name); }

private slots:
    void init()
    {
        rig = std::make_unique<UnitRig>();
        generator = std::make_unique<GeneratorPanel>(rig->generatorControls, &rig->connection, &rig->table, &rig->path);
        const GeneratorControls &g = rig->generatorControls;
        for (auto [b, handler] : {std::pair{g.BBStartGen, &GeneratorPanel::BBStartGenClick},
                                  {g.BBNeprGener, &GeneratorPanel::BBNeprGenerClick},
                                  {g.BBNeprSDelit, &GeneratorPanel::BBNeprSDelitClick},
                                  {g.BBNPaketov, &GeneratorPanel::BBNPaketovClick},
                                  {g.BBPaketNepreryvno, &GeneratorPanel::BBPaketNepreryvnoClick},
                                  {g.BitBtnStopGen, &GeneratorPanel::BitBtnStopGenClick}})
            connect(b, &QPushButton::clicked, generator.get(), handler);
    }

    // Each button writes its frame, from the fields, as a send does; the table
    // stays untouched. Values past 16 or 8 bits are tst_frames'.
    void frames_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QList<int>>("fields");
        QTest::addColumn<QByteArray>("frame");
        const QList<int> timed{1000, 3, 500, 2}, packets{1000, 99, 500, 5, 10, 4, 2};
        QTest::newRow("start") << "BBStartGen" << timed << QByteArray::fromHex("FF17FC03000BFE");
        QTest::newRow("stop") << "BitBtnStopGen" << timed << QByteArray::fromHex("0017FC03000BFE");
        QTest::newRow("continuous") << "BBNeprGener" << timed << QByteArray::fromHex("FE17FC03000BFE");
        QTest::newRow("with divider") << "BBNeprSDelit" << timed << QByteArray::fromHex("FC17FC03000BFE02");
        QTest::newRow("packets") << "BBNPaketov" << packets << QByteArray::fromHex("FB17FC0A000BFE0504000200");
        QTest::newRow("packets continuously") << "BBPaketNepreryvno" << packets
                                              << QByteArray::fromHex("FA17FC0A000BFE0504000200");
    }
    void frames()
    {
        QFETCH(QString, button);
        QFETCH(QList<int>, fields);
        QFETCH(QByteArray, frame);
        rig->open();
        rig->table.showBytes("\x11\x22");
        fill(fields);
        this->button(button)->click();
        QCOMPARE(rig->port->written.toHex(' '), frame.toHex(' '));
        QCOMPARE(rig->table.TransmitArray, frame);
        QCOMPARE(rig->statusPanels.StatusPanel1->text(), QStringLiteral("Передано: %1 байт").arg(frame.size()));
        QCOMPARE(rig->table.tableBytes(), QByteArray("\x11\x22"));
    }

    // Sending nothing is not reported as a send.
    void failedOpenSendsNothing()
    {
        rig->port->nextOpenResult = SerialPort::OpenResult::OpenFailed;
        rig->generatorControls.BBNPaketov->click();
        QCOMPARE(rig->prompts.messages, QStringList{"Ошибка открытия порта"});
        QVERIFY(rig->port->written.isEmpty() && rig->statusPanels.StatusPanel1->text().isEmpty());
        QCOMPARE(rig->table.TransmitArray, QByteArray(1, '\0'));
    }

    // A bounded field takes a typed value back into range as the click moves
    // the focus to the button, before the click is handled; text that is no
    // number reads as the field's lower bound.
    void typedValueClampedBeforeClick_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("shown");
        QTest::newRow("divider 9") << "SEDivider" << "9" << "BBNeprSDelit" << QByteArray::fromHex("FCFFFF0000FFFF05") << "5";
        QTest::newRow("unbounded emptied") << "SECountPulse" << "" << "BBStartGen" << QByteArray::fromHex("FFFFFF0000FFFF") << "0";
    }
    void typedValueClampedBeforeClick()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        rig->open();
        QApplication::setActiveWindow(&rig->window);
        QVERIFY(QTest::qWaitForWindowActive(&rig->window));
        auto *spin = rig->window.findChild<SpinEdit *>(field);
        spin->setFocus();
        QTRY_VERIFY(spin->hasFocus());
        spin->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(spin, Qt::Key_Backspace);
        else
            QTest::keyClicks(spin, typed); // replaces the selection where the field accepts the text
        rig->port->clearLog();
        QTest::mouseClick(this->button(button), Qt::LeftButton);
        QVERIFY(!spin->hasFocus());
        QTEST(rig->port->written, "frame");
        QTEST(spin->text(), "shown");
    }
};

QTEST_MAIN(TstGeneratorPanel)
#include "tst_generatorpanel.moc"
