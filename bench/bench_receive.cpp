// The receive path under load: a writer thread feeds a pseudo-terminal as fast
// as the program reads it, with the receive table and the text window shown.
// Reports sustained ingest, resident memory growth per received byte, the
// longest stall of the UI thread (delay of a 0 ms single-shot timer, sampled
// continuously), and the time to scroll to the last byte and to clear.
//
//   bench_receive [--mb N] [--text] [--stamps] [--no-window] [--no-table] [--shot FILE.png]
//                 [--ser2net raw|rfc2217] [--budget-mb N] [--log FILE.rcv|FILE.log]
//
// --budget-mb sets the store's RAM budget (VARNEL_RAM_BUDGET_MB), past which
// older bytes go to the temporary file; --log writes every received byte to
// a capture log as it arrives (flushed once a second) and checks the file.
//
// --ser2net serves the pseudo-terminal through Debian's ser2net on 127.0.0.1
// and opens it as socket://127.0.0.1:PORT (raw TCP accepter) or
// rfc2217://127.0.0.1:PORT (telnet accepter) instead of opening it directly.
// --text sends lines of printable characters ended by CR LF instead of
// random bytes; --stamps shows the time-stamp row; --shot saves a picture of
// the screen once the bytes are in (run under xvfb-run for that).
#include "app/formmain.h"
#include "rawpty.h"
#include "app/program.h"
#include "ui/widgets.h"
#include "ui/formtext.h"
#include "units/portsetup.h"
#include "ui/receivedtextview.h"
#include "units/receivepath.h"
#include "ui/bytetableview.h"
#include "core/capturelog.h"
#include "core/receivetablemodel.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QScrollBar>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <pty.h>
#include <sys/resource.h>
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

// ser2net serving device on a free port of 127.0.0.1; returns the port, 0 on failure.
quint16 startSer2net(QProcess &process, const QString &dir, const QString &device, bool rfc2217)
{
    quint16 port = 0;
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return 0;
        port = probe.serverPort();
    }
    QFile config(dir + QStringLiteral("/ser2net.yaml"));
    if (!config.open(QIODevice::WriteOnly))
        return 0;
    config.write(QStringLiteral("%YAML 1.1\n---\nconnection: &bench\n  accepter: %1tcp,127.0.0.1,%2\n"
                                "  connector: serialdev,%3,115200n81,local\n")
                     .arg(rfc2217 ? QStringLiteral("telnet(rfc2217),") : QString())
                     .arg(port)
                     .arg(device)
                     .toUtf8());
    config.close();
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral("ser2net"), {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-c"),
                                              config.fileName(), QStringLiteral("-P"), dir + QStringLiteral("/pid")});
    if (!process.waitForStarted(3000))
        return 0;
    for (int i = 0; i < 300; ++i) { // until it listens, at most 3 s
        QFile tcp(QStringLiteral("/proc/net/tcp"));
        if (tcp.open(QIODevice::ReadOnly)
            && tcp.readAll().contains(QStringLiteral("0100007F:%1 00000000:0000 0A").arg(port, 4, 16, QLatin1Char('0')).toUpper().toLatin1()))
            return port;
        QThread::msleep(10);
    }
    return 0;
}

void pumpFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The bytes a Text-format capture log holds, from its hex pairs.
QByteArray bytesOfTextLog(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray out;
    while (!f.atEnd()) {
        const QList<QByteArray> fields = f.readLine().split('\t');
        if (fields.size() != 4)
            return {};
        const QByteArray hex = fields[2];
        for (qsizetype i = 0; i + 1 < hex.size(); i += 3)
            out += char(QByteArray::fromRawData(hex.constData() + i, 2).toUInt(nullptr, 16));
    }
    return out;
}

// CPU time of the calling thread: under a loaded machine the wall-clock rate
// varies run to run, the work done per byte much less.
double threadCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
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
    QString logPath;
    if (const qsizetype i = args.indexOf(QStringLiteral("--log")); i >= 0)
        logPath = QFileInfo(args.value(i + 1)).absoluteFilePath();
    if (const qsizetype i = args.indexOf(QStringLiteral("--budget-mb")); i >= 0)
        qputenv("VARNEL_RAM_BUDGET_MB", args.value(i + 1).toUtf8());
    const qint64 total = qint64(megabytes * 1000 * 1000);
    const qint64 blocks = (total + kBlock - 1) / kBlock;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    RawPty pty;
    if (!pty.open()) {
        std::perror("openpty");
        return 1;
    }
    const int master = pty.master, slave = pty.slave;

    QString portName = pty.path;
    QProcess ser2net;
    const QString served = args.value(args.indexOf(QStringLiteral("--ser2net")) + 1);
    const bool viaSer2net = args.contains(QStringLiteral("--ser2net"));
    if (viaSer2net) {
        const bool rfc2217 = served == QStringLiteral("rfc2217");
        const quint16 port = startSer2net(ser2net, dir.path(), portName, rfc2217);
        if (!port) {
            std::fprintf(stderr, "could not start ser2net\n");
            return 1;
        }
        portName = QStringLiteral("%1://127.0.0.1:%2").arg(rfc2217 ? QStringLiteral("rfc2217") : QStringLiteral("socket")).arg(port);
    }

    startProgram();
    TFormMain *f = formMain();
    f->resize(1000, 700);
    f->portSetup->settings.PortName = portName;
    f->portBar.ChBShowRecTable->setChecked(table);
    f->portBar.ChBGetSec->setChecked(stamps);
    f->portBar.SBOpenComm->click();
    if (!f->portBar.SBOpenComm->down()) {
        std::fprintf(stderr, "could not open %s\n", qPrintable(portName));
        return 1;
    }
    if (window)
        f->portBar.SBShowText->click();
    ReceivePath *rp = f->receivePath;
    CaptureLog log;
    QTimer logFlush;
    if (!logPath.isEmpty()) {
        if (!log.open(logPath, CaptureLog::formatFor(logPath))) {
            std::fprintf(stderr, "could not open %s: %s\n", qPrintable(logPath), qPrintable(log.errorString()));
            return 1;
        }
        QObject::connect(rp->model(), &ReceiveTableModel::received, &logFlush,
                         [&log](const char *data, qint64 n, qint64 ms) { log.append(data, n, ms); },
                         Qt::DirectConnection);
        QObject::connect(&logFlush, &QTimer::timeout, [&log] { log.flush(); });
        logFlush.start(1000);
    }
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
    const double cpuBefore = threadCpuSeconds();
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
    const double cpuSeconds = threadCpuSeconds() - cpuBefore;
    const qint64 runTicks = ticks;
    probe.stop();
    writer.join();
    // Let the last paints happen before measuring memory.
    pumpFor(200);
    const qint64 rssAfter = residentBytes();
    const ByteStore &store = rp->ReceiveArray();
    const qint64 ramHeld = store.ramBytes(), spilled = store.spilledBytes();
    const qint64 budget = store.ramBudget();
    double logCheckSeconds = 0;
    bool logOk = true;
    if (!logPath.isEmpty()) {
        logFlush.stop();
        log.close();
        QElapsedTimer t;
        t.start();
        if (log.format() == CaptureLog::Raw) {
            QFile lf(logPath);
            logOk = !log.hasFailed() && lf.open(QIODevice::ReadOnly) && lf.size() == total;
            for (qint64 k = 0; k < blocks && logOk; ++k) {
                const QByteArray expected = streamBlock(k, text).left(qMin(kBlock, total - k * kBlock));
                logOk = lf.read(expected.size()) == expected;
            }
        } else {
            const QByteArray logged = bytesOfTextLog(logPath);
            logOk = !log.hasFailed() && logged.size() == total;
            for (qint64 k = 0; k < blocks && logOk; ++k) {
                const QByteArray expected = streamBlock(k, text).left(qMin(kBlock, total - k * kBlock));
                logOk = QByteArray::fromRawData(logged.constData() + k * kBlock, expected.size()) == expected;
            }
        }
        logCheckSeconds = t.nsecsElapsed() / 1e9;
    }

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

    // Scrolling: to the first column (in the temporary file once spilled)
    // and back to the last, painted.
    ByteTableView *grid = f->SGReceive;
    const double scrollTableFirst = timedMs([&] {
        grid->scrollToColumn(1);
        grid->viewport()->repaint();
    });
    const double scrollTable = timedMs([&] {
        grid->scrollToColumn(grid->dataColumnCount());
        grid->viewport()->repaint();
    });
    // Columns past what int counts too: the last one shows the last byte's number.
    const bool tableAtEnd = grid->isShowingEnd()
        && (!table || (grid->dataColumnCount() == total && grid->leftColumn() + grid->fullyVisibleColumnCount() - 1 == total));
    double scrollText = 0, scrollTextFirst = 0;
    if (window) {
        ReceivedTextView *memo = ft->Memo1;
        scrollTextFirst = timedMs([&] {
            memo->verticalScrollBar()->setValue(0);
            memo->horizontalScrollBar()->setValue(0);
            memo->viewport()->repaint();
        });
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

    std::printf("bench_receive: %g MB %s%s, table %s, text window %s, time stamps %s, platform %s\n",
                megabytes, viaSer2net ? qPrintable(QStringLiteral("through ser2net as ") + portName + QLatin1Char(' ')) : "", text ? "text lines" : "random bytes", table ? "shown" : "hidden",
                window ? "shown" : "hidden", stamps ? "on" : "off", qPrintable(QGuiApplication::platformName()));
    std::printf("  ingest:             %.1f MB/s (%.2f s); UI thread CPU %.2f s, %.2f ms per MB\n", total / 1e6 / seconds,
                seconds, cpuSeconds, cpuSeconds * 1e3 / (total / 1e6));
    std::printf("  poll ticks:         %lld (%.0f a second, %.0f bytes each); paints: table %lld, text %lld\n",
                runTicks, runTicks / seconds, total / double(qMax<qint64>(1, runTicks)), tablePaints.count, textPaints.count);
    std::printf("  bytes verified:     table store %s, text window %s, capture log %s\n", storeOk ? "all equal" : "MISMATCH",
                window ? (textOk ? "all equal" : "MISMATCH") : "n/a",
                logPath.isEmpty() ? "n/a" : logOk ? "all equal" : "MISMATCH");
    std::printf("  store:              RAM budget %.0f MiB, %.1f MiB in RAM, %.1f MiB in the temporary file\n",
                budget / 1048576.0, ramHeld / 1048576.0, spilled / 1048576.0);
    if (!logPath.isEmpty())
        std::printf("  capture log:        %s, %.1f MB (checked in %.1f s)\n", qPrintable(QFileInfo(logPath).fileName()),
                    log.writtenSize() / 1e6, logCheckSeconds);
    std::printf("  resident memory:    %.1f MB at end; growth %.2f bytes per received byte (%.1f MB -> %.1f MB)\n",
                rssAfter / 1e6, double(rssAfter - rssBefore) / double(total), rssBefore / 1e6, rssAfter / 1e6);
    std::printf("  longest UI stall:   %.1f ms (%lld samples)\n", probe.worstMs, probe.samples);
    std::printf("  scroll to first byte: table %.1f ms, text window %.1f ms\n", scrollTableFirst, scrollTextFirst);
    std::printf("  scroll to last byte: table %.1f ms (%s), text window %.1f ms\n", scrollTable,
                tableAtEnd ? "last column in view" : "NOT at end", scrollText);
    std::printf("  clear:              table %.1f ms, text window %.1f ms\n", clearTable, clearText);
    ::close(master);
    ::close(slave);
    return storeOk && textOk && logOk ? 0 : 2;
}
