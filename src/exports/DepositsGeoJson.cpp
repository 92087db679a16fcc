// The deposits' GeoJSON document: features from the deposit map, positions in degrees, the ring's winding.
#include "exports/DepositsGeoJson.hpp"

#include "exports/ExportedSetting.hpp"
#include "projects/Project.hpp"

#include <algorithm>
#include <cmath>

namespace pelagrin {

namespace {

using nlohmann::json;

/// Seven decimals of a degree are about a centimetre: finer only swells the file.
double rounded(double degrees) {
    return std::round(degrees * 1e7) / 1e7;
}

json position(GeoCoordinate c) {
    return json::array({rounded(c.longitude), rounded(c.latitude)});
}

json feature(json geometry, json properties) {
    return {{"type", "Feature"}, {"geometry", std::move(geometry)}, {"properties", std::move(properties)}};
}

/// Twice the signed area in degrees² (longitude as x): positive for a counter-clockwise ring.
double signedArea(std::span<const GeoCoordinate> ring) {
    double sum = 0.0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const GeoCoordinate& a = ring[i];
        const GeoCoordinate& b = ring[(i + 1) % ring.size()];
        sum += a.longitude * b.latitude - b.longitude * a.latitude;
    }
    return sum;
}

/// The outline as a closed counter-clockwise ring, the right-hand rule of RFC 7946.
json outlinePolygon(std::span<const GeoCoordinate> outline) {
    json ring = json::array();
    for (const GeoCoordinate& c : outline) {
        ring.push_back(position(c));
    }
    if (signedArea(outline) < 0) {
        std::reverse(ring.begin(), ring.end());
    }
    if (ring.front() != ring.back()) {
        ring.push_back(ring.front());
    }
    return {{"type", "Polygon"}, {"coordinates", json::array({std::move(ring)})}};
}

/// A time in seconds, or null when the record has none.
json seconds(double timeS) {
    return std::isnan(timeS) ? json(nullptr) : json(timeS);
}

} // namespace

json DepositsGeoJson::parametersOf(SimulationParameters& physics) {
    json values = json::object();
    for (const ExportedSetting& setting : exportedSettings(physics)) {
        json& group = setting.isParticle ? values["particleSettings"] : values;
        std::visit([&](auto value) { group[setting.key] = value; }, setting.value);
    }
    return values;
}

std::optional<std::string> DepositsGeoJson::ofRun(const SimulationController& controller, Project& project) {
    std::optional<RunDeposits> run = RunDeposits::of(controller, project.region.get().get());
    if (!run) {
        return std::nullopt;
    }
    DepositsGeoJson file{std::move(*run)};
    if (const auto& parameters = project.parameters.get()) {
        file.parameters = parametersOf(*parameters);
    }
    return file.document().dump();
}

json DepositsGeoJson::document() const {
    const DepositMap map = run.map();
    const std::vector<GeoCoordinate>& outline = run.region.outline;
    json features = json::array();
    if (outline.size() >= 3) {
        features.push_back(feature(outlinePolygon(outline), {{"name", "outline"}}));
    }

    // The resting particles where they lie.
    for (std::size_t i = 0; i < run.particles.size(); ++i) {
        const Particle& p = run.particles[i];
        const bool isStranded = DepositMap::isStranded(p);
        if (!isStranded && !DepositMap::isSedimented(p)) {
            continue;
        }
        const Deposit record = i < run.deposits.size() ? run.deposits[i] : Deposit{};
        features.push_back(
            feature({{"type", "Point"}, {"coordinates", position(run.region.mapping.toGeo(p.position))}},
                    {{"status", isStranded ? "stranded" : "sedimented"},
                     {"time_s", seconds(isStranded ? record.strandedAt : record.sedimentedAt)}}));
    }

    // The shore's stretches with their stranded particles.
    for (const ShoreSegment& segment : map.shore) {
        json line = json::array();
        for (const GeoCoordinate& c : segment.points) {
            line.push_back(position(c));
        }
        features.push_back(feature({{"type", "LineString"}, {"coordinates", std::move(line)}},
                                   {{"stranded", segment.stranded},
                                    {"per_100m", segment.perHundredMetres()},
                                    {"length_m", segment.lengthM}}));
    }

    json member = {{"time_s", run.timeS},           {"particles", map.particleCount},
                   {"stranded", map.strandedCount}, {"sedimented", map.sedimentedCount},
                   {"parameters", parameters},      {"seed", run.seed}};
    return {
        {"type", "FeatureCollection"}, {"features", std::move(features)}, {"pelagrin", std::move(member)}};
}

} // namespace pelagrin
