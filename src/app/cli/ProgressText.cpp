// ProgressText: durations and rates.
#include "app/cli/ProgressText.hpp"

#include <cstdint>
#include <fmt/format.h>

namespace pelagrin {

std::string formatDuration(double seconds) {
    if (seconds < 60.0) {
        return fmt::format("{:.1f}s", seconds);
    }
    const auto whole = static_cast<std::int64_t>(seconds);
    const std::int64_t h = whole / 3600;
    const std::int64_t m = whole / 60 % 60;
    const std::int64_t s = whole % 60;
    return h > 0 ? fmt::format("{}h {:02}m {:02}s", h, m, s) : fmt::format("{}m {:02}s", m, s);
}

std::string formatMetricRate(double perSecond) {
    if (perSecond >= 1e6) {
        return fmt::format("{:.2f}M", perSecond / 1e6);
    }
    if (perSecond >= 1e3) {
        return fmt::format("{:.1f}k", perSecond / 1e3);
    }
    return fmt::format("{:.0f}", perSecond);
}

} // namespace pelagrin
