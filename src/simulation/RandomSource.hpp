// RandomSource: the engine's uniform random numbers, unseeded by default, seedable for reproducible runs.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string_view>

namespace pelagrin {

/// A source of independent uniform draws. Default-constructed it is seeded by the operating system, so two
/// runs differ; constructed with a seed it repeats its sequence exactly, which tests and reproducible runs
/// use.
class RandomSource {
public:
    /// The largest seed a run takes: every seed up to it is exact in a JSON number, whoever reads the file.
    static constexpr std::uint64_t maxSeed = (std::uint64_t{1} << 53) - 1;

    RandomSource();
    explicit RandomSource(std::uint64_t seed);

    /// A seed from the operating system within [0, maxSeed], so that a run can say which seed it had.
    static std::uint64_t freshSeed();
    /// The seed `text` writes in decimal digits alone, within [0, maxSeed]; absent for any other text.
    static std::optional<std::uint64_t> seedFromText(std::string_view text);

    /// A uniform 64-bit float in the closed interval [a, b], both ends possible. Requires a <= b, both
    /// finite.
    double uniformRandom(double a, double b);

private:
    std::mt19937_64 generator_;
};

} // namespace pelagrin
