// SpeedUnit: the choice between m/s and mm/s, and a speed printed in it.
#include "app/analysis/SpeedUnit.hpp"

#include <cmath>
#include <fmt/format.h>

namespace pelagrin {

SpeedUnit SpeedUnit::fitting(double metersPerSecond) {
    if (std::abs(metersPerSecond) < 0.1) {
        return {"mm/s", 1000.0, 1};
    }
    return {"m/s", 1.0, 2};
}

std::string speedText(double metersPerSecond) {
    const SpeedUnit unit = SpeedUnit::fitting(metersPerSecond);
    return fmt::format("{:.{}f} {}", metersPerSecond * unit.perMeterPerSec, unit.decimals, unit.name);
}

} // namespace pelagrin
