// Deposit: when a particle of a run came to rest on the shore or first reached the bed.
#pragma once

#include <cmath>
#include <limits>

namespace pelagrin {

/// The deposit times of one particle, in simulation seconds; NaN while it has not happened. Kept beside the
/// particle by the engine and set in the step that sets the particle's flag.
struct Deposit {
    /// Time the particle stranded (its `isStuck` was set), s.
    double strandedAt = std::numeric_limits<double>::quiet_NaN();
    /// Time the particle first lay on the bottom (its `isSedimented` was first set), s; kept if it lifts off.
    double sedimentedAt = std::numeric_limits<double>::quiet_NaN();

    bool hasStranded() const { return !std::isnan(strandedAt); }
    bool hasSedimented() const { return !std::isnan(sedimentedAt); }
};

} // namespace pelagrin
