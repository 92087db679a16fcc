// Emission of a run's particles: counts released at once, the release window, order and the emission disc.
#include "simulation/SimulationEngine.hpp"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace pelagrin {
namespace {

std::vector<Particle> emit(std::int64_t count, double totalDuration = 3600, double emissionRadius = 20,
                           std::uint64_t seed = 1) {
    RandomSource random(seed);
    return SimulationEngine::createParticles(count, {400, 300}, 2.0, 1.1, totalDuration, emissionRadius,
                                             random);
}

std::ptrdiff_t activeCount(const std::vector<Particle>& particles) {
    return std::count_if(particles.begin(), particles.end(), [](const Particle& p) { return p.isActive; });
}

TEST(ParticleEmission, ZeroCountGivesNoParticles) {
    EXPECT_TRUE(emit(0).empty());
}

TEST(ParticleEmission, FourParticlesAllWaitForARandomRelease) {
    const auto particles = emit(4);
    ASSERT_EQ(particles.size(), 4u);
    for (const Particle& p : particles) {
        EXPECT_GT(p.releaseTime, 0.0);
        EXPECT_FALSE(p.isActive);
    }
}

TEST(ParticleEmission, FiveParticlesReleaseOneAtOnce) {
    const auto particles = emit(5);
    ASSERT_EQ(particles.size(), 5u);
    EXPECT_EQ(particles[0].releaseTime, 0.0);
    EXPECT_TRUE(particles[0].isActive);
    for (std::size_t i = 1; i < 5; ++i) {
        EXPECT_GT(particles[i].releaseTime, 0.0);
        EXPECT_FALSE(particles[i].isActive);
    }
}

TEST(ParticleEmission, AFifthStartAtOnceTheRestWithinATenthOfTheRunInOrder) {
    const auto particles = emit(1000, 3600);
    ASSERT_EQ(particles.size(), 1000u);
    EXPECT_EQ(activeCount(particles), 200);
    EXPECT_TRUE(std::is_sorted(particles.begin(), particles.end(), [](const Particle& a, const Particle& b) {
        return a.releaseTime < b.releaseTime;
    }));
    const double latest = particles.back().releaseTime;
    EXPECT_LE(latest, 360.0);
    EXPECT_GT(latest, 300.0); // 800 uniform draws over [0, 360] reach near its end
    for (std::size_t i = 200; i < 1000; ++i) {
        EXPECT_FALSE(particles[i].isActive);
    }
}

TEST(ParticleEmission, PropertiesVaryWithinTheirFactors) {
    for (const Particle& p : emit(500)) {
        EXPECT_GE(p.radius, 0.8 * 2.0);
        EXPECT_LE(p.radius, 1.2 * 2.0);
        EXPECT_GE(p.density, 0.95 * 1.1 - 1e-12);
        EXPECT_LE(p.density, 1.05 * 1.1 + 1e-12);
        EXPECT_GE(p.noiseOffset, 0.0);
        EXPECT_LE(p.noiseOffset, 10.0);
        EXPECT_EQ(p.z, 0.0);
        EXPECT_EQ(p.velocity, (Vec2{0, 0}));
        EXPECT_EQ(p.speed, 0.0);
        EXPECT_FALSE(p.isStuck);
        EXPECT_FALSE(p.isSedimented);
    }
}

TEST(ParticleEmission, ParticlesFillTheDiscUniformlyInDistance) {
    const auto particles = emit(4000, 3600, 20);
    int inner = 0;
    for (const Particle& p : particles) {
        const double distance = (p.position - Vec2{400, 300}).length();
        ASSERT_LE(distance, 20.0 + 1e-9);
        inner += distance < 10.0;
    }
    // Uniform in distance puts half of them in the inner half radius (a uniform disc would put a quarter).
    EXPECT_NEAR(inner / 4000.0, 0.5, 0.03);
}

TEST(ParticleEmission, ZeroEmissionRadiusStartsEveryParticleAtTheCentre) {
    for (const Particle& p : emit(50, 3600, 0)) {
        EXPECT_EQ(p.position, (Vec2{400, 300}));
    }
}

TEST(ParticleEmission, DrawsComeInTheirFixedOrder) {
    // The first of five particles is released at once, so it draws no release time: its draws are, in
    // order, angle, distance, radius factor, density factor and noise offset.
    RandomSource replay(99);
    const double angle = replay.uniformRandom(0, 2 * std::numbers::pi);
    const double distance = replay.uniformRandom(0, 20);
    const double radiusFactor = replay.uniformRandom(0.8, 1.2);
    const double densityFactor = replay.uniformRandom(0.95, 1.05);
    const double noiseOffset = replay.uniformRandom(0, 10);

    const Particle first = emit(5, 3600, 20, 99).front();
    EXPECT_EQ(first.position.x, 400 + std::cos(angle) * distance);
    EXPECT_EQ(first.position.y, 300 + std::sin(angle) * distance);
    EXPECT_EQ(first.radius, radiusFactor * 2.0);
    EXPECT_EQ(first.density, densityFactor * 1.1);
    EXPECT_EQ(first.noiseOffset, noiseOffset);
}

TEST(ParticleEmission, EveryParticleHasItsOwnIdentity) {
    const auto particles = emit(200);
    for (std::size_t i = 1; i < particles.size(); ++i) {
        EXPECT_NE(particles[i].id, particles[0].id);
    }
    const std::string text = particles[0].id.toString();
    EXPECT_EQ(text.size(), 36u);
    EXPECT_EQ(text[14], '4');
}

TEST(ParticleEmission, UnseededRunsDiffer) {
    const auto a = SimulationEngine::createParticles(10, {0, 0}, 1, 1, 100, 5);
    const auto b = SimulationEngine::createParticles(10, {0, 0}, 1, 1, 100, 5);
    EXPECT_NE(a[0].position, b[0].position);
}

} // namespace
} // namespace pelagrin
