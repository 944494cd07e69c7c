// Time per KB of a reader of server text at 4 KB, 40 KB, 400 KB and 4 MB,
// the bound of an exam reply, paid as the programs pay it: the C library's
// allocator with its own settings, nothing kept or tuned between runs.
//
// For each size it reports the first run, which also pays for memory the
// process has not touched before, and the steady one (the best of several);
// the calls to the allocator and the bytes they ask per KB (counted in the
// process, support/allocations.h); and at 4 MB the most memory one run holds
// from the allocator at any moment. A steady time per KB that grows while the allocations per KB stay
// flat is the memory's cost (caches, fresh pages), not the code's; growing
// allocations per KB are the code's.
#pragma once

#include "support/allocations.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <algorithm>
#include <functional>
#include <limits>
#include <optional>

// The sizes measured: four, up to the 4 MiB bound of an exam reply.
constexpr int kPerKbSizes[] = {4 << 10, 40 << 10, 400 << 10, 4 << 20};

// One input of a reader: its size in bytes and the reader's whole work on it.
struct PerKbSample
{
    qint64 bytes = 0;
    std::function<void()> run;
};

inline void reportPerKb(const char *reader, const std::function<PerKbSample(int bytes)> &make)
{
    double steady[4] = {}, first[4] = {}, calls[4] = {}, asked[4] = {};
    qint64 peakBytes = 0;
    qint64 largest = 0;
    for (int s = 0; s < 4; ++s) {
        const PerKbSample sample = make(kPerKbSizes[s]);
        const double kb = double(sample.bytes) / 1024.0;
        qint64 best = std::numeric_limits<qint64>::max();
        qint64 spent = 0;
        // The first run, then the best of at least five runs and about 0.2 s.
        for (int run = 0; run < 5 || (spent < 200000000 && run < 2000); ++run) {
            std::optional<allocations::PeakHeld> peak;
            if (run == 0)
                peak.emplace();
            const allocations::Count before = allocations::sofar();
            QElapsedTimer timer;
            timer.start();
            sample.run();
            const qint64 ns = timer.nsecsElapsed();
            if (run == 0) {
                first[s] = double(ns) / 1e3 / kb;
                const allocations::Count used = allocations::sofar() - before;
                calls[s] = double(used.calls) / kb;
                asked[s] = double(used.bytes) / 1024.0 / kb;
                if (s == 3) {
                    peakBytes = peak->bytes();
                    largest = sample.bytes;
                }
            }
            best = std::min(best, ns);
            spent += ns;
        }
        steady[s] = double(best) / 1e3 / kb;
    }
    qInfo("%s: steady %.2f %.2f %.2f %.2f us/KB at 4 KB, 40 KB, 400 KB, 4 MB (4 MB : 4 KB %.2f);"
          " first run %.2f %.2f %.2f %.2f us/KB",
          reader, steady[0], steady[1], steady[2], steady[3], steady[3] / steady[0], first[0],
          first[1], first[2], first[3]);
    qInfo("%s: %.2f %.2f %.2f %.2f allocations/KB, %.2f %.2f %.2f %.2f KB asked/KB;"
          " peak +%.1f MB at 4 MB (%.1f times the input)",
          reader, calls[0], calls[1], calls[2], calls[3], asked[0], asked[1], asked[2], asked[3],
          peakBytes / 1048576.0, double(peakBytes) / double(std::max<qint64>(1, largest)));
}

// make(bytes): an input of about that many UTF-8 bytes, as the reader gets
// it; read(input): the reader's whole work on it.
inline void reportPerKb(const char *reader, const std::function<QString(int bytes)> &make,
                        const std::function<void(const QString &)> &read)
{
    reportPerKb(reader, [&](int bytes) {
        const QString input = make(bytes);
        return PerKbSample{input.toUtf8().size(), [input, read] { read(input); }};
    });
}

// Pieces made by piece(n), n = 0, 1, ..., joined by separator after head and
// followed by tail, as many as fit in bytes UTF-8 bytes (one at least).
inline QString repeatedText(int bytes, const QString &head, const QString &separator,
                            const std::function<QString(int)> &piece,
                            const QString &tail = QString())
{
    QString text = head;
    int size = head.toUtf8().size() + tail.toUtf8().size();
    for (int n = 0;; ++n) {
        const QString next = (n ? separator : QString()) + piece(n);
        const int more = next.toUtf8().size();
        if (n > 0 && size + more > bytes)
            break;
        text += next;
        size += more;
    }
    return text + tail;
}
