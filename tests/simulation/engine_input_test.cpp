// Bad input at the engine's boundary: a clear error naming the value, never a crash or a hang.
#include "scenes/Scenes.hpp"
#include "simulation/SimulationEngine.hpp"
#include "tests/simulation/particle_at.hpp"

#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>
#include <string>

namespace pelagrin {
namespace {

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

TEST(EngineInput, EmissionRejectsNegativeCountsDurationsAndRadii) {
    RandomSource random(1);
    EXPECT_EQ(rejection([&] {
                  SimulationEngine::createParticles(-1, {0, 0}, 1, 1, 100, 5, random);
              }),
              "SimulationEngine: particle count must not be negative, got -1");
    EXPECT_NE(rejection([&] {
                  SimulationEngine::createParticles(10, {0, 0}, 1, 1, -5, 5, random);
              }).find("totalDuration must not be negative"),
              std::string::npos);
    EXPECT_NE(rejection([&] {
                  SimulationEngine::createParticles(10, {0, 0}, 1, 1, 100, -1, random);
              }).find("emissionRadius must not be negative"),
              std::string::npos);
}

TEST(EngineInput, EmissionRejectsNumbersThatAreNotFinite) {
    RandomSource random(1);
    EXPECT_NE(rejection([&] {
                  SimulationEngine::createParticles(10, {kNaN, 0}, 1, 1, 100, 5, random);
              }).find("emission center.x must be a finite number"),
              std::string::npos);
    EXPECT_NE(rejection([&] {
                  SimulationEngine::createParticles(10, {0, 0}, kInf, 1, 100, 5, random);
              }).find("particle radius"),
              std::string::npos);
    EXPECT_NE(rejection([&] {
                  SimulationEngine::createParticles(10, {0, 0}, 1, 1, kNaN, 5, random);
              }).find("totalDuration"),
              std::string::npos);
}

TEST(EngineInput, ConstructionRejectsParametersThatAreNotFinite) {
    SimulationEngineParameters params = scenes::stillWater();
    params.viscosity = kNaN;
    EXPECT_NE(rejection([&] { SimulationEngine({}, params, {}); }).find("viscosity must be a finite number"),
              std::string::npos);

    params = scenes::stillWater();
    params.windVelocity = {0, kInf};
    EXPECT_NE(rejection([&] { SimulationEngine({}, params, {}); }).find("windVelocity.y"), std::string::npos);

    params = scenes::stillWater();
    params.pixelsPerMeter = -kInf;
    EXPECT_NE(rejection([&] { SimulationEngine({}, params, {}); }).find("pixelsPerMeter"), std::string::npos);
}

TEST(EngineInput, ConstructionRejectsBrokenVerticesAndParticles) {
    EXPECT_NE(rejection([&] {
                  SimulationEngine({}, scenes::stillWater(), {{0, 0}, {kNaN, 1}, {2, 2}});
              }).find("boundary vertex 1.x"),
              std::string::npos);

    Particle broken = testing::particleAt({1, 1});
    broken.density = kNaN;
    EXPECT_NE(rejection([&] {
                  SimulationEngine({testing::particleAt({0, 0}), broken}, scenes::stillWater(), {});
              }).find("particle 1 density"),
              std::string::npos);
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

} // namespace
} // namespace pelagrin
