// Uniform draws on closed intervals.
#include "simulation/RandomSource.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace pelagrin {

namespace {

std::uint64_t osSeed() {
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

} // namespace

RandomSource::RandomSource() : generator_(osSeed()) {}

RandomSource::RandomSource(std::uint64_t seed) : generator_(seed) {}

std::uint64_t RandomSource::freshSeed() {
    return osSeed() & maxSeed;
}

std::optional<std::uint64_t> RandomSource::seedFromText(std::string_view text) {
    // Digits only: a conversion that takes a sign would wrap "-1" round to 2^64 - 1.
    if (text.empty() || text.size() > 16 || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char digit : text) {
        value = value * 10 + static_cast<std::uint64_t>(digit - '0');
    }
    return value <= maxSeed ? std::optional(value) : std::nullopt;
}

double RandomSource::uniformRandom(double a, double b) {
    assert(std::isfinite(a) && std::isfinite(b) && a <= b);
    // A whole number k uniform in [0, 2^53], both ends included, scaled onto [a, b]: every one of the 2^53 +
    // 1 grid points is equally likely, so both ends of the interval can come up, as a closed interval asks.
    constexpr std::uint64_t kSteps = std::uint64_t{1} << 53;
    std::uniform_int_distribution<std::uint64_t> grid(0, kSteps);
    const double unit = static_cast<double>(grid(generator_)) / static_cast<double>(kSteps);
    // a + (b - a) × 1 can round past b; the clamp keeps the result inside the interval.
    return std::min(a + (b - a) * unit, b);
}

} // namespace pelagrin
