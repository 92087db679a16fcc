// SimulationController: turns a project into a running simulation and publishes its frames.
#pragma once

#include "simulation/Observable.hpp"
#include "simulation/Particle.hpp"
#include "simulation/SimulationEngine.hpp"

#include <boost/asio/any_io_executor.hpp>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace pelagrin {

class Project;
class SimulationDataStore;

/// How a run loop paces itself. The interactive default pauses 16 ms after each frame and feeds the data
/// store at most once per half second of wall-clock time; a headless run may drop both.
struct RunPacing {
    /// Wall-clock pause after each published frame.
    std::chrono::nanoseconds framePause = std::chrono::milliseconds(16);
    /// Least wall-clock time between two feeds of the data store; absent: after every frame.
    std::optional<std::chrono::nanoseconds> recordInterval = std::chrono::milliseconds(500);

    /// No pause, the store fed after every frame: as fast as the engine goes, with the densest timeline.
    static RunPacing unpaced() { return {std::chrono::nanoseconds::zero(), std::nullopt}; }
};

/// Drives one run at a time. Lives on one event loop (the app thread): `start`, `stop`, the published fields
/// and every step of the run loop happen there, one piece of work at a time, so a click between two batches
/// of steps is handled at once. Idle → running on `start`; back to idle on `stop()` or at the run's duration.
class SimulationController {
public:
    /// Steps per frame never exceed this, whatever the speed.
    static constexpr int maxStepsPerFrame = 410;

    /// The process's controller on the user-interface thread, feeding `SimulationDataStore::shared()`.
    static SimulationController& shared();

    /// A controller whose run loops run on `executor` and feed `store`, which must outlive it.
    SimulationController(boost::asio::any_io_executor executor, SimulationDataStore& store,
                         RunPacing pacing = {});
    ~SimulationController();
    SimulationController(const SimulationController&) = delete;
    SimulationController& operator=(const SimulationController&) = delete;

    /// Sets a run of `project` up (`runSettingsOf`, at the current `sharedSpeedTarget`) and starts its loop;
    /// does nothing while a run is going. A project without parameters clears the data store and does not
    /// start. Throws std::invalid_argument, naming the field, when the project's numbers cannot make a run;
    /// nothing changes then, the last run's frame and statistics included.
    void start(Project& project);
    /// Ends the current run, if any, before its next batch; the last frame stays published.
    void stop();

    /// The speed chosen by the user: simulated seconds per wall-clock second at the nominal frame rate. Must
    /// be finite and positive. Setting it sets `sharedSpeedTarget` too.
    double currentSpeedMultiplier() const { return currentSpeedMultiplier_; }
    void setCurrentSpeedMultiplier(double speed);
    /// The speed the run loop reads at the start of each frame.
    double sharedSpeedTarget = 1.0;

    /// Engine steps of a frame run at `speed`: ⌈max(speed, 1) / 10⌉ batches of 10, at most 41 batches.
    static int stepsPerFrame(double speed);

    /// The engine of the current or last run; absent before the first.
    const SimulationEngine* engine() const { return engine_.get(); }

    Observable<bool> isRunning{false};
    /// Simulation time of the last published frame, s.
    Observable<double> currentTime{0.0};
    /// Duration of the current run, s.
    Observable<double> totalDuration{43200.0};
    /// The particles as of the last published frame.
    Observable<std::vector<Particle>> displayParticles;

private:
    struct Run;

    void beginFrame(const std::shared_ptr<Run>& run);
    void runBatch(const std::shared_ptr<Run>& run);
    void publishFrame(const std::shared_ptr<Run>& run);

    boost::asio::any_io_executor executor_;
    SimulationDataStore& store_;
    RunPacing pacing_;
    double currentSpeedMultiplier_ = 1.0;
    std::shared_ptr<SimulationEngine> engine_;
    /// The running loop; absent while idle. The loop holds it too, and ends once it is marked cancelled.
    std::shared_ptr<Run> simulationTask_;
};

} // namespace pelagrin
