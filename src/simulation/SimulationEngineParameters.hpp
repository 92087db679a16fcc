// SimulationEngineParameters: the physics of one run, already converted into engine units.
#pragma once

#include "simulation/Vec2.hpp"

namespace pelagrin {

/// Constant for a run. Every field must be finite (the engine's constructor checks).
struct SimulationEngineParameters {
    /// Viscosity relative to water; the dynamic viscosity is `viscosity` × 0.001 Pa·s.
    double viscosity = 1.0;
    /// Scale of the noise-driven swirl; below 0.01 the water moves with the mean current only.
    double turbulence = 0.0;
    /// Multiplier of gravity; the acceleration is `gravityScale` × 9.81 m/s².
    double gravityScale = 1.0;
    /// Always 1.0: the settling law uses the relative density minus one directly.
    double waterDensity = 1.0;
    /// Mean current in px/s (direction unit vector × speed in m/s × `pixelsPerMeter`).
    Vec2 baseFlowVelocity;
    /// Simulation pixels per metre; floored at 1e-6 wherever it divides.
    double pixelsPerMeter = 1.0;
    /// Depth of the water column in metres.
    double waterDepth = 10.0;
    /// Surface wind: direction unit vector × wind speed as entered (not converted to pixels).
    Vec2 windVelocity;

    bool operator==(const SimulationEngineParameters&) const = default;
};

} // namespace pelagrin
