// The costs a long capture adds, without the window: storing 200 MB in
// poll-sized pieces with and without spilling to the temporary file, writing
// it to a capture log in both formats, reading it all back, clearing. Times
// are the thread's CPU time, steadier than wall time on a busy machine.
//
//   bench_capture [--mb N] [--step BYTES] [--budget-mb N]
#include "core/capturelog.h"
#include "core/bytestore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <functional>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Cost {
    double cpu = 0, wall = 0;
};

Cost measure(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    const double c = cpuSeconds();
    f();
    return {cpuSeconds() - c, t.nsecsElapsed() / 1e9};
}

qint64 residentBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return f.readAll().split(' ').value(1).toLongLong() * 4096;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto option = [&](const char *name, double fallback) {
        const qsizetype i = args.indexOf(QLatin1String(name));
        return i >= 0 ? args.value(i + 1).toDouble() : fallback;
    };
    const qint64 total = qint64(option("--mb", 200) * 1e6);
    const qint64 step = qint64(option("--step", 4096));
    const qint64 budget = qint64(option("--budget-mb", 16)) << 20;

    QByteArray piece(1 << 20, Qt::Uninitialized);
    quint64 s = 88172645463325252ull;
    for (qsizetype i = 0; i < piece.size(); ++i) {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        piece[i] = char(s);
    }
    auto feed = [&](const std::function<void(const char *, qint64)> &f) {
        for (qint64 done = 0; done < total;) {
            const qint64 n = qMin(step, total - done);
            f(piece.constData() + (done % piece.size()) % (piece.size() - step), n);
            done += n;
        }
    };

    std::printf("bench_capture: %.0f MB in steps of %lld bytes\n", total / 1e6, static_cast<long long>(step));
    for (qint64 b : {qint64(4096) << 20, budget}) {
        const qint64 rssBefore = residentBytes();
        ByteStore store(b);
        const Cost add = measure([&] { feed([&](const char *p, qint64 n) { store.append(p, n); }); });
        const qint64 rssAfter = residentBytes();
        qint64 sum = 0;
        const Cost read = measure([&] {
            store.forEachPiece(0, store.size(), [&sum](const char *p, qint64 n) {
                sum += quint8(p[0]) + quint8(p[n - 1]);
                return true;
            });
        });
        const Cost first = measure([&] {
            for (qint64 pos = 0; pos < 4096; ++pos)
                sum += store.at(pos);
        });
        const Cost clear = measure([&] { store.clear(); });
        std::printf("  store, budget %5lld MiB: add %.1f ms CPU (%.2f ms/MB, wall %.0f ms), %.1f MiB spilled, "
                    "resident +%.1f MB; read all %.0f ms; first 4 KiB %.2f ms; clear %.2f ms\n",
                    static_cast<long long>(b >> 20), add.cpu * 1e3, add.cpu * 1e3 / (total / 1e6), add.wall * 1e3,
                    0.0 + (total - qMin(total, b)) / 1048576.0, (rssAfter - rssBefore) / 1e6, read.wall * 1e3,
                    first.wall * 1e3, clear.wall * 1e3);
        if (sum == 42)
            std::printf(" ");
    }

    QTemporaryDir dir;
    for (const char *name : {"capture.rcv", "capture.log"}) {
        CaptureLog log;
        const QString path = dir.filePath(QLatin1String(name));
        log.open(path, CaptureLog::formatFor(path));
        qint64 ms = 1765000000000;
        const Cost cost = measure([&] {
            feed([&](const char *p, qint64 n) { log.append(p, n, ms += 3); });
            log.close();
        });
        std::printf("  log %s: %.1f ms CPU (%.2f ms/MB received, wall %.0f ms), %.1f MB written%s\n", name,
                    cost.cpu * 1e3, cost.cpu * 1e3 / (total / 1e6), cost.wall * 1e3, log.writtenSize() / 1e6,
                    log.hasFailed() ? qPrintable(QStringLiteral(", FAILED: ") + log.errorString()) : "");
        QFile::remove(path);
    }
    return 0;
}
