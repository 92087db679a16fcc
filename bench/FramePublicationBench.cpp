// What a published frame costs besides the engine: the snapshot copy of every frame, and the statistics the
// data store works out from it twice a second.
#include "analysis/SimulationDataStore.hpp"
#include "simulation/SimulationEngine.hpp"

#include <benchmark/benchmark.h>

namespace pelagrin {
namespace {

/// Particles in every state the statistics tell apart: waiting, drifting, sedimented and stuck.
std::vector<Particle> mixedParticles(std::int64_t count) {
    RandomSource random(7);
    std::vector<Particle> particles =
        SimulationEngine::createParticles(count, {400, 300}, 1.0, 1.05, 43200, 50, random);
    for (std::size_t i = 0; i < particles.size(); ++i) {
        particles[i].isActive = i % 5 != 0;
        particles[i].isSedimented = i % 7 == 0;
        particles[i].isStuck = i % 11 == 0;
        particles[i].speed = static_cast<double>(i % 400) * 0.5;
    }
    return particles;
}

void BM_SnapshotCopy(benchmark::State& state) {
    const std::vector<Particle> particles = mixedParticles(state.range(0));
    std::vector<Particle> published;
    for (auto _ : state) {
        published = particles; // as the controller publishes a frame: the observers get their own copy
        benchmark::DoNotOptimize(published.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) *
                            static_cast<std::int64_t>(sizeof(Particle)));
}
BENCHMARK(BM_SnapshotCopy)->ArgName("particles")->Arg(20000)->Arg(200000)->Unit(benchmark::kMicrosecond);

void BM_StoreUpdate(benchmark::State& state) {
    const std::vector<Particle> particles = mixedParticles(state.range(0));
    SimulationDataStore store;
    double time = 0.0;
    for (auto _ : state) {
        time += 1.0; // always a new sample, so the timeline's upkeep is measured too
        store.update(particles, time);
    }
}
BENCHMARK(BM_StoreUpdate)->ArgName("particles")->Arg(20000)->Arg(200000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace pelagrin

BENCHMARK_MAIN();
