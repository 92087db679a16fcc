// Tests of the plane geometry that picks and thins water outlines.
#include "tests/water/OverpassAnswers.hpp"
#include "water/WaterPolygon.hpp"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

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

TEST(PolygonContains, EvenOddRuleWithTheRepeatedClosingVertex) {
    const Outline lake = square(47.5, 8.25, 0.01);
    EXPECT_TRUE(polygonContains(lake, {47.5, 8.25}));
    EXPECT_FALSE(polygonContains(lake, {47.5, 8.27}));
    EXPECT_FALSE(polygonContains(lake, {47.5, 8.23}));
    EXPECT_FALSE(polygonContains(lake, {47.52, 8.25}));
    EXPECT_FALSE(polygonContains({}, {0, 0}));

    // A U open to the north: its notch is outside, its arms inside.
    const Outline u = {{0, 0}, {0, 3}, {3, 3}, {3, 2}, {1, 2}, {1, 1}, {3, 1}, {3, 0}};
    EXPECT_FALSE(polygonContains(u, {2, 1.5}));
    EXPECT_TRUE(polygonContains(u, {2, 0.5}));
    EXPECT_TRUE(polygonContains(u, {2, 2.5}));
}

TEST(PolygonContains, StrictComparisonsDecideClicksLevelWithVerticesAndEdges) {
    const Outline diamond = {{0, 1}, {1, 2}, {2, 1}, {1, 0}};
    EXPECT_TRUE(polygonContains(diamond, {1, 1}));
    EXPECT_FALSE(polygonContains(diamond, {1, 2.5}));
    EXPECT_FALSE(polygonContains(diamond, {1, -0.5}));

    // Horizontal edges never cross: the southern edge counts as inside, the northern one as outside.
    const Outline box = {{0, 0}, {0, 2}, {2, 2}, {2, 0}};
    EXPECT_TRUE(polygonContains(box, {0, 1}));
    EXPECT_FALSE(polygonContains(box, {2, 1}));
}

TEST(CentroidDistanceSquared, MeanOfEveryListedVertexSoTheClosingOneWeighsTwice) {
    const Outline ring = square(0, 0, 1); // vertex mean (-0.2, -0.2)
    EXPECT_DOUBLE_EQ(centroidDistanceSquared(ring, {0, 0}), 0.08);
    EXPECT_DOUBLE_EQ(centroidDistanceSquared(ring, {1, 2}), 1.2 * 1.2 + 2.2 * 2.2);
    EXPECT_DOUBLE_EQ(centroidDistanceSquared({{3, 4}}, {0, 0}), 25.0);
}

TEST(SimplifyPolygon, OpenPolylinesKeepOnlyVerticesBeyondTheTolerance) {
    EXPECT_EQ(simplifyPolygon({{0, 0}, {0.0001, 1}, {0, 2}}, waterOutlineTolerance),
              (Outline{{0, 0}, {0, 2}}));
    const Outline bent = {{0, 0}, {0.001, 1}, {0, 2}};
    EXPECT_EQ(simplifyPolygon(bent, waterOutlineTolerance), bent);

    // Both zigzag peaks lie beyond the tolerance, and so does the valley between them seen from either peak;
    // every split vertex comes back once.
    const Outline zigzag = {{0, 0}, {0.01, 1}, {0, 2}, {0.01, 3}, {0, 4}};
    EXPECT_EQ(simplifyPolygon(zigzag, waterOutlineTolerance), zigzag);

    // Two vertices equally far from the baseline: the earlier one splits, and the later one then falls
    // within the tolerance.
    EXPECT_EQ(simplifyPolygon({{0, 0}, {0.001, 1}, {0.001, 1.1}, {0, 3}}, waterOutlineTolerance),
              (Outline{{0, 0}, {0.001, 1}, {0, 3}}));
}

TEST(SimplifyPolygon, FewerThanThreePointsComeBackUnchanged) {
    EXPECT_EQ(simplifyPolygon({}, waterOutlineTolerance), Outline{});
    EXPECT_EQ(simplifyPolygon({{1, 2}}, waterOutlineTolerance), (Outline{{1, 2}}));
    EXPECT_EQ(simplifyPolygon({{1, 2}, {1, 2}}, waterOutlineTolerance), (Outline{{1, 2}, {1, 2}}));
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

TEST(SimplifyPolygon, EndsWhoseDistanceSquaredUnderflowsStillFormABaseline) {
    const Outline hook = {{0, 0}, {1, 1}, {1e-200, 0}};
    EXPECT_EQ(simplifyPolygon(hook, waterOutlineTolerance), hook);
}

} // namespace
} // namespace pelagrin
