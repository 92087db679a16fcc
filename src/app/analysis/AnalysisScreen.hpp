// AnalysisScreen: the shared data store's statistics as the analysis screen shows them.
#pragma once

#include "analysis/SimulationDataStore.hpp"

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
/// tells `changed` after every assignment of a property it shows, so the window redraws.
class AnalysisScreen {
public:
    /// `store` must outlive the screen.
    AnalysisScreen(SimulationDataStore& store, std::function<void()> changed);
    AnalysisScreen(const AnalysisScreen&) = delete;
    AnalysisScreen& operator=(const AnalysisScreen&) = delete;

    /// The five cards: total, accumulated, active, active average speed and maximum speed.
    std::vector<MetricCard> cards() const;

    /// `{"cards", "timeline", "distribution"}`, the value of `project.analysis`.
    nlohmann::json state() const;

private:
    const SimulationDataStore& store_;
    std::vector<Subscription> watches_;
};

} // namespace pelagrin
