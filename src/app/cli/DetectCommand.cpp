// DetectCommand: `pelagrin detect LAT LON`, the water detection without the user interface.
#include "app/cli/DetectCommand.hpp"

#include "water/OverpassQuery.hpp"
#include "water/WaterBoundaryService.hpp"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

namespace pelagrin {

namespace {

struct DetectOptions {
    double latitude = 0.0;
    double longitude = 0.0;
    bool isText = false;
};

// A GeoJSON Feature holding the outline as the outer ring of a Polygon, positions in [longitude, latitude].
std::string geoJsonFeature(const std::vector<GeoCoordinate>& outline) {
    nlohmann::json ring = nlohmann::json::array();
    for (const GeoCoordinate& vertex : outline) {
        ring.push_back({vertex.longitude, vertex.latitude});
    }
    const nlohmann::json feature = {
        {"type", "Feature"},
        {"properties", nlohmann::json::object()},
        {"geometry", {{"type", "Polygon"}, {"coordinates", nlohmann::json::array({ring})}}},
    };
    return feature.dump();
}

void runDetect(const DetectOptions& options) {
    WaterBoundaryService service;
    // Standard output carries only the outline, so that it can be piped on.
    service.setDiagnostics(std::cerr);
    const WaterBoundaryResult result = service.fetchWaterBoundaryNow(options.latitude, options.longitude);
    if (const auto* error = std::get_if<WaterBoundaryError>(&result)) {
        std::cerr << "Water detection failed: " << describe(*error) << '\n';
        throw CLI::RuntimeError(1);
    }
    const auto& outline = std::get<DetectedWater>(result).outline;
    if (options.isText) {
        for (const GeoCoordinate& vertex : outline) {
            std::cout << formatCoordinate(vertex.latitude) << ',' << formatCoordinate(vertex.longitude)
                      << '\n';
        }
    } else {
        std::cout << geoJsonFeature(outline) << '\n';
    }
}

} // namespace

void addDetectCommand(CLI::App& app) {
    auto options = std::make_shared<DetectOptions>();
    CLI::App* detect = app.add_subcommand(
        "detect", "Print the outline of the water at a point, fetched from the Overpass API (base URL from " +
                      std::string(overpassUrlVariable) + ")");
    detect->add_option("LAT", options->latitude, "Latitude in degrees")
        ->required()
        ->check(CLI::Range(-90.0, 90.0));
    detect->add_option("LON", options->longitude, "Longitude in degrees")
        ->required()
        ->check(CLI::Range(-180.0, 180.0));
    detect->add_flag(
        "--text,!--geojson", options->isText,
        "Print one LAT,LON line per vertex (--text) or a GeoJSON Feature with a Polygon (--geojson, "
        "the default)");
    detect->callback([options] { runDetect(*options); });
}

} // namespace pelagrin
