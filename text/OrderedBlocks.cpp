// Blocks of text made on two threads and taken in order: a ring of slots, a
// counter of the next block to make, and a counter of the blocks taken, all
// under one mutex. Whichever thread is free claims the next block while it
// is at most OrderedBlocksAhead ahead of the one to be taken; the calling
// thread makes blocks too while it waits for the one whose turn it is.

#include "text/OrderedBlocks.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

std::atomic<unsigned> DefaultThreads{0};

class TOrderedBlocks {
public:
    struct TSlot {
        TTextBlock Block;
        bool Ready = false;
        std::exception_ptr Error;
    };

    TOrderedBlocks(int64_t Count, const TMakeBlock& Make) : Count(Count), Make(Make) {}

    // The helper thread: makes blocks until none is left to claim.
    void Help()
    {
        for (;;) {
            int64_t Index = -1;
            {
                std::unique_lock<std::mutex> Hold(Lock);
                Changed.wait(Hold, [&] { return Stopped || NextToMake >= Count || Room(); });
                Index = Claim();
                if (Index < 0)
                    return;  // stopped, or every block claimed
            }
            MakeOne(Index);
        }
    }

    // Block Index, once made; the calling thread makes blocks meanwhile.
    const TSlot& Wait(int64_t Index)
    {
        TSlot& Slot = SlotOf(Index);
        std::unique_lock<std::mutex> Hold(Lock);
        while (!Slot.Ready) {
            const int64_t Free = Claim();
            if (Free >= 0) {
                Hold.unlock();
                MakeOne(Free);
                Hold.lock();
            } else {
                Changed.wait(Hold);
            }
        }
        return Slot;
    }

    // Block Index has been taken: its slot is free for the block that many ahead.
    void Taken(int64_t Index)
    {
        {
            std::lock_guard<std::mutex> Hold(Lock);
            SlotOf(Index).Ready = false;
            SlotOf(Index).Error = nullptr;
            ++TakenCount;
        }
        Changed.notify_all();
    }

    void Stop()
    {
        {
            std::lock_guard<std::mutex> Hold(Lock);
            Stopped = true;
        }
        Changed.notify_all();
    }

private:
    bool Room() const { return NextToMake < TakenCount + OrderedBlocksAhead; }

    // Under the lock: the next block to make, or -1 when there is none or no room.
    int64_t Claim()
    {
        if (Stopped || NextToMake >= Count || !Room())
            return -1;
        return NextToMake++;
    }

    TSlot& SlotOf(int64_t Index)
    {
        return Slots[static_cast<std::size_t>(Index % OrderedBlocksAhead)];
    }

    // Outside the lock: the slot belongs to whoever claimed its block.
    void MakeOne(int64_t Index)
    {
        TSlot& Slot = SlotOf(Index);
        std::exception_ptr Error;
        try {
            Slot.Block.Text.clear();
            Slot.Block.RowEnds.clear();
            Make(Index, Slot.Block);
        } catch (...) {
            Error = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> Hold(Lock);
            Slot.Error = Error;
            Slot.Ready = true;
        }
        Changed.notify_all();
    }

    const int64_t Count;
    const TMakeBlock& Make;
    std::mutex Lock;
    std::condition_variable Changed;
    int64_t NextToMake = 0;
    int64_t TakenCount = 0;
    bool Stopped = false;
    std::array<TSlot, OrderedBlocksAhead> Slots;
};

// Stops and joins the helper thread however the caller leaves.
class THelper {
public:
    THelper(TOrderedBlocks& Blocks, bool Wanted) : Blocks(Blocks)
    {
        if (!Wanted)
            return;
        try {
            Thread = std::thread([this] { this->Blocks.Help(); });
        } catch (const std::system_error&) {
            // No thread to be had: the calling thread makes every block.
        }
    }
    ~THelper()
    {
        Blocks.Stop();
        if (Thread.joinable())
            Thread.join();
    }
    THelper(const THelper&) = delete;
    THelper& operator=(const THelper&) = delete;

private:
    TOrderedBlocks& Blocks;
    std::thread Thread;
};

}  // namespace

void SetDefaultBlockThreads(unsigned Threads)
{
    DefaultThreads.store(Threads);
}

void MakeBlocksInOrder(int64_t Count, const TMakeBlock& Make, const TTakeBlock& Take,
                       unsigned Threads)
{
    if (Count <= 0)
        return;
    if (Threads == 0)
        Threads = DefaultThreads.load();
    if (Threads == 0)
        Threads = std::thread::hardware_concurrency();
    TOrderedBlocks Blocks(Count, Make);
    const THelper Helper(Blocks, Threads >= 2 && Count >= 2);
    for (int64_t Index = 0; Index < Count; ++Index) {
        const auto& Slot = Blocks.Wait(Index);
        if (Slot.Error)
            std::rethrow_exception(Slot.Error);
        const bool More = Take(Index, Slot.Block);
        Blocks.Taken(Index);
        if (!More)
            break;
    }
}
