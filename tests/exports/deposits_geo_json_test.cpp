// The deposits' GeoJSON: the rules of RFC 7946 it keeps, and that its points are the run's resting particles.
#include "exports/DepositsGeoJson.hpp"
#include "tests/simulation/particle_at.hpp"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace pelagrin {
namespace {

using nlohmann::json;
using testing::restingAt;

// A lake of 0.01° × 0.02° at 46° N, 6° E, given clockwise: the file must turn it round.
const std::vector<GeoCoordinate> kClockwise{{46, 6}, {46.01, 6}, {46.01, 6.02}, {46, 6.02}};
const CanvasMapping kCanvas{46, 46.01, 6, 6.02, 800, 600};

bool allFinite(const json& value) {
    if (value.is_number()) {
        return std::isfinite(value.get<double>());
    }
    return !value.is_structured() || std::all_of(value.begin(), value.end(), allFinite);
}

/// A [longitude, latitude] pair within the lake's box.
bool isLakePosition(const json& c) {
    return c.size() == 2 && c[0] >= 6 && c[0] <= 6.02 && c[1] >= 46 && c[1] <= 46.01;
}

std::vector<json> featuresOf(const json& document, const std::string& type) {
    std::vector<json> found;
    for (const json& f : document["features"]) {
        if (f["geometry"]["type"] == type) {
            found.push_back(f);
        }
    }
    return found;
}

TEST(DepositsGeoJson, KeepsTheRulesOfGeoJsonAndItsPointsAreTheRunsRestingParticles) {
    const std::vector<Particle> particles{restingAt({0, 300}, true, false), restingAt({400, 0}, true, true),
                                          restingAt({400, 300}, false, true),
                                          restingAt({200, 200}, false, false)};
    const std::vector<Deposit> deposits{{12.5, NAN}, {40, 30}, {NAN, 7.25}, {}};
    const DepositsGeoJson file{{{kCanvas, kClockwise}, particles, deposits, 42, 3600},
                               {{"waterDepth", 10.0}}};
    const json document = file.document();
    const json ring = featuresOf(document, "Polygon").at(0)["geometry"]["coordinates"][0];
    const std::vector<json> points = featuresOf(document, "Point");

    const std::vector<std::pair<std::string, std::function<bool()>>> rules{
        {"a FeatureCollection", [&] { return document["type"] == "FeatureCollection"; }},
        {"longitude first, then latitude",
         [&] {
             return std::all_of(ring.begin(), ring.end(), isLakePosition) &&
                    std::all_of(points.begin(), points.end(),
                                [](const json& p) { return isLakePosition(p["geometry"]["coordinates"]); });
         }},
        {"the ring closed", [&] { return ring.size() == 5 && ring.front() == ring.back(); }},
        {"the ring counter-clockwise",
         [&] {
             double twiceArea = 0;
             for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
                 twiceArea += ring[i][0].get<double>() * ring[i + 1][1].get<double>() -
                              ring[i + 1][0].get<double>() * ring[i][1].get<double>();
             }
             return twiceArea > 0;
         }},
        {"every number finite", [&] { return allFinite(document); }},
        {"the run under a foreign member",
         [&] {
             return document["pelagrin"]["seed"] == 42 &&
                    document["pelagrin"]["parameters"]["waterDepth"] == 10;
         }},
    };
    for (const auto& [rule, holds] : rules) {
        EXPECT_TRUE(holds()) << rule;
    }

    // Two stranded (one of them also on the bed) and one sedimented: the drifting one is no deposit.
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0]["properties"], (json{{"status", "stranded"}, {"time_s", 12.5}}));
    EXPECT_EQ(points[1]["properties"], (json{{"status", "stranded"}, {"time_s", 40.0}}));
    EXPECT_EQ(points[2]["properties"], (json{{"status", "sedimented"}, {"time_s", 7.25}}));
}

} // namespace
} // namespace pelagrin
