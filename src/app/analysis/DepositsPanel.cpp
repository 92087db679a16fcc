// DepositsPanel: the deposit map's grid, stretches and sentences as the analysis screen's JSON.
#include "app/analysis/DepositsPanel.hpp"

#include "analysis/SimulationDataStore.hpp"
#include "exports/RunDeposits.hpp"
#include "simulation/SimulationController.hpp"

#include <cmath>
#include <fmt/format.h>

namespace pelagrin {
namespace {

using nlohmann::json;

json pointJson(GeoCoordinate c) {
    return {{"latitude", c.latitude}, {"longitude", c.longitude}};
}

/// "46.4521° N, 6.5123° E".
std::string placeText(GeoCoordinate c) {
    return fmt::format("{:.4f}° {}, {:.4f}° {}", std::fabs(c.latitude), c.latitude < 0 ? "S" : "N",
                       std::fabs(c.longitude), c.longitude < 0 ? "W" : "E");
}

/// "34 particles, 6.8 % of all".
std::string shareText(std::int64_t count, std::int64_t all) {
    const double percent = all > 0 ? 100.0 * static_cast<double>(count) / static_cast<double>(all) : 0.0;
    return fmt::format("{} particle{}, {:.1f} % of all", count, count == 1 ? "" : "s", percent);
}

json heatmapJson(const DepositMap& map) {
    const BedHeatmap& bed = map.bed;
    return {{"south", bed.south},
            {"west", bed.west},
            {"north", bed.south + bed.rows * bed.cellLatitude},
            {"east", bed.west + bed.columns * bed.cellLongitude},
            {"rows", bed.rows},
            {"columns", bed.columns},
            {"particlesPerKm2", bed.particlesPerKm2},
            {"max", map.maxParticlesPerKm2()},
            {"legend", DepositsPanel::heatmapLegend}};
}

json shoreJson(const DepositMap& map) {
    json segments = json::array();
    double most = 0.0;
    for (const ShoreSegment& segment : map.shore) {
        json points = json::array();
        for (const GeoCoordinate& c : segment.points) {
            points.push_back(pointJson(c));
        }
        most = std::max(most, segment.perHundredMetres());
        segments.push_back({{"points", std::move(points)},
                            {"stranded", segment.stranded},
                            {"per100m", segment.perHundredMetres()}});
    }
    return {{"segments", std::move(segments)}, {"max", most}, {"legend", DepositsPanel::shoreLegend}};
}

} // namespace

json DepositsPanel::mapJson(const DepositMap& map, const std::vector<GeoCoordinate>& outline) {
    json outlinePoints = json::array();
    for (const GeoCoordinate& c : outline) {
        outlinePoints.push_back(pointJson(c));
    }
    json top = json::array();
    for (const std::size_t i : map.topSegments(DepositsPanel::topCount)) {
        const ShoreSegment& segment = map.shore[i];
        top.push_back(fmt::format("Shore at {}: {}", placeText(segment.midpoint),
                                  shareText(segment.stranded, map.particleCount)));
    }
    json hotspot = nullptr;
    if (const std::optional<std::size_t> cell = map.hotspot()) {
        hotspot =
            fmt::format("Bed at {}: {} ({:.0f} particles/km²)", placeText(map.cellCentre(*cell)),
                        shareText(map.bed.counts[*cell], map.particleCount), map.bed.particlesPerKm2[*cell]);
    }
    return {{"outline", std::move(outlinePoints)},
            {"heatmap", heatmapJson(map)},
            {"shore", shoreJson(map)},
            {"top", std::move(top)},
            {"hotspot", std::move(hotspot)},
            {"totals",
             {{"particles", map.particleCount},
              {"stranded", map.strandedCount},
              {"sedimented", map.sedimentedCount}}}};
}

DepositsPanel::DepositsPanel(SimulationController& controller, SimulationDataStore& store,
                             std::function<void()> changed)
    : controller_(controller) {
    watches_.push_back(store.stuckParticles.subscribe([this](const auto&) { isStale_ = true; }));
    watches_.push_back(controller.isRunning.subscribe([this, changed = std::move(changed)](bool isRunning) {
        isStale_ = true;
        if (!isRunning) {
            changed();
        }
    }));
}

json DepositsPanel::state(const Region* region) const {
    if (!isStale_ && region == cachedRegion_) {
        return cached_;
    }
    isStale_ = false;
    cachedRegion_ = region;
    cached_ = nullptr;
    if (const std::optional<RunDeposits> run = RunDeposits::of(controller_, region)) {
        cached_ = mapJson(run->map(), run->region.outline);
    }
    return cached_;
}

} // namespace pelagrin
