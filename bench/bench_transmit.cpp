// Transmit table at 10,000,000 bytes (load, scroll to the end, edit a cell,
// read it for sending, insert and delete a byte) and an 8192-byte table sent
// to a pseudo-terminal through the real port backend.

#include "app/formmain.h"
#include "rawpty.h"
#include "app/program.h"
#include "ui/widgets.h"
#include "units/portsetup.h"
#include "units/transmitpath.h"
#include "ui/bytetableview.h"
#include "units/transmittable.h"
#include "core/transmittablemodel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void settle(ByteTableView *view)
{
    view->viewport()->repaint();
    QCoreApplication::processEvents();
}

void report(const char *what, double ms)
{
    std::printf("%-44s %10.2f ms\n", what, ms);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    startProgram();
    TFormMain *f = formMain();
    ByteTableView *view = f->transmitBar.SGTrans;
    TransmitTable *table = f->transmitTable;
    TransmitTableModel *model = table->model();
    QCoreApplication::processEvents();

    const int n = 10'000'000;
    QByteArray bytes(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        bytes[i] = char(i * 7 + (i >> 8));

    QElapsedTimer t;
    t.start();
    table->showBytes(bytes);
    settle(view);
    report("load 10,000,000 bytes into the table", msSince(t));

    t.start();
    view->scrollToColumn(n);
    settle(view);
    report("scroll to the end", msSince(t));
    if (!view->isShowingEnd())
        std::printf("  (the end is not in view!)\n");

    // Type into the last Hex cell through the in-place editor.
    const QModelIndex last = model->index(1, n);
    view->setCurrentIndex(last);
    t.start();
    view->edit(last);
    auto *editor = qobject_cast<QLineEdit *>(view->indexWidget(last));
    settle(view);
    report("open the editor on the last cell", msSince(t));
    double worst = 0, total = 0;
    const QString keys = QStringLiteral("4142");
    for (QChar k : keys) {
        QKeyEvent press(QEvent::KeyPress, k.unicode(), Qt::NoModifier, QString(k));
        t.start();
        QApplication::sendEvent(editor, &press);
        settle(view);
        const double ms = msSince(t);
        worst = qMax(worst, ms);
        total += ms;
    }
    report("keystroke in that cell (mean)", total / keys.size());
    report("keystroke in that cell (worst)", worst);
    if (model->asciiText(n) != QStringLiteral("B"))
        std::printf("  (companion cell not updated: %s)\n", qPrintable(model->asciiText(n)));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    settle(view);

    t.start();
    table->readTableIntoTransmitArray();
    report("read the table into TransmitArray", msSince(t));

    view->setCurrentIndex(model->index(1, 1));
    t.start();
    f->mainMenu.miInsertbyte->trigger();
    settle(view);
    report("insert a byte at column 1 (menu)", msSince(t));
    t.start();
    f->mainMenu.miDeletebyte->trigger();
    settle(view);
    report("delete a byte at column 1 (menu)", msSince(t));
    if (table->tableBytes().size() != n)
        std::printf("  (table length changed: %lld)\n", qlonglong(table->tableBytes().size()));

    t.start();
    view->scrollToColumn(1);
    settle(view);
    report("scroll back to the start", msSince(t));

    // 8192 bytes to a pty, one write call per byte.
    RawPty pty;
    if (!pty.open()) {
        std::printf("no pty\n");
        return 0;
    }
    const int master = pty.master, slave = pty.slave;
    std::atomic<int> received{0};
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        char buf[65536];
        while (!stop) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) {
                const ssize_t r = ::read(master, buf, sizeof buf);
                if (r > 0)
                    received += int(r);
            }
        }
    });
    f->portSetup->settings.PortName = pty.path;
    f->portBar.SBOpenComm->click();
    if (!f->portBar.SBOpenComm->down()) {
        std::printf("could not open %s\n", qPrintable(pty.path));
    } else {
        table->showBytes(QByteArray(8192, 'U'));
        QElapsedTimer wait;
        t.start();
        f->transmitPath->SBTransClick();
        const double written = msSince(t);
        wait.start();
        while (received < 8192 && wait.elapsed() < 10000)
            QThread::msleep(1);
        report("send an 8192-byte table to a pty (written)", written);
        report("  ... until all of it arrived", msSince(t));
        std::printf("%-44s %10.2f us\n", "  per byte", written * 1000.0 / 8192);
        std::printf("  arrived %d bytes; status \"%s\"\n", int(received), qPrintable(f->statusPanels.StatusPanel1->text()));
        f->portBar.SBOpenComm->click();
    }
    stop = true;
    reader.join();
    ::close(master);
    ::close(slave);
    return 0;
}
