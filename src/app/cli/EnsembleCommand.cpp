// EnsembleCommand: the plan from the arguments, the members over the ranks and cores, the results on rank 0.
#include "app/cli/EnsembleCommand.hpp"

#include "app/cli/CommandOptions.hpp"
#include "app/cli/MemberProgressBar.hpp"
#include "ensemble/EnsembleResults.hpp"
#include "ensemble/EnsembleRunner.hpp"
#include "ensemble/MemberDispatch.hpp"
#include "ensemble/MpiWorld.hpp"
#include "simulation/RandomSource.hpp"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <fmt/format.h>
#include <memory>
#include <numeric>
#include <optional>
#include <sched.h>
#include <string>
#include <thread>
#include <vector>

namespace pelagrin {

namespace {

constexpr int exitFailed = 1;
constexpr int exitInterrupted = 130; // the shell's convention for a run ended by SIGINT

struct EnsembleOptions {
    std::string projectPath;
    std::size_t memberCount = 0;
    std::optional<std::uint64_t> seed;
    std::vector<std::string> variations;
    bool isGrid = false;
    double speed = 60.0;
    bool keepsMembers = false;
    std::string outPath;
};

// Set from the signal handler; a lock-free atomic is safe to store to there.
std::atomic<bool> stopRequested{false};

void requestStop(int) {
    stopRequested = true;
}

/// The command's failure: its message on standard error, every rank ended when under mpirun.
[[noreturn]] void fail(const MpiWorld* world, const std::string& message) {
    fmt::print(stderr, "pelagrin ensemble: {}\n", message);
    std::fflush(stderr);
    if (world != nullptr && world->size() > 1) {
        world->abort(exitFailed);
    }
    throw CLI::RuntimeError(exitFailed);
}

/// The threads this process may keep busy: the cores it is bound to when mpirun, Slurm or taskset bound it,
/// else the machine's cores shared among this machine's ranks.
unsigned threadsOfThisProcess() {
    const auto machineCores = std::max(1u, std::thread::hardware_concurrency());
    cpu_set_t mask;
    CPU_ZERO(&mask);
    if (sched_getaffinity(0, sizeof(mask), &mask) == 0) {
        const auto boundCores = static_cast<unsigned>(CPU_COUNT(&mask));
        if (boundCores >= 1 && boundCores < machineCores) {
            return boundCores;
        }
    }
    return std::max(1u, machineCores / static_cast<unsigned>(MpiWorld::localSize()));
}

/// The plan, or the command-line mistake that prevents it (status 2).
EnsemblePlan planOf(const EnsembleOptions& options, std::uint64_t seed) {
    try {
        return EnsemblePlan::make(seed, options.memberCount, Variation::parseAll(options.variations),
                                  options.isGrid);
    } catch (const VariationError& error) {
        throw CLI::ValidationError(error.what());
    }
}

/// Reads the project every member starts from, once; refuses a project that could never run and a folder that
/// could never be written, before any member runs.
std::shared_ptr<const Project> readInputs(const MpiWorld* world, const EnsembleOptions& options,
                                          const EnsembleSetup& setup) {
    std::shared_ptr<const Project> project;
    try {
        project = projectOf(setup);
    } catch (const std::exception& error) {
        fail(world, error.what());
    }
    std::error_code error;
    const std::filesystem::path out = options.outPath;
    if (std::filesystem::exists(out, error) && !std::filesystem::is_directory(out, error)) {
        fail(world, fmt::format("cannot write the results to \"{}\": it is a file", options.outPath));
    }
    return project;
}

/// Runs this process's members: all of them alone, else those it takes while its threads are free; reports
/// the members of all processes on rank 0's standard error.
std::vector<MemberResult> runOwnMembers(const MpiWorld* world, const EnsembleSetup& setup, unsigned threads) {
    const std::size_t memberCount = setup.plan.members.size();
    std::optional<MemberProgressBar> progress;
    if (world == nullptr || world->rank() == 0) {
        progress.emplace(stderr, memberCount);
    }
    // Made before the members run, so that a failure ends every rank at once instead of waiting for them all
    // in the dispatch's collective end.
    std::optional<MemberDispatch> dispatch;
    if (world != nullptr) {
        dispatch.emplace(*world, memberCount);
    }
    std::vector<MemberResult> results;
    try {
        if (dispatch) {
            results = runMembers(
                setup, [&] { return dispatch->next(); }, memberCount, threads, stopRequested,
                [&](const EnsembleProgress& state) {
                    const EnsembleProgress ofAll = dispatch->share(state);
                    if (progress) {
                        progress->update(ofAll);
                    }
                });
        } else {
            std::vector<std::size_t> all(memberCount);
            std::iota(all.begin(), all.end(), std::size_t{0});
            results = runMembers(setup, all, threads, stopRequested,
                                 [&](const EnsembleProgress& state) { progress->update(state); });
        }
    } catch (const std::exception& error) {
        fail(world, fmt::format("\"{}\" cannot be run: {}", setup.projectPath, error.what()));
    }
    if (progress) {
        progress->finish();
    }
    return results;
}

int run(const EnsembleOptions& options) {
    std::unique_ptr<MpiWorld> world;
    try {
        world = MpiWorld::joinIfLaunched();
    } catch (const std::runtime_error& error) {
        fail(nullptr, error.what());
    }
    const MpiWorld* const mpi = world.get();
    const int rank = world ? world->rank() : 0;
    const int ranks = world ? world->size() : 1;
    const bool isWriter = rank == 0;

    // One seed for all ranks: rank 0's, drawn there when none was given.
    std::uint64_t seed = options.seed.value_or(RandomSource::freshSeed());
    if (world) {
        seed = world->broadcast(seed);
    }
    EnsembleSetup setup{options.projectPath, planOf(options, seed), options.speed};
    setup.project = readInputs(mpi, options, setup);

    const unsigned threads = threadsOfThisProcess();
    if (isWriter) {
        fmt::print(stderr, "Ensemble of \"{}\": {} members, seeds {} to {}, {} process{} of {} thread{}\n",
                   options.projectPath, options.memberCount, seed, seed + options.memberCount - 1, ranks,
                   ranks == 1 ? "" : "es", threads, threads == 1 ? "" : "s");
    }

    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    std::vector<MemberResult> results = runOwnMembers(mpi, setup, threads);
    const bool wasInterrupted = stopRequested;

    if (world) {
        GatherCost cost;
        results = world->gather(results, cost);
        if (isWriter) {
            fmt::print(stderr, "Gathered {} bytes of {} members from {} processes in {:.1f} ms\n", cost.bytes,
                       results.size(), ranks, cost.seconds * 1e3);
        }
    }
    if (isWriter) {
        try {
            writeEnsembleResults(options.outPath, setup, results, options.isGrid, options.keepsMembers);
        } catch (const std::runtime_error& error) {
            fail(nullptr, error.what());
        }
        fmt::print("{} {} of {} members; results in {}\n", wasInterrupted ? "Interrupted after" : "Finished",
                   results.size(), options.memberCount, options.outPath);
        fmt::print("Seed: {} (--seed {} repeats this ensemble)\n", seed, seed);
    }
    return wasInterrupted ? exitInterrupted : 0;
}

} // namespace

void addEnsembleCommand(CLI::App& app) {
    auto options = std::make_shared<EnsembleOptions>();
    CLI::App* command = app.add_subcommand(
        "ensemble", "Run a project many times over seeds and varied settings and sum the runs up");
    command->add_option("project", options->projectPath, "The project file (.pelagrinproj)")->required();
    command->add_option("--members", options->memberCount, "How many runs")
        ->required()
        ->check(CLI::Range(std::size_t{1}, EnsemblePlan::maxMembers));
    addSeedOption(*command, options->seed,
                  "Seed of member 0; member k runs with seed + k (default: a fresh one, printed)");
    command->add_option("--vary", options->variations,
                        "NAME=LOW:HIGH: members draw NAME within [LOW, HIGH] (flowSpeed, flowDirection, "
                        "turbulence, windSpeed, windDirection, radius, density, count); repeatable");
    command->add_flag("--grid", options->isGrid,
                      "Vary on a regular grid instead of a Latin hypercube: --members must be n to the power "
                      "of the --vary count");
    addSpeedOption(*command, options->speed,
                   "Speed multiplier of every member, as for `pelagrin run` (each engine step advances the "
                   "clock by speed × 0.016 s)");
    command->add_flag("--keep-members", options->keepsMembers,
                      "Also write each member's timeline, member-K.csv");
    command->add_option("--out", options->outPath, "The folder the results go to (made when missing)")
        ->required();
    command->callback([options] {
        const int status = run(*options);
        if (status != 0) {
            throw CLI::RuntimeError(status);
        }
    });
}

} // namespace pelagrin
