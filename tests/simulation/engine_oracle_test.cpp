// The fast engine against the plain reference step: the same scene and seeds must give the same run, bit for
// bit.
#include "scenes/Scenes.hpp"
#include "simulation/SimulationEngine.hpp"
#include "tests/simulation/reference/ReferenceEngine.hpp"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace pelagrin {
namespace {

struct Scene {
    std::string name;
    std::vector<Vec2> polygon;
    SimulationEngineParameters params;
    std::int64_t particleCount;
    Vec2 emission;
    double emissionRadius;
    double density;
    double speed;
};

SimulationEngineParameters withCurrent(double turbulence, Vec2 current, Vec2 wind = {}, double depth = 10,
                                       double pixelsPerMeter = 1.0) {
    SimulationEngineParameters params = scenes::stillWater(turbulence);
    params.baseFlowVelocity = current;
    params.windVelocity = wind;
    params.waterDepth = depth;
    params.pixelsPerMeter = pixelsPerMeter;
    return params;
}

std::vector<Scene> scenesToCompare() {
    return {
        {"square_calm", scenes::openSquare(), withCurrent(0, {20, 6}), 500, {400, 300}, 50, 1.02, 10},
        {"island_swirl_wind",
         scenes::lakeWithIsland(),
         withCurrent(0.3, {5, 2}, {2, -1}, 4, 2.5),
         3000,
         {250, 300},
         40,
         1.05,
         10},
        {"channel_fast", scenes::narrowChannel(), withCurrent(0.8, {60, 4}), 1500, {100, 300}, 8, 1.0, 60},
        {"wiggly200_sinking",
         scenes::wigglyLake(200),
         withCurrent(0.3, {3, 1}, {}, 2),
         5000,
         {400, 300},
         150,
         1.3,
         300},
        {"wiggly1000_floating",
         scenes::wigglyLake(1000),
         withCurrent(1.0, {-8, 3}, {4, 4}),
         2500,
         {400, 300},
         100,
         0.9,
         60},
        {"two_vertices", {{100, 100}, {700, 500}}, withCurrent(0.2, {30, 30}), 300, {400, 300}, 30, 1.0, 10},
        {"no_polygon", {}, withCurrent(0.3, {30, 30}), 200, {400, 300}, 30, 1.2, 10},
    };
}

void expectSameParticles(const std::vector<Particle>& fast, const std::vector<Particle>& plain,
                         const std::string& where) {
    ASSERT_EQ(fast.size(), plain.size());
    for (std::size_t i = 0; i < fast.size(); ++i) {
        const Particle& a = fast[i];
        const Particle& b = plain[i];
        const bool same = a.position == b.position && a.velocity == b.velocity && a.z == b.z &&
                          a.speed == b.speed && a.isActive == b.isActive && a.isStuck == b.isStuck &&
                          a.isSedimented == b.isSedimented;
        ASSERT_TRUE(same) << where << ": particle " << i << " differs: (" << a.position.x << ", "
                          << a.position.y << ") vs (" << b.position.x << ", " << b.position.y << ")";
    }
}

class EngineOracle : public ::testing::TestWithParam<Scene> {};

TEST_P(EngineOracle, FastStepGivesThePlainStepsRunBitForBit) {
    const Scene& scene = GetParam();
    RandomSource emission(17);
    const std::vector<Particle> particles = SimulationEngine::createParticles(
        scene.particleCount, scene.emission, 1.5, scene.density, 400, scene.emissionRadius, emission);

    SimulationEngine fast(particles, scene.params, scene.polygon, RandomSource(99));
    reference::ReferenceEngine plain(particles, scene.params, scene.polygon, RandomSource(99));
    fast.targetSpeed = scene.speed;
    plain.targetSpeed = scene.speed;

    int stuck = 0;
    for (int step = 1; step <= 300; ++step) {
        fast.step();
        plain.step();
        if (step % 50 == 0) {
            expectSameParticles(fast.particles, plain.particles,
                                scene.name + " step " + std::to_string(step));
            ASSERT_EQ(fast.accumulatedTime, plain.accumulatedTime);
        }
    }
    for (const Particle& p : fast.particles) {
        stuck += p.isStuck;
    }
    RecordProperty("stuck", stuck);
}

INSTANTIATE_TEST_SUITE_P(Scenes, EngineOracle, ::testing::ValuesIn(scenesToCompare()),
                         [](const ::testing::TestParamInfo<Scene>& scene) { return scene.param.name; });

/// Points that probe the edge cases of the two searches: vertices, midpoints of edges, points at a vertex's
/// height, points far outside, and random points over and around the polygon.
std::vector<Vec2> probePoints(const std::vector<Vec2>& polygon) {
    std::vector<Vec2> points;
    RandomSource random(5);
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Vec2 a = polygon[i];
        const Vec2 b = polygon[(i + 1) % polygon.size()];
        points.push_back(a);
        points.push_back((a + b) * 0.5);
        points.push_back({random.uniformRandom(0, 800), a.y});
        points.push_back(a + Vec2{random.uniformRandom(-3, 3), random.uniformRandom(-3, 3)});
    }
    Vec2 low = polygon.empty() ? Vec2{} : polygon[0];
    Vec2 high = low;
    for (const Vec2 v : polygon) {
        low = {std::min(low.x, v.x), std::min(low.y, v.y)};
        high = {std::max(high.x, v.x), std::max(high.y, v.y)};
    }
    const Vec2 border = (high - low) * 0.125 + Vec2{1, 1};
    for (int i = 0; i < 3000; ++i) {
        points.push_back({random.uniformRandom(low.x - border.x, high.x + border.x),
                          random.uniformRandom(low.y - border.y, high.y + border.y)});
    }
    // A lattice over the outline's box, whose lines fall on the lines of any grid of 2^k cells per side.
    for (int i = 0; i <= 64; ++i) {
        for (int j = 0; j <= 64; ++j) {
            points.push_back({low.x + (high.x - low.x) * i / 64, low.y + (high.y - low.y) * j / 64});
        }
    }
    points.push_back({-1e6, 300});
    points.push_back({400, 1e6});
    return points;
}

std::vector<Vec2> offsetBy(std::vector<Vec2> polygon, Vec2 offset) {
    for (Vec2& v : polygon) {
        v += offset;
    }
    return polygon;
}

TEST(BoundaryIndexOracle, InsideTestAndNearestEdgeMatchThePlainScans) {
    const std::vector<std::vector<Vec2>> polygons = {
        scenes::openSquare(),
        scenes::lakeWithIsland(),
        scenes::narrowChannel(),
        scenes::wigglyLake(12),
        scenes::wigglyLake(200),
        scenes::wigglyLake(5000),
        {{0, 0}, {0, 0.005}, {0, 100}, {100, 100}},
        {{10, 10}, {20, 10}, {30, 10}},                  // all on one line: a single band
        {{0, 0}, {800, 0.5}, {0, 1}},                    // a sliver, every cell crossed
        offsetBy(scenes::lakeWithIsland(), {4e7, -3e7}), // far from the origin: rounding at its largest
    };
    for (const auto& polygon : polygons) {
        SimulationEngine fast({}, scenes::stillWater(), polygon);
        reference::ReferenceEngine plain({}, scenes::stillWater(), polygon, RandomSource(1));
        for (const Vec2 point : probePoints(polygon)) {
            ASSERT_EQ(fast.isInsideBoundary(point), plain.isInsideBoundary(point))
                << polygon.size() << " vertices, at " << point.x << ", " << point.y;
            const auto a = fast.closestBoundaryPoint(point);
            const auto b = plain.closestBoundaryPoint(point);
            ASSERT_EQ(a.has_value(), b.has_value());
            ASSERT_EQ(a->point, b->point) << polygon.size() << " vertices, at " << point.x << ", " << point.y;
            ASSERT_EQ(a->normal, b->normal);
        }
    }
}

TEST(FlowFieldOracle, SwirlMatchesNoiseEvaluatedValueByValue) {
    for (double turbulence : {0.009, 0.01, 0.3, 2.0}) {
        SimulationEngine fast({}, withCurrent(turbulence, {3, -2}, {}, 10, 1.7), {});
        reference::ReferenceEngine plain({}, withCurrent(turbulence, {3, -2}, {}, 10, 1.7), {},
                                         RandomSource(1));
        RandomSource random(8);
        for (int i = 0; i < 2000; ++i) {
            const Vec2 point{random.uniformRandom(-500, 1500), random.uniformRandom(-500, 1500)};
            const double time = random.uniformRandom(0, 50000);
            ASSERT_EQ(fast.flowVelocity(point, time), plain.flowVelocity(point, time))
                << "turbulence " << turbulence << " at " << point.x << ", " << point.y << ", t " << time;
        }
    }
}

} // namespace
} // namespace pelagrin
