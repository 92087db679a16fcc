// A seeded run on a fixed scene, its final state hashed: any change of what a step computes shows up here.
#include "scenes/Scenes.hpp"
#include "simulation/SimulationEngine.hpp"
#include "simulation/WorkerPool.hpp"

#include <bit>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace pelagrin {
namespace {

/// FNV-1a over the bits of every field a step writes, in particle order.
std::uint64_t stateHash(const SimulationEngine& engine) {
    std::uint64_t hash = 14695981039346656037ULL;
    auto mix = [&hash](std::uint64_t value) {
        for (int i = 0; i < 8; ++i) {
            hash = (hash ^ ((value >> (8 * i)) & 0xFF)) * 1099511628211ULL;
        }
    };
    mix(std::bit_cast<std::uint64_t>(engine.accumulatedTime));
    for (const Particle& p : engine.particles) {
        for (double value : {p.position.x, p.position.y, p.z, p.velocity.x, p.velocity.y, p.speed}) {
            mix(std::bit_cast<std::uint64_t>(value));
        }
        mix(static_cast<std::uint64_t>(p.isActive) | static_cast<std::uint64_t>(p.isStuck) << 1 |
            static_cast<std::uint64_t>(p.isSedimented) << 2);
    }
    return hash;
}

/// `count` particles released round (250, 300) into the lake with an island, stepped at speed 10.
SimulationEngine islandRun(std::int64_t count) {
    SimulationEngineParameters params = scenes::stillWater(0.3);
    params.baseFlowVelocity = {6, 2.5};
    params.pixelsPerMeter = 2.5;
    params.waterDepth = 4;
    params.windVelocity = {1.5, -0.5};
    RandomSource emission(2024);
    SimulationEngine engine(
        SimulationEngine::createParticles(count, {250, 300}, 1.5, 1.02, 600, 30, emission), params,
        scenes::lakeWithIsland(), RandomSource(7));
    engine.targetSpeed = 10;
    return engine;
}

TEST(EngineGolden, SeededIslandRunIsTheSameOnOneTwoOrAllThreads) {
    // The step hands particles to the pool's threads 1024 at a time: four chunks, the last one short.
    constexpr std::int64_t count = 3 * 1024 + 100;
    WorkerPool one(1);
    WorkerPool two(2);
    std::vector<SimulationEngine> runs{islandRun(count), islandRun(count), islandRun(count)};
    runs[0].workers = &one;
    runs[1].workers = &two;
    for (int i = 0; i < 500; ++i) {
        for (SimulationEngine& run : runs) {
            run.step();
        }
    }
    EXPECT_EQ(stateHash(runs[1]), stateHash(runs[0]));
    EXPECT_EQ(stateHash(runs[2]), stateHash(runs[0]));
}

// The hash changes only in a commit that says why the behaviour of a step changed.
TEST(EngineGolden, SeededIslandRunEndsInItsRecordedState) {
    SimulationEngine engine = islandRun(400);
    int stuck = 0;
    int sedimented = 0;
    for (int i = 0; i < 500; ++i) {
        engine.step();
    }
    for (const Particle& p : engine.particles) {
        stuck += p.isStuck;
        sedimented += p.isSedimented;
    }
    EXPECT_GT(stuck, 0);
    EXPECT_GT(sedimented, 0);
    EXPECT_EQ(stateHash(engine), 9507633292673577161ULL)
        << "stuck " << stuck << ", sedimented " << sedimented;
}

} // namespace
} // namespace pelagrin
