// MemberRun: one member of an ensemble run headless to its project's duration.
#pragma once

#include "ensemble/EnsemblePlan.hpp"
#include "ensemble/MemberResult.hpp"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pelagrin {

class WorkerPool;

/// What every member shares: the project file, the plan and the speed multiplier.
struct EnsembleSetup {
    std::string projectPath;
    EnsemblePlan plan;
    double speed = 60.0; ///< speed multiplier, finite and positive, as `pelagrin run --speed`
};

/// Runs member `index` of `setup` on the calling thread, its engine stepping on `workers`: the project loaded
/// afresh, the member's values and seed set, then run unpaced to its duration. `onSteps` hears of every
/// frame's particle-steps. Absent when `stopRequested` was set before the run ended. Throws
/// `ProjectPersistence::LoadError` or std::invalid_argument (naming the field) when the member cannot run.
std::optional<MemberResult> runMember(const EnsembleSetup& setup, std::size_t index, WorkerPool& workers,
                                      const std::atomic<bool>& stopRequested,
                                      const std::function<void(std::int64_t)>& onSteps);

} // namespace pelagrin
