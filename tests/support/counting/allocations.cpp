// The C allocator's entry points, counted and passed on to the C library's
// allocator. Defined in the program, they stand for the library's own in the
// whole process (its shared libraries included).
#include "support/allocations.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <unistd.h>

extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *block, size_t size);
void *__libc_memalign(size_t alignment, size_t size);
void __libc_free(void *block);
}

namespace {

std::atomic<qint64> g_calls{0};
std::atomic<qint64> g_bytes{0};

void *counted(void *block, size_t size)
{
    g_calls.fetch_add(1, std::memory_order_relaxed);
    g_bytes.fetch_add(qint64(size), std::memory_order_relaxed);
    return block;
}

} // namespace

allocations::Count allocations::sofar()
{
    return {g_calls.load(std::memory_order_relaxed), g_bytes.load(std::memory_order_relaxed)};
}

extern "C" {

void *malloc(size_t size) noexcept { return counted(__libc_malloc(size), size); }

void *calloc(size_t count, size_t size) noexcept { return counted(__libc_calloc(count, size), count * size); }

void *realloc(void *block, size_t size) noexcept { return counted(__libc_realloc(block, size), size); }

void free(void *block) noexcept { __libc_free(block); }

void *memalign(size_t alignment, size_t size) noexcept
{
    return counted(__libc_memalign(alignment, size), size);
}

void *aligned_alloc(size_t alignment, size_t size) noexcept { return memalign(alignment, size); }

int posix_memalign(void **block, size_t alignment, size_t size) noexcept
{
    void *p = memalign(alignment, size);
    if (!p && size)
        return ENOMEM;
    *block = p;
    return 0;
}

void *valloc(size_t size) noexcept { return memalign(size_t(sysconf(_SC_PAGESIZE)), size); }

void *pvalloc(size_t size) noexcept
{
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    return memalign(page, (size + page - 1) / page * page);
}

} // extern "C"
