// MemberDispatch: a window of three counts on rank 0, taken from and added to atomically by every rank.
#include "ensemble/MemberDispatch.hpp"

#include <algorithm>
#include <array>
#include <mpi.h>

namespace pelagrin {

namespace {

// The window's counts, in order.
constexpr MPI_Aint takenSlot = 0;    // members taken by any rank
constexpr MPI_Aint progressSlot = 1; // members done, then particle-steps run, over all ranks
constexpr std::size_t slotCount = 3;

} // namespace

struct MemberDispatch::Window {
    MPI_Win handle = MPI_WIN_NULL;
};

MemberDispatch::MemberDispatch(const MpiWorld& world, std::size_t memberCount)
    : memberCount_(memberCount), window_(std::make_unique<Window>()) {
    const bool isHolder = world.rank() == 0;
    std::int64_t* slots = nullptr;
    MPI_Win_allocate(isHolder ? static_cast<MPI_Aint>(slotCount * sizeof(std::int64_t)) : 0,
                     sizeof(std::int64_t), MPI_INFO_NULL, MPI_COMM_WORLD, &slots, &window_->handle);
    // One access epoch to every rank for the window's whole life; the counts start at 0 before any rank
    // reaches them.
    MPI_Win_lock_all(0, window_->handle);
    if (isHolder) {
        std::fill_n(slots, slotCount, 0);
        MPI_Win_sync(window_->handle);
    }
    MPI_Barrier(MPI_COMM_WORLD);
}

MemberDispatch::~MemberDispatch() {
    MPI_Win_unlock_all(window_->handle);
    MPI_Win_free(&window_->handle);
}

std::optional<std::size_t> MemberDispatch::next() {
    const std::lock_guard lock(mutex_);
    const std::int64_t one = 1;
    std::int64_t taken = 0;
    MPI_Fetch_and_op(&one, &taken, MPI_INT64_T, 0, takenSlot, MPI_SUM, window_->handle);
    MPI_Win_flush(0, window_->handle);
    const auto member = static_cast<std::size_t>(taken);
    return member < memberCount_ ? std::optional(member) : std::nullopt;
}

EnsembleProgress MemberDispatch::share(const EnsembleProgress& mine) {
    const std::lock_guard lock(mutex_);
    const std::array<std::int64_t, 2> added{static_cast<std::int64_t>(mine.membersDone - shared_.membersDone),
                                            mine.particleSteps - shared_.particleSteps};
    std::array<std::int64_t, 2> before{};
    MPI_Get_accumulate(added.data(), 2, MPI_INT64_T, before.data(), 2, MPI_INT64_T, 0, progressSlot, 2,
                       MPI_INT64_T, MPI_SUM, window_->handle);
    MPI_Win_flush(0, window_->handle);
    shared_ = mine;
    return {static_cast<std::size_t>(before[0] + added[0]), before[1] + added[1]};
}

} // namespace pelagrin
