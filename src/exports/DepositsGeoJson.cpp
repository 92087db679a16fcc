// The deposits' GeoJSON document: features from the deposit map, positions in degrees, the ring's winding.
#include "exports/DepositsGeoJson.hpp"

#include "analysis/DepositMap.hpp"
#include "projects/Project.hpp"
#include "projects/Region.hpp"
#include "projects/SimulationParameters.hpp"
#include "simulation/SimulationController.hpp"

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
    physics.forEachField([&](const char* key, const auto& field) { values[key] = field.get(); });
    if (const auto& settings = physics.particleSettings.get()) {
        json particleValues = json::object();
        settings->forEachField(
            [&](const char* key, const auto& field) { particleValues[key] = field.get(); });
        values["particleSettings"] = std::move(particleValues);
    }
    return values;
}

std::optional<std::string> DepositsGeoJson::ofRun(const SimulationController& controller, Project& project) {
    const std::vector<Particle>& particles = controller.displayParticles.get();
    const std::shared_ptr<Region> region = project.region.get();
    if (controller.deposits().empty() || region == nullptr) {
        return std::nullopt;
    }
    const std::optional<CanvasMapping> mapping = region->canvasMapping(kCanvasWidth, kCanvasHeight);
    const std::vector<GeoCoordinate> outline = region->waterVertices();
    if (!mapping || outline.size() < 3) {
        return std::nullopt;
    }
    DepositsGeoJson file{particles, controller.deposits(), *mapping,
                         outline,   controller.seed(),     controller.currentTime.get()};
    if (const auto& parameters = project.parameters.get()) {
        file.parameters = parametersOf(*parameters);
    }
    return file.document().dump();
}

json DepositsGeoJson::document() const {
    const DepositMap map = DepositMap::compute(particles, mapping, outline);
    json features = json::array();
    if (outline.size() >= 3) {
        features.push_back(feature(outlinePolygon(outline), {{"name", "outline"}}));
    }

    // The resting particles where they lie.
    for (std::size_t i = 0; i < particles.size(); ++i) {
        const Particle& p = particles[i];
        const bool isStranded = DepositMap::isStranded(p);
        if (!isStranded && !DepositMap::isSedimented(p)) {
            continue;
        }
        const Deposit record = i < deposits.size() ? deposits[i] : Deposit{};
        features.push_back(
            feature({{"type", "Point"}, {"coordinates", position(mapping.toGeo(p.position))}},
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

    json run = {{"time_s", timeS},
                {"particles", map.particleCount},
                {"stranded", map.strandedCount},
                {"sedimented", map.sedimentedCount},
                {"parameters", parameters}};
    run["seed"] = seed ? json(*seed) : json(nullptr);
    return {{"type", "FeatureCollection"}, {"features", std::move(features)}, {"pelagrin", std::move(run)}};
}

} // namespace pelagrin
