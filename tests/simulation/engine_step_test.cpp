// One engine step: the clock, release, settling, the bottom and surface, the water's drag, current, swirl,
// wind.
#include "scenes/Scenes.hpp"
#include "simulation/SimulationEngine.hpp"
#include "tests/simulation/particle_at.hpp"

#include <cmath>
#include <gtest/gtest.h>

namespace pelagrin {
namespace {

using testing::particleAt;

/// One particle in the open square, in still water unless the test changes the parameters.
SimulationEngine engineWith(Particle particle, SimulationEngineParameters params = scenes::stillWater()) {
    return SimulationEngine({particle}, params, scenes::openSquare(), RandomSource(5));
}

TEST(EngineClock, AdvancesBySpeedTimesBaseStepAndReleasesWaitingParticlesOnTime) {
    Particle waiting = particleAt({400, 300}, 1.0, 1.2);
    waiting.isActive = false;
    waiting.releaseTime = 0.032;
    SimulationEngine engine = engineWith(waiting);
    engine.step(); // t = 0.016 < 0.032
    EXPECT_EQ(engine.accumulatedTime, 0.016);
    EXPECT_FALSE(engine.particles[0].isActive);
    EXPECT_EQ(engine.particles[0].z, 0.0);
    engine.step(); // t = 0.032: released and moved in this same step
    EXPECT_TRUE(engine.particles[0].isActive);
    EXPECT_GT(engine.particles[0].z, 0.0);
    engine.targetSpeed = 10;
    engine.step();
    EXPECT_DOUBLE_EQ(engine.accumulatedTime, 0.192);
}

TEST(EngineSettling, DepthAndSedimentFollowTheDensity) {
    // r = 1 mm, density 1.2, water viscosity and gravity: (0.001)² × 9.81 × 0.2 × 10000/9 / 0.001 ≈ 2.18 m/s.
    SimulationEngine sinking = engineWith(particleAt({400, 300}, 1.0, 1.2));
    sinking.step();
    EXPECT_NEAR(sinking.particles[0].z / 0.016, 2.18, 0.001);
    EXPECT_FALSE(sinking.particles[0].isSedimented);

    SimulationEngineParameters shallow = scenes::stillWater();
    shallow.waterDepth = 0.03; // one step at 2.18 m/s sinks 0.035 m
    SimulationEngine landing = engineWith(particleAt({400, 300}, 1.0, 1.2), shallow);
    landing.step();
    EXPECT_EQ(landing.particles[0].z, 0.03);
    EXPECT_TRUE(landing.particles[0].isSedimented);

    Particle neutral = particleAt({400, 300}, 1.0, 1.0);
    neutral.z = 3.0;
    SimulationEngine still({neutral, particleAt({400, 300}, 1.0, 0.9)}, scenes::stillWater(),
                           scenes::openSquare());
    for (int i = 0; i < 50; ++i) {
        still.step();
    }
    EXPECT_EQ(still.particles[0].z, 3.0);
    EXPECT_EQ(still.particles[1].z, 0.0) << "a light particle floats up to the surface and stays";

    shallow.waterDepth = 5;
    Particle floater = particleAt({400, 300}, 1.0, 0.9);
    floater.z = 5;
    floater.isSedimented = true;
    SimulationEngine lifted = engineWith(floater, shallow);
    lifted.step();
    EXPECT_LT(lifted.particles[0].z, 5.0);
    EXPECT_FALSE(lifted.particles[0].isSedimented);
}

TEST(EngineRelaxation, ResponseTimeSetsTheShareOfTheGapClosedPerStepAtAnySpeed) {
    struct Case {
        double radius, density, speed, remainingGap;
    };
    // r = 1 mm, density 1.05: τ = 0.2333 s, exp(-0.016 / τ) ≈ 0.9337; r = 2 mm: τ ≈ 0.889 s, ≈ 0.9822. The
    // speed multiplier stretches the step but not the relaxation.
    for (const Case c : {Case{1.0, 1.05, 1, 0.9337}, Case{2.0, 1.0, 1, 0.9822}, Case{2.0, 1.0, 10, 0.9822},
                         Case{0.0, 1.0, 10, 0.0}}) {
        SimulationEngineParameters params = scenes::stillWater();
        params.baseFlowVelocity = {1, 0};
        SimulationEngine engine = engineWith(particleAt({400, 300}, c.radius, c.density), params);
        engine.targetSpeed = c.speed;
        engine.step();
        const Particle& p = engine.particles[0];
        EXPECT_NEAR(1 - p.velocity.x, c.remainingGap, 0.0001) << "r " << c.radius << " speed " << c.speed;
        EXPECT_EQ(p.velocity.y, 0.0);
        EXPECT_NEAR(p.position.x - 400, c.speed * 0.016 * p.velocity.x, 1e-12) << "speed " << c.speed;
    }
}

TEST(EngineForcing, CurrentAndWindFadeWithDepthAndOnTheBottom) {
    struct Case {
        const char* what;
        double z, waterDepth, pixelsPerMeter;
        Vec2 current, wind;
        double expectedVelocityX;
    };
    const Case cases[] = {
        {"current, half way down", 5, 10, 1, {1, 0}, {0, 0}, 1 - 0.5 * 0.5},
        {"current, on the bottom", 10, 10, 1, {1, 0}, {0, 0}, 0.5 * 0.05},
        {"current, zero-depth column", 0, 0, 1, {1, 0}, {0, 0}, 0.2 * 0.05},
        {"current, 4 px per metre", 0, 10, 4, {1, 0}, {0, 0}, 1.0},
        {"wind, at the surface", 0, 10, 1, {0, 0}, {10, 0}, 10 * 0.03},
        {"wind, 2 m down", 2, 10, 1, {0, 0}, {10, 0}, 10 * 0.03 * std::exp(-1.0)},
        {"wind, on the bottom", 10, 10, 1, {0, 0}, {10, 0}, 10 * 0.03 * std::exp(-5.0) * 0.05},
    };
    for (const Case& c : cases) {
        SimulationEngineParameters params = scenes::stillWater();
        params.waterDepth = c.waterDepth;
        params.pixelsPerMeter = c.pixelsPerMeter;
        params.baseFlowVelocity = c.current;
        params.windVelocity = c.wind;
        Particle p = particleAt({400, 300}, 0.0, 1.0);
        p.z = c.z;
        SimulationEngine engine = engineWith(p, params);
        engine.step();
        EXPECT_DOUBLE_EQ(engine.particles[0].velocity.x, c.expectedVelocityX) << c.what;
        EXPECT_DOUBLE_EQ(engine.particles[0].position.x, 400 + 0.016 * c.expectedVelocityX) << c.what;
    }
}

TEST(EngineTurbulence, SwirlSwitchesOnAtTheFloorAndVariesInSpaceAndTimeButNotBetweenRuns) {
    SimulationEngineParameters below = scenes::stillWater(0.009);
    below.baseFlowVelocity = {2, -1};
    const SimulationEngine calm({}, below, scenes::openSquare());
    for (double x : {0.0, 13.7, 250.0}) {
        EXPECT_EQ(calm.flowVelocity({x, x / 2}, 100 + x), (Vec2{2, -1})) << "the current only";
    }
    const SimulationEngine engine({}, scenes::stillWater(0.01), scenes::openSquare());
    const Vec2 here = engine.flowVelocity({123.4, 56.7}, 1000);
    EXPECT_NE(here, (Vec2{0, 0}));
    EXPECT_NE(here, engine.flowVelocity({223.4, 56.7}, 1000));
    EXPECT_NE(here, engine.flowVelocity({123.4, 56.7}, 5000));
    EXPECT_EQ(here, SimulationEngine({}, scenes::stillWater(0.01), {}).flowVelocity({123.4, 56.7}, 1000));
}

TEST(EngineTurbulence, SwirlIsFreeOfDivergence) {
    // The swirl is the curl of a stream function, so the flux through any small closed square is ~zero.
    SimulationEngine engine({}, scenes::stillWater(0.5), scenes::openSquare());
    const double h = 0.5;
    for (Vec2 p : {Vec2{37.1, 80.2}, Vec2{310.5, 22.9}, Vec2{5.5, 490.3}}) {
        const double divergence =
            (engine.flowVelocity({p.x + h, p.y}, 40).x - engine.flowVelocity({p.x - h, p.y}, 40).x) /
                (2 * h) +
            (engine.flowVelocity({p.x, p.y + h}, 40).y - engine.flowVelocity({p.x, p.y - h}, 40).y) / (2 * h);
        const double magnitude = engine.flowVelocity(p, 40).length();
        EXPECT_LT(std::abs(divergence), 0.05 * std::max(magnitude, 1e-3)) << "at " << p.x << ", " << p.y;
    }
}

TEST(EngineStuck, StrandedParticleNeverChangesAgain) {
    SimulationEngineParameters params = scenes::stillWater(0.5);
    params.baseFlowVelocity = {50, 20};
    Particle stuck = particleAt({100, 300}, 1.0, 1.5);
    stuck.isStuck = true;
    SimulationEngine engine = engineWith(stuck, params);
    for (int i = 0; i < 100; ++i) {
        engine.step();
    }
    EXPECT_EQ(engine.particles[0].position, (Vec2{100, 300}));
    EXPECT_EQ(engine.particles[0].z, 0.0);
    EXPECT_EQ(engine.particles[0].speed, 0.0);
}

} // namespace
} // namespace pelagrin
