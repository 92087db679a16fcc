// The permutation shuffle and the noise evaluation.
#include "simulation/PerlinNoise.hpp"

#include <cassert>
#include <cmath>
#include <numeric>
#include <utility>

namespace pelagrin {

namespace {

__extension__ typedef unsigned __int128 Uint128; // GCC and Clang both have it; -Wpedantic must be told

/// The 64-bit linear congruential generator of the table shuffle (Knuth's MMIX constants).
class Lcg {
public:
    explicit Lcg(std::uint64_t state) : state_(state) {}

    std::uint64_t next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return state_;
    }

    /// A draw uniform in [0, bound) by Lemire's multiply-and-reject: the high half of draw × bound, redrawn
    /// while the low half falls in the short leftover range that would bias the result.
    std::uint64_t below(std::uint64_t bound) {
        Uint128 product = static_cast<Uint128>(next()) * bound;
        if (static_cast<std::uint64_t>(product) < bound) {
            const std::uint64_t threshold = (0 - bound) % bound; // (2^64 - bound) mod bound
            while (static_cast<std::uint64_t>(product) < threshold) {
                product = static_cast<Uint128>(next()) * bound;
            }
        }
        return static_cast<std::uint64_t>(product >> 64);
    }

private:
    std::uint64_t state_;
};

double fade(double t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

double lerp(double t, double a, double b) {
    return a + t * (b - a);
}

/// The dot product of (a, b, c) with one of twelve edge directions of the cube, picked by the hash.
double grad(std::int64_t hash, double a, double b, double c) {
    const std::int64_t h = hash & 15;
    const double first = h < 8 ? a : b;
    const double second = h < 4 ? b : (h == 12 || h == 14 ? a : c);
    return ((h & 1) == 0 ? first : -first) + ((h & 2) == 0 ? second : -second);
}

/// The lattice cell of a floored coordinate, reduced to the table's 256 entries (cell -1 maps to 255). Worked
/// in floating point, which is exact for every whole number a double holds, so that no coordinate can make
/// an index outside the table; one that is not finite, which the caller must never pass, gives cell 0.
std::int64_t cellOf(double floored) {
    assert(std::isfinite(floored));
    const double cell = floored - 256.0 * std::floor(floored * (1.0 / 256.0));
    return std::isfinite(cell) ? static_cast<std::int64_t>(cell) : 0;
}

} // namespace

PerlinNoise::PerlinNoise(std::int64_t seed) {
    std::array<std::int64_t, 256> p{};
    std::iota(p.begin(), p.end(), 0);

    // Fisher–Yates from the front: position i takes a uniform pick from the 256 - i entries not yet placed.
    Lcg lcg(static_cast<std::uint64_t>(seed));
    for (std::size_t i = 0; i < 255; ++i) {
        const std::size_t j = i + static_cast<std::size_t>(lcg.below(256 - i));
        std::swap(p[i], p[j]);
    }

    for (std::size_t i = 0; i < 512; ++i) {
        permutation_[i] = p[i & 255];
    }
}

double PerlinNoise::noise(double x, double y, double z) const {
    const auto& P = permutation_;

    // Cell and position inside it.
    const double floorX = std::floor(x);
    const double floorY = std::floor(y);
    const double floorZ = std::floor(z);
    const std::int64_t X = cellOf(floorX);
    const std::int64_t Y = cellOf(floorY);
    const std::int64_t Z = cellOf(floorZ);
    const double fx = x - floorX;
    const double fy = y - floorY;
    const double fz = z - floorZ;

    const double u = fade(fx);
    const double v = fade(fy);
    const double w = fade(fz);

    // Hashes of the eight cell corners.
    const std::int64_t A = P[X] + Y;
    const std::int64_t AA = P[A] + Z;
    const std::int64_t AB = P[A + 1] + Z;
    const std::int64_t B = P[X + 1] + Y;
    const std::int64_t BA = P[B] + Z;
    const std::int64_t BB = P[B + 1] + Z;

    // Trilinear blend of the corner gradients.
    return lerp(w,
                lerp(v, lerp(u, grad(P[AA], fx, fy, fz), grad(P[BA], fx - 1, fy, fz)),
                     lerp(u, grad(P[AB], fx, fy - 1, fz), grad(P[BB], fx - 1, fy - 1, fz))),
                lerp(v, lerp(u, grad(P[AA + 1], fx, fy, fz - 1), grad(P[BA + 1], fx - 1, fy, fz - 1)),
                     lerp(u, grad(P[AB + 1], fx, fy - 1, fz - 1), grad(P[BB + 1], fx - 1, fy - 1, fz - 1))));
}

} // namespace pelagrin
