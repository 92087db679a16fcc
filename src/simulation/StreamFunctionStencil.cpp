// The portable stencil kernel, the per-step octave tables and the processor check.
#include "simulation/StreamFunctionStencil.hpp"

#include <cassert>
#include <cmath>

namespace pelagrin::detail {

namespace {

/// The noise cell of a floored coordinate, reduced to the table's 256 entries, in floating point: exact for
/// every whole number a double holds, however large. One that is not finite, which the caller must never
/// pass, gives cell 0 rather than an index outside the table.
inline std::int32_t cellOf(double floored) {
    assert(std::isfinite(floored));
    const double cell = floored - 256.0 * std::floor(floored * (1.0 / 256.0));
    return std::isfinite(cell) ? static_cast<std::int32_t>(cell) : 0;
}

inline double fade(double t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

inline double lerp(double t, double a, double b) {
    return a + t * (b - a);
}

inline double grad(std::uint32_t hash, double a, double b, double c) {
    const std::uint32_t h = hash & 15;
    const double first = h < 8 ? a : b;
    const double second = h < 4 ? b : (h == 12 || h == 14 ? a : c);
    return ((h & 1) == 0 ? first : -first) + ((h & 2) == 0 ? second : -second);
}

} // namespace

StencilOctave makeStencilOctave(const Permutation& permutation, double scale, double weight, double z) {
    const double floorZ = std::floor(z);
    const double fraction = z - floorZ;
    StencilOctave octave{scale, weight, fraction, fade(fraction), {}};
    const std::int32_t Z = cellOf(floorZ);
    for (std::size_t a = 0; a < octave.cornerHashes.size(); ++a) {
        const std::int32_t corner = permutation[a] + Z; // at most 510, so corner + 1 needs no wrap
        octave.cornerHashes[a] =
            static_cast<std::uint8_t>((permutation[corner] & 15) | (permutation[corner + 1] & 15) << 4);
    }
    return octave;
}

namespace {

void stencilOfPoint(const Permutation& permutation, const StencilOctaves& octaves, Vec2 pointM,
                    StencilSamples& out) {
    const std::uint8_t* P = permutation.data();
    // Lanes: (x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1), the offsets applied in metres before scaling.
    const double xs[4] = {pointM.x + 1, pointM.x - 1, pointM.x, pointM.x};
    const double ys[4] = {pointM.y, pointM.y, pointM.y + 1, pointM.y - 1};
    for (std::size_t octave = 0; octave < octaves.size(); ++octave) {
        const StencilOctave& o = octaves[octave];
        const std::uint8_t* T = o.cornerHashes.data();
        const double fz = o.timeFraction;
        const double fz1 = fz - 1;
        const double w = o.timeFade;
        for (int lane = 0; lane < 4; ++lane) {
            const double x = xs[lane] / o.scale;
            const double y = ys[lane] / o.scale;
            const double floorX = std::floor(x);
            const double floorY = std::floor(y);
            const std::int32_t X = cellOf(floorX);
            const std::int32_t Y = cellOf(floorY);
            const double fx = x - floorX;
            const double fy = y - floorY;
            const double u = fade(fx);
            const double v = fade(fy);

            // Corner hashes: near corners (time cell Z) in the low nibbles, far ones (Z + 1) in the high.
            const std::int32_t A = P[X] + Y;
            const std::int32_t B = P[X + 1] + Y;
            const std::uint32_t hA = T[A];
            const std::uint32_t hAB = T[A + 1];
            const std::uint32_t hB = T[B];
            const std::uint32_t hBB = T[B + 1];

            const double noise =
                lerp(w,
                     lerp(v, lerp(u, grad(hA, fx, fy, fz), grad(hB, fx - 1, fy, fz)),
                          lerp(u, grad(hAB, fx, fy - 1, fz), grad(hBB, fx - 1, fy - 1, fz))),
                     lerp(v, lerp(u, grad(hA >> 4, fx, fy, fz1), grad(hB >> 4, fx - 1, fy, fz1)),
                          lerp(u, grad(hAB >> 4, fx, fy - 1, fz1), grad(hBB >> 4, fx - 1, fy - 1, fz1))));
            // Octaves add left to right: (60 a + 20 b) + 5 c.
            out[lane] = octave == 0 ? o.weight * noise : out[lane] + o.weight * noise;
        }
    }
}

} // namespace

void streamFunctionStencilScalar(const Permutation& permutation, const StencilOctaves& octaves,
                                 std::span<const Vec2> pointsM, std::span<StencilSamples> out) {
    assert(out.size() == pointsM.size());
    for (std::size_t i = 0; i < pointsM.size(); ++i) {
        stencilOfPoint(permutation, octaves, pointsM[i], out[i]);
    }
}

bool hasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported;
#else
    return false;
#endif
}

} // namespace pelagrin::detail
