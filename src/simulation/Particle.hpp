// Particle: one microplastic particle of a run, a plain value the engine updates in place.
#pragma once

#include "simulation/Uuid.hpp"
#include "simulation/Vec2.hpp"

namespace pelagrin {

/// A particle's whole state. Lifecycle: waiting (`isActive` false) → drifting → stuck (`isStuck`, final);
/// a drifting particle is sedimented while it lies on the bottom.
struct Particle {
    Uuid id;
    /// Horizontal position in simulation pixels.
    Vec2 position;
    /// Depth below the surface in metres, within [0, waterDepth] once the particle has moved.
    double z = 0.0;
    /// Horizontal velocity in px/s.
    Vec2 velocity;
    /// Radius in millimetres.
    double radius = 0.0;
    /// Density relative to water (1.0 = water).
    double density = 1.0;
    /// Per-particle noise phase in [0, 10]; carried along, never read by the step.
    double noiseOffset = 0.0;
    /// Simulation time in seconds at which the particle enters the water.
    double releaseTime = 0.0;
    /// The particle has been released.
    bool isActive = false;
    /// The particle has stranded on the shore and never moves again.
    bool isStuck = false;
    /// The particle lies on the bottom (its `z` equals the water depth).
    bool isSedimented = false;
    /// |velocity| after the last step that moved the particle, in px/s.
    double speed = 0.0;

    /// Releases a waiting particle in the step whose clock, `time` (s), has reached its `releaseTime`; both
    /// transport models follow this one rule. Whether the particle is in the water.
    bool releaseBy(double time) {
        if (!isActive) {
            if (releaseTime > time) {
                return false;
            }
            isActive = true;
        }
        return true;
    }
};

} // namespace pelagrin
