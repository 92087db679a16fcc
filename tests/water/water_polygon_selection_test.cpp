// Tests of the choice of one water outline among the elements of an Overpass answer.
#include "tests/water/OverpassAnswers.hpp"
#include "water/OverpassResponse.hpp"
#include "water/WaterPolygon.hpp"
#include "water/WaterPolygonSelection.hpp"

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
    std::variant<std::vector<GeoCoordinate>, WaterServiceError> outcome;
    std::string log;
};

Selection select(nlohmann::json elements, GeoCoordinate at = click) {
    const auto decoded = decodeOverpassResponse(answer(std::move(elements)));
    if (!std::holds_alternative<OverpassResponse>(decoded)) {
        ADD_FAILURE() << "test answer does not decode";
        return {WaterServiceError::parsingError, {}};
    }
    std::ostringstream log;
    auto outcome = selectWaterPolygon(std::get<OverpassResponse>(decoded), at, log);
    return {std::move(outcome), log.str()};
}

Outline outline(const Selection& selection) {
    if (const auto* error = std::get_if<WaterServiceError>(&selection.outcome)) {
        ADD_FAILURE() << "no outline: " << toString(*error);
        return {};
    }
    return std::get<Outline>(selection.outcome);
}

bool isNoWaterFound(const Selection& selection) {
    const auto* error = std::get_if<WaterServiceError>(&selection.outcome);
    return error != nullptr && *error == WaterServiceError::noWaterFound && selection.log.empty();
}

// Two vertices: a line, no polygon.
const Outline twoPoints = {{47.49, 8.24}, {47.51, 8.26}};

TEST(WaterPolygonSelection, NoElementWithThreePointsFindsNoWater) {
    EXPECT_TRUE(isNoWaterFound(select(nlohmann::json::array())));
    EXPECT_TRUE(isNoWaterFound(select({{{"type", "node"}, {"id", 1}}, way(2, twoPoints)})));
    // An outer member of two points is dropped too, and so is an element whose own geometry is short even
    // when its members hold more.
    EXPECT_TRUE(isNoWaterFound(select({relation(3, {member("outer", twoPoints)})})));
    nlohmann::json shortWay = way(4, twoPoints);
    shortWay["members"] = {member("outer", square(47.5, 8.25, 0.01))};
    EXPECT_TRUE(isNoWaterFound(select({shortWay})));

    const Outline triangle = {{47.49, 8.24}, {47.49, 8.26}, {47.52, 8.25}};
    EXPECT_EQ(outline(select({way(5, triangle)})), triangle);
}

TEST(WaterPolygonSelection, FirstCandidateContainingTheClickWinsEvenAroundASmallerOne) {
    const Outline wide = square(47.5, 8.25, 0.05);
    const Outline narrow = square(47.5, 8.25, 0.01);
    const Outline elsewhere = square(48.0, 9.0, 0.01);

    const Selection selection = select({way(1, elsewhere), way(2, wide), way(3, narrow)});
    EXPECT_EQ(outline(selection), wide);
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

TEST(WaterPolygonSelection, RelationsUseOneMemberGeometryOnly) {
    const Outline outer = square(47.5, 8.25, 0.02);
    const Outline inner = square(47.5, 8.25, 0.005);
    const Outline other = square(47.6, 8.3, 0.01);

    // The first "outer" member, whatever comes before or after it.
    EXPECT_EQ(outline(select(
                  {relation(1, {member("inner", inner), member("outer", outer), member("outer", other)})})),
              outer);
    // No "outer" member, or a first one without geometry: the first member, never a later "outer" one.
    EXPECT_EQ(outline(select({relation(2, {member("inner", inner), member("inner", other)})})), inner);
    EXPECT_EQ(
        outline(select({relation(3, {member("inner", inner), member("outer"), member("outer", other)})})),
        inner);
    EXPECT_TRUE(isNoWaterFound(select({relation(4, {member("outer"), member("outer", other)})})));
    // Role names are compared whole and case-sensitively.
    EXPECT_EQ(outline(select({relation(5, {member("inner", inner), member("Outer", outer)})})), inner);
    // An element's own geometry comes before its members, whatever its type.
    nlohmann::json withBoth = relation(6, {member("outer", other)});
    withBoth["geometry"] = testing::geometry(outer);
    EXPECT_EQ(outline(select({withBoth})), outer);
}

TEST(WaterPolygonSelection, ChosenOutlineIsThinnedWithTheWaterTolerance) {
    // A square lake whose southern shore is sampled every 0.0001 degrees.
    const Outline lake = square(47.5, 8.25, 0.01);
    Outline shore = {lake[0]};
    for (int i = 1; i < 200; ++i) {
        shore.push_back({lake[0].latitude, lake[0].longitude + 0.0001 * i});
    }
    shore.insert(shore.end(), lake.begin() + 1, lake.end());

    const Outline chosen = outline(select({way(1, shore)}));
    EXPECT_EQ(chosen, simplifyPolygon(shore, waterOutlineTolerance));
    EXPECT_EQ(chosen, lake);
}

} // namespace
} // namespace pelagrin
