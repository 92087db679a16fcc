// MemberProgressBar: the members' figures, reported at most so often.
#include "app/cli/MemberProgressBar.hpp"

#include "app/cli/ProgressText.hpp"

#include <fmt/format.h>

namespace pelagrin {

MemberProgressBar::MemberProgressBar(std::FILE* out, std::size_t memberCount)
    : line_(out, std::chrono::milliseconds(10'000)), memberCount_(memberCount) {}

void MemberProgressBar::update(const EnsembleProgress& progress) {
    const bool hasMemberFinished = progress.membersDone != progress_.membersDone;
    progress_ = progress;
    if (line_.isDue() || (hasMemberFinished && !line_.isTerminal())) {
        report();
    }
}

void MemberProgressBar::finish() {
    if (line_.isTerminal() || progress_.membersDone != reportedDone_) {
        report();
    }
    line_.close();
}

void MemberProgressBar::report() {
    reportedDone_ = progress_.membersDone;
    const double elapsed = line_.elapsed();
    const double done = static_cast<double>(progress_.membersDone);
    const double share = memberCount_ > 0 ? done / static_cast<double>(memberCount_) : 1.0;
    const std::string left =
        done > 0 ? formatDuration(elapsed * (static_cast<double>(memberCount_) - done) / done) : "?";
    const std::string figures = fmt::format(
        "{} of {} members  {} particle-steps/s  {} left", progress_.membersDone, memberCount_,
        formatMetricRate(elapsed > 0.0 ? static_cast<double>(progress_.particleSteps) / elapsed : 0.0), left);
    line_.show(share, figures);
}

} // namespace pelagrin
