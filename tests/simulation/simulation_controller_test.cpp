// Run loop of the simulation controller, driven step by step on a private event loop.
#include "analysis/SimulationDataStore.hpp"
#include "projects/Project.hpp"
#include "projects/Region.hpp"
#include "simulation/SimulationController.hpp"
#include "simulation/SpeedMeter.hpp"

#include <algorithm>
#include <array>
#include <boost/asio/io_context.hpp>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace pelagrin {
namespace {

constexpr double baseStep = 0.016; // s of simulation time per step at speed 1

std::shared_ptr<Project> projectWith(double duration, std::int64_t count = 20) {
    auto project = std::make_shared<Project>("Controller Test");
    auto parameters = std::make_shared<SimulationParameters>();
    parameters->simulationDuration = duration;
    parameters->particleSettings = std::make_shared<ParticleSettings>(1.0, 1.05, count);
    project->parameters = parameters;
    return project;
}

/// A controller on its own event loop, unpaced unless told, with a count of the frames it published. Its wall
/// clock stands still unless a test moves `now`.
struct Harness {
    explicit Harness(RunPacing pacing = RunPacing::unpaced())
        : controller(context.get_executor(), store, pacing, [this] { return now; }),
          frameWatch(controller.currentTime.subscribe([this](double) { ++publishedFrames; })) {}

    /// Starts a run of `project`; frames are counted from here.
    void start(Project& project) {
        controller.start(project);
        publishedFrames = 0;
    }
    /// Play on `project`; frames are counted from here.
    void play(Project& project) {
        controller.play(project);
        publishedFrames = 0;
    }

    /// Runs the loop's work until one more frame is published or the run has ended.
    void runFrame() {
        const int before = publishedFrames;
        while (publishedFrames == before && context.run_one() > 0) {
        }
    }

    std::chrono::steady_clock::time_point now;
    boost::asio::io_context context;
    SimulationDataStore store;
    SimulationController controller;
    int publishedFrames = 0;
    Subscription frameWatch;
};

TEST(ControllerSpeed, EachFrameRunsBatchesOfTenStepsUpToTheCapAtTheChosenSpeed) {
    const std::pair<double, int> expected[] = {{0.5, 10}, {1, 10},    {10, 10},   {11, 20},
                                               {60, 60},  {300, 300}, {1000, 410}};
    for (const auto& [speed, steps] : expected) {
        EXPECT_EQ(SimulationController::stepsPerFrame(speed), steps) << "speed " << speed;
        Harness harness;
        harness.controller.setCurrentSpeedMultiplier(speed);
        auto project = projectWith(1e6, 5);
        harness.start(*project);
        harness.runFrame();
        const double advance = steps * speed * baseStep;
        EXPECT_NEAR(harness.controller.currentTime.get(), advance, 1e-9 * advance) << "speed " << speed;
        EXPECT_EQ(harness.publishedFrames, 1);
    }
    EXPECT_EQ(SimulationController::stepsPerFrame(1e300), 410) << "a huge speed must not overflow";
}

TEST(ControllerSpeed, ASpeedChangedWithinAFrameTakesEffectAtTheNextFrame) {
    Harness harness;
    harness.controller.setCurrentSpeedMultiplier(1000.0);
    auto project = projectWith(1e6, 5);
    harness.start(*project);
    harness.context.run_one(); // the frame's first batch of 41
    harness.controller.sharedSpeedTarget = 1.0;
    harness.runFrame();
    const double firstFrame = 410 * 1000.0 * baseStep;
    EXPECT_NEAR(harness.controller.currentTime.get(), firstFrame, 1e-6);
    harness.runFrame();
    EXPECT_NEAR(harness.controller.currentTime.get(), firstFrame + 10 * 1.0 * baseStep, 1e-6);
}

TEST(ControllerDuration, TheRunStopsAtItsDurationAndItsLastFrameIsStillPublished) {
    Harness shortRun;
    auto shortProject = projectWith(59.0);
    shortRun.start(*shortProject);
    EXPECT_EQ(shortRun.controller.totalDuration.get(), 3600.0) << "a duration below a minute becomes an hour";

    Harness harness;
    harness.controller.setCurrentSpeedMultiplier(60.0); // 57.6 s per frame
    auto project = projectWith(60.0);
    harness.start(*project);
    harness.context.run();
    EXPECT_FALSE(harness.controller.isRunning.get());
    EXPECT_EQ(harness.publishedFrames, 2);
    // It ends with the step that reaches 60 s, the 63rd of 0.96 s, not with the second frame's 60th.
    EXPECT_NEAR(harness.controller.currentTime.get(), 63 * 0.96, 1e-9);
    ASSERT_NE(harness.controller.engine(), nullptr);
    EXPECT_EQ(harness.controller.currentTime.get(), harness.controller.engine()->accumulatedTime);
    EXPECT_EQ(harness.controller.displayParticles.get().size(),
              harness.controller.engine()->particles.size());
    ASSERT_EQ(harness.controller.deposits().size(), harness.controller.displayParticles.get().size());
    for (std::size_t i = 0; i < harness.controller.deposits().size(); ++i) {
        EXPECT_EQ(harness.controller.deposits()[i].hasStranded(),
                  harness.controller.displayParticles.get()[i].isStuck);
    }

    // Finished, the run is not resumed: Play starts a new one from 0.
    EXPECT_EQ(harness.controller.runState(), RunState::finished);
    const SimulationEngine* finished = harness.controller.engine();
    harness.play(*project);
    EXPECT_NE(harness.controller.engine(), finished);
    EXPECT_EQ(harness.controller.currentTime.get(), 0.0);
}

/// What a step writes and emission sets, bit for bit, of every particle (the identities are fresh per run).
std::vector<std::array<double, 10>> particleBits(const SimulationEngine& engine) {
    std::vector<std::array<double, 10>> bits;
    for (const Particle& p : engine.particles) {
        bits.push_back({p.position.x, p.position.y, p.z, p.velocity.x, p.velocity.y, p.radius, p.density,
                        p.releaseTime, double(p.isSedimented), double(p.isStuck)});
    }
    return bits;
}

/// A run of `project` to its end at speed 60; its final particles and the seed it used.
std::pair<std::vector<std::array<double, 10>>, std::uint64_t> runToEnd(Project& project) {
    Harness harness;
    harness.controller.setCurrentSpeedMultiplier(60.0);
    harness.start(project);
    harness.context.run();
    return {particleBits(*harness.controller.engine()), harness.controller.seed().value()};
}

TEST(ControllerSeed, TheSeedARunReportsRepeatsItInEitherModelAndAnotherSeedDoesNot) {
    // A boundary close round the emission, so that the step's strand-or-bounce draws come into play.
    auto project = projectWith(120.0, 300);
    project->region = std::make_shared<Region>("Pond", 47.0, 8.0);
    project->region.get()->setWaterVertices({{47.0, 8.0}, {47.0, 8.002}, {47.002, 8.002}, {47.002, 8.0}});
    project->region.get()->emissionLat = 47.001;
    project->region.get()->emissionLon = 8.001;
    project->parameters.get()->flowSpeed = 10.0;

    const auto [fresh, drawn] = runToEnd(*project);
    const auto [other, drawnAgain] = runToEnd(*project);
    EXPECT_NE(drawn, drawnAgain) << "without a seed each run draws its own";
    EXPECT_NE(fresh, other);
    const auto stuck =
        std::count_if(fresh.begin(), fresh.end(), [](const auto& bits) { return bits[9] == 1; });
    EXPECT_GT(stuck, 0);
    EXPECT_LT(stuck, std::ssize(fresh));

    project->parameters.get()->seed = drawn;
    const auto [repeated, used] = runToEnd(*project);
    EXPECT_EQ(used, drawn);
    EXPECT_EQ(repeated, fresh);

    // The same seed under the physical model: the same emission of half the size (the control is a diameter
    // there), moved by another law, and repeatable too.
    project->parameters.get()->transportModel = TransportModel::physical;
    const auto [physical, physicalSeed] = runToEnd(*project);
    EXPECT_EQ(physicalSeed, drawn);
    EXPECT_EQ(runToEnd(*project).first, physical);
    ASSERT_EQ(physical.size(), fresh.size());
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        EXPECT_EQ(physical[i][5] * 2.0, fresh[i][5]) << "radius of particle " << i;
    }
    EXPECT_NE(physical, fresh);
}

TEST(ControllerStart, WithoutParametersNothingStartsAndTheStoreIsCleared) {
    Harness harness;
    harness.store.update(std::vector<Particle>(3), 1.0);
    Project empty("Empty");
    harness.start(empty);
    EXPECT_FALSE(harness.controller.isRunning.get());
    EXPECT_EQ(harness.controller.engine(), nullptr);
    EXPECT_TRUE(harness.store.history.get().empty());
    EXPECT_EQ(harness.context.poll(), 0u) << "no loop was started";
}

TEST(ControllerStart, TheProjectBecomesTheEnginesSettingsInEngineUnits) {
    // A region without a polygon measures 80 px/m (its 10 m minimum width on the 800 px canvas); without a
    // region a metre is a pixel. The current follows the region's direction and is scaled, the wind is not.
    struct Case {
        const char* name;
        std::shared_ptr<Region> region;
        double windDirection;
        double pixelsPerMeter;
        Vec2 baseFlow;     // px/s
        Vec2 wind;         // m/s
        double discRadius; // px
    };
    auto pond = std::make_shared<Region>("Pond", 47.0, 8.0, 0.0);
    pond->emissionRadius = 0.5;
    const Case cases[] = {
        {"without a region", nullptr, 180.0, 1.0, {0.0, 2.0}, {-3.0, 0.0}, 10.0},
        {"with a region", pond, 90.0, 80.0, {160.0, 0.0}, {0.0, 3.0}, 40.0},
    };
    for (const Case& c : cases) {
        Harness harness;
        Project project("Conversion");
        auto parameters = std::make_shared<SimulationParameters>();
        parameters->flowSpeed = 2.0;
        parameters->flowDirection = 90.0;
        parameters->windSpeed = 3.0;
        parameters->windDirection = c.windDirection;
        project.parameters = parameters;
        project.region = c.region;
        harness.start(project);
        const SimulationEngine* engine = harness.controller.engine();
        ASSERT_NE(engine, nullptr) << c.name;
        EXPECT_EQ(engine->params.pixelsPerMeter, c.pixelsPerMeter) << c.name;
        EXPECT_NEAR((engine->params.baseFlowVelocity - c.baseFlow).length(), 0.0, 1e-9) << c.name;
        EXPECT_NEAR((engine->params.windVelocity - c.wind).length(), 0.0, 1e-9) << c.name;
        EXPECT_TRUE(engine->boundaryVertices.empty()) << c.name;

        // Without particle settings: 1000 particles of 2 mm at density 1, spread over the whole disc.
        ASSERT_EQ(engine->particles.size(), 1000u) << c.name;
        double farthest = 0.0;
        double radiusSum = 0.0;
        for (const Particle& particle : engine->particles) {
            farthest = std::max(farthest, (particle.position - Vec2{400.0, 300.0}).length());
            radiusSum += particle.radius;
        }
        EXPECT_LE(farthest, c.discRadius + 1e-9) << c.name;
        EXPECT_GT(farthest, 0.9 * c.discRadius) << c.name;
        EXPECT_NEAR(radiusSum / 1000.0, 2.0, 0.1) << c.name;
    }
}

TEST(ControllerStart, AProjectTheEngineCannotRunIsRefusedByItsFieldAndTheLastRunIsKept) {
    Harness harness;
    auto earlier = projectWith(1e6, 30);
    harness.start(*earlier);
    harness.runFrame();
    harness.controller.stop();
    const SimulationEngine* engine = harness.controller.engine();
    const double time = harness.controller.currentTime.get();
    ASSERT_EQ(harness.store.history.get().size(), 1u);

    struct Case {
        std::function<void(SimulationParameters&)> change;
        double speed;
        std::string message;
    };
    const Case cases[] = {
        {[](SimulationParameters& p) { p.turbulence = 1e308; }, 1.0,
         "turbulence: 1e+308 over the run's 43207 s overflows the turbulence's clock"},
        {[](SimulationParameters& p) { p.particleSettings.get()->count = 100'000'000; }, 1.0,
         "particleSettings.count: 100000000 is more than the 1000000 particles a run can hold"},
        {[](SimulationParameters& p) { p.particleSettings.get()->count = -1; }, 1.0,
         "particleSettings.count: -1 is negative"},
        {[](SimulationParameters& p) { p.viscosity = 0.0; }, 1.0,
         "viscosity: 0 with gravityScale 1, particleSettings.radius 1 and particleSettings.density 1.05 "
         "gives "
         "particles no finite settling speed"},
        {[](SimulationParameters& p) { p.simulationDuration = std::nan(""); }, 1.0,
         "simulationDuration: nan is not a finite number"},
        {[](SimulationParameters& p) { p.waterDepth = -1.0; }, 1.0, "waterDepth: -1 is negative"},
        {[](SimulationParameters& p) {
             p.flowSpeed = 1.7e308;
             p.windSpeed = 1.7e308;
         },
         1.0,
         "flowSpeed: 1.7e+308 with turbulence 0.3 and windSpeed 1.7e+308 moves particles beyond any finite "
         "distance in a step"},
        {[](SimulationParameters&) {}, 1e308, "speed: 1e+308 overflows the run's clock"},
    };
    for (const Case& c : cases) {
        auto project = projectWith(43200.0);
        c.change(*project->parameters.get());
        harness.controller.setCurrentSpeedMultiplier(c.speed);
        try {
            harness.controller.start(*project);
            ADD_FAILURE() << "started: " << c.message;
        } catch (const std::invalid_argument& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
        EXPECT_FALSE(harness.controller.isRunning.get()) << c.message;
        EXPECT_EQ(harness.controller.engine(), engine) << c.message;
        EXPECT_EQ(harness.controller.currentTime.get(), time) << c.message;
        EXPECT_EQ(harness.controller.displayParticles.get().size(), 30u) << c.message;
        EXPECT_EQ(harness.store.history.get().size(), 1u) << c.message << ": the statistics were cleared";
    }
}

TEST(ControllerStart, StartingWhileRunningChangesNothingButAfterAStopStartsAfresh) {
    Harness harness;
    harness.controller.setCurrentSpeedMultiplier(60.0);
    auto project = projectWith(1e6, 30);
    harness.start(*project);
    harness.runFrame();
    harness.runFrame();
    ASSERT_EQ(harness.store.history.get().size(), 2u);
    const SimulationEngine* engine = harness.controller.engine();
    const double time = harness.controller.currentTime.get();

    auto other = projectWith(120.0, 50);
    harness.start(*other);
    EXPECT_EQ(harness.controller.engine(), engine);
    EXPECT_EQ(harness.controller.currentTime.get(), time);
    EXPECT_EQ(harness.controller.totalDuration.get(), 1e6);
    EXPECT_EQ(harness.controller.displayParticles.get().size(), 30u);

    harness.controller.stop();
    EXPECT_FALSE(harness.controller.isRunning.get());
    harness.start(*project);
    EXPECT_TRUE(harness.controller.isRunning.get());
    EXPECT_EQ(harness.controller.currentTime.get(), 0.0);
    EXPECT_TRUE(harness.store.history.get().empty());
    for (const Particle& particle : harness.controller.displayParticles.get()) {
        EXPECT_EQ(particle.speed, 0.0) << "a fresh run has moved nothing yet";
        EXPECT_EQ(particle.z, 0.0);
    }
}

TEST(ControllerStop, AStaleFrameOfAStoppedRunNeverReachesTheNextRun) {
    Harness harness;
    harness.controller.setCurrentSpeedMultiplier(1000.0);
    auto project = projectWith(1e6, 5);
    harness.start(*project);
    harness.context.run_one(); // the old run is now between two of its 41 batches
    harness.controller.stop();

    harness.controller.setCurrentSpeedMultiplier(1.0);
    harness.start(*project);
    harness.runFrame();
    EXPECT_EQ(harness.publishedFrames, 1) << "only the new run published";
    EXPECT_NEAR(harness.controller.currentTime.get(), 10 * baseStep, 1e-12);
    EXPECT_TRUE(harness.controller.isRunning.get()) << "the old run must not stop the new one";
}

TEST(ControllerStop, AStopDuringThePauseEndsTheLoop) {
    Harness harness(RunPacing{std::chrono::hours(1), std::nullopt});
    auto project = projectWith(1e6, 5);
    harness.start(*project);
    harness.runFrame();
    harness.controller.stop();
    harness.context.run(); // returns only once the pause's timer is cancelled
    EXPECT_EQ(harness.publishedFrames, 1);
    EXPECT_FALSE(harness.controller.isRunning.get());
}

TEST(ControllerPacing, TheStoreIsFedAtMostOncePerRecordIntervalAndWithTheFinishedRunsLastFrame) {
    Harness harness(RunPacing{std::chrono::nanoseconds::zero(), std::chrono::hours(1)});
    harness.controller.setCurrentSpeedMultiplier(60.0);
    auto project = projectWith(300.0);
    harness.start(*project);
    harness.context.run();
    EXPECT_EQ(harness.publishedFrames, 6);
    // No hour of wall-clock time went by: only the end is recorded, so the statistics show how the run ended.
    ASSERT_EQ(harness.store.history->size(), 1u);
    EXPECT_EQ(harness.store.history->back().time, harness.controller.currentTime.get());
}

TEST(ControllerPause, PlayResumesThePausedRunWhereItStoodWithItsStatistics) {
    Harness harness;
    harness.controller.setCurrentSpeedMultiplier(60.0);
    auto project = projectWith(1e6, 30);
    harness.play(*project);
    harness.runFrame();
    harness.runFrame();
    harness.controller.pause();
    EXPECT_EQ(harness.controller.runState(), RunState::paused);
    EXPECT_FALSE(harness.controller.isRunning.get());
    const SimulationEngine* engine = harness.controller.engine();
    const double pausedAt = harness.controller.currentTime.get();
    harness.context.run();
    harness.context.restart();
    EXPECT_EQ(harness.controller.currentTime.get(), pausedAt) << "a paused run stands still";

    harness.controller.setCurrentSpeedMultiplier(10.0); // the speed may change while paused
    harness.play(*project);
    harness.runFrame();
    EXPECT_EQ(harness.controller.runState(), RunState::running);
    EXPECT_EQ(harness.controller.engine(), engine) << "no new emission";
    EXPECT_NEAR(harness.controller.currentTime.get(), pausedAt + 10 * 10 * baseStep, 1e-9);
    EXPECT_EQ(harness.store.history.get().size(), 3u) << "the statistics went on";
    // That an edit while paused makes Play start over is the project window's test.
}

TEST(ControllerReset, ResetShowsAFreshEmissionAtTimeZeroThatPlayThenRuns) {
    Harness harness;
    auto project = projectWith(1e6, 30);
    harness.play(*project);
    harness.runFrame();
    const SimulationEngine* first = harness.controller.engine();

    harness.controller.reset(*project);
    EXPECT_EQ(harness.controller.runState(), RunState::idle);
    EXPECT_EQ(harness.controller.currentTime.get(), 0.0);
    EXPECT_TRUE(harness.store.history.get().empty());
    const SimulationEngine* fresh = harness.controller.engine();
    ASSERT_NE(fresh, first);
    EXPECT_EQ(harness.controller.displayParticles.get().size(), 30u);
    harness.context.poll();
    EXPECT_EQ(fresh->accumulatedTime, 0.0) << "set up, not stepped";

    harness.play(*project);
    harness.runFrame();
    EXPECT_EQ(harness.controller.engine(), fresh) << "Play runs the emission it shows";

    Project bare("Bare");
    harness.controller.reset(bare);
    EXPECT_TRUE(harness.controller.displayParticles.get().empty()) << "nothing to show without parameters";
}

TEST(SpeedMeter, TheRateIsSimulatedTimeOverWallTimeOfTheLastWindow) {
    using std::chrono::milliseconds;
    const SpeedMeter::TimePoint start;
    struct Case {
        const char* what;
        std::vector<std::pair<int, double>> samples; // wall ms, simulation s
        std::optional<double> rate;
    };
    const Case cases[] = {
        {"no samples", {}, std::nullopt},
        {"less than the shortest span", {{0, 0.0}, {900, 9.0}}, std::nullopt},
        {"steady", {{0, 0.0}, {500, 5.0}, {1000, 10.0}}, 10.0},
        {"only the last three seconds count", {{0, 0.0}, {1000, 100.0}, {2000, 110.0}, {4000, 130.0}}, 10.0},
    };
    for (const Case& c : cases) {
        SpeedMeter meter(std::chrono::seconds(3), std::chrono::seconds(1));
        for (const auto& [wall, sim] : c.samples) {
            meter.record(start + milliseconds(wall), sim);
        }
        EXPECT_EQ(meter.rate(), c.rate) << c.what;
    }
}

TEST(ControllerSpeed, EachSpeedKeepsTheRateMeasuredWhileItRan) {
    Harness harness;
    harness.controller.setCurrentSpeedMultiplier(10.0); // 1.6 s of simulation per frame
    auto project = projectWith(1e6, 5);
    harness.play(*project);
    EXPECT_EQ(harness.controller.measuredRate(10.0), std::nullopt);
    for (int frame = 0; frame < 20; ++frame) {
        harness.runFrame();
        harness.now += std::chrono::milliseconds(200);
    }
    ASSERT_TRUE(harness.controller.measuredRate(10.0).has_value());
    EXPECT_NEAR(*harness.controller.measuredRate(10.0), 1.6 / 0.2, 1e-9);

    harness.controller.setCurrentSpeedMultiplier(1.0);
    harness.runFrame();
    EXPECT_EQ(harness.controller.measuredRate(1.0), std::nullopt) << "not measured before it spans a second";
    EXPECT_NEAR(*harness.controller.measuredRate(10.0), 8.0, 1e-9) << "kept once known";
}

} // namespace
} // namespace pelagrin
