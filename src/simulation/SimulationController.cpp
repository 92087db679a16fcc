// SimulationController: run set-up from a project and the frame loop on the app thread.
#include "simulation/SimulationController.hpp"

#include "analysis/SimulationDataStore.hpp"
#include "projects/Project.hpp"
#include "support/UserInterfaceThread.hpp"

#include <algorithm>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <cassert>
#include <cmath>
#include <numbers>

namespace pelagrin {

namespace {

constexpr int stepsPerBatch = 10;
constexpr double shortestDuration = 60.0;       // s; anything shorter is taken for a slip
constexpr double fallbackDuration = 3600.0;     // s
constexpr Vec2 canvasCentre{400.0, 300.0};      // px, the centre of the nominal 800 × 600 canvas
constexpr double fallbackEmissionRadius = 10.0; // m

Vec2 unitVector(double degrees) {
    const double theta = degrees * std::numbers::pi / 180.0;
    return {std::cos(theta), std::sin(theta)};
}

} // namespace

/// One run loop. The pending piece of work holds it, and with it the engine; the controller holds it only
/// while the run is current. Once `cancelled`, no piece of the loop touches the controller again, so a stale
/// frame of a stopped run can neither overwrite the next run's snapshot nor stop it.
struct SimulationController::Run {
    Run(const boost::asio::any_io_executor& executor, std::shared_ptr<SimulationEngine> runEngine)
        : engine(std::move(runEngine)), pause(executor) {}

    std::shared_ptr<SimulationEngine> engine;
    boost::asio::steady_timer pause;
    std::chrono::steady_clock::time_point lastRecord = std::chrono::steady_clock::now();
    int batchesLeft = 0; // of the current frame
    bool cancelled = false;
};

SimulationController& SimulationController::shared() {
    static SimulationController controller(userInterfaceContext().get_executor(),
                                           SimulationDataStore::shared());
    return controller;
}

SimulationController::SimulationController(boost::asio::any_io_executor executor, SimulationDataStore& store,
                                           RunPacing pacing)
    : executor_(std::move(executor)), store_(store), pacing_(pacing) {}

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
    stop();
    store_.reset();
    const std::shared_ptr<SimulationParameters> parameters = project.parameters;
    if (!parameters) {
        return;
    }
    const double duration = parameters->simulationDuration < shortestDuration
                                ? fallbackDuration
                                : parameters->simulationDuration.get();

    // Geometry: the region's canvas polygon, and its scale measured along the bounding box's southern edge.
    const std::shared_ptr<Region> region = project.region;
    std::vector<Vec2> boundary;
    double ppm = 1.0;
    double flowDirection = parameters->flowDirection;
    Vec2 center = canvasCentre;
    double emissionRadiusM = fallbackEmissionRadius;
    if (region) {
        if (region->waterVerticesSim().empty()) {
            region->updateSimulationCoordinates(800.0, 600.0);
        }
        boundary = region->waterVerticesSim();
        ppm = region->pixelsPerMeter();
        flowDirection = region->flowDirection;
        center = region->emissionPointSim().value_or(canvasCentre);
        emissionRadiusM = region->emissionRadius;
    }

    // Particles and physics in engine units: the current in px/s, the wind as entered.
    const std::shared_ptr<ParticleSettings> settings = parameters->particleSettings;
    const std::int64_t count = settings ? settings->count.get() : 1000;
    const double radius = settings ? settings->radius.get() : 2.0;
    const double density = settings ? settings->density.get() : 1.0;
    SimulationEngineParameters params;
    params.viscosity = parameters->viscosity;
    params.turbulence = parameters->turbulence;
    params.gravityScale = parameters->gravityScale;
    params.waterDensity = 1.0;
    params.baseFlowVelocity = unitVector(flowDirection) * (ppm * parameters->flowSpeed);
    params.pixelsPerMeter = ppm;
    params.waterDepth = parameters->waterDepth;
    params.windVelocity = unitVector(parameters->windDirection) * parameters->windSpeed.get();
    auto particles =
        SimulationEngine::createParticles(count, center, radius, density, duration, ppm * emissionRadiusM);
    auto engine = std::make_shared<SimulationEngine>(particles, params, std::move(boundary));
    engine->simDurationLimit = duration;

    // Published only once the run is sure to start, so that a refused project leaves the last frame alone.
    currentTime = 0.0;
    totalDuration = duration;
    engine_ = engine;
    simulationTask_ = std::make_shared<Run>(executor_, std::move(engine));
    isRunning = true;
    displayParticles = std::move(particles);
    boost::asio::post(executor_, [this, run = simulationTask_] { beginFrame(run); });
}

void SimulationController::stop() {
    if (simulationTask_) {
        simulationTask_->cancelled = true;
        simulationTask_->pause.cancel();
        simulationTask_.reset();
    }
    isRunning = false;
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
    for (int i = 0; i < stepsPerBatch; ++i) {
        run->engine->step();
    }
    if (--run->batchesLeft > 0) {
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
    displayParticles = run->engine->particles;
    currentTime = time;
    const auto now = std::chrono::steady_clock::now();
    if (!pacing_.recordInterval || now - run->lastRecord > *pacing_.recordInterval) {
        store_.update(displayParticles.get(), time);
        run->lastRecord = now;
    }
    if (totalDuration <= time) {
        stop();
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
