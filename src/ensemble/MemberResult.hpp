// MemberResult: what one finished member of an ensemble hands back, and its bytes for another process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pelagrin {

/// One member's run, as complete as the results need it; identical whichever process ran it.
struct MemberResult {
    std::size_t index = 0;        ///< 0-based place among the members
    std::uint64_t seed = 0;       ///< the seed it ran with
    std::vector<double> values;   ///< its values of the plan's variations, in their order
    std::string csv;              ///< its timeline, exactly as `pelagrin run --csv` writes it
    std::int64_t stuckCount = 0;  ///< stuck or sedimented particles at the end
    std::int64_t activeCount = 0; ///< particles still drifting at the end
    double timeRunS = 0.0;        ///< simulation time reached, s
    /// Per cell of the project's bed grid (row-major): 1 when a particle of this member lies sedimented
    /// there.
    std::vector<std::uint8_t> bedCells;
    /// Per 100 m stretch of the project's shore, in order: 1 when a particle of this member stranded there.
    std::vector<std::uint8_t> shoreSegments;

    bool operator==(const MemberResult&) const = default;

    /// The results as bytes (MessagePack, doubles exact), for sending between processes.
    static std::vector<std::uint8_t> encode(std::span<const MemberResult> results);
    /// The inverse of `encode`; throws std::invalid_argument for bytes it did not make.
    static std::vector<MemberResult> decode(std::span<const std::uint8_t> bytes);
};

} // namespace pelagrin
