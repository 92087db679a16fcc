// The worker pool: every task runs exactly once per call, the caller sees all of it done, callers take turns.
#include "simulation/WorkerPool.hpp"

#include <atomic>
#include <gtest/gtest.h>
#include <numeric>
#include <thread>
#include <vector>

namespace pelagrin {
namespace {

TEST(WorkerPool, RunsEveryTaskOnceAndReturnsWhenAllAreDoneAndASingleThreadPoolWorksOnTheCaller) {
    for (unsigned threadCount : {1u, 3u}) {
        WorkerPool pool(threadCount);
        for (std::size_t taskCount : {0u, 1u, 2u, 7u, 1000u}) {
            std::vector<int> runs(taskCount, 0);
            std::vector<std::thread::id> runners(taskCount);
            auto task = [&](std::size_t i) {
                ++runs[i];
                runners[i] = std::this_thread::get_id();
            };
            pool.run(taskCount, task);
            for (std::size_t i = 0; i < taskCount; ++i) {
                ASSERT_EQ(runs[i], 1) << "task " << i << " of " << taskCount << " on " << threadCount;
                if (threadCount == 1) {
                    ASSERT_EQ(runners[i], std::this_thread::get_id()) << "task " << i;
                }
            }
        }
    }
}

TEST(WorkerPool, CallsFromSeveralThreadsTakeTurns) {
    WorkerPool pool(2);
    std::atomic<long> total{0};
    std::vector<std::thread> callers;
    for (int c = 0; c < 4; ++c) {
        callers.emplace_back([&] {
            for (int round = 0; round < 50; ++round) {
                std::vector<long> values(64, 0);
                auto task = [&](std::size_t i) { values[i] = static_cast<long>(i); };
                pool.run(values.size(), task);
                total += std::accumulate(values.begin(), values.end(), 0L);
            }
        });
    }
    for (std::thread& caller : callers) {
        caller.join();
    }
    EXPECT_EQ(total.load(), 4L * 50 * (63 * 64 / 2));
}

} // namespace
} // namespace pelagrin
