// MemberProgressBar: the members' figures, reported at most so often.
#include "app/cli/MemberProgressBar.hpp"

#include "app/cli/ProgressText.hpp"

#include <fmt/format.h>
#include <unistd.h>

namespace pelagrin {

MemberProgressBar::MemberProgressBar(std::FILE* out, std::size_t memberCount)
    : out_(out), isTerminal_(isatty(fileno(out)) == 1), memberCount_(memberCount) {}

void MemberProgressBar::update(const EnsembleProgress& progress) {
    const bool hasMemberFinished = progress.membersDone != progress_.membersDone;
    progress_ = progress;
    const auto interval = isTerminal_ ? std::chrono::milliseconds(100) : std::chrono::milliseconds(10'000);
    if (std::chrono::steady_clock::now() - reportedAt_ >= interval || (hasMemberFinished && !isTerminal_)) {
        report();
    }
}

void MemberProgressBar::finish() {
    if (isTerminal_ || progress_.membersDone != reportedDone_) {
        report();
    }
    if (isTerminal_) {
        std::fputc('\n', out_);
    }
    std::fflush(out_);
}

void MemberProgressBar::report() {
    reportedAt_ = std::chrono::steady_clock::now();
    reportedDone_ = progress_.membersDone;
    const double elapsed = std::chrono::duration<double>(reportedAt_ - startedAt_).count();
    const double done = static_cast<double>(progress_.membersDone);
    const double share = memberCount_ > 0 ? done / static_cast<double>(memberCount_) : 1.0;
    const std::string left =
        done > 0 ? formatDuration(elapsed * (static_cast<double>(memberCount_) - done) / done) : "?";
    const std::string figures = fmt::format(
        "{} of {} members  {} particle-steps/s  {} left", progress_.membersDone, memberCount_,
        formatMetricRate(elapsed > 0.0 ? static_cast<double>(progress_.particleSteps) / elapsed : 0.0), left);
    drawProgress(out_, isTerminal_, share, figures);
}

} // namespace pelagrin
