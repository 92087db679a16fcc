// MemberDispatch: the members of an ensemble handed to the ranks of an mpirun as they become free.
#pragma once

#include "ensemble/EnsembleRunner.hpp"
#include "ensemble/MpiWorld.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

namespace pelagrin {

/// One count of the members taken so far for all ranks, with the members done and particle-steps run of all
/// of them, held by rank 0 in a window the others reach without rank 0's part (MPI one-sided operations,
/// passive target). A rank whose threads are free takes the next member, so a faster core runs more members
/// and no rank waits on another's share. Made and destroyed by every rank of `world` together; its calls
/// may come from any thread of the process.
class MemberDispatch {
public:
    MemberDispatch(const MpiWorld& world, std::size_t memberCount);
    ~MemberDispatch();
    MemberDispatch(const MemberDispatch&) = delete;
    MemberDispatch& operator=(const MemberDispatch&) = delete;

    /// The next member no rank has taken yet; none once every member has been taken.
    std::optional<std::size_t> next();
    /// Adds this rank's progress since its previous call to that of all ranks, and returns the sum. Also
    /// lets rank 0 serve the other ranks' requests where the transport needs its help (across machines).
    EnsembleProgress share(const EnsembleProgress& mine);

private:
    struct Window; // the library's handle, kept out of this header as the library is
    std::size_t memberCount_;
    std::mutex mutex_; // the library is called from one thread at a time
    std::unique_ptr<Window> window_;
    EnsembleProgress shared_; ///< this rank's progress as of its previous `share`
};

} // namespace pelagrin
