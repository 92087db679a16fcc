// Engine step throughput: particle-steps per second on a wiggly 200-vertex lake, with and without turbulence.
#include "scenes/Scenes.hpp"
#include "simulation/SimulationEngine.hpp"

#include <benchmark/benchmark.h>

namespace pelagrin {
namespace {

constexpr int kStepsPerRun = 50; // one run is a short burst from a fresh engine, so few particles strand

/// Every particle released at once across the middle of the lake, in a slow current.
SimulationEngine lakeEngine(std::int64_t count, double turbulence) {
    RandomSource random(42);
    std::vector<Particle> particles =
        SimulationEngine::createParticles(count, {400, 300}, 2.0, 1.02, 3600, 120, random);
    for (Particle& p : particles) {
        p.releaseTime = 0;
        p.isActive = true;
    }
    SimulationEngineParameters params = scenes::stillWater(turbulence);
    params.baseFlowVelocity = {3, 1};
    SimulationEngine engine(std::move(particles), params, scenes::wigglyLake(200), RandomSource(43));
    engine.targetSpeed = 10;
    return engine;
}

void BM_EngineStep(benchmark::State& state) {
    const auto count = state.range(0);
    const double turbulence = static_cast<double>(state.range(1)) / 10.0;
    const SimulationEngine prototype = lakeEngine(count, turbulence);
    std::int64_t stranded = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SimulationEngine engine = prototype;
        state.ResumeTiming();
        for (int i = 0; i < kStepsPerRun; ++i) {
            engine.step();
        }
        benchmark::DoNotOptimize(engine.particles.data());
        state.PauseTiming();
        for (const Particle& p : engine.particles) {
            stranded += p.isStuck;
        }
        state.ResumeTiming();
    }
    const auto particleSteps = static_cast<double>(state.iterations() * kStepsPerRun * count);
    state.counters["particle_steps_per_s"] = benchmark::Counter(particleSteps, benchmark::Counter::kIsRate);
    state.counters["stranded_share"] =
        static_cast<double>(stranded) / static_cast<double>(state.iterations() * count);
}

BENCHMARK(BM_EngineStep)
    ->ArgNames({"particles", "turbulence_x10"})
    ->Args({5000, 3})
    ->Args({20000, 3})
    ->Args({5000, 0})
    ->Args({20000, 0})
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pelagrin

BENCHMARK_MAIN();
