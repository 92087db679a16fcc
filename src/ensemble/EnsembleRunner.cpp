// EnsembleRunner: member threads pulling the next member, the caller watching and reporting.
#include "ensemble/EnsembleRunner.hpp"

#include "simulation/WorkerPool.hpp"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace pelagrin {

std::vector<MemberResult> runMembers(const EnsembleSetup& given, const NextMember& nextMember,
                                     std::size_t memberCount, unsigned threadCount,
                                     std::atomic<bool>& stopRequested,
                                     const std::function<void(const EnsembleProgress&)>& onProgress) {
    // Read once for all members, not once each.
    EnsembleSetup setup = given;
    setup.project = projectOf(given);
    const unsigned parallel = std::max(1u, std::min(threadCount, static_cast<unsigned>(memberCount)));
    const unsigned threadsPerMember = std::max(1u, threadCount / parallel);

    std::vector<MemberResult> finished;
    std::atomic<std::size_t> done{0};
    std::atomic<std::int64_t> particleSteps{0};
    std::mutex mutex;
    std::condition_variable changed;
    std::exception_ptr firstError;
    unsigned running = parallel;

    auto work = [&] {
        WorkerPool workers(threadsPerMember);
        auto onSteps = [&](std::int64_t steps) { particleSteps.fetch_add(steps, std::memory_order_relaxed); };
        try {
            // Stop is checked before a member is taken, so that none is taken only to be dropped.
            while (!stopRequested) {
                const std::optional<std::size_t> index = nextMember();
                if (!index) {
                    break;
                }
                if (std::optional<MemberResult> result =
                        runMember(setup, *index, workers, stopRequested, onSteps)) {
                    const std::lock_guard lock(mutex);
                    finished.push_back(std::move(*result));
                    ++done;
                }
            }
        } catch (...) {
            const std::lock_guard lock(mutex);
            if (!firstError) {
                firstError = std::current_exception();
            }
            stopRequested = true;
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
    std::sort(finished.begin(), finished.end(),
              [](const MemberResult& a, const MemberResult& b) { return a.index < b.index; });
    return finished;
}

std::vector<MemberResult> runMembers(const EnsembleSetup& setup, std::span<const std::size_t> indices,
                                     unsigned threadCount, std::atomic<bool>& stopRequested,
                                     const std::function<void(const EnsembleProgress&)>& onProgress) {
    std::atomic<std::size_t> next{0};
    const NextMember inOrder = [&]() -> std::optional<std::size_t> {
        const std::size_t slot = next++;
        return slot < indices.size() ? std::optional(indices[slot]) : std::nullopt;
    };
    return runMembers(setup, inOrder, indices.size(), threadCount, stopRequested, onProgress);
}

} // namespace pelagrin
