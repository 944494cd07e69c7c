// The process's resident memory as the kernel counts it: now, and at its
// highest since the last reset.
#pragma once

#include <QByteArray>
#include <QFile>

namespace memory {

// A "Vm...:" line of /proc/self/status, in KB; -1 when it cannot be read.
inline long statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

inline long residentKb() { return statusKb("VmRSS:"); }
inline long peakResidentKb() { return statusKb("VmHWM:"); }

// From now on the peak counts from what is resident now.
inline void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// How much the resident memory rose above its level at construction while
// the object lived (peak since then minus the level then), in KB.
class PeakGrowth
{
public:
    PeakGrowth() : m_start((resetPeak(), residentKb())) {}
    long kb() const { return peakResidentKb() - m_start; }

private:
    long m_start;
};

} // namespace memory
