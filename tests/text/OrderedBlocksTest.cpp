// Blocks made on two threads come out in order, stop when asked, stay few
// ahead of the one taken, and carry failures to the caller.

#include "text/OrderedBlocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

// Block I holds rows "I.0" ... "I.(I % 3)", one a line.
void MakeRows(int64_t Index, TTextBlock& Block)
{
    for (int64_t Row = 0; Row <= Index % 3; ++Row) {
        Block.Text += std::to_string(Index) + "." + std::to_string(Row) + "\n";
        Block.EndRow();
    }
}

std::string Expected(int64_t Count)
{
    TTextBlock All;
    for (int64_t I = 0; I < Count; ++I)
        MakeRows(I, All);
    return All.Text;
}

TEST(OrderedBlocks, ComeOutInOrderWithTheirRowsOnOneThreadOrTwo)
{
    for (unsigned Threads : {1u, 2u, 0u}) {
        for (int64_t Count : {0, 1, 2, 5, 1000}) {
            SCOPED_TRACE(std::to_string(Threads) + " threads, " + std::to_string(Count) +
                         " blocks");
            std::string Text;
            int64_t Next = 0;
            MakeBlocksInOrder(
                Count, MakeRows,
                [&](int64_t Index, const TTextBlock& Block) {
                    EXPECT_EQ(Index, Next++);
                    // Each row ends where the next begins.
                    EXPECT_EQ(Block.RowEnds.size(), static_cast<std::size_t>(Index % 3 + 1));
                    EXPECT_EQ(Block.RowEnds.back(), Block.Text.size());
                    for (std::size_t Row = 0; Row < Block.RowEnds.size(); ++Row)
                        EXPECT_EQ(Block.Text[Block.RowEnds[Row] - 1], '\n');
                    Text += Block.Text;
                    return true;
                },
                Threads);
            EXPECT_EQ(Next, Count);
            EXPECT_EQ(Text, Expected(Count));
        }
    }
}

TEST(OrderedBlocks, BothThreadsMakeBlocksAndNoneRunsFarAhead)
{
    std::mutex Lock;
    std::set<std::thread::id> Makers;
    std::atomic<int64_t> Highest{-1};
    int64_t Taken = 0;
    MakeBlocksInOrder(
        40,
        [&](int64_t Index, TTextBlock& Block) {
            {
                std::lock_guard<std::mutex> Hold(Lock);
                Makers.insert(std::this_thread::get_id());
            }
            int64_t Seen = Highest.load();
            while (Index > Seen && !Highest.compare_exchange_weak(Seen, Index)) {}
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            MakeRows(Index, Block);
        },
        [&](int64_t Index, const TTextBlock&) {
            // Blocks are made only while fewer than OrderedBlocksAhead wait.
            EXPECT_LT(Highest.load(), Index + OrderedBlocksAhead);
            ++Taken;
            return true;
        },
        2);
    EXPECT_EQ(Taken, 40);
    if (std::thread::hardware_concurrency() >= 2) {
        EXPECT_EQ(Makers.size(), 2u);
    }
}

TEST(OrderedBlocks, TakeStopsTheWorkAndFailuresReachTheCaller)
{
    for (unsigned Threads : {1u, 2u}) {
        SCOPED_TRACE(std::to_string(Threads) + " threads");
        // Take says stop at block 3: nothing after it is taken.
        std::vector<int64_t> Indices;
        MakeBlocksInOrder(
            100, MakeRows,
            [&](int64_t Index, const TTextBlock&) {
                Indices.push_back(Index);
                return Index < 3;
            },
            Threads);
        EXPECT_EQ(Indices, (std::vector<int64_t>{0, 1, 2, 3}));

        // Block 5 cannot be made: blocks 0 to 4 are taken, then its failure comes.
        Indices.clear();
        EXPECT_THROW(MakeBlocksInOrder(
                         100,
                         [](int64_t Index, TTextBlock& Block) {
                             if (Index == 5)
                                 throw std::runtime_error("block 5");
                             MakeRows(Index, Block);
                         },
                         [&](int64_t Index, const TTextBlock&) {
                             Indices.push_back(Index);
                             return true;
                         },
                         Threads),
                     std::runtime_error);
        EXPECT_EQ(Indices, (std::vector<int64_t>{0, 1, 2, 3, 4}));

        // A failing Take ends the work as well.
        EXPECT_THROW(MakeBlocksInOrder(
                         100, MakeRows,
                         [](int64_t Index, const TTextBlock&) -> bool {
                             if (Index == 7)
                                 throw std::logic_error("take 7");
                             return true;
                         },
                         Threads),
                     std::logic_error);
    }
}

}  // namespace
