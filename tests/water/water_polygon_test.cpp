// Tests of the plane geometry that picks and thins water outlines.
#include "tests/water/OverpassAnswers.hpp"
#include "water/WaterPolygon.hpp"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <tuple>

namespace pelagrin {
namespace {

using testing::Outline;
using testing::square;

// Distance, in degrees, from `p` to the segment from `a` to `b`.
double distanceToSegment(GeoCoordinate p, GeoCoordinate a, GeoCoordinate b) {
    const double dLat = b.latitude - a.latitude;
    const double dLon = b.longitude - a.longitude;
    const double lengthSquared = dLat * dLat + dLon * dLon;
    double t = 0.0;
    if (lengthSquared > 0.0) {
        t = ((p.latitude - a.latitude) * dLat + (p.longitude - a.longitude) * dLon) / lengthSquared;
        t = std::clamp(t, 0.0, 1.0);
    }
    return std::hypot(p.latitude - (a.latitude + t * dLat), p.longitude - (a.longitude + t * dLon));
}

// A closed ring of `count` vertices on a circle of `radius` degrees around (0, 0), the first repeated last.
Outline circle(int count, double radius) {
    Outline ring;
    for (int i = 0; i < count; ++i) {
        const double angle = 2.0 * std::numbers::pi * i / count;
        ring.push_back({radius * std::cos(angle), radius * std::sin(angle)});
    }
    ring.push_back(ring.front());
    return ring;
}

TEST(PolygonContains, EvenOddRuleWithStrictComparisonsAtVerticesAndEdges) {
    const Outline lake = square(47.5, 8.25, 0.01);
    // A U open to the north: its notch is outside, its arms inside.
    const Outline u = {{0, 0}, {0, 3}, {3, 3}, {3, 2}, {1, 2}, {1, 1}, {3, 1}, {3, 0}};
    const Outline diamond = {{0, 1}, {1, 2}, {2, 1}, {1, 0}};
    // Horizontal edges never cross: the southern edge counts as inside, the northern one as outside.
    const Outline box = {{0, 0}, {0, 2}, {2, 2}, {2, 0}};
    const std::vector<std::tuple<Outline, GeoCoordinate, bool>> cases = {
        {lake, {47.5, 8.25}, true},   {lake, {47.5, 8.27}, false}, {lake, {47.5, 8.23}, false},
        {lake, {47.52, 8.25}, false}, {{}, {0, 0}, false},         {u, {2, 1.5}, false},
        {u, {2, 0.5}, true},          {u, {2, 2.5}, true},         {diamond, {1, 1}, true},
        {diamond, {1, 2.5}, false},   {diamond, {1, -0.5}, false}, {box, {0, 1}, true},
        {box, {2, 1}, false},
    };
    for (const auto& [outline, point, inside] : cases) {
        EXPECT_EQ(polygonContains(outline, point), inside) << point.latitude << ", " << point.longitude;
    }
}

TEST(CentroidDistanceSquared, MeanOfEveryListedVertexSoTheClosingOneWeighsTwice) {
    const Outline ring = square(0, 0, 1); // vertex mean (-0.2, -0.2)
    EXPECT_DOUBLE_EQ(centroidDistanceSquared(ring, {0, 0}), 0.08);
    EXPECT_DOUBLE_EQ(centroidDistanceSquared({{3, 4}}, {0, 0}), 25.0);
}

TEST(SimplifyPolygon, PolylinesKeepOnlyVerticesBeyondTheTolerance) {
    const Outline bent = {{0, 0}, {0.001, 1}, {0, 2}};
    // Both zigzag peaks lie beyond the tolerance, and so does the valley between them seen from either peak.
    const Outline zigzag = {{0, 0}, {0.01, 1}, {0, 2}, {0.01, 3}, {0, 4}};
    // Ends whose squared distance underflows still form a baseline.
    const Outline hook = {{0, 0}, {1, 1}, {1e-200, 0}};
    const std::vector<std::pair<Outline, Outline>> cases = {
        {{{0, 0}, {0.0001, 1}, {0, 2}}, {{0, 0}, {0, 2}}},
        {bent, bent},
        {zigzag, zigzag},
        // Two vertices equally far from the baseline: the earlier one splits, the later one then falls
        // within.
        {{{0, 0}, {0.001, 1}, {0.001, 1.1}, {0, 3}}, {{0, 0}, {0.001, 1}, {0, 3}}},
        {hook, hook},
        {{}, {}},
        {{{1, 2}}, {{1, 2}}},
        {{{1, 2}, {1, 2}}, {{1, 2}, {1, 2}}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(simplifyPolygon(cases[i].first, waterOutlineTolerance), cases[i].second) << "case " << i;
    }
}

TEST(SimplifyPolygon, ClosedRingStaysClosedAndWithinTheTolerance) {
    const Outline ring = circle(360, 0.05);
    const Outline simplified = simplifyPolygon(ring, waterOutlineTolerance);
    ASSERT_GE(simplified.size(), 4u);
    EXPECT_LT(simplified.size(), ring.size() / 4);
    EXPECT_EQ(simplified.front(), ring.front());
    EXPECT_EQ(simplified.back(), ring.back());

    // The kept vertices are original ones in their order, and every original vertex lies within the tolerance
    // of the simplified outline between the kept vertices around it.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        if (kept < simplified.size() && ring[i] == simplified[kept]) {
            ++kept;
            continue;
        }
        ASSERT_GT(kept, 0u);
        ASSERT_LT(kept, simplified.size());
        EXPECT_LE(distanceToSegment(ring[i], simplified[kept - 1], simplified[kept]), waterOutlineTolerance)
            << "vertex " << i;
    }
    EXPECT_EQ(kept, simplified.size());

    // The square's corners are all far apart: nothing to drop. A ring within the tolerance around its start
    // is kept whole rather than shrunk to a point.
    EXPECT_EQ(simplifyPolygon(square(47.5, 8.25, 0.01), waterOutlineTolerance), square(47.5, 8.25, 0.01));
    const Outline pond = circle(12, 0.0002);
    EXPECT_EQ(simplifyPolygon(pond, waterOutlineTolerance), pond);
}

} // namespace
} // namespace pelagrin
