// MemberProgressBar: what an ensemble shows while its members run.
#pragma once

#include "app/cli/ProgressLine.hpp"
#include "ensemble/EnsembleRunner.hpp"

#include <cstddef>
#include <cstdio>

namespace pelagrin {

/// Reports on `out` the members done of `memberCount`, the particle-steps per second and the time left
/// (extrapolated from the members done): on a terminal a bar redrawn at most ten times a second, elsewhere
/// a plain line every ten seconds and whenever a member has finished.
class MemberProgressBar {
public:
    MemberProgressBar(std::FILE* out, std::size_t memberCount);
    void update(const EnsembleProgress& progress);
    /// The last report, unless a plain line already told it; closes the bar's line.
    void finish();

private:
    void report();

    ProgressLine line_;
    std::size_t memberCount_;
    EnsembleProgress progress_;
    std::size_t reportedDone_ = 0; ///< members done as of the last report
};

} // namespace pelagrin
