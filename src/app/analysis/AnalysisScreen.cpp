// AnalysisScreen: the cards' figures and the two charts' data, titles and placeholders.
#include "app/analysis/AnalysisScreen.hpp"

#include "app/analysis/SpeedUnit.hpp"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>
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

/// "from–to" of every bar in `unit`, with as many decimals as the bars' width needs.
std::string rangeLabel(const SpeedRange& bin, const SpeedUnit& unit) {
    const double width = (bin.to - bin.from) * unit.perMeterPerSec;
    const int decimals = std::max(static_cast<int>(std::ceil(-std::log10(width) - 1e-9)), 0);
    return fmt::format("{:.{}f}–{:.{}f}", bin.from * unit.perMeterPerSec, decimals,
                       bin.to * unit.perMeterPerSec, decimals);
}

/// One bar per bin in store order, labelled in the unit the fastest bar reads best in; empty bins are still
/// a chart, only no bins at all is "No data".
json distributionJson(const std::vector<SpeedRange>& bins) {
    const SpeedUnit unit = SpeedUnit::fitting(bins.empty() ? 0.0 : bins.back().to);
    json bars = json::array();
    for (const SpeedRange& bin : bins) {
        bars.push_back({{"range", rangeLabel(bin, unit)}, {"count", bin.count}});
    }
    return {{"title", "Velocity Distribution"},
            {"icon", "speedometer"},
            {"placeholder", bins.empty() ? json("No data") : json(nullptr)},
            {"xAxisTitle", fmt::format("Speed ({})", unit.name)},
            {"yAxisTitle", "Particle Count"},
            {"unit", unit.name},
            {"bars", std::move(bars)}};
}

/// `text` as one word of a POSIX shell: as it is when no character of it is special there, else in single
/// quotes.
std::string shellWord(const std::string& text) {
    const bool isPlain =
        !text.empty() && text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                                "0123456789_./+,:@%=-") == std::string::npos;
    if (isPlain) {
        return text;
    }
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

/// The seed of the current or last run and the command line that repeats it from `project`'s file; null
/// before the first run.
json seedJson(const SimulationController& controller, const Project& project) {
    const std::optional<std::uint64_t> seed = controller.seed();
    if (!seed) {
        return nullptr;
    }
    const std::string file = project.directoryURL.get().value_or(project.name.get() + ".pelagrinproj");
    return {{"value", *seed},
            {"command", fmt::format("pelagrin run {} --seed {} --speed {}", shellWord(file), *seed,
                                    controller.currentSpeedMultiplier())}};
}

} // namespace

AnalysisScreen::AnalysisScreen(SimulationDataStore& store, const SimulationController& controller,
                               std::function<void()> changed)
    : store_(store), controller_(controller) {
    const auto notify = [changed = std::move(changed)](const auto&) { changed(); };
    watches_.push_back(store.totalParticles.subscribe(notify));
    watches_.push_back(store.stuckParticles.subscribe(notify));
    watches_.push_back(store.activeParticles.subscribe(notify));
    watches_.push_back(store.activeAverageSpeed.subscribe(notify));
    watches_.push_back(store.maxSpeed.subscribe(notify));
    watches_.push_back(store.history.subscribe(notify));
    watches_.push_back(store.fittedSpeedBins.subscribe(notify));
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

json AnalysisScreen::state(const Project& project) const {
    json cardList = json::array();
    for (const MetricCard& card : cards()) {
        cardList.push_back(cardJson(card));
    }
    return {{"cards", std::move(cardList)},
            {"timeline", timelineJson(store_.history)},
            {"distribution", distributionJson(store_.fittedSpeedBins)},
            {"seed", seedJson(controller_, project)}};
}

} // namespace pelagrin
