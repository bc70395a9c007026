#include "processmemory.h"

#include <cstdint>
#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace ProcessMemory {

// Qt's sockets take each write into a buffer as large as the write and free it once
// sent. With glibc's defaults the freed top of the heap goes back to the system every
// time and the next buffer faults its pages in afresh: publishing 256 MiB over TLS spent
// four times longer in that churn than in encryption. Freed memory up to a few MiB is
// kept instead (what a run holds still does not grow with the file).
void keepFreedBuffers()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 16 * 1024 * 1024);
#endif
}

// A command reads a whole document and builds its text in one burst of small
// allocations: on a 10,000-item page most of its time went into faulting in fresh 4 KiB
// heap pages one by one. The heap is grown once, ahead, by a span the kernel may back
// with huge pages; only what is touched is used, and a command's process is short-lived,
// so the span is kept rather than trimmed.
void growHeapForCommand()
{
#if defined(__GLIBC__) && defined(__linux__)
    constexpr std::size_t span = 64 * 1024 * 1024;
    constexpr std::uintptr_t hugePage = 2 * 1024 * 1024;
    mallopt(M_TRIM_THRESHOLD, int(2 * span));
    mallopt(M_TOP_PAD, int(span));
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // Under the mapping threshold of keepFreedBuffers(), so the block comes from the
    // heap; volatile, as a block freed unused would be optimised away with the growth.
    void *volatile block = std::malloc(hugePage);
    std::free(block);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    mallopt(M_TOP_PAD, 128 * 1024);
    // Only the span the heap itself grew by: when the heap could not grow, malloc fell
    // back on a mapping of its own and nothing is advised.
    const std::uintptr_t begin = (before + hugePage - 1) & ~(hugePage - 1);
    const std::uintptr_t end = after & ~(hugePage - 1);
    if (after - before >= span && end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

}
