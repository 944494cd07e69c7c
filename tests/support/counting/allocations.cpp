// The C allocator's entry points, counted and passed on to the C library's
// allocator. Defined in the program, they stand for the library's own in the
// whole process (its shared libraries included).
//
// Under AddressSanitizer the sanitizer owns those entry points and the
// allocator behind them: the counter then leaves them alone and counts
// through the sanitizer's allocation hooks, which see every block its
// allocator hands out or takes back (operator new and delete included).
#include "support/allocations.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <malloc.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define VELMAR_COUNT_THROUGH_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMAR_COUNT_THROUGH_HOOKS 1
#endif
#endif

extern "C" {
#ifdef VELMAR_COUNT_THROUGH_HOOKS
int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void *, size_t),
                                              void (*onFree)(const volatile void *));
size_t __sanitizer_get_allocated_size(const volatile void *block);
#else
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *block, size_t size);
void *__libc_memalign(size_t alignment, size_t size);
void __libc_free(void *block);
#endif
}

namespace {

std::atomic<qint64> g_calls{0};
std::atomic<qint64> g_bytes{0};
std::atomic<qint64> g_held{0};
std::atomic<qint64> g_peak{0};

void hold(qint64 size)
{
    const qint64 now = g_held.fetch_add(size, std::memory_order_relaxed) + size;
    qint64 peak = g_peak.load(std::memory_order_relaxed);
    while (now > peak && !g_peak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
}

#ifndef VELMAR_COUNT_THROUGH_HOOKS
void *counted(void *block, size_t size)
{
    g_calls.fetch_add(1, std::memory_order_relaxed);
    g_bytes.fetch_add(qint64(size), std::memory_order_relaxed);
    if (block)
        hold(qint64(malloc_usable_size(block)));
    return block;
}

void release(void *block)
{
    if (block)
        g_held.fetch_sub(qint64(malloc_usable_size(block)), std::memory_order_relaxed);
}
#endif

} // namespace

allocations::Count allocations::sofar()
{
    return {g_calls.load(std::memory_order_relaxed), g_bytes.load(std::memory_order_relaxed)};
}

qint64 allocations::held() { return g_held.load(std::memory_order_relaxed); }
qint64 allocations::peakHeld() { return g_peak.load(std::memory_order_relaxed); }
void allocations::resetPeak() { g_peak.store(held(), std::memory_order_relaxed); }

#ifdef VELMAR_COUNT_THROUGH_HOOKS

namespace {

// Called inside the sanitizer's allocator: no allocation here. A realloc is
// a new block and the old one freed, one call as the C library's counts it.
void onMalloc(const volatile void *block, size_t size)
{
    g_calls.fetch_add(1, std::memory_order_relaxed);
    g_bytes.fetch_add(qint64(size), std::memory_order_relaxed);
    if (block)
        hold(qint64(size));
}

// The block is still allocated here; its size is the one it was asked with.
void onFree(const volatile void *block)
{
    if (block)
        g_held.fetch_sub(qint64(__sanitizer_get_allocated_size(block)), std::memory_order_relaxed);
}

// Installed before any library's constructor runs, so that blocks made
// before counting began are few.
void installHooks()
{
    if (!__sanitizer_install_malloc_and_free_hooks(onMalloc, onFree)) {
        static const char message[] = "allocations: the sanitizer's allocation hooks are full\n";
        (void)!write(2, message, sizeof message - 1);
        abort();
    }
}

__attribute__((section(".preinit_array"), used)) void (*const g_install)() = installHooks;

} // namespace

#else

extern "C" {

void *malloc(size_t size) noexcept { return counted(__libc_malloc(size), size); }

void *calloc(size_t count, size_t size) noexcept
{
    return counted(__libc_calloc(count, size), count * size);
}

void *realloc(void *block, size_t size) noexcept
{
    const qint64 before = block ? qint64(malloc_usable_size(block)) : 0;
    void *moved = __libc_realloc(block, size);
    if (moved || size == 0)
        g_held.fetch_sub(before, std::memory_order_relaxed);
    return counted(moved, size);
}

void free(void *block) noexcept
{
    release(block);
    __libc_free(block);
}

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

#endif
