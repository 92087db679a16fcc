// SpeedUnit: the unit a speed of the analysis screen reads best in, m/s or mm/s.
#pragma once

#include <string>

namespace pelagrin {

/// A unit of speed as the analysis screen prints it.
struct SpeedUnit {
    const char* name;      ///< "m/s" or "mm/s"
    double perMeterPerSec; ///< how many of the unit make 1 m/s
    int decimals;          ///< decimals of a single figure in this unit

    /// The unit for speeds up to `metersPerSecond`: mm/s below 0.1 m/s, where m/s would print mostly zeros,
    /// m/s from there (and for a speed that is not finite).
    static SpeedUnit fitting(double metersPerSecond);
};

/// `metersPerSecond` in its fitting unit: "12.3 mm/s", "0.45 m/s", "inf m/s".
std::string speedText(double metersPerSecond);

} // namespace pelagrin
