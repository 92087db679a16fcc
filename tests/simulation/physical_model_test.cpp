// The physical transport model: its settling laws against known answers, and the engine's step under it
// against the exact or statistical answers of advection, diffusion, stranding and refloating.
#include "scenes/Scenes.hpp"
#include "simulation/SimulationEngine.hpp"
#include "simulation/WorkerPool.hpp"
#include "simulation/physical/LocalPlane.hpp"
#include "simulation/physical/SettlingVelocity.hpp"
#include "simulation/physical/WaterProperties.hpp"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <stdexcept>

namespace pelagrin {
namespace {

constexpr double kGravity = 9.81;
// A canvas over about 7.7 × 6.7 km of Lake Geneva's latitude: some 10 m per px.
const CanvasMapping kMapping{46.40, 46.46, 6.50, 6.60, 800, 600};
// On the equator, where the canvas's straight edges are straight on the ground to 1e-5 m over kilometres.
const CanvasMapping kEquator{-0.03, 0.03, -0.04, 0.04, 800, 600};

// --- Settling laws ---------------------------------------------------------------------------------------

TEST(SettlingLaw, StokesHoldsForSmallSpheresWithTheWatersOwnProperties) {
    // Tolerance: rounding (1e-12 relative).
    struct Case {
        double radiusM;
        double excessDensity; // kg/m³ over the water's
        double celsius;
    };
    for (const Case c : {Case{5e-6, 50, 20}, Case{20e-6, 400, 5}, Case{10e-6, -80, 30}}) {
        const WaterProperties water = WaterProperties::at(c.celsius);
        const double expected =
            2.0 / 9.0 * c.excessDensity * kGravity * c.radiusM * c.radiusM / water.viscosity;
        const double w = SettlingVelocity::of(2 * c.radiusM, water.density + c.excessDensity, water, kGravity,
                                              SettlingVelocity::shapeOf(ParticleShape::sphere));
        EXPECT_NEAR(w, expected, 1e-12 * std::fabs(expected)) << c.radiusM;
    }
}

TEST(SettlingLaw, MatchesPublishedValues) {
    // Water at 20 °C: 998.21 kg/m³ and 1.0016 mPa·s (IAPWS), within 0.5 %. A 50 µm-radius sphere 50 kg/m³
    // denser sinks at 2.7e-4 m/s (Stokes), within 3 %. Larger spheres against the standard drag curve of
    // Brown & Lawler (2003, J. Environ. Eng. 129:222), within 5 %.
    const WaterProperties water = WaterProperties::at(20);
    EXPECT_NEAR(water.density, 998.21, 0.005 * 998.21);
    EXPECT_NEAR(water.viscosity, 1.0016e-3, 0.005 * 1.0016e-3);
    struct Case {
        double diameterM;
        double density; // kg/m³
        double expected;
        double tolerance;
    };
    const SettlingVelocity::Shape sphere = SettlingVelocity::shapeOf(ParticleShape::sphere);
    for (const Case c :
         {Case{100e-6, water.density + 50, 2.7e-4, 0.03}, Case{1e-3, 2650, 0.1569, 0.05},
          Case{5e-3, 2650, 0.5229, 0.05}, Case{2e-3, 1050, 0.03184, 0.05}, Case{5e-3, 1400, 0.2437, 0.05}}) {
        const double w = SettlingVelocity::of(c.diameterM, c.density, water, kGravity, sphere);
        EXPECT_NEAR(w, c.expected, c.tolerance * c.expected) << c.diameterM << " m at " << c.density;
    }
}

TEST(SettlingLaw, IsContinuousWhereItChangesLawAndSlowerForFlatterShapes) {
    // Tolerance at the switch: 1e-6 relative across a step of 2e-9 in the diameter.
    const WaterProperties water = WaterProperties::at(15);
    double sphereSpeed = 0;
    for (const ParticleShape shape : {ParticleShape::sphere, ParticleShape::fragment, ParticleShape::fibre}) {
        for (const double density : {1400.0, 950.0}) {
            const double d = SettlingVelocity::switchDiameter(density, water, kGravity);
            const SettlingVelocity::Shape s = SettlingVelocity::shapeOf(shape);
            const double below = SettlingVelocity::of(d * (1 - 1e-9), density, water, kGravity, s);
            const double above = SettlingVelocity::of(d * (1 + 1e-9), density, water, kGravity, s);
            EXPECT_NEAR(below, above, 1e-6 * std::fabs(above)) << static_cast<int>(shape) << " " << density;
            EXPECT_EQ(std::signbit(above), density < water.density);
        }
        const double speed =
            SettlingVelocity::of(1e-3, 1400, water, kGravity, SettlingVelocity::shapeOf(shape));
        if (shape != ParticleShape::sphere) {
            EXPECT_LT(speed, sphereSpeed);
        }
        sphereSpeed = speed;
    }
}

// --- The engine under the physical model ------------------------------------------------------------------

/// The plane the engine works in: centred on the outline's box.
LocalPlane planeOf(const std::vector<Vec2>& outline, const CanvasMapping& mapping = kMapping) {
    Vec2 low = outline[0];
    Vec2 high = outline[0];
    for (const Vec2& v : outline) {
        low = {std::min(low.x, v.x), std::min(low.y, v.y)};
        high = {std::max(high.x, v.x), std::max(high.y, v.y)};
    }
    return LocalPlane(mapping, mapping.toGeo((low + high) / 2));
}

/// `count` released, neutrally buoyant particles of 0.5 mm at `metres`.
std::vector<Particle> particlesAt(const LocalPlane& plane, Vec2 metres, std::size_t count) {
    Particle p;
    p.position = plane.toCanvas(metres);
    p.radius = 0.5;
    p.density = WaterProperties::at(PhysicalParameters{}.waterTemperature).density / 1000;
    p.isActive = true;
    return std::vector<Particle>(count, p);
}

SimulationEngine physicalEngine(std::vector<Particle> particles, SimulationEngineParameters params,
                                std::vector<Vec2> outline, const PhysicalParameters& physical, double speed,
                                const CanvasMapping& mapping = kMapping) {
    SimulationEngine engine(std::move(particles), params, std::move(outline), RandomSource(7));
    engine.usePhysicalModel(physical, mapping);
    engine.targetSpeed = speed;
    return engine;
}

Vec2 rotated(Vec2 v, double angle) {
    return {v.x * std::cos(angle) - v.y * std::sin(angle), v.x * std::sin(angle) + v.y * std::cos(angle)};
}

/// A current of `east`, `north` m/s as the engine takes it: px/s on canvas axes.
Vec2 currentPx(Vec2 metresPerS, double ppm) {
    return Vec2{metresPerS.x, -metresPerS.y} * ppm;
}

TEST(PhysicalTransport, DiffusionSpreadsAsTwoKtPerAxis) {
    // 10,000 particles from the middle of a 6 km square; variance within 5 % of 2 K t at three times.
    const std::vector<Vec2> square = scenes::openSquare();
    const LocalPlane plane = planeOf(square);
    PhysicalParameters physical;
    physical.horizontalDiffusivity = 0.2;
    SimulationEngine engine =
        physicalEngine(particlesAt(plane, {0, 0}, 10000), scenes::stillWater(), square, physical, 100);
    for (const int steps : {40, 80, 160}) {
        while (engine.accumulatedTime < steps * 100 * SimulationEngine::baseStep - 1e-9) {
            engine.step();
        }
        Vec2 sum;
        Vec2 sumSquares;
        for (const Particle& p : engine.particles) {
            const Vec2 m = plane.fromCanvas(p.position);
            sum += m;
            sumSquares += m * m;
        }
        const double n = static_cast<double>(engine.particles.size());
        const Vec2 variance = sumSquares / n - (sum / n) * (sum / n);
        const double expected = 2 * physical.horizontalDiffusivity * engine.accumulatedTime;
        EXPECT_NEAR(variance.x, expected, 0.05 * expected) << steps;
        EXPECT_NEAR(variance.y, expected, 0.05 * expected) << steps;
    }
}

TEST(PhysicalTransport, UniformCurrentMovesEveryParticleByItsDistance) {
    // No diffusion: after t every particle is u t from where it started, to 1 mm (the canvas table).
    const std::vector<Vec2> square = scenes::openSquare();
    const LocalPlane plane = planeOf(square);
    const Vec2 current{0.3, -0.4}; // m/s east and north
    SimulationEngineParameters params = scenes::stillWater();
    params.pixelsPerMeter = 0.1;
    params.baseFlowVelocity = currentPx(current, params.pixelsPerMeter);
    PhysicalParameters physical;
    physical.horizontalDiffusivity = 0;
    std::vector<Particle> particles = particlesAt(plane, {-500, 800}, 3);
    particles[1].position = plane.toCanvas({1200, -300});
    particles[2].position = plane.toCanvas({0, 0});
    SimulationEngine engine = physicalEngine(particles, params, square, physical, 50);
    for (int i = 0; i < 1000; ++i) {
        engine.step();
    }
    for (std::size_t i = 0; i < particles.size(); ++i) {
        const Vec2 moved =
            plane.fromCanvas(engine.particles[i].position) - plane.fromCanvas(particles[i].position);
        const Vec2 expected = current * engine.accumulatedTime;
        EXPECT_NEAR(moved.x, expected.x, 1e-3) << i;
        EXPECT_NEAR(moved.y, expected.y, 1e-3) << i;
        EXPECT_DOUBLE_EQ(engine.particles[i].speed, 0.5 * params.pixelsPerMeter);
    }
}

TEST(PhysicalTransport, ARotatedLakeGivesTheSameRunRotated) {
    // A 2 × 1 km lake, current and wind into its shore: particles reflect, and strand with a half-life, the
    // same way at every angle; positions agree to 1 mm.
    const std::vector<Vec2> corners{{-1000, -500}, {1000, -500}, {1000, 500}, {-1000, 500}};
    const std::vector<Vec2> starts{{0, 0}, {900, 400}, {-950, -100}, {500, -480}};
    SimulationEngineParameters params = scenes::stillWater();
    params.pixelsPerMeter = 0.1;
    PhysicalParameters physical;
    physical.horizontalDiffusivity = 0;
    physical.strandingHalfLife = 30;
    std::vector<std::vector<Vec2>> finals;
    std::vector<std::vector<bool>> stranded;
    const LocalPlane plane(kEquator, kEquator.toGeo({400, 300}));
    for (const double angle : {0.0, 0.6, std::numbers::pi / 2, 3.5}) {
        std::vector<Vec2> outline;
        for (const Vec2& c : corners) {
            outline.push_back(plane.toCanvas(rotated(c, angle)));
        }
        std::vector<Particle> particles = particlesAt(plane, {}, starts.size());
        for (std::size_t i = 0; i < starts.size(); ++i) {
            particles[i].position = plane.toCanvas(rotated(starts[i], angle));
        }
        params.baseFlowVelocity = currentPx(rotated({0.4, 0.25}, angle), params.pixelsPerMeter);
        params.windVelocity = currentPx(rotated({-3, 4}, angle), 1);
        SimulationEngine engine = physicalEngine(particles, params, outline, physical, 100, kEquator);
        for (int i = 0; i < 600; ++i) {
            engine.step();
        }
        finals.emplace_back();
        stranded.emplace_back();
        for (const Particle& p : engine.particles) {
            finals.back().push_back(rotated(plane.fromCanvas(p.position), -angle));
            stranded.back().push_back(p.isStuck);
        }
    }
    for (std::size_t run = 1; run < finals.size(); ++run) {
        EXPECT_EQ(stranded[run], stranded[0]) << run;
        for (std::size_t i = 0; i < starts.size(); ++i) {
            EXPECT_NEAR(finals[run][i].x, finals[0][i].x, 1e-3) << run << " " << i;
            EXPECT_NEAR(finals[run][i].y, finals[0][i].y, 1e-3) << run << " " << i;
        }
    }
}

TEST(PhysicalTransport, StrandingAndRefloatingFollowTheirHalfLivesAtAnyStep) {
    // 10,000 particles each; fractions within 0.03 of the exponential law (standard error 0.005, the
    // arrival on the shore known to a step).
    const std::vector<Vec2> square = scenes::openSquare();
    const LocalPlane plane = planeOf(square);
    const double eastShore = plane.fromCanvas({700, 300}).x;
    struct Case {
        const char* name;
        double speed;        // step multiplier
        bool startsStranded; // else a current drives the particles onto the east shore, 50.2 m away
        double time;         // s
        double expected;     // share stranded at `time`
    };
    const double arrival = 50.2 / 0.5;
    for (const Case c : {
             Case{"stranding", 100, false, arrival + 60, 0.5},
             Case{"stranding, half the step", 50, false, arrival + 60, 0.5},
             Case{"stranding, later", 50, false, arrival + 120, 0.75},
             Case{"refloating", 100, true, 120, 0.25},
             Case{"refloating, half the step", 50, true, 60, 0.5},
         }) {
        SimulationEngineParameters params = scenes::stillWater();
        params.pixelsPerMeter = 0.1;
        PhysicalParameters physical;
        physical.horizontalDiffusivity = 0;
        physical.strandingHalfLife = 60;
        physical.refloatHalfLife = 60;
        std::vector<Particle> particles = particlesAt(plane, {eastShore - 50.2, 0}, 10000);
        for (Particle& p : particles) {
            p.isStuck = c.startsStranded;
        }
        if (!c.startsStranded) {
            params.baseFlowVelocity = currentPx({0.5, 0}, params.pixelsPerMeter);
            physical.refloatHalfLife = 0;
        }
        SimulationEngine engine = physicalEngine(particles, params, square, physical, c.speed);
        while (engine.accumulatedTime < c.time - 1e-9) {
            engine.step();
        }
        double strandedCount = 0;
        for (const Particle& p : engine.particles) {
            strandedCount += p.isStuck;
        }
        EXPECT_NEAR(strandedCount / 10000, c.expected, 0.03) << c.name;
    }
}

TEST(PhysicalTransport, RefusesAnOutOfRangeParameterAndKeepsTheRunAsItWas) {
    const std::vector<Vec2> square = scenes::openSquare();
    std::vector<Particle> particles = particlesAt(planeOf(square), {}, 20);
    PhysicalParameters physical;
    physical.horizontalDiffusivity = -1;
    SimulationEngine refused(particles, scenes::stillWater(), square, RandomSource(7));
    SimulationEngine untouched(particles, scenes::stillWater(), square, RandomSource(7));
    try {
        refused.usePhysicalModel(physical, kMapping);
        FAIL() << "accepted a negative diffusivity";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(),
                     "physical model: horizontalDiffusivity must be finite and not negative, got -1.000000");
    }
    for (int i = 0; i < 50; ++i) {
        refused.step();
        untouched.step();
    }
    for (std::size_t i = 0; i < particles.size(); ++i) {
        EXPECT_EQ(refused.particles[i].position, untouched.particles[i].position) << i;
    }
}

TEST(PhysicalTransport, ASeededRunStaysInTheLakeAccountsForEveryParticleAndIgnoresTheThreadCount) {
    // The journey: every process on, on the 200-vertex lake, stepped on one thread and on two.
    const std::vector<Vec2> lake = scenes::wigglyLake(200);
    RandomSource emission(11);
    const std::vector<Particle> particles =
        SimulationEngine::createParticles(3000, {560, 300}, 0.5, 1.03, 3000, 8, emission);
    SimulationEngineParameters params = scenes::stillWater();
    params.pixelsPerMeter = 0.1;
    params.waterDepth = 1;
    params.baseFlowVelocity = currentPx({1, 0.1}, params.pixelsPerMeter);
    params.windVelocity = {6, -2};
    PhysicalParameters physical;
    physical.horizontalDiffusivity = 2;
    physical.verticalDiffusivity = 1e-3;
    physical.strandingHalfLife = 50;
    physical.refloatHalfLife = 400;
    physical.resuspensionSpeed = 0.05;
    physical.shape = ParticleShape::fragment;

    std::vector<std::vector<Particle>> finals;
    for (const unsigned threads : {1u, 2u}) {
        WorkerPool pool(threads);
        SimulationEngine engine(particles, params, lake, RandomSource(5));
        engine.workers = &pool;
        engine.usePhysicalModel(physical, kMapping);
        engine.targetSpeed = 100;
        for (int frame = 0; frame < 40; ++frame) {
            for (int i = 0; i < 10; ++i) {
                engine.step();
            }
            int released = 0;
            int drifting = 0;
            int stranded = 0;
            int sedimented = 0;
            for (const Particle& p : engine.particles) {
                released += p.isActive;
                drifting += p.isActive && !p.isStuck && !p.isSedimented;
                stranded += p.isStuck;
                sedimented += p.isSedimented;
                ASSERT_TRUE(engine.isInsideBoundary(p.position)) << frame;
                ASSERT_TRUE(p.z >= 0 && p.z <= params.waterDepth) << frame;
            }
            ASSERT_EQ(released, drifting + stranded + sedimented) << frame;
        }
        int stranded = 0;
        for (std::size_t i = 0; i < engine.particles.size(); ++i) {
            stranded += engine.particles[i].isStuck;
            EXPECT_EQ(engine.deposits()[i].hasStranded(), engine.particles[i].isStuck) << i;
        }
        EXPECT_GT(stranded, 0);
        finals.push_back(engine.particles);
    }
    for (std::size_t i = 0; i < particles.size(); ++i) {
        EXPECT_EQ(finals[0][i].position, finals[1][i].position) << i;
        EXPECT_EQ(finals[0][i].z, finals[1][i].z) << i;
        EXPECT_EQ(finals[0][i].isStuck, finals[1][i].isStuck) << i;
    }
}

} // namespace
} // namespace pelagrin
