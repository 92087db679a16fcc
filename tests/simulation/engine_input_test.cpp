// Bad input at the engine's boundary: a clear error naming the value, never a crash or a hang.
#include "scenes/Scenes.hpp"
#include "simulation/SimulationEngine.hpp"
#include "tests/simulation/particle_at.hpp"

#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>
#include <string>

namespace pelagrin {
namespace {

using ::testing::HasSubstr;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

/// The message of the std::invalid_argument that `action` throws; fails the test when it throws nothing.
template <typename Action> std::string rejection(Action action) {
    try {
        action();
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    ADD_FAILURE() << "expected std::invalid_argument";
    return {};
}

std::string emissionError(std::int64_t count, Vec2 center, double radius, double totalDuration,
                          double emissionRadius) {
    RandomSource random(1);
    return rejection([&] {
        SimulationEngine::createParticles(count, center, radius, 1, totalDuration, emissionRadius, random);
    });
}

std::string constructionError(const SimulationEngineParameters& params, std::vector<Vec2> polygon = {},
                              std::vector<Particle> particles = {}) {
    return rejection([&] { SimulationEngine(std::move(particles), params, std::move(polygon)); });
}

TEST(EngineInput, EmissionRejectionsNameTheOffendingValue) {
    EXPECT_EQ(emissionError(-1, {0, 0}, 1, 100, 5),
              "SimulationEngine: particle count must not be negative, got -1");
    EXPECT_THAT(emissionError(10, {0, 0}, 1, -5, 5), HasSubstr("totalDuration must not be negative"));
    EXPECT_THAT(emissionError(10, {0, 0}, 1, 100, -1), HasSubstr("emissionRadius must not be negative"));
    EXPECT_THAT(emissionError(10, {kNaN, 0}, 1, 100, 5),
                HasSubstr("emission center.x must be a finite number"));
    EXPECT_THAT(emissionError(10, {0, 0}, kInf, 100, 5), HasSubstr("particle radius"));
    EXPECT_THAT(emissionError(10, {0, 0}, 1, kNaN, 5), HasSubstr("totalDuration"));
}

TEST(EngineInput, ConstructionRejectionsNameTheOffendingValue) {
    SimulationEngineParameters params = scenes::stillWater();
    params.viscosity = kNaN;
    EXPECT_THAT(constructionError(params), HasSubstr("viscosity must be a finite number"));
    params = scenes::stillWater();
    params.windVelocity = {0, kInf};
    EXPECT_THAT(constructionError(params), HasSubstr("windVelocity.y"));
    params = scenes::stillWater();
    params.pixelsPerMeter = -kInf;
    EXPECT_THAT(constructionError(params), HasSubstr("pixelsPerMeter"));

    EXPECT_THAT(constructionError(scenes::stillWater(), {{0, 0}, {kNaN, 1}, {2, 2}}),
                HasSubstr("boundary vertex 1.x"));
    Particle broken = testing::particleAt({1, 1});
    broken.density = kNaN;
    EXPECT_THAT(constructionError(scenes::stillWater(), {}, {testing::particleAt({0, 0}), broken}),
                HasSubstr("particle 1 density"));
}

TEST(EngineInput, ExtremeButFiniteParametersStepWithoutTrouble) {
    SimulationEngineParameters params = scenes::stillWater(1e6);
    params.pixelsPerMeter = 0; // floored where it divides
    params.viscosity = 0;      // no drag: the drag floor keeps the response time finite
    params.waterDepth = 0;
    SimulationEngine engine({testing::particleAt({400, 300}, 1.0, 1.5)}, params, scenes::openSquare());
    for (int i = 0; i < 10; ++i) {
        engine.step();
    }
    EXPECT_EQ(engine.particles[0].z, 0.0);
    EXPECT_TRUE(engine.particles[0].isSedimented);
}

TEST(EngineInput, NoCoordinateOfTheNoiseIndexesOutsideItsTable) {
    // Points and times the run's checks keep out of the step: a huge whole coordinate is a multiple of 256,
    // cell 0 at fraction 0; one that is not finite is a programmer's error, asserted in a debug build and a
    // number that is not finite in a release build, never a read outside the table.
    SimulationEngine engine({}, scenes::stillWater(0.3), {});
    const PerlinNoise& noise = engine.noiseGen;
    for (const double huge : {0x1p63, -0x1p63, 1e300}) {
        EXPECT_EQ(noise.noise(huge, 0.5, 0.25), noise.noise(0, 0.5, 0.25)) << huge;
        EXPECT_TRUE(std::isfinite(engine.flowVelocity({huge, huge}, 1.0).x)) << huge;
        EXPECT_TRUE(std::isfinite(engine.flowVelocity({3.0, 4.0}, huge).x)) << huge;
    }
    for (const double bad : {kNaN, kInf, -kInf}) {
        EXPECT_DEBUG_DEATH(EXPECT_TRUE(std::isnan(noise.noise(bad, 0.5, 0.25))), "") << bad;
        EXPECT_DEBUG_DEATH(EXPECT_TRUE(std::isnan(engine.flowVelocity({bad, 4.0}, 1.0).x)), "") << bad;
        EXPECT_DEBUG_DEATH(EXPECT_TRUE(std::isnan(engine.flowVelocity({3.0, 4.0}, bad).x)), "") << bad;
    }
}

} // namespace
} // namespace pelagrin
