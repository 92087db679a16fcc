// ReferenceEngine: the engine's time step written the obvious way, the oracle the fast engine is tested
// against.
#pragma once

#include "simulation/Particle.hpp"
#include "simulation/PerlinNoise.hpp"
#include "simulation/RandomSource.hpp"
#include "simulation/SimulationEngine.hpp"
#include "simulation/SimulationEngineParameters.hpp"

#include <optional>
#include <vector>

namespace pelagrin::reference {

/// An array of particle records stepped one after the other: the even-odd test over every edge, the nearest
/// edge by a scan of all edges, every noise value computed on its own. Deliberately untuned.
class ReferenceEngine {
public:
    ReferenceEngine(std::vector<Particle> particles, SimulationEngineParameters params,
                    std::vector<Vec2> boundaryVertices, RandomSource random);

    void step();
    Vec2 flowVelocity(Vec2 point, double time) const;
    bool isInsideBoundary(Vec2 point) const;
    std::optional<BoundaryContact> closestBoundaryPoint(Vec2 point) const;

    std::vector<Particle> particles;
    SimulationEngineParameters params;
    double targetSpeed = 1.0;
    std::vector<Vec2> boundaryVertices;
    std::optional<Bounds> bounds;
    PerlinNoise noiseGen{123};
    double timeStep = 0.016;
    double accumulatedTime = 0.0;

private:
    RandomSource random_;
};

} // namespace pelagrin::reference
