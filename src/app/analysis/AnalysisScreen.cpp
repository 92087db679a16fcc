// AnalysisScreen: the cards' figures and the two charts' data, titles and placeholders.
#include "app/analysis/AnalysisScreen.hpp"

#include "app/analysis/SpeedUnit.hpp"

#include <utility>

namespace pelagrin {
namespace {

using nlohmann::json;

json cardJson(const MetricCard& card) {
    return {{"title", card.title}, {"value", card.value}, {"icon", card.icon}, {"color", card.color}};
}

/// Stuck particles over simulation time, one point per sample, as two columns of equal length.
json timelineJson(const std::vector<TimePoint>& history) {
    json time = json::array();
    json stuck = json::array();
    for (const TimePoint& sample : history) {
        time.push_back(sample.time);
        stuck.push_back(sample.stuckCount);
    }
    return {{"title", "Accumulation Timeline"},
            {"icon", "clock"},
            {"placeholder", history.empty() ? json("Run simulation to gather data") : json(nullptr)},
            {"xAxisTitle", "Time (h:min)"},
            {"yAxisTitle", "Particles"},
            {"time", std::move(time)},
            {"stuck", std::move(stuck)}};
}

/// One bar per bin in store order; five empty bins are still a chart, only no bins at all is "No data".
json distributionJson(const std::vector<SpeedBin>& bins) {
    json bars = json::array();
    for (const SpeedBin& bin : bins) {
        bars.push_back({{"range", bin.range}, {"count", bin.count}});
    }
    return {{"title", "Velocity Distribution"},
            {"icon", "speedometer"},
            {"placeholder", bins.empty() ? json("No data") : json(nullptr)},
            {"xAxisTitle", "Speed Range (px/s)"},
            {"yAxisTitle", "Particle Count"},
            {"bars", std::move(bars)}};
}

} // namespace

AnalysisScreen::AnalysisScreen(SimulationDataStore& store, std::function<void()> changed) : store_(store) {
    const auto notify = [changed = std::move(changed)](const auto&) { changed(); };
    watches_.push_back(store.totalParticles.subscribe(notify));
    watches_.push_back(store.stuckParticles.subscribe(notify));
    watches_.push_back(store.activeParticles.subscribe(notify));
    watches_.push_back(store.activeAverageSpeed.subscribe(notify));
    watches_.push_back(store.maxSpeed.subscribe(notify));
    watches_.push_back(store.history.subscribe(notify));
    watches_.push_back(store.speedBuckets.subscribe(notify));
}

std::vector<MetricCard> AnalysisScreen::cards() const {
    // The global average speed is the store's too, but this screen shows only the active one.
    const double pixelsPerMeter = store_.pixelsPerMeter;
    return {
        {"Total Particles", std::to_string(store_.totalParticles.get()), "circle.grid.hex", "primary"},
        {"Accumulated", std::to_string(store_.stuckParticles.get()), "arrow.down.to.line.alt", "orange"},
        {"Active Flow", std::to_string(store_.activeParticles.get()), "wind", "blue"},
        {"Avg Speed (Active)", speedText(store_.activeAverageSpeed / pixelsPerMeter), "speedometer",
         "primary"},
        {"Max Speed", speedText(store_.maxSpeed / pixelsPerMeter), "gauge.with.dots.needle.100percent",
         "red"},
    };
}

json AnalysisScreen::state() const {
    json cardList = json::array();
    for (const MetricCard& card : cards()) {
        cardList.push_back(cardJson(card));
    }
    return {{"cards", std::move(cardList)},
            {"timeline", timelineJson(store_.history)},
            {"distribution", distributionJson(store_.speedBuckets)}};
}

} // namespace pelagrin
