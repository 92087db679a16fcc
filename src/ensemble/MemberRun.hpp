// MemberRun: one member of an ensemble run headless to its project's duration.
#pragma once

#include "analysis/DepositMap.hpp"
#include "ensemble/EnsemblePlan.hpp"
#include "ensemble/MemberResult.hpp"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace pelagrin {

class Project;
class WorkerPool;

/// What every member shares: the project, the plan and the speed multiplier.
struct EnsembleSetup {
    std::string projectPath; ///< the project's file, or its name when it has none; named in the results
    EnsemblePlan plan;
    double speed = 60.0; ///< speed multiplier, finite and positive, as `pelagrin run --speed`
    /// The project as every member starts from it, never changed once handed in; read from `projectPath`
    /// when absent.
    std::shared_ptr<const Project> project = nullptr;
};

/// Where `particles` (in simulation px) rest over `project`'s water outline; absent without an outline to
/// map.
std::optional<DepositMap> depositMapOf(const Project& project, std::span<const Particle> particles);

/// The project of `setup`: its own, or the file at `projectPath` read once. Throws
/// `ProjectPersistence::LoadError`, or std::invalid_argument for a project without simulation parameters.
std::shared_ptr<const Project> projectOf(const EnsembleSetup& setup);

/// Runs member `index` of `setup` (whose `project` is set) on the calling thread, its engine stepping on
/// `workers`: a copy of the project with the member's values and seed, run unpaced to its duration.
/// `onSteps` hears of every frame's particle-steps. Absent when `stopRequested` was set before the run ended.
/// Throws std::invalid_argument (naming the field) when the member cannot run.
std::optional<MemberResult> runMember(const EnsembleSetup& setup, std::size_t index, WorkerPool& workers,
                                      const std::atomic<bool>& stopRequested,
                                      const std::function<void(std::int64_t)>& onSteps);

} // namespace pelagrin
