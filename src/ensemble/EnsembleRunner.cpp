// EnsembleRunner: member threads pulling the next member, the caller watching and reporting.
#include "ensemble/EnsembleRunner.hpp"

#include "simulation/WorkerPool.hpp"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

namespace pelagrin {

std::vector<MemberResult> runMembers(const EnsembleSetup& given, std::span<const std::size_t> indices,
                                     unsigned threadCount, std::atomic<bool>& stopRequested,
                                     const std::function<void(const EnsembleProgress&)>& onProgress) {
    // Read once for all members, not once each.
    EnsembleSetup setup = given;
    setup.project = projectOf(given);
    const unsigned parallel = std::max(1u, std::min(threadCount, static_cast<unsigned>(indices.size())));
    const unsigned threadsPerMember = std::max(1u, threadCount / parallel);

    std::vector<std::optional<MemberResult>> results(indices.size());
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::atomic<std::int64_t> particleSteps{0};
    std::mutex mutex;
    std::condition_variable changed;
    std::exception_ptr firstError;
    unsigned running = parallel;

    auto work = [&] {
        WorkerPool workers(threadsPerMember);
        auto onSteps = [&](std::int64_t steps) { particleSteps.fetch_add(steps, std::memory_order_relaxed); };
        for (std::size_t slot = next++; slot < indices.size() && !stopRequested; slot = next++) {
            try {
                results[slot] = runMember(setup, indices[slot], workers, stopRequested, onSteps);
            } catch (...) {
                const std::lock_guard lock(mutex);
                if (!firstError) {
                    firstError = std::current_exception();
                }
                stopRequested = true;
            }
            if (results[slot]) {
                ++done;
            }
        }
        const std::lock_guard lock(mutex);
        --running;
        changed.notify_all();
    };
    std::vector<std::jthread> threads;
    for (unsigned i = 0; i < parallel; ++i) {
        threads.emplace_back(work);
    }

    // The caller reports until the last member thread has left.
    std::unique_lock lock(mutex);
    while (!changed.wait_for(lock, std::chrono::milliseconds(100), [&] { return running == 0; })) {
        lock.unlock();
        onProgress({done.load(), particleSteps.load()});
        lock.lock();
    }
    lock.unlock();
    threads.clear();
    onProgress({done.load(), particleSteps.load()});
    if (firstError) {
        std::rethrow_exception(firstError);
    }

    std::vector<MemberResult> finished;
    for (std::optional<MemberResult>& result : results) {
        if (result) {
            finished.push_back(std::move(*result));
        }
    }
    return finished;
}

} // namespace pelagrin
