// ProgressLine: the pace of the reports, the bar, and the line's end.
#include "app/cli/ProgressLine.hpp"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>
#include <unistd.h>

namespace pelagrin {

namespace {

constexpr int barWidth = 30;
constexpr std::chrono::milliseconds terminalInterval{100};

} // namespace

ProgressLine::ProgressLine(std::FILE* out, std::chrono::milliseconds pipedInterval)
    : out_(out), isTerminal_(isatty(fileno(out)) == 1),
      interval_(isTerminal_ ? terminalInterval : pipedInterval) {}

bool ProgressLine::isDue() const {
    return std::chrono::steady_clock::now() - reportedAt_ >= interval_;
}

double ProgressLine::elapsed() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - startedAt_).count();
}

void ProgressLine::show(double share, const std::string& figures) {
    reportedAt_ = std::chrono::steady_clock::now();
    if (isTerminal_) {
        const auto filled = static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * barWidth));
        // Redrawn in place; the trailing erase clears what a longer previous line left.
        fmt::print(out_, "\r[{}{}] {}\x1b[K", std::string(filled, '#'), std::string(barWidth - filled, '.'),
                   figures);
    } else {
        fmt::print(out_, "{}\n", figures);
    }
    std::fflush(out_);
}

void ProgressLine::close() {
    if (isTerminal_) {
        std::fputc('\n', out_);
    }
    std::fflush(out_);
}

} // namespace pelagrin
