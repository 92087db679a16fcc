// MpiWorld: initialisation on demand, and a gather of encoded results by their sizes.
#include "ensemble/MpiWorld.hpp"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <mpi.h>
#include <stdexcept>

namespace pelagrin {

std::unique_ptr<MpiWorld> MpiWorld::joinIfLaunched() {
    if (std::getenv("OMPI_COMM_WORLD_SIZE") == nullptr) {
        return nullptr;
    }
    // Member threads take their next member themselves, one call at a time (MemberDispatch serialises
    // them).
    int provided = 0;
    MPI_Init_thread(nullptr, nullptr, MPI_THREAD_SERIALIZED, &provided);
    if (provided < MPI_THREAD_SERIALIZED) {
        MPI_Finalize();
        throw std::runtime_error("this MPI library cannot be called from the member threads (it offers no "
                                 "MPI_THREAD_SERIALIZED)");
    }
    int rank = 0;
    int size = 1;
    MPI_Comm_rank(MPI_COMM_WORLD, &rank);
    MPI_Comm_size(MPI_COMM_WORLD, &size);
    return std::unique_ptr<MpiWorld>(new MpiWorld(rank, size));
}

MpiWorld::~MpiWorld() {
    MPI_Finalize();
}

int MpiWorld::localSize() {
    const char* text = std::getenv("OMPI_COMM_WORLD_LOCAL_SIZE");
    const int size = text != nullptr ? std::atoi(text) : 1;
    return std::max(1, size);
}

std::uint64_t MpiWorld::broadcast(std::uint64_t value) const {
    MPI_Bcast(&value, 1, MPI_UINT64_T, 0, MPI_COMM_WORLD);
    return value;
}

void MpiWorld::abort(int status) const {
    MPI_Abort(MPI_COMM_WORLD, status);
    std::exit(status); // MPI_Abort does not return; this tells the compiler so
}

std::vector<MemberResult> MpiWorld::gather(std::span<const MemberResult> mine, GatherCost& cost) const {
    // The ranks meet first, so that the time measured is the gather's and not the wait for the slowest rank.
    MPI_Barrier(MPI_COMM_WORLD);
    const double start = MPI_Wtime();
    const std::vector<std::uint8_t> bytes = MemberResult::encode(mine);
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        throw std::length_error("a rank's member results exceed the 2 GiB one gather can carry");
    }
    const int size = static_cast<int>(bytes.size());
    std::vector<int> sizes(rank_ == 0 ? static_cast<std::size_t>(size_) : 0);
    MPI_Gather(&size, 1, MPI_INT, sizes.data(), 1, MPI_INT, 0, MPI_COMM_WORLD);
    std::vector<int> offsets(sizes.size());
    std::size_t total = 0;
    for (std::size_t r = 0; r < sizes.size(); ++r) {
        offsets[r] = static_cast<int>(total);
        total += static_cast<std::size_t>(sizes[r]);
        if (total > static_cast<std::size_t>(INT_MAX)) {
            throw std::length_error("the member results exceed the 2 GiB one gather can carry");
        }
    }
    std::vector<std::uint8_t> all(total);
    MPI_Gatherv(bytes.data(), size, MPI_BYTE, all.data(), sizes.data(), offsets.data(), MPI_BYTE, 0,
                MPI_COMM_WORLD);
    std::vector<MemberResult> results;
    for (std::size_t r = 0; r < sizes.size(); ++r) {
        std::vector<MemberResult> part = MemberResult::decode(
            std::span(all).subspan(static_cast<std::size_t>(offsets[r]), static_cast<std::size_t>(sizes[r])));
        std::move(part.begin(), part.end(), std::back_inserter(results));
    }
    std::sort(results.begin(), results.end(),
              [](const MemberResult& a, const MemberResult& b) { return a.index < b.index; });
    cost = {total, MPI_Wtime() - start};
    return results;
}

} // namespace pelagrin
