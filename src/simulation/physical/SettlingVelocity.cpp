// Stokes' and Dietrich's settling laws and the seam between them.
#include "simulation/physical/SettlingVelocity.hpp"

#include <cmath>

namespace pelagrin {

namespace {

/// Dietrich's dimensionless settling velocity W* = w³ ρ / (Δρ g ν) against D* (given as its log10).
double dimensionlessVelocity(double logD, SettlingVelocity::Shape shape) {
    const double csf = shape.coreyFactor;
    // R1: the sphere's curve; R2: the flattening's drag; R3: the angularity's drag.
    const double r1 = -3.76715 + 1.92944 * logD - 0.09815 * logD * logD - 0.00575 * std::pow(logD, 3) +
                      0.00056 * std::pow(logD, 4);
    const double r2 = std::log10(1 - (1 - csf) / 0.85) - std::pow(1 - csf, 2.3) * std::tanh(logD - 4.6) +
                      0.3 * (0.5 - csf) * (1 - csf) * (1 - csf) * (logD - 4.6);
    const double r3 = std::pow(0.65 - csf / 2.83 * std::tanh(logD - 4.6), 1 + (3.5 - shape.roundness) / 2.5);
    return r3 * std::pow(10.0, r1 + r2);
}

double reducedGravity(double particleDensity, const WaterProperties& water, double gravity) {
    return std::fabs(particleDensity - water.density) / water.density * gravity;
}

} // namespace

SettlingVelocity::Shape SettlingVelocity::shapeOf(ParticleShape shape) {
    switch (shape) {
    case ParticleShape::fragment:
        return {0.7, 3.5}; // Dietrich's natural sand grain
    case ParticleShape::fibre:
        return {0.2, 3.5}; // the flattest of Dietrich's fitted range
    case ParticleShape::sphere:
        break;
    }
    return {1.0, 6.0};
}

double SettlingVelocity::stokes(double diameter, double densityDifference, double gravity, double viscosity) {
    return densityDifference * gravity * diameter * diameter / (18 * viscosity);
}

double SettlingVelocity::dietrich(double diameter, double particleDensity, const WaterProperties& water,
                                  double gravity, Shape shape) {
    const double nu = water.kinematicViscosity();
    const double rg = reducedGravity(particleDensity, water, gravity);
    const double dimensionlessDiameter = rg * diameter * diameter * diameter / (nu * nu);
    return std::cbrt(dimensionlessVelocity(std::log10(dimensionlessDiameter), shape) * rg * nu);
}

double SettlingVelocity::of(double diameter, double particleDensity, const WaterProperties& water,
                            double gravity, Shape shape) {
    const double difference = particleDensity - water.density;
    if (diameter <= 0 || difference == 0 || gravity <= 0) {
        return 0.0;
    }
    if (diameter >= switchDiameter(particleDensity, water, gravity)) {
        return std::copysign(dietrich(diameter, particleDensity, water, gravity, shape), difference);
    }
    // Below the switch the drag is linear in the velocity: Stokes' d² law, carrying the shape's slowing at
    // the switch so that both branches meet.
    const double shapeSlowing =
        std::cbrt(dimensionlessVelocity(switchLog10Dimensionless, shape) /
                  dimensionlessVelocity(switchLog10Dimensionless, shapeOf(ParticleShape::sphere)));
    return stokes(diameter, difference, gravity, water.viscosity) * shapeSlowing;
}

double SettlingVelocity::switchDiameter(double particleDensity, const WaterProperties& water,
                                        double gravity) {
    const double nu = water.kinematicViscosity();
    return std::cbrt(std::pow(10.0, switchLog10Dimensionless) * nu * nu /
                     reducedGravity(particleDensity, water, gravity));
}

} // namespace pelagrin
