// OverpassAnswers: Overpass API answers, real ones kept as fixtures and others built in code in their shape.
#pragma once

#include "simulation/GeoCoordinate.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace pelagrin::testing {

using Outline = std::vector<GeoCoordinate>;

/// A real answer of tests/water/fixtures/overpass, such as "single-lake-way.json", byte for byte.
inline std::string fixture(const std::string& name) {
    return test::readFile(std::filesystem::path(PELAGRIN_OVERPASS_FIXTURES) / name);
}

/// A closed square ring (first vertex repeated at the end) around (lat, lon) with half-side `half` degrees.
inline Outline square(double lat, double lon, double half) {
    return {{lat - half, lon - half},
            {lat - half, lon + half},
            {lat + half, lon + half},
            {lat + half, lon - half},
            {lat - half, lon - half}};
}

/// A "geometry" array of {"lat", "lon"} objects.
inline nlohmann::json geometry(const Outline& points) {
    nlohmann::json array = nlohmann::json::array();
    for (const GeoCoordinate& p : points) {
        array.push_back({{"lat", p.latitude}, {"lon", p.longitude}});
    }
    return array;
}

/// A way with its tags, bounds, node ids and geometry, as "out geom" sends it.
inline nlohmann::json way(std::int64_t id, const Outline& points) {
    return {{"type", "way"},
            {"id", id},
            {"bounds", {{"minlat", 0.0}, {"minlon", 0.0}, {"maxlat", 1.0}, {"maxlon", 1.0}}},
            {"nodes", nlohmann::json::array({1, 2, 3})},
            {"geometry", geometry(points)},
            {"tags", {{"natural", "water"}, {"name", "Test lake"}}}};
}

/// A member way of a relation, with its geometry unless `points` is empty.
inline nlohmann::json member(const std::string& role, const Outline& points = {}) {
    nlohmann::json m = {{"type", "way"}, {"ref", 42}, {"role", role}};
    if (!points.empty()) {
        m["geometry"] = geometry(points);
    }
    return m;
}

/// A relation with its members.
inline nlohmann::json relation(std::int64_t id, nlohmann::json members) {
    return {{"type", "relation"}, {"id", id}, {"members", std::move(members)}, {"tags", {{"water", "lake"}}}};
}

/// A whole answer with the server's metadata around `elements`.
inline std::string answer(nlohmann::json elements) {
    return nlohmann::json{{"version", 0.6},
                          {"generator", "Overpass API"},
                          {"osm3s", {{"copyright", "OpenStreetMap contributors"}}},
                          {"elements", std::move(elements)}}
        .dump();
}

} // namespace pelagrin::testing
