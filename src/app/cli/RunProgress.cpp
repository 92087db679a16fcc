// RunProgress: a run's figures, reported at most so often.
#include "app/cli/RunProgress.hpp"

#include "app/cli/ProgressText.hpp"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>
#include <string>
#include <unistd.h>

namespace pelagrin {

RunProgress::RunProgress(std::FILE* out, double totalDuration, std::int64_t particleCount)
    : out_(out), isTerminal_(isatty(fileno(out)) == 1), totalDuration_(totalDuration),
      particleCount_(particleCount) {}

void RunProgress::frame(double time, int steps) {
    time_ = time;
    ++frames_;
    particleSteps_ += steps * particleCount_;
    const auto interval = isTerminal_ ? std::chrono::milliseconds(100) : std::chrono::milliseconds(1000);
    if (std::chrono::steady_clock::now() - reportedAt_ >= interval) {
        report();
    }
}

void RunProgress::finish() {
    report();
    if (isTerminal_) {
        std::fputc('\n', out_);
    }
    std::fflush(out_);
}

void RunProgress::report() {
    reportedAt_ = std::chrono::steady_clock::now();
    const double elapsed = std::chrono::duration<double>(reportedAt_ - startedAt_).count();
    const double share = std::clamp(time_ / totalDuration_, 0.0, 1.0);
    const std::string figures =
        fmt::format("{:3.0f}%  {} of {}  {} frames  {} particle-steps/s", share * 100.0,
                    formatDuration(time_), formatDuration(totalDuration_), frames_,
                    formatMetricRate(elapsed > 0.0 ? static_cast<double>(particleSteps_) / elapsed : 0.0));
    drawProgress(out_, isTerminal_, share, figures);
}

} // namespace pelagrin
