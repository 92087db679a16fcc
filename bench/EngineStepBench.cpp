// Engine step throughput: particle-steps per second of the engine and of the plain reference step, side by
// side, against particle count and against the lake's vertex count.
#include "scenes/Scenes.hpp"
#include "simulation/SimulationEngine.hpp"
#include "tests/simulation/reference/ReferenceEngine.hpp"

#include <benchmark/benchmark.h>

namespace pelagrin {
namespace {

constexpr int kStepsPerRun = 20; // a short burst from a fresh engine, so that few particles strand

/// Every particle released at once across the middle of the lake, in a slow current.
template <typename Engine> Engine lakeEngine(std::int64_t count, double turbulence, std::size_t vertexCount) {
    RandomSource random(42);
    std::vector<Particle> particles =
        SimulationEngine::createParticles(count, {400, 300}, 2.0, 1.02, 3600, 120, random);
    for (Particle& p : particles) {
        p.releaseTime = 0;
        p.isActive = true;
    }
    SimulationEngineParameters params = scenes::stillWater(turbulence);
    params.baseFlowVelocity = {3, 1};
    Engine engine(std::move(particles), params, scenes::wigglyLake(vertexCount), RandomSource(43));
    engine.targetSpeed = 10;
    return engine;
}

template <typename Engine>
void runSteps(benchmark::State& state, const Engine& prototype, std::int64_t count) {
    for (auto _ : state) {
        state.PauseTiming();
        Engine engine = prototype;
        state.ResumeTiming();
        for (int i = 0; i < kStepsPerRun; ++i) {
            engine.step();
        }
        benchmark::DoNotOptimize(engine.particles.data());
    }
    const auto particleSteps = static_cast<double>(state.iterations() * kStepsPerRun * count);
    state.counters["particle_steps_per_s"] = benchmark::Counter(particleSteps, benchmark::Counter::kIsRate);
}

/// Arguments: particles, turbulence × 10, vertices.
template <typename Engine> void BM_Step(benchmark::State& state) {
    runSteps(state,
             lakeEngine<Engine>(state.range(0), static_cast<double>(state.range(1)) / 10.0,
                                static_cast<std::size_t>(state.range(2))),
             state.range(0));
}

/// The same lake under the physical model, some 7.7 × 6.7 km at Lake Geneva's latitude, with its default
/// diffusion and stranding. Arguments as `BM_Step` (the turbulence is unused by the model).
void BM_PhysicalStep(benchmark::State& state) {
    SimulationEngine engine =
        lakeEngine<SimulationEngine>(state.range(0), 0, static_cast<std::size_t>(state.range(2)));
    engine.usePhysicalModel(PhysicalParameters{}, CanvasMapping{46.40, 46.46, 6.50, 6.60, 800, 600});
    runSteps(state, engine, state.range(0));
}

void sideBySide(benchmark::internal::Benchmark* b) {
    b->ArgNames({"particles", "turbulence_x10", "vertices"})
        ->Args({5000, 3, 200})
        ->Args({20000, 3, 200})
        ->Args({5000, 0, 200})
        ->Args({20000, 0, 200})
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

void byParticleCount(benchmark::internal::Benchmark* b) {
    b->ArgNames({"particles", "turbulence_x10", "vertices"});
    for (std::int64_t count : {1000, 5000, 20000, 50000, 200000}) {
        b->Args({count, 3, 200});
    }
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

void byVertexCount(benchmark::internal::Benchmark* b) {
    b->ArgNames({"particles", "turbulence_x10", "vertices"});
    for (std::int64_t vertices : {12, 50, 200, 1000, 5000}) {
        b->Args({20000, 3, vertices});
    }
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_Step<reference::ReferenceEngine>)->Name("Reference")->Apply(sideBySide);
BENCHMARK(BM_Step<SimulationEngine>)->Name("Engine")->Apply(sideBySide);
BENCHMARK(BM_Step<SimulationEngine>)->Name("EngineByParticles")->Apply(byParticleCount);
BENCHMARK(BM_Step<SimulationEngine>)->Name("EngineByVertices")->Apply(byVertexCount);
BENCHMARK(BM_Step<reference::ReferenceEngine>)->Name("ReferenceByVertices")->Apply(byVertexCount);
BENCHMARK(BM_PhysicalStep)->Name("Physical")->Apply(sideBySide);
BENCHMARK(BM_PhysicalStep)->Name("PhysicalByParticles")->Apply(byParticleCount);

} // namespace
} // namespace pelagrin

BENCHMARK_MAIN();
