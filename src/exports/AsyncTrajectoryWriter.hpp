// AsyncTrajectoryWriter: a trajectory file written on a thread of its own while the run goes on.
#pragma once

#include "exports/TrajectoryWriter.hpp"

#include <array>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace pelagrin {

/// A `TrajectoryWriter` whose samples are packed on the caller's thread and written on a thread of its own,
/// with two sample buffers: the caller packs into a free one while the thread writes the other, and waits
/// only when the thread still holds both. So at most two samples are in memory, however long the run. A
/// write that fails is kept and thrown, with the writer's message, by the next `append` or by `close`; the
/// file then never takes its path. One caller thread.
class AsyncTrajectoryWriter {
public:
    /// Starts the file on the calling thread, as `TrajectoryWriter` does (and throws as it does), then the
    /// writing thread.
    AsyncTrajectoryWriter(const std::filesystem::path& path, std::size_t particleCount,
                          const CanvasMapping& mapping, double waterDepth,
                          std::chrono::system_clock::time_point runStart,
                          const std::vector<NetCdfAttribute>& attributes);
    /// Abandons the samples not yet written, and the file unless `close` succeeded.
    ~AsyncTrajectoryWriter();
    AsyncTrajectoryWriter(const AsyncTrajectoryWriter&) = delete;
    AsyncTrajectoryWriter& operator=(const AsyncTrajectoryWriter&) = delete;

    /// Packs the particles at `time` and hands them to the writing thread; throws `NetCdfError` once a
    /// write has failed.
    void append(double time, std::span<const Particle> particles);
    /// Samples handed on so far.
    std::size_t sampleCount() const { return handed_; }
    /// Waits for the samples handed on to be written, then finishes the file and puts it at its path; throws
    /// `NetCdfError` for a write that failed.
    void close();

private:
    void writeUntilStopped();
    void stopThread();

    TrajectoryWriter writer_;
    std::array<TrajectoryWriter::Sample, 2> buffers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    // Guarded by `mutex_`: the buffers the caller may pack into, those handed on (the first being written)
    // and the first failure.
    std::vector<TrajectoryWriter::Sample*> free_;
    std::deque<TrajectoryWriter::Sample*> queued_;
    std::optional<NetCdfError> error_;
    bool isStopping_ = false;
    std::size_t handed_ = 0;
    // Last, so that it starts once everything it uses is in place.
    std::thread thread_;
};

} // namespace pelagrin
