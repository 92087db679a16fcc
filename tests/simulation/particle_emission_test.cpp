// Emission of a run's particles: counts released at once, the release window, order and the emission disc.
#include "simulation/SimulationEngine.hpp"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

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

TEST(ParticleEmission, AFifthStartAtOnceRoundedDown) {
    for (const auto& [count, atOnce] : {std::pair<std::int64_t, std::ptrdiff_t>{0, 0}, {4, 0}, {5, 1}}) {
        const auto particles = emit(count);
        ASSERT_EQ(particles.size(), static_cast<std::size_t>(count));
        EXPECT_EQ(activeCount(particles), atOnce) << count;
        for (std::size_t i = 0; i < particles.size(); ++i) {
            EXPECT_EQ(particles[i].isActive, static_cast<std::ptrdiff_t>(i) < atOnce) << count << ": " << i;
            EXPECT_EQ(particles[i].releaseTime > 0.0, !particles[i].isActive) << count << ": " << i;
        }
    }
}

TEST(ParticleEmission, TheRestAreReleasedWithinATenthOfTheRunInOrder) {
    const auto particles = emit(1000, 3600);
    ASSERT_EQ(particles.size(), 1000u);
    EXPECT_EQ(activeCount(particles), 200);
    EXPECT_TRUE(std::is_sorted(particles.begin(), particles.end(), [](const Particle& a, const Particle& b) {
        return a.releaseTime < b.releaseTime;
    }));
    EXPECT_FALSE(particles[200].isActive);
    const double latest = particles.back().releaseTime;
    EXPECT_LE(latest, 360.0);
    EXPECT_GT(latest, 300.0); // 800 uniform draws over [0, 360] reach near its end
}

TEST(ParticleEmission, PropertiesVaryWithinTheirFactorsIdentitiesDifferAndTheDiscFillsUniformlyInDistance) {
    const auto particles = emit(4000, 3600, 20);
    int inner = 0;
    for (const Particle& p : particles) {
        EXPECT_GE(p.radius, 0.8 * 2.0);
        EXPECT_LE(p.radius, 1.2 * 2.0);
        EXPECT_GE(p.density, 0.95 * 1.1 - 1e-12);
        EXPECT_LE(p.density, 1.05 * 1.1 + 1e-12);
        EXPECT_GE(p.noiseOffset, 0.0);
        EXPECT_LE(p.noiseOffset, 10.0);
        EXPECT_EQ(p.z, 0.0);
        EXPECT_EQ(p.velocity, (Vec2{0, 0}));
        EXPECT_FALSE(p.isStuck || p.isSedimented);
        const double distance = (p.position - Vec2{400, 300}).length();
        ASSERT_LE(distance, 20.0 + 1e-9);
        inner += distance < 10.0;
        EXPECT_TRUE(&p == &particles[0] || p.id != particles[0].id) << "every particle has its own identity";
    }
    // Uniform in distance puts half of them in the inner half radius (a uniform disc would put a quarter).
    EXPECT_NEAR(inner / 4000.0, 0.5, 0.03);
    EXPECT_EQ(particles[0].id.toString()[14], '4') << "a random (version 4) identity";
    for (const Particle& p : emit(50, 3600, 0)) {
        EXPECT_EQ(p.position, (Vec2{400, 300})) << "a zero emission radius starts all at the centre";
    }
}

} // namespace
} // namespace pelagrin
