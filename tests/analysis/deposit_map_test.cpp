// Where a run's resting particles land: bed cells, shore stretches, the leading stretches and the hotspot.
#include "analysis/DepositMap.hpp"
#include "tests/simulation/particle_at.hpp"

#include <gtest/gtest.h>
#include <numeric>

namespace pelagrin {
namespace {

using testing::restingAt;

// A square lake on the equator, 0.01° a side (1111.95 m), counter-clockwise from the south-west corner,
// fitted onto an 800 × 600 canvas. The shore is 4447.8 m: 45 stretches, the last 47.8 m.
const std::vector<GeoCoordinate> kSquare{{0, 0}, {0, 0.01}, {0.01, 0.01}, {0.01, 0}};
const CanvasMapping kCanvas{0, 0.01, 0, 0.01, 800, 600};

TEST(DepositMap, EachRestingParticleLandsInItsCellOrStretchAndTheCountsAddUp) {
    struct Case {
        Vec2 position;
        bool isStuck;
        bool isSedimented;
        int stretch; // expected shore stretch, or -1
        int row;     // expected bed cell, or -1
        int column;
    };
    const std::vector<Case> cases{
        {{0, 600}, true, false, 0, -1, -1},    // the south-west corner, where the walk starts
        {{400, 600}, true, false, 5, -1, -1},  // 556 m along the south shore
        {{400, 600}, true, true, 5, -1, -1},   // stuck on the bed counts as stranded
        {{800, 300}, true, false, 16, -1, -1}, // halfway up the east shore: 1668 m
        {{10, 300}, true, false, 38, -1, -1},  // just off the west shore, its nearest edge: 3892 m
        {{408, 306}, false, true, -1, 24, 25}, // 0.0049° N, 0.0051° E
        {{408, 306}, false, true, -1, 24, 25},
        {{0, 600}, false, true, -1, 0, 0}, // the grid's corners keep their particles
        {{800, 0}, false, true, -1, 49, 49},
        {{300, 300}, false, false, -1, -1, -1}, // still drifting
    };
    std::vector<Particle> particles;
    std::vector<std::int64_t> stretches(45, 0);
    std::vector<std::int64_t> cells(50 * 50, 0);
    for (const Case& c : cases) {
        particles.push_back(restingAt(c.position, c.isStuck, c.isSedimented));
        if (c.stretch >= 0) {
            ++stretches[c.stretch];
        }
        if (c.row >= 0) {
            ++cells[c.row * 50 + c.column];
        }
    }
    const DepositMap map = DepositMap::compute(particles, kCanvas, kSquare);

    EXPECT_EQ(map.particleCount, 10);
    EXPECT_EQ(map.strandedCount, 5);
    EXPECT_EQ(map.sedimentedCount, 4);
    ASSERT_EQ(map.shore.size(), 45u);
    EXPECT_NEAR(map.shore.back().lengthM, 47.8, 0.1);
    for (std::size_t i = 0; i < map.shore.size(); ++i) {
        EXPECT_EQ(map.shore[i].stranded, stretches[i]) << "stretch " << i;
    }
    // The stretch from 1100 m to 1200 m turns the south-east corner.
    EXPECT_EQ(map.shore[11].points.size(), 3u);
    EXPECT_EQ(map.shore[11].points[1], (GeoCoordinate{0, 0.01}));
    EXPECT_EQ(map.shore.back().points.back(), kSquare.front());

    EXPECT_EQ(map.bed.rows, 50);
    EXPECT_EQ(map.bed.columns, 50);
    EXPECT_EQ(map.bed.counts, cells);
    EXPECT_EQ(std::accumulate(map.bed.counts.begin(), map.bed.counts.end(), std::int64_t{0}), 4);
    // A cell is 22.24 m a side: two particles in 494.6 m² are 4044 per km².
    EXPECT_NEAR(map.bed.particlesPerKm2[24 * 50 + 25], 4044, 5);

    ASSERT_EQ(map.topSegments(3), (std::vector<std::size_t>{5, 0, 16}));
    ASSERT_EQ(map.hotspot(), std::optional<std::size_t>(24 * 50 + 25));
    EXPECT_NEAR(map.cellCentre(*map.hotspot()).latitude, 0.0049, 1e-12);
    EXPECT_NEAR(map.cellCentre(*map.hotspot()).longitude, 0.0051, 1e-12);
    EXPECT_NEAR(map.shore[5].midpoint.longitude, 550 / 111195.0, 1e-6) << "550 m east of the corner";
}

TEST(DepositMap, CellsAreAboutSquareOnTheGroundAndNothingRestingLeavesThemEmpty) {
    // At 60° N a degree of longitude is half a degree of latitude on the ground: twice as wide as high.
    const std::vector<GeoCoordinate> wide{{60, 0}, {60, 0.04}, {60.01, 0.04}, {60.01, 0}};
    const DepositMap map = DepositMap::compute({}, {60, 60.01, 0, 0.04, 800, 600}, wide);
    EXPECT_EQ(map.bed.columns, 50);
    EXPECT_EQ(map.bed.rows, 25);
    EXPECT_FALSE(map.hotspot());
    EXPECT_TRUE(map.topSegments(5).empty());
    EXPECT_TRUE(DepositMap::compute({}, kCanvas, {}).shore.empty());
}

} // namespace
} // namespace pelagrin
