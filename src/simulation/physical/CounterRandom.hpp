// CounterRandom: random draws that are a pure function of a key, a step, a particle and a slot, so that a run
// is the same however its particles are shared over threads.
#pragma once

#include <cmath>
#include <cstdint>
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

    /// Two independent standard normal draws, by Marsaglia's polar method over pairs of 32-bit uniforms: a
    /// logarithm and a square root, no trigonometry. Rejected pairs (a fifth) draw again under the next
    /// slot numbers, `slot` + 64 k, which no other draw uses.
    std::pair<double, double> normalPair(std::uint64_t step, std::uint64_t particle,
                                         std::uint32_t slot) const {
        for (std::uint32_t attempt = 0;; attempt += 64) {
            const std::uint64_t h = bits(step, particle, slot + attempt);
            const double u = static_cast<double>(h >> 32) * 0x1p-31 - 1;
            const double v = static_cast<double>(h & 0xffffffffu) * 0x1p-31 - 1;
            const double s = u * u + v * v;
            if (s > 0 && s < 1) {
                const double factor = std::sqrt(-2 * std::log(s) / s);
                return {u * factor, v * factor};
            }
        }
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
