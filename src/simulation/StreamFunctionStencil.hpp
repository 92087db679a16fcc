// The stream function's four central-difference samples around a point, in a portable and an AVX2 kernel.
#pragma once

#include "simulation/Vec2.hpp"

#include <array>
#include <cstdint>

namespace pelagrin::detail {

/// One octave of the stream function at a fixed time: its spatial scale and weight, and the noise's third
/// coordinate (the scaled time) already split into lattice cell, fraction and fade.
struct StencilOctave {
    double scale; // metres per noise cell
    double weight;
    std::int32_t timeCell; // 0..255
    double timeFraction;   // [0, 1)
    double timeFade;
};

using StencilOctaves = std::array<StencilOctave, 3>;
using Permutation = std::array<std::int32_t, 512>;

/// The stream function 60 n(x/300) + 20 n(x/100) + 5 n(x/25) at (x + 1, y), (x - 1, y), (x, y + 1), (x, y -
/// 1) of `pointM` (metres), each sample exactly as one noise evaluation after another would give it.
void streamFunctionStencilScalar(const Permutation& permutation, const StencilOctaves& octaves, Vec2 pointM,
                                 double out[4]);

/// The same four samples side by side in the lanes of one AVX2 register; bit for bit the scalar result.
/// Requires |x|, |y| / 25 below 2^30 and a processor with AVX2 (`hasAvx2`).
void streamFunctionStencilAvx2(const Permutation& permutation, const StencilOctaves& octaves, Vec2 pointM,
                               double out[4]);

/// Whether this processor runs the AVX2 kernel.
bool hasAvx2();

} // namespace pelagrin::detail
