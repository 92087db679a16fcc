// TrajectoryRecording: a headless run's particles sampled into a trajectory file as the run goes.
#pragma once

#include "exports/AsyncTrajectoryWriter.hpp"

#include <filesystem>
#include <optional>
#include <string>

namespace pelagrin {

class Project;
class SimulationController;
class SimulationEngine;

/// Follows the started run of `controller` and writes its particles to a trajectory file: at time 0 on
/// construction, then after the first engine step at or past each multiple of `every` seconds of simulated
/// time (a step spans speed × 0.016 s), and where the run ended on `finish`. The step only packs the sample:
/// the file is written on a thread of its own, so that the run waits for the disk only when it is two
/// samples ahead. A write that fails stops the run at the next sample and is kept for `finish` to report.
/// Construction throws `NetCdfError` when the file cannot be started, and std::invalid_argument when the
/// project's region has no extent to place particles in degrees.
class TrajectoryRecording {
public:
    TrajectoryRecording(const std::filesystem::path& path, double every, SimulationController& controller,
                        Project& project);

    /// Completes the file after the run with a last sample of where the run ended; throws `NetCdfError` for
    /// a write that failed, now or during the run.
    void finish();
    /// Samples written so far.
    std::size_t sampleCount() const { return writer_.sampleCount(); }

private:
    void step(const SimulationEngine& engine);

    SimulationController& controller_;
    double every_;
    AsyncTrajectoryWriter writer_;
    double lastSample_ = 0.0;
    double nextSample_;
    std::optional<NetCdfError> error_;
};

} // namespace pelagrin
