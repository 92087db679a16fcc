// SimulationController: run set-up from a project and the frame loop on the app thread.
#include "simulation/SimulationController.hpp"

#include "analysis/SimulationDataStore.hpp"
#include "projects/Project.hpp"
#include "simulation/RunSettings.hpp"
#include "support/UserInterfaceThread.hpp"

#include <algorithm>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <cassert>
#include <cmath>
#include <stdexcept>

namespace pelagrin {

namespace {

constexpr int stepsPerBatch = 10;

} // namespace

/// One run loop. The pending piece of work holds it, and with it the engine; the controller holds it only
/// while the run is current. Once `cancelled`, no piece of the loop touches the controller again, so a stale
/// frame of a stopped run can neither overwrite the next run's snapshot nor stop it.
struct SimulationController::Run {
    Run(const boost::asio::any_io_executor& executor, std::shared_ptr<SimulationEngine> runEngine,
        std::chrono::steady_clock::time_point now)
        : engine(std::move(runEngine)), pause(executor), lastRecord(now) {}

    std::shared_ptr<SimulationEngine> engine;
    boost::asio::steady_timer pause;
    std::chrono::steady_clock::time_point lastRecord;
    int batchesLeft = 0; // of the current frame
    bool cancelled = false;
};

SimulationController& SimulationController::shared() {
    static SimulationController controller(userInterfaceContext().get_executor(),
                                           SimulationDataStore::shared());
    return controller;
}

SimulationController::SimulationController(boost::asio::any_io_executor executor, SimulationDataStore& store,
                                           RunPacing pacing, Clock clock)
    : executor_(std::move(executor)), store_(store), pacing_(pacing), clock_(std::move(clock)) {}

SimulationController::~SimulationController() {
    if (simulationTask_) {
        simulationTask_->cancelled = true;
        simulationTask_->pause.cancel();
    }
}

void SimulationController::setCurrentSpeedMultiplier(double speed) {
    assert(std::isfinite(speed) && speed > 0.0);
    currentSpeedMultiplier_ = speed;
    sharedSpeedTarget = speed;
}

int SimulationController::stepsPerFrame(double speed) {
    // Clamped before the conversion so that a huge speed cannot overflow the integer.
    const auto n = static_cast<int>(std::clamp(speed, 1.0, static_cast<double>(maxStepsPerFrame)));
    return std::min((n + stepsPerBatch - 1) / stepsPerBatch * stepsPerBatch, maxStepsPerFrame);
}

void SimulationController::start(Project& project) {
    if (isRunning && engine_) {
        return;
    }
    if (!project.parameters.get()) {
        stop();
        store_.reset();
        return;
    }
    setUp(runSettingsOf(project, sharedSpeedTarget));
    launch();
}

void SimulationController::play(Project& project) {
    if (isRunning) {
        return;
    }
    if (!project.parameters.get()) {
        start(project);
        return;
    }
    RunSettings run = runSettingsOf(project, sharedSpeedTarget);
    if (heldRun_ != run) {
        setUp(std::move(run));
    }
    launch();
}

void SimulationController::pause() {
    if (isRunning) {
        endLoop(RunState::paused);
    }
}

void SimulationController::reset(Project& project) {
    stop();
    store_.reset();
    currentTime = 0.0;
    try {
        if (project.parameters.get()) {
            setUp(runSettingsOf(project, sharedSpeedTarget));
            return;
        }
    } catch (const std::invalid_argument&) {
        // Play names the field; a reset only has nothing to show.
    }
    displayDeposits_.clear();
    displayParticles = std::vector<Particle>{};
}

void SimulationController::setUp(RunSettings run) {
    // Everything that can refuse the project comes before this, so that a refusal leaves the last run's frame
    // and statistics as they were.
    // One stream for the whole run, the emission's draws first and the step's after them, so that the seed
    // alone decides every draw.
    const std::uint64_t seed = run.seed.value_or(RandomSource::freshSeed());
    RandomSource random(seed);
    auto particles = SimulationEngine::createParticles(run.count, run.center, run.radiusMm, run.density,
                                                       run.duration, run.emissionRadiusPx, random);
    auto engine = std::make_shared<SimulationEngine>(particles, run.params, run.boundary, std::move(random));
    engine->simDurationLimit = run.duration;
    engine->workers = workers;
    if (run.model == TransportModel::physical) {
        // `runSettingsOf` refuses a physical run without an outline, so the mapping is there.
        engine->usePhysicalModel(run.physical, *run.mapping);
    }

    stop();
    store_.reset();
    store_.pixelsPerMeter = run.params.pixelsPerMeter;
    currentTime = 0.0;
    totalDuration = run.duration;
    engine_ = std::move(engine);
    seed_ = seed;
    heldRun_ = std::move(run);
    displayDeposits_.clear();
    displayParticles = std::move(particles);
}

void SimulationController::launch() {
    simulationTask_ = std::make_shared<Run>(executor_, engine_, clock_());
    // The pause's wall time would count as time the clock stood still.
    speedMeter_.restart();
    runState_ = RunState::running;
    isRunning = true;
    boost::asio::post(executor_, [this, run = simulationTask_] { beginFrame(run); });
}

void SimulationController::stop() {
    endLoop(RunState::idle);
}

void SimulationController::endLoop(RunState state) {
    if (simulationTask_) {
        simulationTask_->cancelled = true;
        simulationTask_->pause.cancel();
        simulationTask_.reset();
    }
    if (state != RunState::paused) {
        heldRun_.reset();
    }
    runState_ = state;
    isRunning = false;
}

std::optional<double> SimulationController::measuredRate(double speed) const {
    const auto measured = measuredRates_.find(speed);
    return measured != measuredRates_.end() ? std::optional(measured->second) : std::nullopt;
}

void SimulationController::beginFrame(const std::shared_ptr<Run>& run) {
    if (run->cancelled) {
        return;
    }
    const double speed = sharedSpeedTarget;
    run->engine->targetSpeed = speed;
    run->batchesLeft = stepsPerFrame(speed) / stepsPerBatch;
    runBatch(run);
}

void SimulationController::runBatch(const std::shared_ptr<Run>& run) {
    // A batch once begun is not interrupted; between batches the event loop handles whatever came in.
    if (run->cancelled) {
        return;
    }
    // The run ends with the step that reaches its duration, not with the frame: at 300x a frame is 24
    // simulated minutes, which a finished run would otherwise overshoot.
    SimulationEngine& engine = *run->engine;
    for (int i = 0; i < stepsPerBatch && engine.accumulatedTime < totalDuration; ++i) {
        engine.step();
        if (afterStep) {
            afterStep(engine);
        }
    }
    if (--run->batchesLeft > 0 && engine.accumulatedTime < totalDuration) {
        boost::asio::post(executor_, [this, run] { runBatch(run); });
    } else {
        publishFrame(run);
    }
}

void SimulationController::publishFrame(const std::shared_ptr<Run>& run) {
    if (run->cancelled) {
        return;
    }
    const double time = run->engine->accumulatedTime;
    // The records first, so that observers of the particles find them of the same frame.
    displayDeposits_ = run->engine->deposits();
    displayParticles = run->engine->particles;
    const auto now = clock_();
    if (run->engine->targetSpeed != meteredSpeed_) {
        meteredSpeed_ = run->engine->targetSpeed;
        speedMeter_.restart();
    }
    speedMeter_.record(now, time);
    if (const std::optional<double> rate = speedMeter_.rate()) {
        measuredRates_[meteredSpeed_] = *rate;
    }
    currentTime = time;
    // The last frame always goes in: the statistics of a finished run show its end, not a moment before.
    const bool isLast = totalDuration <= time;
    if (isLast || !pacing_.recordInterval || now - run->lastRecord > *pacing_.recordInterval) {
        store_.update(displayParticles.get(), time);
        run->lastRecord = now;
    }
    if (isLast) {
        endLoop(RunState::finished);
    }

    // The pause; a stop during it ends the loop at once.
    if (run->cancelled) {
        return;
    }
    if (pacing_.framePause == std::chrono::nanoseconds::zero()) {
        boost::asio::post(executor_, [this, run] { beginFrame(run); });
        return;
    }
    run->pause.expires_after(pacing_.framePause);
    run->pause.async_wait([this, run](const boost::system::error_code& error) {
        if (!error) {
            beginFrame(run);
        }
    });
}

} // namespace pelagrin
