// SpeedMeter: how fast a run's clock goes against the wall clock, over a moving window.
#pragma once

#include <chrono>
#include <deque>
#include <optional>

namespace pelagrin {

/// Measures simulated seconds per wall-clock second from the frames of a run, over the last `window` of wall
/// time. The speed of a run depends on the machine and the particle count, so what a speed choice means is
/// measured, never assumed.
class SpeedMeter {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    /// `window`: the span of wall time the rate is taken over, positive; `shortest`: the least span of the
    /// samples before a rate is given, at most `window`.
    explicit SpeedMeter(std::chrono::nanoseconds window = std::chrono::seconds(3),
                        std::chrono::nanoseconds shortest = std::chrono::seconds(1));

    /// A frame published at wall time `wall` with the run's clock at `simTime`, s. Wall times must not go
    /// backwards between restarts.
    void record(TimePoint wall, double simTime);
    /// Forgets every sample: the speed changed, or the run paused, so older frames say nothing of what
    /// follows.
    void restart() { samples_.clear(); }
    /// Simulated seconds per wall-clock second over the window; absent until the samples span `shortest`.
    std::optional<double> rate() const;

private:
    struct Sample {
        TimePoint wall;
        double simTime;
    };

    std::chrono::nanoseconds window_;
    std::chrono::nanoseconds shortest_;
    std::deque<Sample> samples_;
};

} // namespace pelagrin
