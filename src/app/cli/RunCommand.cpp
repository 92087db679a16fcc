// RunCommand: loading, validating, running to the duration under a signal watch, and the CSV and summary.
#include "app/cli/RunCommand.hpp"

#include "analysis/SimulationDataStore.hpp"
#include "app/cli/CommandOptions.hpp"
#include "app/cli/RunProgress.hpp"
#include "app/cli/TrajectoryRecording.hpp"
#include "exports/DepositsGeoJson.hpp"
#include "exports/HeatmapNetCdf.hpp"
#include "projects/PhysicalParameterField.hpp"
#include "projects/ProjectPersistence.hpp"
#include "simulation/SimulationController.hpp"
#include "support/AtomicWrite.hpp"

#include <algorithm>
#include <boost/asio/io_context.hpp>
#include <boost/asio/signal_set.hpp>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fmt/format.h>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>

namespace pelagrin {

namespace {

constexpr int exitInterrupted = 130; // the shell's convention for a run ended by SIGINT

struct RunOptions {
    std::string projectPath;
    double speed = 60.0;
    std::string csvPath = "SimulationData.csv";
    bool isRealtime = false;
    std::optional<std::uint64_t> seed;
    std::optional<TransportModel> model;
    std::string trajectoriesPath;
    double trajectoryInterval = 60.0;
    std::optional<std::string> depositsPath;
    std::optional<std::string> heatmapPath;
};

[[noreturn]] void fail(const std::string& message) {
    fmt::print(stderr, "pelagrin run: {}\n", message);
    throw CLI::RuntimeError(1);
}

/// Refuses a destination for `what` ("the CSV") that could never be written, before hours of simulation are
/// spent on it.
void checkWritable(const std::filesystem::path& path, const char* what) {
    namespace fs = std::filesystem;
    const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        fail(fmt::format("cannot write {} to \"{}\": the folder \"{}\" does not exist", what, path.string(),
                         folder.string()));
    }
    if (fs::is_directory(path, error)) {
        fail(fmt::format("cannot write {} to \"{}\": it is a folder", what, path.string()));
    }
    if (access(folder.c_str(), W_OK) != 0) {
        fail(fmt::format("cannot write {} to \"{}\": the folder \"{}\" is not writable", what, path.string(),
                         folder.string()));
    }
}

void printSummary(const SimulationEngine& engine, const SimulationDataStore& store, double time,
                  bool wasInterrupted, const std::string& csvPath, std::uint64_t seed) {
    std::int64_t drifting = 0, stuck = 0, sedimented = 0, waiting = 0;
    for (const Particle& p : engine.particles) {
        if (p.isStuck) {
            ++stuck;
        } else if (p.isSedimented) {
            ++sedimented;
        } else if (p.isActive) {
            ++drifting;
        } else {
            ++waiting;
        }
    }
    fmt::print("{} at {:.1f} s of simulation time.\n", wasInterrupted ? "Interrupted" : "Finished", time);
    fmt::print("Particles: {} active, {} stuck, {} sedimented, {} not yet released\n", drifting, stuck,
               sedimented, waiting);
    fmt::print("Max speed: {:.2f} px/s\n", store.maxSpeed.get());
    fmt::print("Seed: {} (--seed {} repeats this run)\n", seed, seed);
    fmt::print("Timeline: {} samples written to {}\n", store.history->size(), csvPath);
}

int run(const RunOptions& options) {
    checkWritable(options.csvPath, "the CSV");
    if (options.depositsPath) {
        checkWritable(*options.depositsPath, "the deposits");
    }
    if (options.heatmapPath) {
        checkWritable(*options.heatmapPath, "the heatmap");
    }
    std::shared_ptr<Project> project;
    try {
        project = ProjectPersistence::load(options.projectPath);
    } catch (const ProjectPersistence::LoadError& error) {
        fail(error.what());
    }
    if (!project->parameters.get()) {
        fail(fmt::format("\"{}\" has no simulation parameters; set them in the app first",
                         options.projectPath));
    }

    if (options.seed) {
        project->parameters.get()->seed = options.seed;
    }
    if (options.model) {
        project->parameters.get()->transportModel = *options.model;
    }

    // The controller's own loop, on an event loop of this command's, paced like the app's only on request.
    boost::asio::io_context context{1};
    SimulationDataStore store;
    SimulationController controller(context.get_executor(), store,
                                    options.isRealtime ? RunPacing{} : RunPacing::unpaced());
    controller.setCurrentSpeedMultiplier(options.speed);
    bool wasInterrupted = false;
    boost::asio::signal_set signals(context, SIGINT, SIGTERM);
    signals.async_wait([&](const boost::system::error_code& error, int) {
        if (!error) {
            wasInterrupted = true;
            controller.stop();
        }
    });
    try {
        controller.start(*project);
    } catch (const std::invalid_argument& error) {
        fail(fmt::format("\"{}\" cannot be run: {}", options.projectPath, error.what()));
    }

    std::optional<TrajectoryRecording> recording;
    if (!options.trajectoriesPath.empty()) {
        try {
            recording.emplace(options.trajectoriesPath, options.trajectoryInterval, controller, *project);
        } catch (const NetCdfError& error) {
            fail(error.what());
        } catch (const std::invalid_argument& error) {
            fail(fmt::format("cannot write trajectories of \"{}\": {}", options.projectPath, error.what()));
        }
    }

    const SimulationEngine& engine = *controller.engine();
    RunProgress progress(stderr, controller.totalDuration,
                         static_cast<std::int64_t>(engine.particles.size()));
    const int steps = SimulationController::stepsPerFrame(options.speed);
    Subscription onFrame =
        controller.currentTime.subscribe([&](double time) { progress.frame(time, steps); });

    Subscription onStop = controller.isRunning.subscribe([&](bool isRunning) {
        if (!isRunning) {
            signals.cancel();
        }
    });
    fmt::print(stderr, "Running \"{}\": {} particles, {:.0f} s of simulation time at {}x, seed {}\n",
               project->name.get(), engine.particles.size(), controller.totalDuration.get(), options.speed,
               *controller.seed());
    context.run();
    progress.finish();

    try {
        writeFileAtomically(options.csvPath, store.exportCSV());
        if (recording) {
            recording->finish();
        }
        if (options.depositsPath) {
            const std::optional<std::string> deposits = DepositsGeoJson::ofRun(controller, *project);
            if (!deposits) {
                fail(fmt::format("\"{}\" has no water outline to map the deposits on", options.projectPath));
            }
            writeFileAtomically(*options.depositsPath, *deposits);
            fmt::print("Deposits written to {}\n", *options.depositsPath);
        }
        if (options.heatmapPath) {
            const std::optional<RunHeatmap> heatmap = RunHeatmap::of(controller, *project, options.speed);
            if (!heatmap) {
                fail(fmt::format("\"{}\" has no water outline to map the bed on", options.projectPath));
            }
            heatmap->write(*options.heatmapPath);
            fmt::print("Bed heatmap written to {}\n", *options.heatmapPath);
        }
    } catch (const std::runtime_error& error) { // the files' FileWriteError or the trajectories' NetCdfError
        fail(error.what());
    }
    printSummary(engine, store, controller.currentTime, wasInterrupted, options.csvPath, *controller.seed());
    if (recording) {
        fmt::print("Trajectories: {} samples written to {}\n", recording->sampleCount(),
                   options.trajectoriesPath);
    }
    return wasInterrupted ? exitInterrupted : 0;
}

} // namespace

void addRunCommand(CLI::App& app) {
    auto options = std::make_shared<RunOptions>();
    CLI::App* command = app.add_subcommand("run", "Run a project's simulation to its duration and write the "
                                                  "timeline as CSV");
    command->add_option("project", options->projectPath, "The project file (.pelagrinproj)")->required();
    addSpeedOption(
        *command, options->speed,
        "Speed multiplier: each engine step advances the clock by speed × 0.016 s (the app offers 1, "
        "10, 60 and 300)");
    addSeedOption(*command, options->seed,
                  "Seed of the run's random draws; the same seed at the same speed gives the same particles "
                  "(default: the project's, else a fresh one, printed)");
    command->add_option_function<std::string>(
        "--model",
        [options](const std::string& text) {
            const auto found = std::find(transportModelKeys.begin(), transportModelKeys.end(), text);
            if (found == transportModelKeys.end()) {
                throw CLI::ValidationError("--model",
                                           fmt::format("must be original or physical, got \"{}\"", text));
            }
            options->model = static_cast<TransportModel>(found - transportModelKeys.begin());
        },
        "Transport model of this run, original or physical (default: the project's)");
    command->add_option("--csv", options->csvPath, "Where the timeline CSV goes")->capture_default_str();
    CLI::Option* trajectories = command->add_option(
        "--trajectories", options->trajectoriesPath,
        "Also write the particles' trajectories to this NetCDF file (CF-1.8, in degrees)");
    command
        ->add_option("--every", options->trajectoryInterval,
                     "Seconds of simulation time between two samples of the trajectories")
        ->capture_default_str()
        ->check(positiveNumber())
        ->needs(trajectories);
    command->add_option(
        "--deposits", options->depositsPath,
        "Where the resting particles go as GeoJSON (.geojson), written at the end of the run");
    command->add_option(
        "--heatmap", options->heatmapPath,
        "Where the sedimented particles per km² go as a NetCDF grid (.nc), written at the end "
        "of the run");
    command->add_flag("--realtime", options->isRealtime,
                      "Pace the run like the app: a 16 ms pause per frame, the statistics twice a second");
    command->callback([options] {
        const int status = run(*options);
        if (status != 0) {
            throw CLI::RuntimeError(status);
        }
    });
}

} // namespace pelagrin
