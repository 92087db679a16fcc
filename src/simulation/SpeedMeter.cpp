// SpeedMeter: the moving window of frame samples and the rate over it.
#include "simulation/SpeedMeter.hpp"

#include <cassert>

namespace pelagrin {

SpeedMeter::SpeedMeter(std::chrono::nanoseconds window, std::chrono::nanoseconds shortest)
    : window_(window), shortest_(shortest) {
    assert(window > std::chrono::nanoseconds::zero() && shortest <= window);
}

void SpeedMeter::record(TimePoint wall, double simTime) {
    assert(samples_.empty() || wall >= samples_.back().wall);
    samples_.push_back({wall, simTime});
    // The oldest sample kept is the last one at or before the window's start, so the span covers the window.
    while (samples_.size() > 2 && wall - samples_[1].wall >= window_) {
        samples_.pop_front();
    }
}

std::optional<double> SpeedMeter::rate() const {
    if (samples_.size() < 2) {
        return std::nullopt;
    }
    const std::chrono::duration<double> span = samples_.back().wall - samples_.front().wall;
    if (span < shortest_) {
        return std::nullopt;
    }
    return (samples_.back().simTime - samples_.front().simTime) / span.count();
}

} // namespace pelagrin
