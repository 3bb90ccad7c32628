#include "support/unitrig.h"
#include "core/hdlc.h"
#include "units/framebuilder.h"
#include "units/generatorpanel.h"

#include <QPushButton>
#include <QTest>

// The buttons that make frames: the generator's, sent as they are made, and
// HDLC, which rewrites the transmit table. The frames themselves are tst_bytetext's.
class TstFrameButtons : public QObject
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
    // stays untouched. Values past 16 or 8 bits are tst_bytetext's.
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

    // The HDLC button rewrites the transmit table in place, from the cells
    // as the user left them: read by the Hex rule, never normalised; the
    // ASCII row is not read. TransmitArray stays.
    void hdlcRewritesTable()
    {
        TransmitTable *t = &rig->table;
        const QStringList cells{"1", "2", "103"};
        rig->transmitBar.SESizeTrans->setValue(int(cells.size()));
        for (int i = 0; i < cells.size(); ++i) {
            t->model()->setHexText(i + 1, cells[i]);
            t->model()->setAsciiText(i + 1, "Ж");
        }
        t->TransmitArray = "kept";
        FrameBuilder(&rig->table).SBMakeFrameHDLCClick();
        const QByteArray frame = QByteArray::fromHex("7E0102032091 7E");
        QCOMPARE(t->tableBytes(), frame);
        QCOMPARE(t->model()->asciiText(1) + t->model()->numberText(int(frame.size())), "~" + QString::number(frame.size()));
        QCOMPARE(rig->transmitBar.SESizeTrans->value(), int(frame.size()));
        QCOMPARE(t->TransmitArray, QByteArray("kept"));
        QVERIFY(rig->port->calls.isEmpty());
    }

    // A table past what the size field counts is framed whole.
    void hdlcOfALargeTable()
    {
        const QByteArray data(10000, '\x7E');
        rig->table.showBytes(data);
        FrameBuilder(&rig->table).SBMakeFrameHDLCClick();
        QCOMPARE(rig->table.tableBytes(), BuildHdlcFrame(data));
        QCOMPARE(rig->transmitBar.SESizeTrans->value(), 8192);
    }
};

QTEST_MAIN(TstFrameButtons)
#include "tst_framebuttons.moc"
