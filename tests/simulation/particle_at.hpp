// Hand-placed particles for engine tests.
#pragma once

#include "simulation/Particle.hpp"

namespace pelagrin::testing {

/// A released, drifting particle at `position` (px) with the given radius (mm) and relative density.
inline Particle particleAt(Vec2 position, double radius = 1.0, double density = 1.0) {
    Particle p;
    p.position = position;
    p.radius = radius;
    p.density = density;
    p.isActive = true;
    return p;
}

/// A released particle at `position` (px) that has come to rest on the shore (`isStuck`) or the bed.
inline Particle restingAt(Vec2 position, bool isStuck, bool isSedimented) {
    Particle p = particleAt(position);
    p.isStuck = isStuck;
    p.isSedimented = isSedimented;
    return p;
}

} // namespace pelagrin::testing
