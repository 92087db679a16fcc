// DirtyTracker: notices the edits of an open project that make it unsaved.
#pragma once

#include "projects/Project.hpp"
#include "simulation/Observable.hpp"

#include <functional>
#include <memory>
#include <vector>

namespace pelagrin {

/// Watches every stored field of one project, of its region, of its parameters and of their particle
/// settings, and calls `markDirty` whenever one of them takes a different value or one of those model objects
/// appears, disappears or is replaced (a screen creating the parameters on a first edit counts). Assigning a
/// value equal to the old one does not count, so a screen writing back what it read leaves the project clean.
class DirtyTracker {
public:
    DirtyTracker(std::shared_ptr<Project> project, std::function<void()> markDirty);
    DirtyTracker(const DirtyTracker&) = delete;
    DirtyTracker& operator=(const DirtyTracker&) = delete;

private:
    /// Subscribes along the current chain of model objects, dropping the subscriptions of the last chain.
    void follow();
    template <class T> void watch(Observable<T>& field);
    template <class T> void watchLink(Observable<std::shared_ptr<T>>& link);

    std::shared_ptr<Project> project_;
    std::function<void()> markDirty_;
    // The objects watched below, held so that each subscription's observable outlives it.
    std::shared_ptr<Region> region_;
    std::shared_ptr<SimulationParameters> parameters_;
    std::shared_ptr<ParticleSettings> settings_;
    std::vector<Subscription> subscriptions_;
};

} // namespace pelagrin
