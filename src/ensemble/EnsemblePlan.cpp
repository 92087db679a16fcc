// EnsemblePlan: the members' seeds and their values, by Latin hypercube or on a grid.
#include "ensemble/EnsemblePlan.hpp"

#include "simulation/RandomSource.hpp"

#include <cmath>
#include <fmt/format.h>
#include <numeric>
#include <optional>
#include <random>

namespace pelagrin {

namespace {

/// A uniform draw in [0, 1) from the top 53 bits, the same on every platform (the standard distributions
/// are not).
double unitDraw(std::mt19937_64& generator) {
    return static_cast<double>(generator() >> 11) * 0x1.0p-53;
}

/// The whole n with n^dimensions == memberCount, if any.
std::optional<std::size_t> gridSide(std::size_t dimensions, std::size_t memberCount) {
    const auto side = static_cast<std::size_t>(
        std::llround(std::pow(static_cast<double>(memberCount), 1.0 / static_cast<double>(dimensions))));
    for (std::size_t candidate = side > 1 ? side - 1 : 1; candidate <= side + 1; ++candidate) {
        std::size_t power = 1;
        for (std::size_t d = 0; d < dimensions && power <= memberCount; ++d) {
            power *= candidate;
        }
        if (power == memberCount) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::vector<std::vector<double>> gridShares(std::size_t dimensions, std::size_t memberCount) {
    const std::optional<std::size_t> side = gridSide(dimensions, memberCount);
    if (!side) {
        throw VariationError(fmt::format(
            "--grid over {} varied parameters needs --members n^{} for a whole n (n values of each), got {}",
            dimensions, dimensions, memberCount));
    }
    std::vector<std::vector<double>> shares(memberCount, std::vector<double>(dimensions));
    for (std::size_t k = 0; k < memberCount; ++k) {
        std::size_t rest = k;
        for (std::size_t d = dimensions; d-- > 0;) {
            const std::size_t step = rest % *side;
            rest /= *side;
            shares[k][d] = *side == 1 ? 0.5 : static_cast<double>(step) / static_cast<double>(*side - 1);
        }
    }
    return shares;
}

} // namespace

std::vector<std::vector<double>> latinHypercube(std::size_t dimensions, std::size_t memberCount,
                                                std::uint64_t seed) {
    std::mt19937_64 generator(seed);
    std::vector<std::vector<double>> shares(memberCount, std::vector<double>(dimensions));
    std::vector<std::size_t> strata(memberCount);
    for (std::size_t d = 0; d < dimensions; ++d) {
        // Fisher–Yates, spelled out so that every platform shuffles alike.
        std::iota(strata.begin(), strata.end(), std::size_t{0});
        for (std::size_t i = memberCount; i > 1; --i) {
            std::swap(strata[i - 1], strata[generator() % i]);
        }
        for (std::size_t k = 0; k < memberCount; ++k) {
            shares[k][d] =
                (static_cast<double>(strata[k]) + unitDraw(generator)) / static_cast<double>(memberCount);
        }
    }
    return shares;
}

EnsemblePlan EnsemblePlan::make(std::uint64_t baseSeed, std::size_t memberCount,
                                std::vector<Variation> variations, bool isGrid) {
    if (memberCount < 1 || memberCount > maxMembers) {
        throw VariationError(fmt::format("--members must be from 1 to {}, got {}", maxMembers, memberCount));
    }
    if (baseSeed > RandomSource::maxSeed - (memberCount - 1)) {
        throw VariationError(fmt::format("--seed {} with {} members goes past the largest seed, {}", baseSeed,
                                         memberCount, RandomSource::maxSeed));
    }
    if (isGrid && variations.empty()) {
        throw VariationError("--grid needs at least one --vary");
    }
    const std::vector<std::vector<double>> shares =
        isGrid ? gridShares(variations.size(), memberCount)
               : latinHypercube(variations.size(), memberCount, baseSeed);
    EnsemblePlan plan{baseSeed, std::move(variations), {}};
    for (std::size_t k = 0; k < memberCount; ++k) {
        MemberDraw member{baseSeed + k, {}};
        for (std::size_t d = 0; d < plan.variations.size(); ++d) {
            member.values.push_back(plan.variations[d].valueAt(shares[k][d]));
        }
        plan.members.push_back(std::move(member));
    }
    return plan;
}

} // namespace pelagrin
