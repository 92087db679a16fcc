// The water's edge: the inside test, the nearest point of the outline, stranding and bouncing, odd polygons.
#include "scenes/Scenes.hpp"
#include "simulation/SimulationEngine.hpp"
#include "tests/simulation/particle_at.hpp"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace pelagrin {
namespace {

using testing::particleAt;

SimulationEngine engineOn(std::vector<Vec2> polygon, std::vector<Particle> particles = {},
                          std::uint64_t seed = 5) {
    return SimulationEngine(std::move(particles), scenes::stillWater(), std::move(polygon),
                            RandomSource(seed));
}

/// A particle so large (a radius of 1000 km) that still water cannot slow it within a step: its velocity
/// stays exactly `velocity` (px/s) up to the boundary. It starts just inside the square's west shore at
/// height `y`.
Particle boulderAt(double y, Vec2 velocity) {
    Particle p = particleAt({100.01, y}, 1e9, 1.0);
    p.velocity = velocity;
    return p;
}

std::vector<Vec2> reversed(std::vector<Vec2> polygon) {
    std::reverse(polygon.begin(), polygon.end());
    return polygon;
}

TEST(BoundaryInside, EvenOddRuleWithCrossingsAndTooFewVertices) {
    const SimulationEngine square = engineOn(scenes::openSquare());
    EXPECT_TRUE(square.isInsideBoundary({400, 300}));
    EXPECT_FALSE(square.isInsideBoundary({50, 300}));
    EXPECT_FALSE(square.isInsideBoundary({400, 550}));

    const SimulationEngine lake = engineOn(scenes::lakeWithIsland());
    EXPECT_TRUE(lake.isInsideBoundary({200, 300}));
    EXPECT_FALSE(lake.isInsideBoundary({400, 300})) << "the island is dry";
    EXPECT_TRUE(lake.isInsideBoundary({600, 400}));

    const SimulationEngine triangle = engineOn({{0, 0}, {10, 10}, {0, 10}});
    // The edge from (0, 0) to (10, 10) crosses y = 5 at x = 5 exactly: the ray from there counts no crossing.
    EXPECT_FALSE(triangle.isInsideBoundary({5, 5}));
    EXPECT_TRUE(triangle.isInsideBoundary({4.999, 5}));

    EXPECT_TRUE(engineOn({}).isInsideBoundary({1e6, -1e6}));
    EXPECT_TRUE(engineOn({{0, 0}, {1, 1}}).isInsideBoundary({50, 50}));
}

TEST(BoundaryClosest, FootOnTheFirstNearestEdgeWithItsNormalSkippingShortEdges) {
    const SimulationEngine square = engineOn(scenes::openSquare());
    const auto contact = square.closestBoundaryPoint({90, 250});
    ASSERT_TRUE(contact);
    EXPECT_EQ(contact->point, (Vec2{100, 250}));
    // West edge runs (100, 100) → (100, 500): direction (0, 1), turned a quarter: (-1, 0).
    EXPECT_EQ(contact->normal, (Vec2{-1, 0}));
    EXPECT_EQ(square.closestBoundaryPoint({50, 40})->point, (Vec2{100, 100}));
    // (400, 300) is 300 px from the west and east shores and 200 px from the south and north ones.
    EXPECT_EQ(square.closestBoundaryPoint({400, 300})->point, (Vec2{400, 500}))
        << "edge 1 (south) comes before edge 3 (north)";

    EXPECT_FALSE(engineOn({}).closestBoundaryPoint({0, 0}));
    EXPECT_FALSE(engineOn({{5, 5}}).closestBoundaryPoint({0, 0}));
    const auto degenerate = engineOn({{5, 5}, {5.001, 5}}).closestBoundaryPoint({1, 2});
    ASSERT_TRUE(degenerate);
    EXPECT_EQ(degenerate->point, (Vec2{1, 2}));
    EXPECT_EQ(degenerate->normal, (Vec2{0, 1}));
    const auto withSpike = engineOn({{0, 0}, {0, 0.005}, {0, 100}, {100, 100}}).closestBoundaryPoint({-1, 0});
    ASSERT_TRUE(withSpike);
    EXPECT_EQ(withSpike->point, (Vec2{0, 0}));
}

TEST(BoundaryContact, SlowContactAlwaysStrandsAndDrawsNoRandomNumber) {
    // Two engines on the same seed; one also has a slow contact. If that contact drew a number, the fast
    // contacts that follow would see a different sequence and end differently.
    std::vector<Particle> fast;
    for (int i = 0; i < 40; ++i) {
        fast.push_back(boulderAt(110 + 7 * i, {-500, 0}));
    }
    std::vector<Particle> withSlow = fast;
    withSlow.insert(withSlow.begin(), boulderAt(105, {-14.9, 0}));

    SimulationEngine plain = engineOn(scenes::openSquare(), fast, 77);
    SimulationEngine mixed = engineOn(scenes::openSquare(), withSlow, 77);
    plain.step();
    mixed.step();

    EXPECT_TRUE(mixed.particles[0].isStuck);
    EXPECT_EQ(mixed.particles[0].position, (Vec2{100, 105}));
    EXPECT_EQ(mixed.particles[0].speed, 0.0);
    for (std::size_t i = 0; i < fast.size(); ++i) {
        EXPECT_EQ(plain.particles[i].isStuck, mixed.particles[i + 1].isStuck) << i;
        EXPECT_EQ(plain.particles[i].position, mixed.particles[i + 1].position) << i;
    }
}

TEST(BoundaryContact, FastContactStrandsOneTimeInFive) {
    std::vector<Particle> particles;
    for (int i = 0; i < 4000; ++i) {
        particles.push_back(boulderAt(100.05 + i * 0.0999, {-15, 0}));
    }
    SimulationEngine engine = engineOn(scenes::openSquare(), particles, 3);
    engine.step();
    int stuck = 0;
    for (const Particle& p : engine.particles) {
        stuck += p.isStuck;
    }
    EXPECT_NEAR(stuck / 4000.0, 0.2, 0.025);
}

TEST(BoundaryContact, BounceKeepsATenthOfTheTangentAndReversesAFractionOfTheNormal) {
    // Wound one way the shore's normal points into the water, the other way out of it: the bounce lands
    // inside and drifts on, or outside and meets the shore again next step.
    struct Case {
        bool inwardNormal;
        double bouncedX;
    };
    for (const Case c : {Case{true, 101.5}, Case{false, 98.5}}) {
        std::vector<Particle> particles;
        for (int i = 0; i < 200; ++i) {
            particles.push_back(boulderAt(150 + i, {-500, 100}));
        }
        SimulationEngine engine =
            engineOn(c.inwardNormal ? reversed(scenes::openSquare()) : scenes::openSquare(), particles, 11);
        engine.step();
        std::vector<std::size_t> bounced;
        for (std::size_t i = 0; i < particles.size(); ++i) {
            const Particle& p = engine.particles[i];
            if (p.isStuck) {
                continue;
            }
            bounced.push_back(i);
            // The candidate (92.01, y + 1.6) meets the west shore at (100, y + 1.6). Normal part (-500, 0) ×
            // -0.05, tangential (0, 100) × 0.1.
            EXPECT_DOUBLE_EQ(p.position.x, c.bouncedX);
            EXPECT_DOUBLE_EQ(p.position.y, particles[i].position.y + 1.6);
            EXPECT_DOUBLE_EQ(p.velocity.x, 25);
            EXPECT_DOUBLE_EQ(p.velocity.y, 10);
            EXPECT_DOUBLE_EQ(p.speed, std::hypot(25, 10));
        }
        EXPECT_GT(bounced.size(), 120u);
        EXPECT_LT(bounced.size(), 200u);

        engine.step();
        for (std::size_t i : bounced) {
            const Particle& p = engine.particles[i];
            if (c.inwardNormal) {
                EXPECT_FALSE(p.isStuck);
                EXPECT_GT(p.position.x, 101.5);
            } else {
                EXPECT_DOUBLE_EQ(p.position.x, p.isStuck ? 100 : 98.5);
            }
        }
    }
}

TEST(BoundaryDegenerate, WithoutAnOutlineParticlesHoldStillAndTwoVerticesMakeABox) {
    SimulationEngineParameters params = scenes::stillWater();
    params.baseFlowVelocity = {200, 5};
    for (const std::vector<Vec2>& polygon : {std::vector<Vec2>{}, std::vector<Vec2>{{400, 300}}}) {
        Particle sinking = particleAt({400, 300}, 1.0, 1.2);
        sinking.velocity = {30, 0};
        SimulationEngine engine({sinking}, params, polygon);
        for (int i = 0; i < 10; ++i) {
            engine.step();
        }
        const Particle& p = engine.particles[0];
        EXPECT_EQ(p.position, (Vec2{400, 300}));
        EXPECT_EQ(p.speed, 0.0);
        EXPECT_FALSE(p.isStuck);
        EXPECT_GT(p.z, 0.3) << "settling goes on";
    }
    SimulationEngine boxed({particleAt({50, 50}, 0.0, 1.0)}, params, {{0, 0}, {100, 100}});
    for (int i = 0; i < 100; ++i) {
        boxed.step();
    }
    EXPECT_LE(boxed.particles[0].position.x, 100);
    EXPECT_GT(boxed.particles[0].position.x, 50);
}

TEST(BoundaryChannel, ParticlesInANarrowChannelNeverLeaveIt) {
    SimulationEngineParameters params = scenes::stillWater(0.8);
    params.baseFlowVelocity = {30, 8};
    RandomSource random(21);
    SimulationEngine engine(SimulationEngine::createParticles(300, {100, 300}, 1.0, 1.0, 100, 8, random),
                            params, scenes::narrowChannel(), RandomSource(22));
    engine.targetSpeed = 10;
    for (int i = 0; i < 400; ++i) {
        engine.step();
    }
    int stuck = 0;
    for (const Particle& p : engine.particles) {
        stuck += p.isStuck;
        EXPECT_GE(p.position.y, 290 - 1.5 - 1e-9);
        EXPECT_LE(p.position.y, 310 + 1.5 + 1e-9);
    }
    EXPECT_GT(stuck, 0);
}

} // namespace
} // namespace pelagrin
