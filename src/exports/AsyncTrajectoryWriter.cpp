// AsyncTrajectoryWriter: the two buffers passed between the caller and the writing thread under one mutex.
#include "exports/AsyncTrajectoryWriter.hpp"

namespace pelagrin {

AsyncTrajectoryWriter::AsyncTrajectoryWriter(const std::filesystem::path& path, std::size_t particleCount,
                                             const CanvasMapping& mapping, double waterDepth,
                                             std::chrono::system_clock::time_point runStart,
                                             const std::vector<NetCdfAttribute>& attributes)
    : writer_(path, particleCount, mapping, waterDepth, runStart, attributes), free_{&buffers_[0],
                                                                                     &buffers_[1]},
      thread_([this] { writeUntilStopped(); }) {}

AsyncTrajectoryWriter::~AsyncTrajectoryWriter() {
    stopThread();
}

void AsyncTrajectoryWriter::append(double time, std::span<const Particle> particles) {
    TrajectoryWriter::Sample* sample = nullptr;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !free_.empty() || error_; });
        if (error_) {
            throw *error_;
        }
        sample = free_.back();
        free_.pop_back();
    }
    // Outside the lock: the thread goes on writing the other buffer meanwhile.
    writer_.pack(time, particles, *sample);
    {
        const std::lock_guard lock(mutex_);
        queued_.push_back(sample);
    }
    changed_.notify_all();
    ++handed_;
}

void AsyncTrajectoryWriter::close() {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return queued_.empty(); });
    }
    stopThread();
    if (error_) {
        throw *error_;
    }
    writer_.close();
}

void AsyncTrajectoryWriter::writeUntilStopped() {
    bool hasFailed = false;
    for (;;) {
        TrajectoryWriter::Sample* sample = nullptr;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !queued_.empty() || isStopping_; });
            if (isStopping_) {
                return;
            }
            sample = queued_.front();
        }
        std::optional<NetCdfError> failure;
        if (!hasFailed) { // after a failure the file is lost: the samples are only given back
            try {
                writer_.write(*sample);
            } catch (const NetCdfError& error) {
                failure = error;
                hasFailed = true;
            }
        }
        {
            const std::lock_guard lock(mutex_);
            queued_.pop_front();
            free_.push_back(sample);
            if (failure) {
                error_ = std::move(failure);
            }
        }
        changed_.notify_all();
    }
}

void AsyncTrajectoryWriter::stopThread() {
    if (!thread_.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        isStopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

} // namespace pelagrin
