// The portable stencil kernel and the processor check.
#include "simulation/StreamFunctionStencil.hpp"

#include <cmath>

namespace pelagrin::detail {

namespace {

/// The noise cell of a floored coordinate, reduced to the table's 256 entries, in floating point: exact for
/// every whole number below 2^53, and the same operations the vector kernel uses.
inline std::int32_t cellOf(double floored) {
    return static_cast<std::int32_t>(floored - 256.0 * std::floor(floored * (1.0 / 256.0)));
}

inline double fade(double t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

inline double lerp(double t, double a, double b) {
    return a + t * (b - a);
}

inline double grad(std::int32_t hash, double a, double b, double c) {
    const std::int32_t h = hash & 15;
    const double first = h < 8 ? a : b;
    const double second = h < 4 ? b : (h == 12 || h == 14 ? a : c);
    return ((h & 1) == 0 ? first : -first) + ((h & 2) == 0 ? second : -second);
}

} // namespace

void streamFunctionStencilScalar(const Permutation& permutation, const StencilOctaves& octaves, Vec2 pointM,
                                 double out[4]) {
    const std::int32_t* P = permutation.data();
    // Lanes: (x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1), the offsets applied in metres before scaling.
    const double xs[4] = {pointM.x + 1, pointM.x - 1, pointM.x, pointM.x};
    const double ys[4] = {pointM.y, pointM.y, pointM.y + 1, pointM.y - 1};
    for (std::size_t octave = 0; octave < octaves.size(); ++octave) {
        const StencilOctave& o = octaves[octave];
        const double fz = o.timeFraction;
        const double w = o.timeFade;
        const std::int32_t Z = o.timeCell;
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

            const std::int32_t A = P[X] + Y;
            const std::int32_t AA = P[A] + Z;
            const std::int32_t AB = P[A + 1] + Z;
            const std::int32_t B = P[X + 1] + Y;
            const std::int32_t BA = P[B] + Z;
            const std::int32_t BB = P[B + 1] + Z;

            const double noise = lerp(
                w,
                lerp(v, lerp(u, grad(P[AA], fx, fy, fz), grad(P[BA], fx - 1, fy, fz)),
                     lerp(u, grad(P[AB], fx, fy - 1, fz), grad(P[BB], fx - 1, fy - 1, fz))),
                lerp(v, lerp(u, grad(P[AA + 1], fx, fy, fz - 1), grad(P[BA + 1], fx - 1, fy, fz - 1)),
                     lerp(u, grad(P[AB + 1], fx, fy - 1, fz - 1), grad(P[BB + 1], fx - 1, fy - 1, fz - 1))));
            // Octaves add left to right: (60 a + 20 b) + 5 c.
            out[lane] = octave == 0 ? o.weight * noise : out[lane] + o.weight * noise;
        }
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
