// Calls to the C allocator and the bytes they asked for, counted in the
// programs that link support/counting/allocations.cpp (never the others). The
// allocator is the C library's own, with its own settings: the counting only
// passes the calls on.
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

} // namespace allocations
