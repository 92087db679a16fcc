// The AVX2 stencil kernel: the four samples of the stream function in the four lanes of a register.
#include "simulation/StreamFunctionStencil.hpp"

#if defined(__x86_64__)

#include <immintrin.h>

#define PELAGRIN_AVX2 __attribute__((target("avx2")))

namespace pelagrin::detail {

namespace {

// Every operation below is the lane-wise twin of one scalar operation of the portable kernel, in the same
// order, with no fused multiply-add: IEEE arithmetic then gives the same bits in every lane.

PELAGRIN_AVX2 inline __m256d fade(__m256d t) {
    const __m256d inner = _mm256_add_pd(
        _mm256_mul_pd(t, _mm256_sub_pd(_mm256_mul_pd(t, _mm256_set1_pd(6)), _mm256_set1_pd(15))),
        _mm256_set1_pd(10));
    return _mm256_mul_pd(_mm256_mul_pd(_mm256_mul_pd(t, t), t), inner);
}

PELAGRIN_AVX2 inline __m256d lerp(__m256d t, __m256d a, __m256d b) {
    return _mm256_add_pd(a, _mm256_mul_pd(t, _mm256_sub_pd(b, a)));
}

/// Lanes where the whole number in `values` equals `reference`, as a mask of doubles.
PELAGRIN_AVX2 inline __m256d laneMask(__m128i values, int reference) {
    return _mm256_castsi256_pd(
        _mm256_cmpeq_epi64(_mm256_cvtepi32_epi64(values), _mm256_set1_epi64x(reference)));
}

PELAGRIN_AVX2 inline __m256d lessThan(__m128i values, int bound) {
    return _mm256_castsi256_pd(_mm256_cmpgt_epi64(_mm256_set1_epi64x(bound), _mm256_cvtepi32_epi64(values)));
}

PELAGRIN_AVX2 inline __m256d grad(__m128i hash, __m256d a, __m256d b, __m256d c) {
    const __m128i h = _mm_and_si128(hash, _mm_set1_epi32(15));
    const __m256d first = _mm256_blendv_pd(b, a, lessThan(h, 8));
    const __m256d aOrC = _mm256_blendv_pd(c, a, _mm256_or_pd(laneMask(h, 12), laneMask(h, 14)));
    const __m256d second = _mm256_blendv_pd(aOrC, b, lessThan(h, 4));
    const __m256d signBit = _mm256_set1_pd(-0.0);
    const __m256d flipFirst = _mm256_and_pd(laneMask(_mm_and_si128(h, _mm_set1_epi32(1)), 1), signBit);
    const __m256d flipSecond = _mm256_and_pd(laneMask(_mm_and_si128(h, _mm_set1_epi32(2)), 2), signBit);
    return _mm256_add_pd(_mm256_xor_pd(first, flipFirst), _mm256_xor_pd(second, flipSecond));
}

PELAGRIN_AVX2 inline __m128i cellOf(__m256d floored) {
    const __m256d wraps = _mm256_floor_pd(_mm256_mul_pd(floored, _mm256_set1_pd(1.0 / 256.0)));
    return _mm256_cvttpd_epi32(_mm256_sub_pd(floored, _mm256_mul_pd(_mm256_set1_pd(256.0), wraps)));
}

/// Four table entries. Plain loads: hardware gathers of four lanes are slower than that on common processors.
PELAGRIN_AVX2 inline __m128i lookup(const std::int32_t* table, __m128i index) {
    alignas(16) std::int32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), index);
    return _mm_setr_epi32(table[lanes[0]], table[lanes[1]], table[lanes[2]], table[lanes[3]]);
}

} // namespace

PELAGRIN_AVX2 void streamFunctionStencilAvx2(const Permutation& permutation, const StencilOctaves& octaves,
                                             Vec2 pointM, double out[4]) {
    const std::int32_t* P = permutation.data();
    const __m128i one = _mm_set1_epi32(1);
    const __m256d oneD = _mm256_set1_pd(1);
    // Lanes: (x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1); _mm256_set_pd takes the last lane first.
    const __m256d xs = _mm256_set_pd(pointM.x, pointM.x, pointM.x - 1, pointM.x + 1);
    const __m256d ys = _mm256_set_pd(pointM.y - 1, pointM.y + 1, pointM.y, pointM.y);
    __m256d sum = _mm256_setzero_pd();
    for (std::size_t octave = 0; octave < octaves.size(); ++octave) {
        const StencilOctave& o = octaves[octave];
        const __m256d scale = _mm256_set1_pd(o.scale);
        const __m256d fz = _mm256_set1_pd(o.timeFraction);
        const __m256d fz1 = _mm256_sub_pd(fz, oneD);
        const __m256d w = _mm256_set1_pd(o.timeFade);
        const __m128i Z = _mm_set1_epi32(o.timeCell);

        const __m256d x = _mm256_div_pd(xs, scale);
        const __m256d y = _mm256_div_pd(ys, scale);
        const __m256d floorX = _mm256_floor_pd(x);
        const __m256d floorY = _mm256_floor_pd(y);
        const __m128i X = cellOf(floorX);
        const __m128i Y = cellOf(floorY);
        const __m256d fx = _mm256_sub_pd(x, floorX);
        const __m256d fy = _mm256_sub_pd(y, floorY);
        const __m256d fx1 = _mm256_sub_pd(fx, oneD);
        const __m256d fy1 = _mm256_sub_pd(fy, oneD);
        const __m256d u = fade(fx);
        const __m256d v = fade(fy);

        const __m128i A = _mm_add_epi32(lookup(P, X), Y);
        const __m128i AA = _mm_add_epi32(lookup(P, A), Z);
        const __m128i AB = _mm_add_epi32(lookup(P, _mm_add_epi32(A, one)), Z);
        const __m128i B = _mm_add_epi32(lookup(P, _mm_add_epi32(X, one)), Y);
        const __m128i BA = _mm_add_epi32(lookup(P, B), Z);
        const __m128i BB = _mm_add_epi32(lookup(P, _mm_add_epi32(B, one)), Z);

        const __m256d near =
            lerp(v, lerp(u, grad(lookup(P, AA), fx, fy, fz), grad(lookup(P, BA), fx1, fy, fz)),
                 lerp(u, grad(lookup(P, AB), fx, fy1, fz), grad(lookup(P, BB), fx1, fy1, fz)));
        const __m256d far = lerp(v,
                                 lerp(u, grad(lookup(P, _mm_add_epi32(AA, one)), fx, fy, fz1),
                                      grad(lookup(P, _mm_add_epi32(BA, one)), fx1, fy, fz1)),
                                 lerp(u, grad(lookup(P, _mm_add_epi32(AB, one)), fx, fy1, fz1),
                                      grad(lookup(P, _mm_add_epi32(BB, one)), fx1, fy1, fz1)));
        const __m256d weighted = _mm256_mul_pd(_mm256_set1_pd(o.weight), lerp(w, near, far));
        sum = octave == 0 ? weighted : _mm256_add_pd(sum, weighted);
    }
    _mm256_storeu_pd(out, sum);
}

} // namespace pelagrin::detail

#else

namespace pelagrin::detail {

void streamFunctionStencilAvx2(const Permutation& permutation, const StencilOctaves& octaves, Vec2 pointM,
                               double out[4]) {
    streamFunctionStencilScalar(permutation, octaves, pointM, out);
}

} // namespace pelagrin::detail

#endif
