// The memory of a run's step records: one block per run, taken over by the
// next run of the same size, with large pages asked for under a big block.

#include "engine/RecordStore.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <new>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// Bytes of physical memory; a records array larger than that could not be
// filled without bringing the machine to a halt.
uint64_t PhysicalMemory()
{
    const long Pages = sysconf(_SC_PHYS_PAGES);
    const long PageSize = sysconf(_SC_PAGE_SIZE);
    if (Pages <= 0 || PageSize <= 0)
        return std::numeric_limits<uint64_t>::max();
    return static_cast<uint64_t>(Pages) * static_cast<uint64_t>(PageSize);
}

// Asks for large pages under a big records array before it is first
// touched: a million records then cost a few dozen page faults instead of
// some twelve thousand. Only a hint; nothing depends on it being taken.
void PreferLargePages(void* Block, uint64_t Bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr uint64_t Large = 4u << 20;
    if (Bytes < Large)
        return;
    const auto PageSize = static_cast<uintptr_t>(sysconf(_SC_PAGE_SIZE));
    if (PageSize == 0 || (PageSize & (PageSize - 1)) != 0)
        return;
    const auto Start = (reinterpret_cast<uintptr_t>(Block) + PageSize - 1) & ~(PageSize - 1);
    const auto End = (reinterpret_cast<uintptr_t>(Block) + Bytes) & ~(PageSize - 1);
    if (End > Start)
        madvise(reinterpret_cast<void*>(Start), End - Start, MADV_HUGEPAGE);
#else
    (void)Block;
    (void)Bytes;
#endif
}

}  // namespace

TCalcStep* RecordsForRun(TCalc& Calc, int32_t N, bool Zeroed)
{
    TCalcStep* Records = nullptr;
    if (N > 0 && Calc.Records && Calc.Capacity == N) {
        Records = Calc.Records;
        Calc.Records = nullptr;
    }
    Calc.FreeRecords();
    if (N <= 0) {
        return nullptr;
    }
    if (!Records) {
        const uint64_t Bytes = static_cast<uint64_t>(N) * sizeof(TCalcStep);
        if (Bytes > PhysicalMemory())
            return nullptr;
        Records = new (std::nothrow) TCalcStep[static_cast<size_t>(N)];
        if (!Records)
            return nullptr;
        PreferLargePages(Records, Bytes);
    }
    if (Zeroed)
        std::fill_n(Records, N, TCalcStep{});
    return Records;
}
