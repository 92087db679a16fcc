// RunProgress: the bar, the plain lines and the human form of durations and rates.
#include "app/cli/RunProgress.hpp"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>
#include <string>
#include <unistd.h>

namespace pelagrin {

namespace {

constexpr int barWidth = 30;

/// "2h 05m 07s", "4m 30s", "12.5s": simulated time the way a reader thinks of it.
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

/// "850", "12.3k", "4.56M": a rate with a metric prefix.
std::string formatRate(double perSecond) {
    if (perSecond >= 1e6) {
        return fmt::format("{:.2f}M", perSecond / 1e6);
    }
    if (perSecond >= 1e3) {
        return fmt::format("{:.1f}k", perSecond / 1e3);
    }
    return fmt::format("{:.0f}", perSecond);
}

} // namespace

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
                    formatRate(elapsed > 0.0 ? static_cast<double>(particleSteps_) / elapsed : 0.0));
    if (isTerminal_) {
        const auto filled = static_cast<int>(std::lround(share * barWidth));
        // Redrawn in place; the trailing erase clears what a longer previous line left.
        fmt::print(out_, "\r[{}{}] {}\x1b[K", std::string(filled, '#'), std::string(barWidth - filled, '.'),
                   figures);
    } else {
        fmt::print(out_, "{}\n", figures);
    }
    std::fflush(out_);
}

} // namespace pelagrin
