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
