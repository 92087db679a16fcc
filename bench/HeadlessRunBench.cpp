// What trajectories cost a headless run: the product's 20,000 particles over twelve simulated hours at 300x,
// as `pelagrin run` goes, without and with a trajectory file sampled every simulated minute.
#include "analysis/SimulationDataStore.hpp"
#include "app/cli/TrajectoryRecording.hpp"
#include "projects/ProjectPersistence.hpp"
#include "simulation/SimulationController.hpp"

#include <benchmark/benchmark.h>
#include <boost/asio/io_context.hpp>
#include <unistd.h>

namespace pelagrin {
namespace {

void BM_HeadlessRun(benchmark::State& state) {
    const bool isRecording = state.range(0) != 0;
    const std::filesystem::path trajectories =
        std::filesystem::temp_directory_path() / ("pelagrin-bench-" + std::to_string(::getpid()) + ".nc");
    std::uintmax_t fileBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::shared_ptr<Project> project =
            ProjectPersistence::load(PELAGRIN_EXAMPLES "/valley-lake.pelagrinproj");
        project->parameters.get()->particleSettings.get()->count = 20000;
        project->parameters.get()->seed = std::uint64_t{1};
        state.ResumeTiming();

        // As the command does: the controller's own loop, unpaced, on an event loop of its own.
        boost::asio::io_context context{1};
        SimulationDataStore store;
        SimulationController controller(context.get_executor(), store, RunPacing::unpaced());
        controller.setCurrentSpeedMultiplier(300);
        controller.start(*project);
        std::optional<TrajectoryRecording> recording;
        if (isRecording) {
            recording.emplace(trajectories, 60.0, controller, *project);
        }
        context.run();
        if (recording) {
            recording->finish();
            state.counters["samples"] = static_cast<double>(recording->sampleCount());
        }
        benchmark::DoNotOptimize(store.history->size());

        state.PauseTiming();
        if (isRecording) {
            fileBytes = std::filesystem::file_size(trajectories);
            std::filesystem::remove(trajectories);
        }
        state.ResumeTiming();
    }
    state.counters["file_MB"] = static_cast<double>(fileBytes) / 1e6;
}
BENCHMARK(BM_HeadlessRun)
    ->ArgName("trajectories")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

} // namespace
} // namespace pelagrin

BENCHMARK_MAIN();
