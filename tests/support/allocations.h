// Calls to the C allocator, the bytes they asked for and the bytes held, counted
// in the programs that link support/counting/allocations.cpp (never the
// others). The allocator is the C library's own, with its own settings: the
// counting only passes the calls on. Under AddressSanitizer it is the
// sanitizer's, counted through its hooks; a block held is then counted at
// the size asked, not the size the allocator rounded it to.
#pragma once

#include <QtGlobal>

namespace allocations {

struct Count
{
    qint64 calls = 0; // malloc, calloc, realloc and the aligned forms
    qint64 bytes = 0; // what they asked for

    Count operator-(const Count &o) const { return {calls - o.calls, bytes - o.bytes}; }
};

// Since the program started.
Count sofar();

// Bytes held in blocks from the allocator now, and the most held at any
// moment since the last resetPeak().
qint64 held();
qint64 peakHeld();
void resetPeak();

// The most held above the level at construction while the object lived.
class PeakHeld
{
public:
    PeakHeld() : m_start((resetPeak(), held())) {}
    qint64 bytes() const { return peakHeld() - m_start; }

private:
    qint64 m_start;
};

} // namespace allocations
