// AnalysisScreen: the shared data store's statistics as the analysis screen shows them.
#pragma once

#include "analysis/SimulationDataStore.hpp"
#include "projects/Project.hpp"
#include "simulation/SimulationController.hpp"

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace pelagrin {

/// One figure of the screen, already formatted.
struct MetricCard {
    std::string title; ///< caption under the figure
    std::string value; ///< the figure with its unit
    std::string icon;  ///< system symbol name
    std::string color; ///< "primary", "orange", "blue" or "red"
};

/// The "Charts & Heatmaps" screen of a project window. It keeps no state of its own: it reads the store and
/// the controller's seed, and tells `changed` after every assignment of a store property it shows, so the
/// window redraws (a new run's seed comes with the store's reset).
class AnalysisScreen {
public:
    /// `store` and `controller` must outlive the screen.
    AnalysisScreen(SimulationDataStore& store, const SimulationController& controller,
                   std::function<void()> changed);
    AnalysisScreen(const AnalysisScreen&) = delete;
    AnalysisScreen& operator=(const AnalysisScreen&) = delete;

    /// The five cards: total, accumulated, active, active average speed and maximum speed.
    std::vector<MetricCard> cards() const;

    /// `{"cards", "timeline", "distribution", "seed"}`, the value of `project.analysis` in the window of
    /// `project`, whose file the seed's command line names.
    nlohmann::json state(const Project& project) const;

private:
    const SimulationDataStore& store_;
    const SimulationController& controller_;
    std::vector<Subscription> watches_;
};

} // namespace pelagrin
