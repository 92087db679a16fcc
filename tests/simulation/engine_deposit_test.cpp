// The deposit records the step keeps: when each particle stranded and first reached the bed.
#include "scenes/Scenes.hpp"
#include "simulation/SimulationEngine.hpp"
#include "tests/simulation/particle_at.hpp"

#include <gtest/gtest.h>

namespace pelagrin {
namespace {

using testing::particleAt;

TEST(EngineDeposits, EachRecordIsSetInTheStepThatSetsItsFlagAndKeptAfter) {
    // Boulders keep their velocity up to the west shore: the slow one strands at once, the fast ones by the
    // draw; a dense particle sinks to the shallow bed; a light one floats and deposits nowhere.
    auto boulder = [](double y, double vx) {
        Particle p = particleAt({100.01, y}, 1e9, 1.0);
        p.velocity = {vx, 0};
        return p;
    };
    std::vector<Particle> particles{boulder(105, -14.9), particleAt({400, 300}, 1.0, 1.2),
                                    particleAt({400, 300}, 1.0, 0.9)};
    for (int i = 0; i < 40; ++i) {
        particles.push_back(boulder(110 + 7 * i, -500));
    }
    SimulationEngineParameters shallow = scenes::stillWater();
    shallow.waterDepth = 0.1; // the dense particle sinks 0.035 m a step: on the bed in the third step
    SimulationEngine engine(particles, shallow, scenes::openSquare(), RandomSource(3));

    std::vector<bool> everSedimented(particles.size(), false);
    for (int step = 0; step < 5; ++step) {
        const std::vector<Particle> before = engine.particles;
        engine.step();
        ASSERT_EQ(engine.deposits().size(), engine.particles.size());
        for (std::size_t i = 0; i < particles.size(); ++i) {
            const Particle& p = engine.particles[i];
            const Deposit& d = engine.deposits()[i];
            EXPECT_EQ(d.hasStranded(), p.isStuck) << i;
            if (p.isStuck && !before[i].isStuck) {
                EXPECT_EQ(d.strandedAt, engine.accumulatedTime) << i;
            }
            if (p.isSedimented && !everSedimented[i]) {
                EXPECT_EQ(d.sedimentedAt, engine.accumulatedTime) << i;
            }
            everSedimented[i] = everSedimented[i] || p.isSedimented;
            EXPECT_EQ(d.hasSedimented(), everSedimented[i]) << i;
        }
    }
    EXPECT_TRUE(engine.deposits()[0].hasStranded());
    EXPECT_EQ(engine.deposits()[0].strandedAt, SimulationEngine::baseStep);
    EXPECT_DOUBLE_EQ(engine.deposits()[1].sedimentedAt, 3 * SimulationEngine::baseStep);
    EXPECT_FALSE(engine.deposits()[2].hasStranded() || engine.deposits()[2].hasSedimented());
    int strandedByDraw = 0;
    for (std::size_t i = 3; i < particles.size(); ++i) {
        strandedByDraw += engine.deposits()[i].hasStranded();
    }
    EXPECT_GT(strandedByDraw, 0);
}

} // namespace
} // namespace pelagrin
