// EnsemblePlan: which members an ensemble runs, each with its seed and its values of the varied settings.
#pragma once

#include "ensemble/VariedParameter.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelagrin {

/// One member: a run of the project with its own seed and values.
struct MemberDraw {
    std::uint64_t seed = 0;     ///< the base seed plus the member's 0-based index
    std::vector<double> values; ///< one per variation of the plan, in its order
};

/// Every member of an ensemble, worked out from the seed alone, so that any process that makes the plan from
/// the same arguments makes the same one.
struct EnsemblePlan {
    /// The most members an ensemble may have.
    static constexpr std::size_t maxMembers = 100'000;

    std::uint64_t baseSeed = 0;
    std::vector<Variation> variations;
    std::vector<MemberDraw> members;

    /// `memberCount` members (1 to `maxMembers`) from `baseSeed` (its last member's seed within
    /// `RandomSource::maxSeed`). The values are a Latin hypercube sample: each variation's range cut into
    /// `memberCount` equal strata, each stratum drawn once at a uniform point within it, the strata given to
    /// the members in an order shuffled per variation. With `isGrid`, a regular grid instead: n values per
    /// variation, evenly spaced from LOW to HIGH (the middle alone when n is 1), every combination once, the
    /// first variation changing slowest; `memberCount` must then be n to the power of the variations.
    /// Throws `VariationError` naming what is wrong.
    static EnsemblePlan make(std::uint64_t baseSeed, std::size_t memberCount,
                             std::vector<Variation> variations, bool isGrid);
};

/// A Latin hypercube of `memberCount` points in the unit cube of `dimensions` dimensions: entry [k][d] is
/// member k's share of the way along dimension d, in [0, 1); for each d the strata [i/N, (i+1)/N) each hold
/// exactly one member. Decided by `seed` alone.
std::vector<std::vector<double>> latinHypercube(std::size_t dimensions, std::size_t memberCount,
                                                std::uint64_t seed);

} // namespace pelagrin
