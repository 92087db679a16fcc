// Tests of the choice of one water outline among the elements of an Overpass answer.
#include "tests/water/OverpassAnswers.hpp"
#include "water/OverpassResponse.hpp"
#include "water/WaterPolygonSelection.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

namespace pelagrin {
namespace {

using testing::answer;
using testing::member;
using testing::Outline;
using testing::relation;
using testing::square;
using testing::way;

constexpr GeoCoordinate click{47.5, 8.25};
const std::string exactMatchLine = "✅ Found EXACT MATCH containing the click!\n";
const std::string closestLine = "⚠️ No exact match. Using closest polygon.\n";

struct Selection {
    std::variant<DetectedWater, WaterServiceError> outcome;
    std::string log;
};

// Throws, failing the test, when the test answer does not decode or no outline comes back.
Selection select(nlohmann::json elements, GeoCoordinate at = click) {
    const auto decoded = decodeOverpassResponse(answer(std::move(elements)));
    std::ostringstream log;
    auto outcome = selectWaterPolygon(std::get<OverpassResponse>(decoded), at, log);
    return {std::move(outcome), log.str()};
}

Outline outline(const Selection& selection) {
    return std::get<DetectedWater>(selection.outcome).outline;
}

bool isNoWaterFound(const Selection& selection) {
    const auto* error = std::get_if<WaterServiceError>(&selection.outcome);
    return error != nullptr && *error == WaterServiceError::noWaterFound && selection.log.empty();
}

// Two vertices: a line, no polygon.
const Outline twoPoints = {{47.49, 8.24}, {47.51, 8.26}};

TEST(WaterPolygonSelection, FirstCandidateContainingTheClickWinsEvenAroundASmallerOne) {
    const Outline wide = square(47.5, 8.25, 0.05);
    const Outline narrow = square(47.5, 8.25, 0.01);
    const Outline elsewhere = square(48.0, 9.0, 0.01);

    const Selection selection = select({way(1, elsewhere), way(2, wide), way(3, narrow)});
    EXPECT_EQ(outline(selection), wide);
    EXPECT_EQ(std::get<DetectedWater>(selection.outcome).distanceMetres, std::nullopt);
    EXPECT_EQ(selection.log, exactMatchLine);
    EXPECT_EQ(outline(select({way(3, narrow), way(2, wide)})), narrow);
}

TEST(WaterPolygonSelection, WithoutAMatchTheNearestVertexMeanWinsAndTheEarliestOfEqualOnes) {
    // Open rings of four vertices whose means lie exactly 1.5 degrees east and west of the click, and one
    // degree east of it.
    const GeoCoordinate between{0.5, 0};
    const Outline east = {{0, 1}, {0, 2}, {1, 2}, {1, 1}};
    const Outline west = {{0, -2}, {0, -1}, {1, -1}, {1, -2}};
    const Outline near = {{0, 0.5}, {0, 1.5}, {1, 1.5}, {1, 0.5}};

    Selection selection = select({way(1, east), way(2, west)}, between);
    EXPECT_EQ(outline(selection), east);
    EXPECT_EQ(selection.log, closestLine);
    EXPECT_EQ(outline(select({way(2, west), way(1, east)}, between)), west);
    EXPECT_EQ(outline(select({way(1, east), way(2, west), way(3, near)}, between)), near);
}

TEST(WaterPolygonSelection, TheNearestOutlineComesWithItsDistanceFromTheClick) {
    // The shore of a square 0.01 degrees north of the click: 1112 m along a meridian, whatever the latitude.
    const Outline north = square(47.52, 8.25, 0.01);
    const auto water = std::get<DetectedWater>(select({way(1, north)}).outcome);
    ASSERT_TRUE(water.distanceMetres);
    EXPECT_NEAR(*water.distanceMetres, 1112.0, 1.0);
    // East of the click, a degree of longitude shrinks with the cosine of the latitude.
    const auto east = std::get<DetectedWater>(select({way(2, square(47.5, 8.27, 0.01))}).outcome);
    EXPECT_NEAR(*east.distanceMetres, 1112.0 * std::cos(47.5 * M_PI / 180.0), 1.0);
}

TEST(WaterPolygonSelection, EachElementOffersOneGeometryOfAtLeastThreePoints) {
    const Outline outer = square(47.5, 8.25, 0.02);
    const Outline inner = square(47.5, 8.25, 0.005);
    const Outline other = square(47.6, 8.3, 0.01);
    const Outline triangle = {{47.49, 8.24}, {47.49, 8.26}, {47.52, 8.25}};
    // An element's own geometry comes before its members, whatever its type, even when it is too short.
    nlohmann::json withBoth = relation(6, {member("outer", other)});
    withBoth["geometry"] = testing::geometry(outer);
    nlohmann::json shortWay = way(4, twoPoints);
    shortWay["members"] = {member("outer", square(47.5, 8.25, 0.01))};
    // An empty outline stands for "no water found".
    const std::vector<std::pair<nlohmann::json, Outline>> cases = {
        {nlohmann::json::array(), {}},
        {nlohmann::json::array({{{"type", "node"}, {"id", 1}}, way(2, twoPoints)}), {}},
        {nlohmann::json::array({relation(3, {member("outer", twoPoints)})}), {}},
        {nlohmann::json::array({shortWay}), {}},
        {nlohmann::json::array({way(5, triangle)}), triangle},
        // The first "outer" member, whatever comes before or after it.
        {nlohmann::json::array(
             {relation(1, {member("inner", inner), member("outer", outer), member("outer", other)})}),
         outer},
        // No "outer" member, or a first one without geometry: the first member, never a later "outer" one.
        {nlohmann::json::array({relation(2, {member("inner", inner), member("inner", other)})}), inner},
        {nlohmann::json::array(
             {relation(3, {member("inner", inner), member("outer"), member("outer", other)})}),
         inner},
        {nlohmann::json::array({relation(4, {member("outer"), member("outer", other)})}), {}},
        // Role names are compared whole and case-sensitively.
        {nlohmann::json::array({relation(5, {member("inner", inner), member("Outer", outer)})}), inner},
        {nlohmann::json::array({withBoth}), outer},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Selection selection = select(cases[i].first);
        if (cases[i].second.empty()) {
            EXPECT_TRUE(isNoWaterFound(selection)) << "case " << i;
        } else {
            EXPECT_EQ(outline(selection), cases[i].second) << "case " << i;
        }
    }
}

} // namespace
} // namespace pelagrin
