// DepositsPanel: where the last run's particles came to rest, as the analysis screen's map shows it.
#pragma once

#include "analysis/DepositMap.hpp"
#include "simulation/Observable.hpp"

#include <functional>
#include <nlohmann/json.hpp>
#include <vector>

namespace pelagrin {

class Region;
class SimulationController;
class SimulationDataStore;

/// The "deposits" part of the analysis screen: the bed heatmap, the shore's stretches and the sentences that
/// name the leading ones, worked out from the controller's last published frame. Worked out again when the
/// statistics are (the store's updates) and when a run ends, not on every frame.
class DepositsPanel {
public:
    /// Legend titles, with the units of the figures they colour.
    static constexpr const char* heatmapLegend = "Sediment (particles/km²)";
    static constexpr const char* shoreLegend = "Stranded (particles per 100 m of shore)";
    /// Stretches of shore named under the map.
    static constexpr std::size_t topCount = 3;

    /// `controller` and `store` must outlive the panel; `changed` is told when a run ends.
    DepositsPanel(SimulationController& controller, SimulationDataStore& store,
                  std::function<void()> changed);
    DepositsPanel(const DepositsPanel&) = delete;
    DepositsPanel& operator=(const DepositsPanel&) = delete;

    /// `map` over the lake of `outline` (degrees) as `state` gives it.
    static nlohmann::json mapJson(const DepositMap& map, const std::vector<GeoCoordinate>& outline);

    /// The value of `project.analysis.deposits` over `region`: null before any run has stepped, or when
    /// the region has no outline to map.
    nlohmann::json state(const Region* region) const;

private:
    const SimulationController& controller_;
    std::vector<Subscription> watches_;
    // The last answer and the region it was worked out for; `isStale_` once the run has moved on.
    mutable nlohmann::json cached_;
    mutable const Region* cachedRegion_ = nullptr;
    mutable bool isStale_ = true;
};

} // namespace pelagrin
