// Fresh water's density and viscosity from temperature.
#include "simulation/physical/WaterProperties.hpp"

#include <cmath>

namespace pelagrin {

WaterProperties WaterProperties::at(double celsius) {
    // Tanaka's five-constant fit of the density around its maximum near 4 °C.
    constexpr double a1 = -3.983035;
    constexpr double a2 = 301.797;
    constexpr double a3 = 522528.9;
    constexpr double a4 = 69.34881;
    constexpr double a5 = 999.974950;
    const double shifted = celsius + a1;
    const double density = a5 * (1 - shifted * shifted * (celsius + a2) / (a3 * (celsius + a4)));

    // The Vogel form follows the viscosity's steep fall with temperature with three constants.
    const double kelvin = celsius + 273.15;
    const double viscosity = 2.414e-5 * std::pow(10.0, 247.8 / (kelvin - 140.0));
    return {density, viscosity};
}

} // namespace pelagrin
