// SimulationController: turns a project into a running simulation and publishes its frames.
#pragma once

#include "simulation/Observable.hpp"
#include "simulation/Particle.hpp"
#include "simulation/RunSettings.hpp"
#include "simulation/SimulationEngine.hpp"
#include "simulation/SpeedMeter.hpp"

#include <boost/asio/any_io_executor.hpp>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace pelagrin {

class Project;
class SimulationDataStore;
class WorkerPool;

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

/// Where a controller stands: no run or a run ended by `stop()` (idle), a loop going (running), a run held
/// with its engine and clock (paused), a run that reached its duration (finished).
enum class RunState { idle, running, paused, finished };

/// Drives one run at a time. Lives on one event loop (the app thread): `start`, `stop`, the published fields
/// and every step of the run loop happen there, one piece of work at a time, so a click between two batches
/// of steps is handled at once. Idle → running on `start` or `play`; running ⇄ paused on `pause` and `play`;
/// running → finished at the run's duration; anything → idle on `stop()` or `reset`.
class SimulationController {
public:
    /// The wall clock the controller measures its speed by; tests hand in their own.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    /// Steps per frame never exceed this, whatever the speed.
    static constexpr int maxStepsPerFrame = 410;

    /// The process's controller on the user-interface thread, feeding `SimulationDataStore::shared()`.
    static SimulationController& shared();

    /// A controller whose run loops run on `executor` and feed `store`, which must outlive it.
    SimulationController(boost::asio::any_io_executor executor, SimulationDataStore& store,
                         RunPacing pacing = {}, Clock clock = std::chrono::steady_clock::now);
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
    /// Play: nothing while running; resumes the held run (paused, or set up by `reset`) where it stood when
    /// `project` still makes exactly that run, at the current speed, without touching the data store; starts
    /// a new run otherwise (an edit of the project since the pause starts over). Throws as `start` does.
    void play(Project& project);
    /// Holds a running run: its engine, clock and statistics stay for `play` to go on with.
    void pause();
    /// Back to the start: stops, clears the data store and the clock, and sets a fresh run of `project` up
    /// without stepping it, publishing its particles at their release points for `play` to begin with. A
    /// project without parameters, or whose numbers the engine cannot run, leaves no particles.
    void reset(Project& project);

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
    /// The seed of the current or last run: the project's, or the fresh one drawn for it; absent before the
    /// first. Two runs of one project on one seed at one speed give the same particles.
    std::optional<std::uint64_t> seed() const { return seed_; }

    /// Simulated seconds per wall-clock second measured over the last seconds of running at `speed`; the
    /// latest measurement is kept once known, absent before.
    std::optional<double> measuredRate(double speed) const;

    /// Set before `isRunning` is assigned on every change, so observers of `isRunning` read it current.
    RunState runState() const { return runState_; }
    Observable<bool> isRunning{false};
    /// Simulation time of the last published frame, s.
    Observable<double> currentTime{0.0};
    /// Duration of the current run, s.
    Observable<double> totalDuration{43200.0};
    /// The particles as of the last published frame.
    Observable<std::vector<Particle>> displayParticles;
    /// Called after every engine step of a run with its engine, for a recording finer than frames (a frame
    /// at 300x is 24 simulated minutes); empty by default. It may stop the run but not start one.
    std::function<void(const SimulationEngine&)> afterStep;
    /// The threads the engines of runs started from now on step on; the process's shared pool when null. It
    /// must outlive the runs. A run is the same on any pool.
    WorkerPool* workers = nullptr;
    /// The deposit records as of the last published frame, one per particle of `displayParticles` and in its
    /// order; empty until a run has published a stepped frame. Read it when `displayParticles` changes.
    const std::vector<Deposit>& deposits() const { return displayDeposits_; }

private:
    struct Run;

    /// Makes `run` the current run with a fresh engine at time 0 and an emptied data store, not yet looping.
    void setUp(RunSettings run);
    /// Launches the loop of the held engine.
    void launch();
    /// Cancels the loop, if any, and enters `state`.
    void endLoop(RunState state);
    void beginFrame(const std::shared_ptr<Run>& run);
    void runBatch(const std::shared_ptr<Run>& run);
    void publishFrame(const std::shared_ptr<Run>& run);

    boost::asio::any_io_executor executor_;
    SimulationDataStore& store_;
    RunPacing pacing_;
    Clock clock_;
    double currentSpeedMultiplier_ = 1.0;
    RunState runState_ = RunState::idle;
    std::shared_ptr<SimulationEngine> engine_;
    std::optional<std::uint64_t> seed_;
    std::vector<Deposit> displayDeposits_;
    /// What the held engine was set up from, while `play` may go on with it (paused, or set up by `reset`).
    std::optional<RunSettings> heldRun_;
    SpeedMeter speedMeter_;
    /// The speed the meter's samples were taken at.
    double meteredSpeed_ = 0.0;
    std::map<double, double> measuredRates_;
    /// The running loop; absent while idle. The loop holds it too, and ends once it is marked cancelled.
    std::shared_ptr<Run> simulationTask_;
};

} // namespace pelagrin
