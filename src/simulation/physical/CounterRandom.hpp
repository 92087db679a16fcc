// CounterRandom: random draws that are a pure function of a key, a step, a particle and a slot, so that a run
// is the same however its particles are shared over threads.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>

namespace pelagrin {

/// Stateless: every draw hashes its coordinates with the key (two rounds of the SplitMix64 finaliser), so
/// no draw depends on which others were made before it.
class CounterRandom {
public:
    explicit CounterRandom(std::uint64_t key = 0) : key_(key) {}

    /// A uniform draw from [0, 1), on a grid of 2^-53.
    double uniform(std::uint64_t step, std::uint64_t particle, std::uint32_t slot) const {
        return static_cast<double>(bits(step, particle, slot) >> 11) * 0x1p-53;
    }

    /// Two independent standard normal draws (Box–Muller over two 32-bit uniforms, so |N| < 6.7).
    std::pair<double, double> normalPair(std::uint64_t step, std::uint64_t particle,
                                         std::uint32_t slot) const {
        const std::uint64_t h = bits(step, particle, slot);
        const double u1 = static_cast<double>((h >> 32) + 1) * 0x1p-32; // (0, 1]: the logarithm stays finite
        const double u2 = static_cast<double>(h & 0xffffffffu) * 0x1p-32;
        const double r = std::sqrt(-2 * std::log(u1));
        const double angle = 2 * std::numbers::pi * u2;
        return {r * std::cos(angle), r * std::sin(angle)};
    }

private:
    static std::uint64_t mix(std::uint64_t x) {
        x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9u;
        x = (x ^ (x >> 27)) * 0x94d049bb133111ebu;
        return x ^ (x >> 31);
    }
    std::uint64_t bits(std::uint64_t step, std::uint64_t particle, std::uint32_t slot) const {
        const std::uint64_t first = mix(key_ + step * 0x9e3779b97f4a7c15u);
        return mix(first ^ (particle * 0xd1b54a32d192ed03u + slot));
    }

    std::uint64_t key_;
};

} // namespace pelagrin
