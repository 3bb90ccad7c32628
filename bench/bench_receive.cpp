// The receive path under load: a writer thread feeds a pseudo-terminal as fast
// as the program reads it, with the receive table and the text window shown.
// Reports sustained ingest, resident memory growth per received byte, the
// longest stall of the UI thread (delay of a 0 ms single-shot timer, sampled
// continuously), and the time to scroll to the last byte and to clear.
//
//   bench_receive [--mb N] [--text] [--stamps] [--no-window] [--no-table] [--shot FILE.png]
//
// --text sends lines of printable characters ended by CR LF instead of
// random bytes; --stamps shows the time-stamp row; --shot saves a picture of
// the screen once the bytes are in (run under xvfb-run for that).
#include "app/formmain.h"
#include "app/program.h"
#include "ui/widgets.h"
#include "ui/formtext.h"
#include "units/portsetup.h"
#include "ui/receivedtextview.h"
#include "units/receivepath.h"
#include "ui/bytetableview.h"
#include "core/receivetablemodel.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr qint64 kBlock = 64 * 1024;

// Block k of the stream, reproducible for the check afterwards.
QByteArray streamBlock(qint64 k, bool text)
{
    QByteArray out(kBlock, Qt::Uninitialized);
    quint64 s = quint64(k) * 0x9E3779B97F4A7C15ull + 1;
    auto next = [&s] {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    };
    if (!text) {
        for (qint64 i = 0; i < kBlock; i += 8) {
            const quint64 v = next();
            std::memcpy(out.data() + i, &v, 8);
        }
        return out;
    }
    qint64 i = 0;
    while (i < kBlock) {
        const qint64 len = 20 + qint64(next() % 100);
        for (qint64 j = 0; j < len && i < kBlock; ++j)
            out[i++] = char(0x20 + next() % 95);
        if (i < kBlock)
            out[i++] = '\r';
        if (i < kBlock)
            out[i++] = '\n';
    }
    return out;
}

qint64 residentBytes()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

// Delay of a 0 ms single-shot timer, re-armed as soon as it fires.
class StallProbe : public QObject
{
public:
    void start()
    {
        m_running = true;
        arm();
    }
    void stop() { m_running = false; }
    double worstMs = 0;
    qint64 samples = 0;

private:
    void arm()
    {
        m_clock.start();
        QTimer::singleShot(0, this, [this] {
            const double ms = m_clock.nsecsElapsed() / 1e6;
            worstMs = qMax(worstMs, ms);
            ++samples;
            if (m_running)
                arm();
        });
    }
    QElapsedTimer m_clock;
    bool m_running = false;
};

// Paints of one widget and the time they took.
class PaintMeter : public QObject
{
public:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            QElapsedTimer t;
            t.start();
            const bool r = QObject::eventFilter(o, e);
            ++count;
            return r;
        }
        return QObject::eventFilter(o, e);
    }
    qint64 count = 0;
};

void pumpFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double timedMs(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    double megabytes = 100;
    if (const qsizetype i = args.indexOf(QStringLiteral("--mb")); i >= 0)
        megabytes = args.value(i + 1).toDouble();
    QString shot;
    if (const qsizetype i = args.indexOf(QStringLiteral("--shot")); i >= 0)
        shot = args.value(i + 1);
    const bool text = args.contains(QStringLiteral("--text"));
    const bool stamps = args.contains(QStringLiteral("--stamps"));
    const bool window = !args.contains(QStringLiteral("--no-window"));
    const bool table = !args.contains(QStringLiteral("--no-table"));
    const bool probing = !args.contains(QStringLiteral("--no-probe"));
    const qint64 total = qint64(megabytes * 1000 * 1000);
    const qint64 blocks = (total + kBlock - 1) / kBlock;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    termios t{};
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);

    startProgram();
    TFormMain *f = formMain();
    f->resize(1000, 700);
    f->portSetup->settings.PortName = QString::fromLocal8Bit(name);
    f->portBar.ChBShowRecTable->setChecked(table);
    f->portBar.ChBGetSec->setChecked(stamps);
    f->portBar.SBOpenComm->click();
    if (!f->portBar.SBOpenComm->down()) {
        std::fprintf(stderr, "could not open %s\n", name);
        return 1;
    }
    if (window)
        f->portBar.SBShowText->click();
    ReceivePath *rp = f->receivePath;
    if (args.contains(QStringLiteral("--hide-grid")))
        f->SGReceive->hide();
    TFormText *ft = formText();

    // Let the windows appear and settle before the baseline.
    pumpFor(500);
    const qint64 rssBefore = residentBytes();

    std::atomic<bool> writerFailed{false};
    std::thread writer([&] {
        for (qint64 k = 0; k < blocks; ++k) {
            const QByteArray b = streamBlock(k, text).left(qMin(kBlock, total - k * kBlock));
            qint64 done = 0;
            while (done < b.size()) {
                const ssize_t n = ::write(master, b.constData() + done, size_t(b.size() - done));
                if (n < 0) {
                    if (errno == EINTR)
                        continue;
                    writerFailed = true;
                    return;
                }
                done += n;
            }
        }
    });

    PaintMeter tablePaints, textPaints;
    f->SGReceive->viewport()->installEventFilter(&tablePaints);
    ft->Memo1->viewport()->installEventFilter(&textPaints);
    qint64 ticks = 0;
    QObject::connect(f->timers.TimerRead, &QTimer::timeout, [&] { ++ticks; });
    StallProbe probe;
    QElapsedTimer run;
    run.start();
    if (probing)
        probe.start();
    qint64 lastReport = 0;
    while (rp->ReceivedCount < total && !writerFailed) {
        app.processEvents(QEventLoop::AllEvents, 5);
        if (run.elapsed() - lastReport >= 2000) {
            lastReport = run.elapsed();
            std::fprintf(stderr, "  %.1f MB after %.1f s\n", rp->ReceivedCount / 1e6, lastReport / 1e3);
        }
        if (run.elapsed() > 600000)
            break;
    }
    const double seconds = run.nsecsElapsed() / 1e9;
    const qint64 runTicks = ticks;
    probe.stop();
    writer.join();
    // Let the last paints happen before measuring memory.
    pumpFor(200);
    const qint64 rssAfter = residentBytes();

    const ByteStore &store = rp->ReceiveArray();
    bool storeOk = store.size() == total;
    bool textOk = !window || ft->Memo1->document().size() == total;
    for (qint64 k = 0; k < blocks && (storeOk || textOk); ++k) {
        const QByteArray expected = streamBlock(k, text).left(qMin(kBlock, total - k * kBlock));
        if (storeOk && store.mid(k * kBlock, expected.size()) != expected)
            storeOk = false;
        if (window && textOk) {
            const ReceivedText &doc = ft->Memo1->document();
            for (qint64 i = 0; i < expected.size(); ++i)
                if (doc.at(k * kBlock + i) != quint8(expected[i])) {
                    textOk = false;
                    break;
                }
        }
    }

    if (!shot.isEmpty()) {
        // Side by side rather than as designed (the text window over the table).
        f->move(0, 0);
        ft->move(0, f->frameGeometry().bottom() + 2);
        pumpFor(300);
        QGuiApplication::primaryScreen()->grabWindow(0).save(shot);
    }

    // Scrolling: from the first column to the last, painted.
    ByteTableView *grid = f->SGReceive;
    const int lastColumn = rp->model()->columnCount() - 1;
    grid->scrollToColumn(1);
    grid->viewport()->repaint();
    const double scrollTable = timedMs([&] {
        grid->scrollTo(rp->model()->index(1, lastColumn));
        grid->viewport()->repaint();
    });
    const bool tableAtEnd = grid->isShowingEnd();
    double scrollText = 0;
    if (window) {
        ReceivedTextView *memo = ft->Memo1;
        memo->verticalScrollBar()->setValue(0);
        memo->horizontalScrollBar()->setValue(0);
        memo->viewport()->repaint();
        scrollText = timedMs([&] {
            memo->scrollToEnd();
            memo->viewport()->repaint();
        });
    }
    const double clearTable = timedMs([&] {
        f->portBar.SBClearRec->click();
        grid->viewport()->repaint();
    });
    double clearText = 0;
    if (window)
        clearText = timedMs([&] {
            ft->SBClearRec->click();
            ft->Memo1->viewport()->repaint();
        });

    std::printf("bench_receive: %g MB %s, table %s, text window %s, time stamps %s, platform %s\n",
                megabytes, text ? "text lines" : "random bytes", table ? "shown" : "hidden",
                window ? "shown" : "hidden", stamps ? "on" : "off", qPrintable(QGuiApplication::platformName()));
    std::printf("  ingest:             %.1f MB/s (%.2f s)\n", total / 1e6 / seconds, seconds);
    std::printf("  poll ticks:         %lld (%.0f a second, %.0f bytes each); paints: table %lld, text %lld\n",
                runTicks, runTicks / seconds, total / double(qMax<qint64>(1, runTicks)), tablePaints.count, textPaints.count);
    std::printf("  bytes verified:     table store %s, text window %s\n", storeOk ? "all equal" : "MISMATCH",
                window ? (textOk ? "all equal" : "MISMATCH") : "n/a");
    std::printf("  resident growth:    %.2f bytes per received byte (%.1f MB -> %.1f MB)\n",
                double(rssAfter - rssBefore) / double(total), rssBefore / 1e6, rssAfter / 1e6);
    std::printf("  longest UI stall:   %.1f ms (%lld samples)\n", probe.worstMs, probe.samples);
    std::printf("  scroll to last byte: table %.1f ms (%s), text window %.1f ms\n", scrollTable,
                tableAtEnd ? "last column in view" : "NOT at end", scrollText);
    std::printf("  clear:              table %.1f ms, text window %.1f ms\n", clearTable, clearText);
    ::close(master);
    ::close(slave);
    return storeOk && textOk ? 0 : 2;
}
