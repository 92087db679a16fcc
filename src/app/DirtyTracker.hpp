// DirtyTracker: notices the edits of an open project that make it unsaved.
#pragma once

#include "projects/Project.hpp"
#include "simulation/Observable.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace pelagrin {

/// Watches three values of one project and calls `markDirty` when one of them takes a different value: the
/// region's water polygon (the region appearing or disappearing counts), the parameters' flow speed and the
/// particle settings' count. Parameters or settings appearing do not count by themselves, and neither does
/// assigning a value equal to the old one. Other edits (turbulence, radius, …) are not watched.
class DirtyTracker {
public:
    DirtyTracker(std::shared_ptr<Project> project, std::function<void()> markDirty);
    DirtyTracker(const DirtyTracker&) = delete;
    DirtyTracker& operator=(const DirtyTracker&) = delete;

private:
    /// The watched values as they stand; absent where their model object is.
    std::optional<std::vector<GeoCoordinate>> waterVertices() const;
    std::optional<double> flowSpeed() const;
    std::optional<std::int64_t> count() const;

    /// Re-subscribes along the current chain of model objects and compares the values with the last seen.
    void refresh();

    std::shared_ptr<Project> project_;
    std::function<void()> markDirty_;
    std::optional<std::vector<GeoCoordinate>> lastWaterVertices_;
    std::optional<double> lastFlowSpeed_;
    std::optional<std::int64_t> lastCount_;
    // The objects watched below, held so that each subscription's observable outlives it.
    std::shared_ptr<Region> region_;
    std::shared_ptr<SimulationParameters> parameters_;
    std::shared_ptr<ParticleSettings> settings_;
    std::vector<Subscription> subscriptions_;
};

} // namespace pelagrin
