// The AVX2 stencil kernel: the four samples of the stream function in the four lanes of a register.
#include "simulation/StreamFunctionStencil.hpp"

#if defined(__x86_64__)

#include <array>
#include <cassert>
#include <immintrin.h>

#define PELAGRIN_AVX2 __attribute__((target("avx2")))

namespace pelagrin::detail {

namespace {

// Every floating-point operation below is the lane-wise twin of one scalar operation of the portable kernel,
// in the same order, with no fused multiply-add: IEEE arithmetic then gives the same bits in every lane.

PELAGRIN_AVX2 inline __m256d fade(__m256d t) {
    const __m256d inner = _mm256_add_pd(
        _mm256_mul_pd(t, _mm256_sub_pd(_mm256_mul_pd(t, _mm256_set1_pd(6)), _mm256_set1_pd(15))),
        _mm256_set1_pd(10));
    return _mm256_mul_pd(_mm256_mul_pd(_mm256_mul_pd(t, t), t), inner);
}

PELAGRIN_AVX2 inline __m256d lerp(__m256d t, __m256d a, __m256d b) {
    return _mm256_add_pd(a, _mm256_mul_pd(t, _mm256_sub_pd(b, a)));
}

/// The gradient of the corner whose gradient number is the low nibble of each 64-bit lane of `hash`. The
/// negations are flips of the sign bit, exactly what a scalar negation does.
PELAGRIN_AVX2 inline __m256d grad(__m256i hash, __m256d a, __m256d b, __m256d c) {
    const __m256i h = _mm256_and_si256(hash, _mm256_set1_epi64x(15));
    const __m256d below8 = _mm256_castsi256_pd(_mm256_cmpgt_epi64(_mm256_set1_epi64x(8), h));
    const __m256d below4 = _mm256_castsi256_pd(_mm256_cmpgt_epi64(_mm256_set1_epi64x(4), h));
    // 12 and 14 are the only numbers below 16 that read 14 with bit 1 set.
    const __m256d is12Or14 = _mm256_castsi256_pd(
        _mm256_cmpeq_epi64(_mm256_or_si256(h, _mm256_set1_epi64x(2)), _mm256_set1_epi64x(14)));
    const __m256d first = _mm256_blendv_pd(b, a, below8);
    const __m256d second = _mm256_blendv_pd(_mm256_blendv_pd(c, a, is12Or14), b, below4);
    const __m256d flipFirst = _mm256_castsi256_pd(_mm256_slli_epi64(h, 63));
    const __m256d flipSecond = _mm256_castsi256_pd(_mm256_slli_epi64(_mm256_srli_epi64(h, 1), 63));
    return _mm256_add_pd(_mm256_xor_pd(first, flipFirst), _mm256_xor_pd(second, flipSecond));
}

/// The noise cell of a floored coordinate, reduced to the table's 256 entries: the low byte of its two's
/// complement, exact while the coordinate fits the 32-bit lanes (the kernel's precondition).
PELAGRIN_AVX2 inline __m128i cellOf(__m256d floored) {
    return _mm_and_si128(_mm256_cvttpd_epi32(floored), _mm_set1_epi32(255));
}

/// The corners of a cell are numbered 4x + 2y + z by their offsets x, y, z (0 or 1) along the three axes.
constexpr int cornerOf(int x, int y, int z) {
    return 4 * x + 2 * y + z;
}

/// Where the two terms of grad(h, ·) at a corner lie among the twelve operands of `Operands`: the
/// corner's offsets fx or fx - 1, fy or fy - 1, fz or fz - 1 at 0..5, their negations at 6..11.
struct GradientTerms {
    std::uint8_t first;
    std::uint8_t second;
};

constexpr std::array<GradientTerms, 16 * 8> kGradientTerms = [] {
    std::array<GradientTerms, 16 * 8> terms{};
    for (int h = 0; h < 16; ++h) {
        for (int corner = 0; corner < 8; ++corner) {
            const int a = corner >> 2;             // fx or fx - 1
            const int b = 2 + ((corner >> 1) & 1); // fy or fy - 1
            const int c = 4 + (corner & 1);        // fz or fz - 1
            const int first = h < 8 ? a : b;
            const int second = h < 4 ? b : (h == 12 || h == 14 ? a : c);
            terms[h * 8 + corner] = {static_cast<std::uint8_t>(first + ((h & 1) != 0 ? 6 : 0)),
                                     static_cast<std::uint8_t>(second + ((h & 2) != 0 ? 6 : 0))};
        }
    }
    return terms;
}();

/// The twelve operands of a corner gradient for one octave at one point: the offsets fx, fx - 1, fy, fy - 1,
/// fz, fz - 1 of the samples from the cell's corners at 0..5 and their negations at 6..11. The time's four
/// are the same for every point of a step and are written once; the others are rewritten per point.
/// Negation as a sign flip is what the scalar negation does.
struct alignas(32) Operands {
    __m256d values[12];

    PELAGRIN_AVX2 void setTime(double fz) {
        values[4] = _mm256_set1_pd(fz);
        values[5] = _mm256_set1_pd(fz - 1);
        values[10] = _mm256_set1_pd(-fz);
        values[11] = _mm256_set1_pd(-(fz - 1));
    }

    PELAGRIN_AVX2 void setPlane(__m256d fx, __m256d fy) {
        const __m256d one = _mm256_set1_pd(1);
        const __m256d signBit = _mm256_set1_pd(-0.0);
        values[0] = fx;
        values[1] = _mm256_sub_pd(fx, one);
        values[2] = fy;
        values[3] = _mm256_sub_pd(fy, one);
        for (int i = 0; i < 4; ++i) {
            values[6 + i] = _mm256_xor_pd(values[i], signBit);
        }
    }

    PELAGRIN_AVX2 __m256d at(std::uint16_t byteOffset) const {
        return *reinterpret_cast<const __m256d*>(reinterpret_cast<const char*>(values) + byteOffset);
    }
};

/// A corner hash byte read at one corner position (x, y) of the cell: the byte offsets within `Operands` of
/// the two terms of the near corner's gradient (time cell Z, the low nibble) and of the far one's (Z + 1,
/// the high nibble). A table lookup per corner position replaces the nibble and term arithmetic.
struct CornerTerms {
    std::uint16_t nearFirst;
    std::uint16_t nearSecond;
    std::uint16_t farFirst;
    std::uint16_t farSecond;
};

constexpr std::array<std::array<CornerTerms, 256>, 4> kCornerTerms = [] {
    constexpr auto offsetOf = [](std::uint8_t operand) { return static_cast<std::uint16_t>(operand * 32); };
    std::array<std::array<CornerTerms, 256>, 4> table{};
    for (int position = 0; position < 4; ++position) {
        const int x = position >> 1;
        const int y = position & 1;
        for (int hash = 0; hash < 256; ++hash) {
            const GradientTerms near = kGradientTerms[(hash & 15) * 8 + cornerOf(x, y, 0)];
            const GradientTerms far = kGradientTerms[(hash >> 4) * 8 + cornerOf(x, y, 1)];
            table[position][hash] = {offsetOf(near.first), offsetOf(near.second), offsetOf(far.first),
                                     offsetOf(far.second)};
        }
    }
    return table;
}();

/// Corner gradients for hashes shared by all four lanes: a corner's gradient is the sum of two of the
/// twelve operands, picked by table instead of by lane masks.
struct SharedGradient {
    const Operands& operands;
    const CornerTerms* corners[4]; // corner positions (x, y) = (0, 0), (0, 1), (1, 0), (1, 1)

    PELAGRIN_AVX2 __m256d operator()(int x, int y, int z) const {
        const CornerTerms& terms = *corners[2 * x + y];
        return z == 0 ? _mm256_add_pd(operands.at(terms.nearFirst), operands.at(terms.nearSecond))
                      : _mm256_add_pd(operands.at(terms.farFirst), operands.at(terms.farSecond));
    }
};

/// Corner gradients for hashes that differ between lanes.
struct LaneGradient {
    const Operands& operands;
    const __m256i* hashes; // as in `SharedGradient`, one corner-hash byte per 64-bit lane

    PELAGRIN_AVX2 __m256d operator()(int x, int y, int z) const {
        return grad(_mm256_srli_epi64(hashes[2 * x + y], 4 * z), operands.values[x], operands.values[2 + y],
                    operands.values[4 + z]);
    }
};

/// The trilinear blend of one octave's eight corner gradients, `gradient(x, y, z)` giving the corner's.
template <typename Gradient>
PELAGRIN_AVX2 inline __m256d blendCorners(const Gradient& gradient, __m256d u, __m256d v, __m256d w) {
    const __m256d near =
        lerp(v, lerp(u, gradient(0, 0, 0), gradient(1, 0, 0)), lerp(u, gradient(0, 1, 0), gradient(1, 1, 0)));
    const __m256d far =
        lerp(v, lerp(u, gradient(0, 0, 1), gradient(1, 0, 1)), lerp(u, gradient(0, 1, 1), gradient(1, 1, 1)));
    return lerp(w, near, far);
}

/// One octave's noise at the four samples whose coordinates are `xs`, `ys` (metres). `operands` holds the
/// octave's time operands; the point's are written into it.
PELAGRIN_AVX2 inline __attribute__((always_inline)) __m256d
octaveNoise(const std::uint8_t* P, const StencilOctave& o, Operands& operands, __m256d xs, __m256d ys) {
    const std::uint8_t* T = o.cornerHashes.data();
    const __m256d scale = _mm256_set1_pd(o.scale);
    const __m256d w = _mm256_set1_pd(o.timeFade);

    const __m256d x = _mm256_div_pd(xs, scale);
    const __m256d y = _mm256_div_pd(ys, scale);
    const __m256d floorX = _mm256_floor_pd(x);
    const __m256d floorY = _mm256_floor_pd(y);
    const __m128i X = cellOf(floorX);
    const __m128i Y = cellOf(floorY);
    const __m256d fx = _mm256_sub_pd(x, floorX);
    const __m256d fy = _mm256_sub_pd(y, floorY);
    const __m256d u = fade(fx);
    const __m256d v = fade(fy);
    operands.setPlane(fx, fy);

    // The samples lie a metre apart, so at noise cells of 25 m and more all four share one cell most of
    // the time: its hashes are then read once for the four lanes.
    const __m128i sameCell = _mm_and_si128(_mm_cmpeq_epi32(X, _mm_shuffle_epi32(X, 0)),
                                           _mm_cmpeq_epi32(Y, _mm_shuffle_epi32(Y, 0)));
    if (_mm_movemask_epi8(sameCell) == 0xFFFF) {
        const std::int32_t A = P[_mm_cvtsi128_si32(X)] + _mm_cvtsi128_si32(Y);
        const std::int32_t B = P[_mm_cvtsi128_si32(X) + 1] + _mm_cvtsi128_si32(Y);
        const SharedGradient gradient{operands,
                                      {&kCornerTerms[0][T[A]], &kCornerTerms[1][T[A + 1]],
                                       &kCornerTerms[2][T[B]], &kCornerTerms[3][T[B + 1]]}};
        return blendCorners(gradient, u, v, w);
    }
    alignas(16) std::int32_t cellX[4];
    alignas(16) std::int32_t cellY[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(cellX), X);
    _mm_store_si128(reinterpret_cast<__m128i*>(cellY), Y);
    auto cornersOf = [&](int lane) {
        const std::int32_t A = P[cellX[lane]] + cellY[lane];
        const std::int32_t B = P[cellX[lane] + 1] + cellY[lane];
        return std::array<std::int64_t, 4>{T[A], T[A + 1], T[B], T[B + 1]};
    };
    const std::array<std::int64_t, 4> c0 = cornersOf(0);
    const std::array<std::int64_t, 4> c1 = cornersOf(1);
    const std::array<std::int64_t, 4> c2 = cornersOf(2);
    const std::array<std::int64_t, 4> c3 = cornersOf(3);
    const __m256i h[4] = {
        _mm256_setr_epi64x(c0[0], c1[0], c2[0], c3[0]), _mm256_setr_epi64x(c0[1], c1[1], c2[1], c3[1]),
        _mm256_setr_epi64x(c0[2], c1[2], c2[2], c3[2]), _mm256_setr_epi64x(c0[3], c1[3], c2[3], c3[3])};
    return blendCorners(LaneGradient{operands, h}, u, v, w);
}

} // namespace

PELAGRIN_AVX2 void streamFunctionStencilAvx2(const Permutation& permutation, const StencilOctaves& octaves,
                                             std::span<const Vec2> pointsM, std::span<StencilSamples> out) {
    assert(out.size() == pointsM.size());
    std::array<Operands, 3> operands;
    static_assert(operands.size() == std::tuple_size_v<StencilOctaves>);
    for (std::size_t octave = 0; octave < octaves.size(); ++octave) {
        operands[octave].setTime(octaves[octave].timeFraction);
    }
    for (std::size_t i = 0; i < pointsM.size(); ++i) {
        // Lanes: (x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1); _mm256_set_pd takes the last lane first.
        const Vec2 pointM = pointsM[i];
        const __m256d xs = _mm256_set_pd(pointM.x, pointM.x, pointM.x - 1, pointM.x + 1);
        const __m256d ys = _mm256_set_pd(pointM.y - 1, pointM.y + 1, pointM.y, pointM.y);
        __m256d sum = _mm256_setzero_pd();
        for (std::size_t octave = 0; octave < octaves.size(); ++octave) {
            const StencilOctave& o = octaves[octave];
            const __m256d noise = octaveNoise(permutation.data(), o, operands[octave], xs, ys);
            const __m256d weighted = _mm256_mul_pd(_mm256_set1_pd(o.weight), noise);
            sum = octave == 0 ? weighted : _mm256_add_pd(sum, weighted);
        }
        _mm256_storeu_pd(out[i].data(), sum);
    }
}

} // namespace pelagrin::detail

#else

namespace pelagrin::detail {

void streamFunctionStencilAvx2(const Permutation& permutation, const StencilOctaves& octaves,
                               std::span<const Vec2> pointsM, std::span<StencilSamples> out) {
    streamFunctionStencilScalar(permutation, octaves, pointsM, out);
}

} // namespace pelagrin::detail

#endif
