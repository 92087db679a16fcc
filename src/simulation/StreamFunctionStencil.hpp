// The stream function's four central-difference samples around a point, in a portable and an AVX2 kernel.
#pragma once

#include "simulation/Vec2.hpp"

#include <array>
#include <cstdint>
#include <span>

namespace pelagrin::detail {

/// The noise table as bytes: a permutation of 0..255 followed by the same 256 entries.
using Permutation = std::array<std::uint8_t, 512>;

/// One octave of the stream function at a fixed time: its spatial scale and weight, and what the noise's
/// third coordinate (the scaled time) contributes, worked out once for every point of the step.
struct StencilOctave {
    double scale; // metres per noise cell
    double weight;
    double timeFraction; // [0, 1)
    double timeFade;
    /// For a row hash a = P[X] + Y (0..511): the gradient numbers (hash & 15) of the near corner,
    /// P[P[a] + Z], in the low nibble and of the far corner, P[P[a] + Z + 1], in the high nibble, Z being the
    /// time's lattice cell. A point's eight corner hashes are then four reads of this table.
    std::array<std::uint8_t, 512> cornerHashes;
};

using StencilOctaves = std::array<StencilOctave, 3>;

/// The octave of `scale` and `weight` with the noise's third coordinate `z` (finite, asserted; its floor
/// within a signed 64-bit integer) split into cell, fraction and fade.
StencilOctave makeStencilOctave(const Permutation& permutation, double scale, double weight, double z);

/// The stream function at the four central-difference neighbours of a point: (x + 1, y), (x - 1, y),
/// (x, y + 1), (x, y - 1).
using StencilSamples = std::array<double, 4>;

/// The stream function 60 n(x/300) + 20 n(x/100) + 5 n(x/25) around each of `pointsM` (metres) into the same
/// place of `out` (as long as `pointsM`), each sample exactly as one noise evaluation after another would
/// give it.
void streamFunctionStencilScalar(const Permutation& permutation, const StencilOctaves& octaves,
                                 std::span<const Vec2> pointsM, std::span<StencilSamples> out);

/// The same samples, the four of a point side by side in the lanes of one AVX2 register; bit for bit the
/// scalar result. Requires |x|, |y| / 25 below 2^30 for every point and a
/// processor with AVX2 (`hasAvx2`).
void streamFunctionStencilAvx2(const Permutation& permutation, const StencilOctaves& octaves,
                               std::span<const Vec2> pointsM, std::span<StencilSamples> out);

/// Whether this processor runs the AVX2 kernel.
bool hasAvx2();

} // namespace pelagrin::detail
