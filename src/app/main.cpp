// pelagrin: until the app exists, a short headless run of the engine on a shared scene.
#include "scenes/Scenes.hpp"
#include "simulation/SimulationEngine.hpp"

#include <cstdio>

int main() {
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
