// WaterProperties: fresh water's density and viscosity at a given temperature.
#pragma once

namespace pelagrin {

/// Air-saturated fresh water at atmospheric pressure.
struct WaterProperties {
    /// Density, kg/m³.
    double density = 0.0;
    /// Dynamic viscosity, Pa·s.
    double viscosity = 0.0;

    /// The water at `celsius` °C, within [0, 40] where both fits hold. Density by Tanaka et al. (2001,
    /// Metrologia 38:301), viscosity by the Vogel equation μ = 2.414e-5 × 10^(247.8 / (T − 140)) Pa·s, T in
    /// K, within about 1 % of the tabulated values over that range.
    static WaterProperties at(double celsius);

    /// Kinematic viscosity, m²/s.
    double kinematicViscosity() const { return viscosity / density; }
};

} // namespace pelagrin
