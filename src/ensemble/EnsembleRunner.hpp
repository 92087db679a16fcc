// EnsembleRunner: members of an ensemble run side by side over the machine's cores.
#pragma once

#include "ensemble/MemberRun.hpp"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace pelagrin {

/// How far a batch of members has come.
struct EnsembleProgress {
    std::size_t membersDone = 0;    ///< members finished so far
    std::int64_t particleSteps = 0; ///< particle-steps run so far, over all members
};

/// Hands a batch's member threads their next member: its index, or none once the batch is used up. Called
/// from several member threads at once.
using NextMember = std::function<std::optional<std::size_t>()>;

/// Runs the members `nextMember` hands out, at most `memberCount` of them, of `setup` (its project read first
/// when it has none) on `threadCount` threads (at least 1): min(threadCount, memberCount) members at a time,
/// each on a thread of its own that takes the next member as soon as it is free, and whose engine shares out
/// its steps over threadCount / that many threads (at least its own). A member's run does not depend on the
/// pool it steps on, so neither do the results. Calls `onProgress` on the calling thread about ten times a
/// second. Once `stopRequested` is set the running members end early and no more are taken. Returns the
/// finished members' results in member order; rethrows the first error of a member that could not run (the
/// others stopped), or of reading the project.
std::vector<MemberResult> runMembers(const EnsembleSetup& setup, const NextMember& nextMember,
                                     std::size_t memberCount, unsigned threadCount,
                                     std::atomic<bool>& stopRequested,
                                     const std::function<void(const EnsembleProgress&)>& onProgress);

/// The same for the members `indices`, taken in their order.
std::vector<MemberResult> runMembers(const EnsembleSetup& setup, std::span<const std::size_t> indices,
                                     unsigned threadCount, std::atomic<bool>& stopRequested,
                                     const std::function<void(const EnsembleProgress&)>& onProgress);

} // namespace pelagrin
