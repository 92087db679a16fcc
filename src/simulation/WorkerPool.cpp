// The worker threads and the hand-out of tasks.
#include "simulation/WorkerPool.hpp"

#include <algorithm>

namespace pelagrin {

WorkerPool::WorkerPool(unsigned threadCount) {
    const unsigned extra = std::max(threadCount, 1u) - 1;
    workers_.reserve(extra);
    for (unsigned i = 0; i < extra; ++i) {
        workers_.emplace_back([this] { workLoop(); });
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard lock(mutex_);
        isStopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

WorkerPool& WorkerPool::shared() {
    static WorkerPool pool(std::max(std::thread::hardware_concurrency(), 1u));
    return pool;
}

void WorkerPool::runErased(std::size_t taskCount, void* context, Trampoline trampoline) {
    if (taskCount == 0) {
        return;
    }
    std::lock_guard call(callMutex_);
    if (workers_.empty() || taskCount == 1) {
        for (std::size_t i = 0; i < taskCount; ++i) {
            trampoline(context, i);
        }
        return;
    }
    {
        std::lock_guard lock(mutex_);
        context_ = context;
        trampoline_ = trampoline;
        taskCount_ = taskCount;
        nextTask_.store(0, std::memory_order_relaxed);
        busyWorkers_ = static_cast<unsigned>(workers_.size());
        ++generation_;
    }
    wake_.notify_all();
    drainTasks();
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return busyWorkers_ == 0; });
}

void WorkerPool::drainTasks() {
    for (std::size_t i = nextTask_.fetch_add(1, std::memory_order_relaxed); i < taskCount_;
         i = nextTask_.fetch_add(1, std::memory_order_relaxed)) {
        trampoline_(context_, i);
    }
}

void WorkerPool::workLoop() {
    std::uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return isStopping_ || generation_ != seen; });
            if (isStopping_) {
                return;
            }
            seen = generation_;
        }
        drainTasks();
        {
            std::lock_guard lock(mutex_);
            --busyWorkers_;
        }
        finished_.notify_one();
    }
}

} // namespace pelagrin
