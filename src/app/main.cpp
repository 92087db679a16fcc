// pelagrin: the command line; with no command, until the app exists, a short headless run of the engine.
#include "app/cli/DetectCommand.hpp"
#include "scenes/Scenes.hpp"
#include "simulation/SimulationEngine.hpp"

#include <CLI/CLI.hpp>
#include <cstdio>

namespace {

void runDemo() {
    using namespace pelagrin;
    SimulationEngine engine(SimulationEngine::createParticles(2000, {400, 300}, 2.0, 1.0, 3600, 20),
                            scenes::stillWater(0.3), scenes::wigglyLake(200));
    engine.params.baseFlowVelocity = {0.4, 0.1};
    engine.targetSpeed = 60;
    for (int frame = 1; frame <= 20; ++frame) {
        for (int i = 0; i < 100; ++i) {
            engine.step();
        }
        int active = 0;
        int stuck = 0;
        for (const Particle& p : engine.particles) {
            active += p.isActive && !p.isStuck;
            stuck += p.isStuck;
        }
        std::printf("t = %7.1f s   active %5d   stuck %5d\n", engine.accumulatedTime, active, stuck);
    }
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Pelagrin: microplastic drift in a real body of water"};
    pelagrin::addDetectCommand(app);
    CLI11_PARSE(app, argc, argv);
    if (app.get_subcommands().empty()) {
        runDemo();
    }
    return 0;
}
