// Medians of a step's cost at several sizes, sampled in rounds that take the
// sizes in turn: largest first in one round, smallest first in the next, so
// that neither end of the range always runs first (warmer caches, a quieter
// moment of a busy machine).
#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

#include <algorithm>
#include <functional>

// Nanoseconds taken by f().
template<typename F>
qint64 timedNs(F &&f)
{
    QElapsedTimer timer;
    timer.start();
    f();
    return timer.nsecsElapsed();
}

// run(s, round) does one step at size index s and returns the nanoseconds
// it counts, so that a step may leave its own setup untimed. The result is
// the median of each size, in microseconds.
inline QVector<double> interleavedMediansUs(int sizes, int rounds,
                                            const std::function<qint64(int, int)> &run)
{
    QVector<QVector<qint64>> times(sizes);
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < sizes; ++k) {
            const int s = round % 2 ? k : sizes - 1 - k;
            times[s] << run(s, round);
        }
    }
    QVector<double> medians;
    for (QVector<qint64> &t : times) {
        std::sort(t.begin(), t.end());
        medians << t.at(t.size() / 2) / 1000.0;
    }
    return medians;
}

// One line: what was measured, the median at each size and the ratio of the
// largest size to the smallest.
inline void reportSizes(const char *what, const QVector<int> &sizes, const char *unit,
                        const QVector<double> &us)
{
    QStringList cells, names;
    for (int i = 0; i < sizes.size(); ++i) {
        cells << (us.at(i) >= 100000 ? QStringLiteral("%1 ms").arg(us.at(i) / 1000, 0, 'f', 1)
                                     : QStringLiteral("%1 us").arg(us.at(i), 0, 'f', 1));
        names << QString::number(sizes.at(i));
    }
    qInfo("%-40s %s at %s %s; %d : %d = %.2f", what, qPrintable(cells.join(QLatin1String(", "))),
          qPrintable(names.join(QLatin1String(", "))), unit, sizes.last(), sizes.first(),
          us.last() / us.first());
}
