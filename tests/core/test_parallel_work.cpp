#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "common/ParallelWork.h"

using namespace corvane;

namespace {

struct Scratch {
    int piecesRun = 0;
};

std::vector<Scratch> States(unsigned threads) { return std::vector<Scratch>(threads); }

}  // namespace

TEST(ParallelWork, EveryPieceRunsOnceAndProgressOnlyGrows) {
    for (unsigned threads : {1u, 2u, 5u}) {
        std::vector<std::atomic<int>> runs(1000);
        auto states = States(threads);
        std::size_t last = 0;
        bool grew = true;
        const ParallelOutcome out = RunPieces(
            runs.size(), states,
            [&](Scratch& s, std::size_t i) {
                ++runs[i];
                ++s.piecesRun;
                return true;
            },
            nullptr,
            [&](std::size_t done) {
                grew = grew && done > last;
                last = done;
            });
        EXPECT_FALSE(out.failedPiece);
        EXPECT_EQ(out.completed, runs.size());
        EXPECT_TRUE(grew);
        int total = 0;
        for (const Scratch& s : states) total += s.piecesRun;
        EXPECT_EQ(total, 1000);
        for (const auto& r : runs) ASSERT_EQ(r.load(), 1) << threads << " threads";
    }
}

// Whatever the threads, the failure reported is the one met first going front to back, and
// every piece before it has run.
TEST(ParallelWork, TheEarliestFailureWins) {
    for (unsigned threads : {1u, 2u, 7u}) {
        for (int repeat = 0; repeat < 20; ++repeat) {
            std::vector<std::atomic<int>> runs(400);
            auto states = States(threads);
            const ParallelOutcome out =
                RunPieces(runs.size(), states, [&](Scratch&, std::size_t i) {
                    ++runs[i];
                    return i != 123 && i != 77 && i != 300;
                });
            ASSERT_EQ(out.failedPiece, std::optional<std::size_t>(77));
            for (std::size_t i = 0; i < 77; ++i) ASSERT_EQ(runs[i].load(), 1);
        }
    }
}

TEST(ParallelWork, TheEarliestExceptionIsRethrownAfterEveryThreadStopped) {
    for (unsigned threads : {1u, 3u}) {
        auto states = States(threads);
        EXPECT_THROW(RunPieces(std::size_t{500}, states,
                               [](Scratch&, std::size_t i) {
                                   if (i == 40) throw std::runtime_error("piece 40");
                                   if (i == 41) throw std::logic_error("piece 41");
                                   return true;
                               }),
                     std::runtime_error);
        // A progress callback that throws stops the workers before the exception leaves.
        EXPECT_THROW(RunPieces(
                         std::size_t{400}, states,
                         [](Scratch&, std::size_t) {
                             std::this_thread::sleep_for(std::chrono::milliseconds(1));
                             return true;
                         },
                         nullptr, [](std::size_t) { throw std::runtime_error("progress"); }),
                     std::runtime_error);
    }
}

TEST(ParallelWork, CancelStopsHandingOutPieces) {
    for (unsigned threads : {1u, 4u}) {
        CancelToken token;
        std::atomic<std::size_t> ran{0};
        auto states = States(threads);
        const ParallelOutcome out = RunPieces(
            std::size_t{100000}, states,
            [&](Scratch&, std::size_t i) {
                ++ran;
                if (i == 10) token.cancel();
                return true;
            },
            &token);
        EXPECT_TRUE(out.cancelled);
        EXPECT_LT(ran.load(), 100000u);
    }
}

TEST(ParallelWork, ThreadsFollowTheRequestAndThePieces) {
    EXPECT_EQ(WorkerThreads(3, 100), 3u);
    EXPECT_EQ(WorkerThreads(8, 2), 2u);
    EXPECT_EQ(WorkerThreads(8, 0), 1u);
    EXPECT_GE(WorkerThreads(0, 100), 1u);
}
