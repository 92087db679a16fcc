// PerlinNoise: the seeded, deterministic 3-D gradient noise behind the turbulent stream function.
#pragma once

#include <array>
#include <cstdint>

namespace pelagrin {

/// Improved Perlin noise (2002) over a permutation table shuffled by a seeded 64-bit LCG.
/// Immutable after construction; the same seed always gives the same table and the same noise.
class PerlinNoise {
public:
    /// Builds the table from `seed` (any value; it is read as an unsigned 64-bit LCG state).
    explicit PerlinNoise(std::int64_t seed);

    /// Noise at (x, y, z): exactly 0 at every integer lattice point, roughly within [-1, 1] elsewhere.
    /// The coordinates must be finite (asserted; in a release build one that is not gives a number that is
    /// not either, never a read outside the table).
    double noise(double x, double y, double z) const;

    /// A permutation of 0..255 followed by the same 256 entries, so indices up to 511 need no wrap.
    const std::array<std::int64_t, 512>& permutation() const { return permutation_; }

private:
    std::array<std::int64_t, 512> permutation_{};
};

} // namespace pelagrin
