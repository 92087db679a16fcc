// RunProgress: a run's figures, reported at most so often.
#include "app/cli/RunProgress.hpp"

#include "app/cli/ProgressText.hpp"

#include <algorithm>
#include <fmt/format.h>
#include <string>

namespace pelagrin {

RunProgress::RunProgress(std::FILE* out, double totalDuration, std::int64_t particleCount)
    : line_(out, std::chrono::milliseconds(1000)), totalDuration_(totalDuration),
      particleCount_(particleCount) {}

void RunProgress::frame(double time, int steps) {
    time_ = time;
    ++frames_;
    particleSteps_ += steps * particleCount_;
    if (line_.isDue()) {
        report();
    }
}

void RunProgress::finish() {
    report();
    line_.close();
}

void RunProgress::report() {
    const double elapsed = line_.elapsed();
    const double share = std::clamp(time_ / totalDuration_, 0.0, 1.0);
    const std::string figures =
        fmt::format("{:3.0f}%  {} of {}  {} frames  {} particle-steps/s", share * 100.0,
                    formatDuration(time_), formatDuration(totalDuration_), frames_,
                    formatMetricRate(elapsed > 0.0 ? static_cast<double>(particleSteps_) / elapsed : 0.0));
    line_.show(share, figures);
}

} // namespace pelagrin
