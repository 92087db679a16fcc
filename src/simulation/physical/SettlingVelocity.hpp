// SettlingVelocity: how fast a particle sinks or rises through still water, by Stokes' law for small
// particles and Dietrich's law for larger ones.
#pragma once

#include "simulation/physical/PhysicalParameters.hpp"
#include "simulation/physical/WaterProperties.hpp"

namespace pelagrin {

/// Terminal velocities, m/s. Below the switch size the particle Reynolds number is under about 0.06 and
/// Stokes' law holds; above it Dietrich (1982, Water Resources Research 18:1615) fits measured settling of
/// natural and shaped grains up to boulders. The switch sits where the two laws agree for a sphere, and a
/// non-spherical particle's Stokes branch is scaled by its shape's factor at the switch, so the velocity is
/// continuous in the diameter for every shape.
class SettlingVelocity {
public:
    /// Dietrich's shape descriptors: Corey shape factor c / √(ab) of the axes a ≥ b ≥ c (1 for a sphere,
    /// within [0.2, 1]) and Powers roundness (2 angular to 6 perfectly round).
    struct Shape {
        double coreyFactor;
        double roundness;
    };
    static Shape shapeOf(ParticleShape shape);

    /// log10 of the dimensionless diameter D* = Δρ g d³ / (ρ ν²) where a sphere's two laws agree.
    static constexpr double switchLog10Dimensionless = -0.019407764844045494;

    /// Stokes' law, w = Δρ g d² / (18 μ), signed like `densityDifference` (kg/m³); `gravity` m/s², diameter
    /// m, `viscosity` Pa·s.
    static double stokes(double diameter, double densityDifference, double gravity, double viscosity);

    /// Dietrich's law for the magnitude of the velocity of a particle of `diameter` m and `particleDensity`
    /// kg/m³ (not equal to the water's).
    static double dietrich(double diameter, double particleDensity, const WaterProperties& water,
                           double gravity, Shape shape);

    /// The velocity the model uses, positive downward, negative for a particle lighter than the water, 0 for
    /// a zero diameter or no density difference.
    static double of(double diameter, double particleDensity, const WaterProperties& water, double gravity,
                     Shape shape);

    /// The diameter, m, at which `of` changes law for this particle density, water and gravity.
    static double switchDiameter(double particleDensity, const WaterProperties& water, double gravity);
};

} // namespace pelagrin
