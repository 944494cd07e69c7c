// Time per KB of a reader of server text over inputs of about 1 KB, 10 KB,
// 100 KB and 1 MB. A reader's time per KB stays flat; one that grows with
// the input is a fault of the reader.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <functional>
#include <limits>

#ifdef __GLIBC__
#include <malloc.h>
#endif

// Freed memory stays with the process between runs: repeated runs then time
// the reader, not the first touch of fresh pages, which costs per byte on a
// virtual machine and makes any large allocation look slow. The first run
// of the largest input is reported apart, fresh pages and all.
inline void keepFreedMemory()
{
#ifdef __GLIBC__
    static const bool done = [] {
        mallopt(M_MMAP_THRESHOLD, 512 << 20);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
        return true;
    }();
    Q_UNUSED(done);
#endif
}

// make(bytes): an input of at least that many UTF-8 bytes, as the reader
// gets it; read(input): the reader's whole work on it. Reports one line.
inline void reportPerKb(const char *reader, const std::function<QString(int bytes)> &make,
                        const std::function<void(const QString &)> &read)
{
    keepFreedMemory();
    static const int kSizes[] = {1 << 10, 10 << 10, 100 << 10, 1 << 20};
    double perKb[4] = {};
    double firstRun = 0;
    for (int s = 0; s < 4; ++s) {
        const QString input = make(kSizes[s]);
        const double kb = input.toUtf8().size() / 1024.0;
        qint64 best = std::numeric_limits<qint64>::max();
        qint64 spent = 0;
        // Best of at least five runs and of about 0.2 s.
        for (int run = 0; run < 5 || (spent < 200000000 && run < 2000); ++run) {
            QElapsedTimer timer;
            timer.start();
            read(input);
            const qint64 ns = timer.nsecsElapsed();
            if (run == 0)
                firstRun = double(ns) / 1e3 / kb;
            best = std::min(best, ns);
            spent += ns;
        }
        perKb[s] = double(best) / 1e3 / kb;
    }
    qInfo("%-36s %8.2f %8.2f %8.2f %8.2f us/KB at 1 KB, 10 KB, 100 KB, 1 MB; 1 MB : 1 KB %.2f;"
          " first 1 MB run %.2f us/KB",
          reader, perKb[0], perKb[1], perKb[2], perKb[3], perKb[3] / perKb[0], firstRun);
}

// Pieces made by piece(n), n = 0, 1, ..., joined by separator after head,
// until the text has at least bytes UTF-8 bytes; then tail.
inline QString repeatedText(int bytes, const QString &head, const QString &separator,
                            const std::function<QString(int)> &piece,
                            const QString &tail = QString())
{
    QString text = head;
    int size = head.toUtf8().size();
    for (int n = 0; size < bytes; ++n) {
        const QString next = (n ? separator : QString()) + piece(n);
        text += next;
        size += next.toUtf8().size();
    }
    return text + tail;
}
