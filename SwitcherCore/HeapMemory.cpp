#include "HeapMemory.h"

#include <cstdint>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace HeapMemory {

void mapLargeBlocks()
{
#if defined(__GLIBC__)
    // Setting it also stops glibc from moving it.
    mallopt(M_MMAP_THRESHOLD, int(largeBlockBytes));
#endif
}

void giveBackFreedPages()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void preferLargePages(const void *data, std::size_t expected)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t large = 2 * 1024 * 1024;
    const auto from = (reinterpret_cast<std::uintptr_t>(data) + large - 1) & ~(large - 1);
    const auto to = (reinterpret_cast<std::uintptr_t>(data) + expected - expected / 16) & ~(large - 1);
    if (to > from)
        madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE);
#else
    (void)data;
    (void)expected;
#endif
}

void makeResident(const void *data, std::size_t expected)
{
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const auto from = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
    const auto to = (reinterpret_cast<std::uintptr_t>(data) + expected - expected / 16) & ~(page - 1);
    if (to > from)
        madvise(reinterpret_cast<void *>(from), to - from, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)expected;
#endif
}

} // namespace HeapMemory
