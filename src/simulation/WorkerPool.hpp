// WorkerPool: a fixed set of threads that share out the tasks of one call, the caller working with them.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace pelagrin {

/// Threads are created once; `run` hands out task numbers to them and to the calling thread and returns when
/// every task is done, so a caller sees its work finished in order. Calls from several threads take turns.
class WorkerPool {
public:
    /// A pool of `threadCount` threads in all, the caller included (at least 1).
    explicit WorkerPool(unsigned threadCount);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    /// The process-wide pool, one thread per core.
    static WorkerPool& shared();

    /// Threads that work on a call, the caller included.
    unsigned threadCount() const { return static_cast<unsigned>(workers_.size()) + 1; }

    /// Calls `task(i)` for every i in [0, taskCount), spread over the threads; returns when all are done.
    /// `task` must not throw.
    template <typename Task> void run(std::size_t taskCount, Task& task) {
        runErased(taskCount, &task, [](void* context, std::size_t i) { (*static_cast<Task*>(context))(i); });
    }

private:
    using Trampoline = void (*)(void*, std::size_t);

    void runErased(std::size_t taskCount, void* context, Trampoline trampoline);
    void workLoop();
    void drainTasks();

    std::vector<std::thread> workers_;
    std::mutex callMutex_; // one call at a time

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::uint64_t generation_ = 0; // bumped for every call; workers wait for a new one
    unsigned busyWorkers_ = 0;
    bool isStopping_ = false;

    void* context_ = nullptr;
    Trampoline trampoline_ = nullptr;
    std::size_t taskCount_ = 0;
    std::atomic<std::size_t> nextTask_{0};
};

} // namespace pelagrin
