// RunProgress: what a headless run shows while it goes, a redrawn bar on a terminal or plain lines.
#pragma once

#include "app/cli/ProgressLine.hpp"

#include <cstdint>
#include <cstdio>

namespace pelagrin {

/// Reports the frames of one run on `out`: on a terminal a bar redrawn in place at most ten times a second,
/// elsewhere one plain line per second, so a log stays readable.
class RunProgress {
public:
    /// `totalDuration` in s of simulation time (positive); `particleCount` particles per engine step.
    RunProgress(std::FILE* out, double totalDuration, std::int64_t particleCount);

    /// One published frame: the simulation time it reached (s) and the engine steps it ran.
    void frame(double time, int steps);
    /// The last report, whatever the time since the previous one, closing the bar's line.
    void finish();

private:
    void report();

    ProgressLine line_;
    double totalDuration_;
    std::int64_t particleCount_;
    double time_ = 0.0;
    std::int64_t frames_ = 0;
    std::int64_t particleSteps_ = 0;
};

} // namespace pelagrin
