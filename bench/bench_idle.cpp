// What the program costs while the port is open: idle, and at a realistic
// rate. A pseudo-terminal is opened through the real backend; the figures
// are CPU time (user + system) as a share of one core, and voluntary
// context switches per second (getrusage), the program's wake-ups.
//
//   bench_idle [--idle S] [--trickle S] [--rate BYTES_PER_S] [--chunk N] [--no-text] [--no-table]
//
// Idle: the port open and nothing arriving for S seconds (10).
// Trickle: RATE bytes a second (11520, 115200 baud 8N1) for S seconds (60),
// written in chunks of N bytes (64, what a USB adapter hands over per
// packet) on a steady schedule, with the receive table and the text window
// shown unless told otherwise. Run under xvfb-run to include real painting.
#include "app/formmain.h"
#include "rawpty.h"
#include "app/program.h"
#include "ui/formtext.h"
#include "ui/widgets.h"
#include "units/portsetup.h"
#include "units/receivepath.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Usage {
    double cpuSeconds;
    long wakeups;
    double wallSeconds;
};

Usage usageNow()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return {r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6, r.ru_nvcsw,
            now.tv_sec + now.tv_nsec / 1e9};
}

void pumpFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void report(const char *what, const Usage &a, const Usage &b)
{
    const double wall = b.wallSeconds - a.wallSeconds;
    std::printf("%-28s %6.1f s  CPU %6.2f %% of a core  %8.1f wake-ups/s\n", what, wall,
                100.0 * (b.cpuSeconds - a.cpuSeconds) / wall, (b.wakeups - a.wakeups) / wall);
}

double option(const QStringList &args, const char *name, double fallback)
{
    const qsizetype i = args.indexOf(QString::fromLatin1(name));
    return i >= 0 ? args.value(i + 1).toDouble() : fallback;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const double idleSeconds = option(args, "--idle", 10);
    const double trickleSeconds = option(args, "--trickle", 60);
    const double rate = option(args, "--rate", 11520);
    const int chunk = qMax(1, int(option(args, "--chunk", 64)));
    const bool text = !args.contains(QStringLiteral("--no-text"));
    const bool table = !args.contains(QStringLiteral("--no-table"));

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    RawPty pty;
    if (!pty.open()) {
        std::perror("openpty");
        return 1;
    }
    const int master = pty.master, slave = pty.slave;

    startProgram();
    TFormMain *f = formMain();
    f->portSetup->settings.PortName = pty.path;
    f->portBar.ChBShowRecTable->setChecked(table);
    f->portBar.SBOpenComm->click();
    if (!f->portBar.SBOpenComm->down()) {
        std::fprintf(stderr, "could not open %s\n", qPrintable(pty.path));
        return 1;
    }
    if (text)
        f->portBar.SBShowText->click();
    pumpFor(1000); // windows up and settled

    if (idleSeconds > 0) {
        const Usage a = usageNow();
        pumpFor(int(idleSeconds * 1000));
        report("port open, idle", a, usageNow());
    }

    if (trickleSeconds > 0) {
        const qint64 total = qint64(rate * trickleSeconds);
        const qint64 before = f->receivePath->ReceivedCount;
        const Usage a = usageNow();
        // The writer is another process, so its own time and sleeps do not count.
        const pid_t writer = fork();
        if (writer == 0) {
            char block[4096];
            std::memset(block, 'U', sizeof block);
            timespec next{};
            clock_gettime(CLOCK_MONOTONIC, &next);
            const long periodNs = long(1e9 * chunk / rate);
            for (qint64 sent = 0; sent < total; sent += chunk) {
                if (::write(master, block, size_t(qMin<qint64>(qMin(chunk, 4096), total - sent))) < 0)
                    _exit(1);
                next.tv_nsec += periodNs;
                while (next.tv_nsec >= 1000000000L) {
                    next.tv_nsec -= 1000000000L;
                    ++next.tv_sec;
                }
                clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
            }
            _exit(0);
        }
        const bool failed = writer < 0;
        QElapsedTimer run;
        run.start();
        while (f->receivePath->ReceivedCount - before < total && !failed && run.elapsed() < trickleSeconds * 2000)
            pumpFor(100);
        const Usage b = usageNow();
        if (writer > 0)
            waitpid(writer, nullptr, 0);
        char what[64];
        std::snprintf(what, sizeof what, "%.0f B/s in %d-byte chunks", rate, chunk);
        report(what, a, b);
        std::printf("  received %lld of %lld bytes; table %s, text window %s\n",
                    (long long)(f->receivePath->ReceivedCount - before), (long long)total, table ? "on" : "off",
                    text ? "on" : "off");
    }
    if (args.contains(QStringLiteral("--threads"))) {
        // Where the wake-ups happened, thread by thread.
        for (const QString &task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(task));
            QFile status(QStringLiteral("/proc/self/task/%1/status").arg(task));
            if (!comm.open(QIODevice::ReadOnly) || !status.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray &line : status.readAll().split('\n'))
                if (line.startsWith("voluntary_ctxt_switches"))
                    std::printf("  thread %-16s %s\n", comm.readAll().trimmed().constData(),
                                line.mid(24).trimmed().constData());
        }
    }
    f->portBar.SBOpenComm->click();
    ::close(master);
    ::close(slave);
    return 0;
}
