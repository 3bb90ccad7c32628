// Figures for the byte tables at capture sizes far beyond daily use: a
// hundred million received bytes and a ten-million-byte transmit table.

#include "ui/bytetableview.h"
#include "core/receivetablemodel.h"
#include "core/transmittablemodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

qint64 residentBytes()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}

double ms(qint64 ns) { return double(ns) / 1e6; }

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const qint64 total = 100'000'000;
    const qint64 block = 64 * 1024;

    {
        ReceiveTableModel model;
        ByteTableView view;
        view.setFirstColumnWidth(59);
        view.setModel(&model);
        view.resize(1000, 102);
        view.show();
        app.processEvents();

        QByteArray data(block, Qt::Uninitialized);
        for (qint64 i = 0; i < block; ++i)
            data[i] = char(i * 13);
        const qint64 rssBefore = residentBytes();
        QElapsedTimer timer, call;
        qint64 worstCall = 0, callsTotal = 0, paintTotal = 0;
        int calls = 0;
        timer.start();
        for (qint64 done = 0; done < total; done += block) {
            const qint64 n = std::min(block, total - done);
            call.start();
            model.appendShown(data.constData(), n, QStringLiteral("12:%1").arg(calls / 1000 % 60, 2, 10, QLatin1Char('0')));
            const qint64 t = call.nsecsElapsed();
            worstCall = std::max(worstCall, t);
            callsTotal += t;
            ++calls;
            call.start();
            app.processEvents(); // one repaint per poll, as the window would
            paintTotal += call.nsecsElapsed();
        }
        const qint64 totalNs = timer.nsecsElapsed();
        const qint64 rssAfter = residentBytes();
        std::printf("receive: %lld bytes in %d appendShown calls of 64 KiB, view shown and following the end\n",
                    static_cast<long long>(model.store().size()), calls);
        std::printf("  appendShown: mean %.3f ms, worst %.3f ms, sum %.1f ms\n",
                    ms(callsTotal) / calls, ms(worstCall), ms(callsTotal));
        std::printf("  repaint per call: mean %.3f ms; total wall time %.1f ms\n", ms(paintTotal) / calls, ms(totalNs));
        std::printf("  resident memory growth: %.1f MiB, %.3f bytes per byte\n",
                    double(rssAfter - rssBefore) / (1 << 20), double(rssAfter - rssBefore) / double(total));
        std::printf("  view at end: %s, first visible column %d of %d\n", view.isShowingEnd() ? "yes" : "no",
                    view.firstVisibleColumn(), model.dataColumnCount());

        view.scrollToColumn(1);
        timer.start();
        view.scrollToColumn(INT_MAX);
        QPixmap shot = view.grab();
        std::printf("  scroll from column 1 to the last column and paint (grab): %.3f ms\n", ms(timer.nsecsElapsed()));
        timer.start();
        view.setCurrentIndex(model.index(1, 1));
        QPixmap shot2 = view.grab();
        std::printf("  jump to column 1 (current cell) and paint: %.3f ms\n", ms(timer.nsecsElapsed()));
        timer.start();
        view.selectAll();
        const qint64 selectNs = timer.nsecsElapsed();
        std::printf("  select all %d columns: %.3f ms\n", model.dataColumnCount(), ms(selectNs));

        view.selectionModel()->select(QItemSelection(model.index(1, 1), model.index(1, 1'000'000)),
                                      QItemSelectionModel::ClearAndSelect);
        timer.start();
        const QString copied = view.copyText();
        std::printf("  copy text of 1,000,000 selected columns: %.3f ms (%lld characters)\n", ms(timer.nsecsElapsed()),
                    static_cast<long long>(copied.size()));

        timer.start();
        model.clear();
        app.processEvents();
        std::printf("  clear: %.3f ms; columns now %d; resident now %.1f MiB above start\n", ms(timer.nsecsElapsed()),
                    model.columnCount(), double(residentBytes() - rssBefore) / (1 << 20));
    }

    {
        const int n = 10'000'000;
        QByteArray bytes(n, Qt::Uninitialized);
        for (int i = 0; i < n; ++i)
            bytes[i] = char(i * 7);
        TransmitTableModel model;
        ByteTableView view;
        view.setFirstColumnWidth(51);
        view.setModel(&model);
        view.resize(1000, 95);
        view.show();
        app.processEvents();

        const qint64 rssBefore = residentBytes();
        QElapsedTimer timer;
        timer.start();
        model.setBytes(bytes);
        const qint64 setNs = timer.nsecsElapsed();
        timer.start();
        app.processEvents();
        const qint64 paintNs = timer.nsecsElapsed();
        std::printf("transmit: setBytes of %d bytes: %.3f ms, then repaint %.3f ms; resident growth %.1f MiB\n", n,
                    ms(setNs), ms(paintNs), double(residentBytes() - rssBefore) / (1 << 20));
        view.scrollToColumn(1);
        timer.start();
        view.scrollToColumn(INT_MAX);
        QPixmap shot = view.grab();
        std::printf("  scroll to the end and paint (grab): %.3f ms\n", ms(timer.nsecsElapsed()));

        const QModelIndex last = model.index(1, n);
        timer.start();
        view.setCurrentIndex(last);
        view.edit(last);
        model.setData(last, QStringLiteral("1ff"));
        app.processEvents();
        std::printf("  edit the last Hex cell (open editor, set text, repaint): %.3f ms\n", ms(timer.nsecsElapsed()));
        timer.start();
        const QByteArray back = model.readBytes();
        std::printf("  readBytes: %.3f ms (%s)\n", ms(timer.nsecsElapsed()),
                    back.size() == n && quint8(back.back()) == 0xFF ? "last byte FF" : "WRONG");
        timer.start();
        model.setDataColumnCount(4);
        model.setDataColumnCount(n);
        std::printf("  shrink to 4 columns and grow back: %.3f ms\n", ms(timer.nsecsElapsed()));
        timer.start();
        model.setDataColumnCount(n + 1);
        model.shiftTextsRight(1, n + 1);
        std::printf("  insert a byte at column 1 (shift all texts): %.3f ms\n", ms(timer.nsecsElapsed()));
    }
    return 0;
}
