// MpiWorld: the processes of an ensemble started under mpirun, and the gathering of their members on rank 0.
#pragma once

#include "ensemble/MemberResult.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace pelagrin {

/// What one gather moved: the bytes that reached rank 0 and the wall-clock time it took once every rank was
/// ready.
struct GatherCost {
    std::size_t bytes = 0;
    double seconds = 0.0;
};

/// MPI, joined only by a process that mpirun started (Open MPI sets OMPI_COMM_WORLD_SIZE), so that the app
/// and a plain `pelagrin ensemble` never start it. Finalised when destroyed.
class MpiWorld {
public:
    /// The world when this process runs under mpirun; null otherwise. Throws std::runtime_error when the
    /// library cannot take calls from more than one thread.
    static std::unique_ptr<MpiWorld> joinIfLaunched();
    ~MpiWorld();
    MpiWorld(const MpiWorld&) = delete;
    MpiWorld& operator=(const MpiWorld&) = delete;

    int rank() const { return rank_; }
    int size() const { return size_; }
    /// Processes of this world on this machine, from mpirun's environment (at least 1).
    static int localSize();

    /// Every rank hands in its results; rank 0 gets all of them back in member order, the others none. Each
    /// rank's share is bounded by 2 GiB of encoded results.
    std::vector<MemberResult> gather(std::span<const MemberResult> mine, GatherCost& cost) const;
    /// Rank 0's `value`, on every rank.
    std::uint64_t broadcast(std::uint64_t value) const;
    /// Ends every rank with `status`, for a failure the others would otherwise wait on forever.
    [[noreturn]] void abort(int status) const;

private:
    MpiWorld(int rank, int size) : rank_(rank), size_(size) {}
    int rank_ = 0;
    int size_ = 1;
};

} // namespace pelagrin
