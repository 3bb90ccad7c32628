// Large data at the program's limits: saving a long capture (time and peak
// memory above the capture), opening the command grid's editor on long
// codes, and loading a large transmit table (time, memory per byte).
// Sizes in MiB may be given: bench_stress [capture] [transmit table].

#include "app/formmain.h"
#include "app/program.h"
#include "core/gridmodel.h"
#include "core/receivetablemodel.h"
#include "ui/commandgridview.h"
#include "ui/prompts.h"
#include "units/commandlist.h"
#include "units/datafiles.h"
#include "units/receivepath.h"
#include "units/transmittable.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The most memory the process has held at once, in MiB.
double peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;
}

// Memory held now, in MiB.
double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? double(fields[1].toLongLong()) * double(getpagesize()) / (1 << 20) : 0;
}

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

class BenchPrompts : public Prompts
{
public:
    void message(QWidget *, const QString &text) override { std::printf("message: %s\n", qPrintable(text)); }
    void error(QWidget *, const QString &text) override { std::printf("error: %s\n", qPrintable(text)); }
    bool question(QWidget *, const QString &) override { return true; }
    std::optional<QString> fileName(QWidget *, const FileDialogSpec &) override { return next; }
    QString next;
};

void benchSave(TFormMain *f, BenchPrompts &prompts, const QDir &dir, qint64 mib)
{
    QByteArray piece(1 << 20, Qt::Uninitialized);
    ReceiveTableModel *model = f->receivePath->model();
    model->clear();
    for (qint64 i = 0; i < mib; ++i) {
        piece.fill(char(i));
        model->appendHidden(piece.constData(), piece.size());
    }
    prompts.next = dir.filePath(QStringLiteral("capture.RCV"));
    const double before = peakMiB();
    QElapsedTimer t;
    t.start();
    f->dataFiles->N2Click();
    const double ms = msSince(t);
    std::printf("save a %lld MiB capture                     %10.1f ms, peak %+.1f MiB above the capture, file %lld MiB\n",
                mib, ms, peakMiB() - before, QFileInfo(prompts.next).size() >> 20);
    QFile::remove(prompts.next);
    model->clear();
}

void benchEditor(TFormMain *f, qint64 bytes)
{
    f->commandList->setCommands({{QStringLiteral("long"), QString(bytes, QLatin1Char('x'))}});
    CommandGridView *grid = f->commandsPane.SGTransStr;
    grid->setCurrentIndex(grid->model()->index(1, 1));
    grid->setFocus();
    QCoreApplication::processEvents();
    QElapsedTimer t;
    t.start();
    grid->setCurrentIndex(grid->model()->index(1, 2)); // opens the editor, as a click does
    grid->viewport()->repaint();
    QCoreApplication::processEvents();
    const double ms = msSince(t);
    // Any widget with a `text` property: the editor a long code gets need not be a QLineEdit.
    qint64 held = -1;
    for (QWidget *w : grid->viewport()->findChildren<QWidget *>())
        held = qMax<qint64>(held, w->property("text").toString().size());
    std::printf("open the code editor on %8lld characters     %10.1f ms, editor holds %lld\n", bytes, ms, held);
    grid->setCurrentIndex(grid->model()->index(1, 1));
    f->commandList->setCommands({});
    QCoreApplication::processEvents();
}

void benchTransmitLoad(TFormMain *f, const QDir &dir, qint64 mib)
{
    const QString path = dir.filePath(QStringLiteral("table.bin"));
    {
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        QByteArray piece(1 << 20, Qt::Uninitialized);
        for (qint64 i = 0; i < mib; ++i) {
            piece.fill(char(i));
            out.write(piece);
        }
    }
    const double before = residentMiB();
    QElapsedTimer t;
    t.start();
    f->dataFiles->LoadTransmitFile(path);
    QCoreApplication::processEvents();
    const double ms = msSince(t);
    std::printf("load a %lld MiB transmit table                %10.1f ms, %.2f bytes of memory per byte held after\n", mib,
                ms, (residentMiB() - before) / double(mib));
    QFile::remove(path);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 captureMiB = argc > 1 ? QByteArray(argv[1]).toLongLong() : 500;
    const qint64 tableMiB = argc > 2 ? QByteArray(argv[2]).toLongLong() : 256;
    QTemporaryDir tmp;
    QDir dir(tmp.path());
    QDir::setCurrent(dir.path());
    BenchPrompts prompts;
    setPrompts(&prompts);
    startProgram();
    TFormMain *f = formMain();
    f->show();
    QCoreApplication::processEvents();

    benchSave(f, prompts, dir, captureMiB);
    benchTransmitLoad(f, dir, tableMiB);
    benchEditor(f, 1 << 20);
    benchEditor(f, 50 << 20);
    setPrompts(nullptr);
    return 0;
}
