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

TEST(EngineConstruction, StartsAtRestWithItsBoundingBox) {
    SimulationEngine engine({}, scenes::stillWater(), scenes::openSquare());
    EXPECT_EQ(engine.targetSpeed, 1.0);
    EXPECT_EQ(engine.timeStep, 0.016);
    EXPECT_EQ(engine.accumulatedTime, 0.0);
    EXPECT_EQ(engine.simDurationLimit, 43200.0);
    ASSERT_TRUE(engine.bounds);
    EXPECT_EQ(engine.bounds->minX, 100);
    EXPECT_EQ(engine.bounds->maxX, 700);
    EXPECT_EQ(engine.bounds->minY, 100);
    EXPECT_EQ(engine.bounds->maxY, 500);
}

TEST(EngineConstruction, BoundsFollowThePolygon) {
    SimulationEngine empty({}, scenes::stillWater(), {});
    EXPECT_FALSE(empty.bounds);
    SimulationEngine single({}, scenes::stillWater(), {{3, 4}});
    ASSERT_TRUE(single.bounds);
    EXPECT_EQ(single.bounds->minX, single.bounds->maxX);
    EXPECT_EQ(single.bounds->minY, single.bounds->maxY);
    single.boundaryVertices.clear();
    single.computeBounds();
    EXPECT_FALSE(single.bounds);
}

TEST(EngineClock, AdvancesBySpeedTimesBaseStepEvenWithoutParticles) {
    SimulationEngine engine({}, scenes::stillWater(), {});
    engine.step();
    EXPECT_EQ(engine.accumulatedTime, 0.016);
    engine.targetSpeed = 10;
    engine.step();
    EXPECT_DOUBLE_EQ(engine.accumulatedTime, 0.176);
}

TEST(EngineRelease, WaitingParticleJoinsInTheStepThatReachesItsTime) {
    Particle waiting = particleAt({400, 300}, 1.0, 1.2);
    waiting.isActive = false;
    waiting.releaseTime = 0.032;
    SimulationEngine engine = engineWith(waiting);
    engine.step(); // t = 0.016 < 0.032
    EXPECT_FALSE(engine.particles[0].isActive);
    EXPECT_EQ(engine.particles[0].z, 0.0);
    engine.step(); // t = 0.032: released and moved in this same step
    EXPECT_TRUE(engine.particles[0].isActive);
    EXPECT_GT(engine.particles[0].z, 0.0);
}

TEST(EngineSettling, HeavyParticleSinksAtItsStokesSpeed) {
    // r = 1 mm, density 1.2, water viscosity and gravity: (0.001)² × 9.81 × 0.2 × 10000/9 / 0.001 ≈ 2.18 m/s.
    SimulationEngine engine = engineWith(particleAt({400, 300}, 1.0, 1.2));
    engine.step();
    EXPECT_NEAR(engine.particles[0].z / 0.016, 2.18, 0.001);
    EXPECT_FALSE(engine.particles[0].isSedimented);
}

TEST(EngineSettling, NeutralParticleKeepsItsDepthAndLightOneFloats) {
    Particle neutral = particleAt({400, 300}, 1.0, 1.0);
    neutral.z = 3.0;
    SimulationEngine engine({neutral, particleAt({400, 300}, 1.0, 0.9)}, scenes::stillWater(),
                            scenes::openSquare());
    for (int i = 0; i < 50; ++i) {
        engine.step();
    }
    EXPECT_EQ(engine.particles[0].z, 3.0);
    EXPECT_EQ(engine.particles[1].z, 0.0);
}

TEST(EngineSettling, ReachingTheBottomSedimentsInThatStep) {
    SimulationEngineParameters params = scenes::stillWater();
    params.waterDepth = 0.03; // one step at 2.18 m/s sinks 0.035 m
    SimulationEngine engine = engineWith(particleAt({400, 300}, 1.0, 1.2), params);
    engine.step();
    EXPECT_EQ(engine.particles[0].z, 0.03);
    EXPECT_TRUE(engine.particles[0].isSedimented);
}

TEST(EngineSettling, ALiftedParticleIsNoLongerSedimented) {
    SimulationEngineParameters params = scenes::stillWater();
    params.waterDepth = 5;
    Particle floater = particleAt({400, 300}, 1.0, 0.9);
    floater.z = 5;
    floater.isSedimented = true;
    SimulationEngine engine = engineWith(floater, params);
    engine.step();
    EXPECT_LT(engine.particles[0].z, 5.0);
    EXPECT_FALSE(engine.particles[0].isSedimented);
}

/// Horizontal velocity (px/s) of a particle after one step in a uniform current of 1 px/s along +x, at 1
/// px/m.
double velocityAfterOneStep(Particle particle, SimulationEngineParameters params, double targetSpeed = 1) {
    params.baseFlowVelocity = {1, 0};
    SimulationEngine engine = engineWith(particle, params);
    engine.targetSpeed = targetSpeed;
    engine.step();
    EXPECT_EQ(engine.particles[0].velocity.y, 0.0);
    return engine.particles[0].velocity.x;
}

TEST(EngineRelaxation, ResponseTimeSetsTheShareOfTheGapClosedPerStep) {
    // r = 1 mm, density 1.05: τ = 0.2333 s, a = exp(-0.016 / τ) ≈ 0.9337, so 6.6 % of the gap closes.
    const double closed = velocityAfterOneStep(particleAt({400, 300}, 1.0, 1.05), scenes::stillWater());
    EXPECT_NEAR(1 - closed, 0.9337, 0.0001);
    // r = 2 mm, density 1.0: τ ≈ 0.889 s, a ≈ 0.9822.
    const double closedLarge = velocityAfterOneStep(particleAt({400, 300}, 2.0, 1.0), scenes::stillWater());
    EXPECT_NEAR(1 - closedLarge, 0.9822, 0.0001);
}

TEST(EngineRelaxation, SpeedMultiplierStretchesTheStepButNotTheRelaxation) {
    const Particle particle = particleAt({400, 300}, 2.0, 1.0);
    const double atOne = velocityAfterOneStep(particle, scenes::stillWater(), 1);
    const double atTen = velocityAfterOneStep(particle, scenes::stillWater(), 10);
    EXPECT_EQ(atOne, atTen);

    SimulationEngineParameters params = scenes::stillWater();
    params.baseFlowVelocity = {1, 0};
    SimulationEngine slow = engineWith(particle, params);
    SimulationEngine fast = engineWith(particle, params);
    fast.targetSpeed = 10;
    slow.step();
    fast.step();
    EXPECT_NEAR(fast.particles[0].position.x - 400, 10 * (slow.particles[0].position.x - 400), 1e-12);
}

TEST(EngineRelaxation, ZeroRadiusTakesTheWaterVelocityAtOnce) {
    EXPECT_EQ(velocityAfterOneStep(particleAt({400, 300}, 0.0, 1.0), scenes::stillWater()), 1.0);
}

TEST(EngineCurrent, WeakensWithDepthAndAlmostStopsOnTheBottom) {
    Particle deep = particleAt({400, 300}, 0.0, 1.0);
    deep.z = 5; // half of the 10 m column: factor 1 - 0.5 × 0.5
    EXPECT_DOUBLE_EQ(velocityAfterOneStep(deep, scenes::stillWater()), 0.75);

    Particle onBottom = particleAt({400, 300}, 0.0, 1.0);
    onBottom.z = 10; // depth factor 0.5, bottom factor 0.05
    EXPECT_DOUBLE_EQ(velocityAfterOneStep(onBottom, scenes::stillWater()), 0.5 * 0.05);
}

TEST(EngineCurrent, ZeroDepthColumnUsesTheFloorFactor) {
    SimulationEngineParameters params = scenes::stillWater();
    params.waterDepth = 0;
    const double velocity = velocityAfterOneStep(particleAt({400, 300}, 0.0, 1.0), params);
    EXPECT_DOUBLE_EQ(velocity, 0.2 * 0.05);
}

TEST(EngineCurrent, IsConvertedFromPixelsAtThePixelScale) {
    SimulationEngineParameters params = scenes::stillWater();
    params.pixelsPerMeter = 4;
    params.baseFlowVelocity = {1, 0};
    // 1 px/s of current is 0.25 m/s; the particle takes it fully and moves 1 px/s × 0.016 s.
    SimulationEngine engine = engineWith(particleAt({400, 300}, 0.0, 1.0), params);
    engine.step();
    EXPECT_DOUBLE_EQ(engine.particles[0].velocity.x, 1.0);
    EXPECT_DOUBLE_EQ(engine.particles[0].position.x, 400.016);
}

TEST(EngineWind, PullsAtTheSurfaceAndFadesWithDepth) {
    SimulationEngineParameters params = scenes::stillWater();
    params.windVelocity = {10, 0};
    SimulationEngine surface = engineWith(particleAt({400, 300}, 0.0, 1.0), params);
    surface.step();
    EXPECT_DOUBLE_EQ(surface.particles[0].velocity.x, 10 * 0.03);

    Particle deep = particleAt({400, 300}, 0.0, 1.0);
    deep.z = 2;
    SimulationEngine below = engineWith(deep, params);
    below.step();
    EXPECT_DOUBLE_EQ(below.particles[0].velocity.x, 10 * 0.03 * std::exp(-1.0));
}

TEST(EngineWind, OnTheBottomOnlyTheBottomFactorWeakensIt) {
    SimulationEngineParameters params = scenes::stillWater();
    params.windVelocity = {10, 0};
    Particle onBottom = particleAt({400, 300}, 0.0, 1.0);
    onBottom.z = 10;
    SimulationEngine engine = engineWith(onBottom, params);
    engine.step();
    EXPECT_DOUBLE_EQ(engine.particles[0].velocity.x, 10 * 0.03 * std::exp(-5.0) * 0.05);
}

TEST(EngineTurbulence, BelowTheFloorTheWaterMovesWithTheCurrentOnly) {
    SimulationEngineParameters params = scenes::stillWater(0.009);
    params.baseFlowVelocity = {2, -1};
    SimulationEngine engine({}, params, scenes::openSquare());
    for (double x : {0.0, 13.7, 250.0}) {
        EXPECT_EQ(engine.flowVelocity({x, x / 2}, 100 + x), (Vec2{2, -1}));
    }
}

TEST(EngineTurbulence, AtTheFloorTheSwirlIsOnAndVariesInSpaceAndTime) {
    SimulationEngine engine({}, scenes::stillWater(0.01), scenes::openSquare());
    const Vec2 here = engine.flowVelocity({123.4, 56.7}, 1000);
    EXPECT_NE(here, (Vec2{0, 0}));
    EXPECT_NE(here, engine.flowVelocity({223.4, 56.7}, 1000));
    EXPECT_NE(here, engine.flowVelocity({123.4, 56.7}, 5000));
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

TEST(EngineTurbulence, IsTheSameFieldInEveryRun) {
    SimulationEngine first({}, scenes::stillWater(0.3), {});
    SimulationEngine second({}, scenes::stillWater(0.3), {});
    EXPECT_EQ(first.flowVelocity({77.7, 12.3}, 321), second.flowVelocity({77.7, 12.3}, 321));
}

TEST(EngineStuck, StrandedParticleNeverChangesAgain) {
    SimulationEngineParameters params = scenes::stillWater(0.5);
    params.baseFlowVelocity = {50, 20};
    Particle stuck = particleAt({100, 300}, 1.0, 1.5);
    stuck.isStuck = true;
    stuck.speed = 0;
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
