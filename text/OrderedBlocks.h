#pragma once
// Text made in numbered blocks on two threads and handed on in block order.
// The rows of a long table (the report's steps, the CSV records) do not depend
// on each other once the data exist: a helper thread and the calling thread
// format blocks of them side by side, while the calling thread takes the
// finished blocks one after the other and writes them out.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One block of text and the ends of its rows (offsets into Text).
struct TTextBlock {
    std::string Text;
    std::vector<std::size_t> RowEnds;

    void EndRow() { RowEnds.push_back(Text.size()); }
};

using TMakeBlock = std::function<void(int64_t Index, TTextBlock& Block)>;
using TTakeBlock = std::function<bool(int64_t Index, const TTextBlock& Block)>;

// Blocks made ahead of the one being taken, at most.
inline constexpr int OrderedBlocksAhead = 4;

// Makes blocks 0 ... Count - 1 and hands them to Take in that order, on the
// calling thread; Take returns false to stop (the blocks not yet taken are
// dropped). Make(Index, Block) fills a cleared Block; it runs on either
// thread, so it may read only what does not change while the blocks are made
// and write only Block. At most OrderedBlocksAhead blocks wait at any time,
// so memory stays bounded however many blocks there are.
//
// Threads is how many threads make blocks: 0 as many as the machine has
// processors, at most two; 1 only the calling thread. Where no thread can be
// started, the calling thread makes every block. An exception from Make or
// Take ends the work and reaches the caller once the helper thread has
// stopped (an exception from Make when its block's turn comes).
void MakeBlocksInOrder(int64_t Count, const TMakeBlock& Make, const TTakeBlock& Take,
                       unsigned Threads = 0);

// The threads of a MakeBlocksInOrder whose caller gives 0: 0 (at start) as
// many as the machine has processors, at most two. For benchmarks and tests
// that compare one thread with two.
void SetDefaultBlockThreads(unsigned Threads);
