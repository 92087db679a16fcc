// The stream-function kernels: the portable and the vector kernel against the noise evaluated value by value,
// over points that share a noise cell, straddle cell borders and sit on lattice points.
#include "simulation/PerlinNoise.hpp"
#include "simulation/RandomSource.hpp"
#include "simulation/StreamFunctionStencil.hpp"

#include <bit>
#include <gtest/gtest.h>
#include <vector>

namespace pelagrin {
namespace {

constexpr double kScales[3] = {300, 100, 25};
constexpr double kWeights[3] = {60, 20, 5};

detail::Permutation bytePermutation(const PerlinNoise& noise) {
    detail::Permutation permutation{};
    for (std::size_t i = 0; i < permutation.size(); ++i) {
        permutation[i] = static_cast<std::uint8_t>(noise.permutation()[i]);
    }
    return permutation;
}

detail::StencilOctaves octavesAt(const detail::Permutation& permutation, double z) {
    detail::StencilOctaves octaves{};
    for (std::size_t i = 0; i < octaves.size(); ++i) {
        octaves[i] = detail::makeStencilOctave(permutation, kScales[i], kWeights[i], z * (1.0 + 0.5 * i));
    }
    return octaves;
}

/// The four samples as separate noise evaluations, octaves added left to right.
detail::StencilSamples samplesOneByOne(const PerlinNoise& noise, Vec2 p, double z) {
    const Vec2 at[4] = {{p.x + 1, p.y}, {p.x - 1, p.y}, {p.x, p.y + 1}, {p.x, p.y - 1}};
    detail::StencilSamples samples{};
    for (int lane = 0; lane < 4; ++lane) {
        double sum = 0;
        for (int i = 0; i < 3; ++i) {
            const double value = kWeights[i] * noise.noise(at[lane].x / kScales[i], at[lane].y / kScales[i],
                                                           z * (1.0 + 0.5 * i));
            sum = i == 0 ? value : sum + value;
        }
        samples[static_cast<std::size_t>(lane)] = sum;
    }
    return samples;
}

std::vector<Vec2> probePoints() {
    std::vector<Vec2> points;
    RandomSource random(31);
    for (int i = 0; i < 3000; ++i) {
        points.push_back({random.uniformRandom(-2000, 2000), random.uniformRandom(-2000, 2000)});
    }
    // On lattice points of every octave and a metre off them, where the samples straddle a cell border.
    for (double x : {-300.0, -25.0, 0.0, 25.0, 299.0, 300.0, 301.0, 1e7}) {
        for (double y : {-100.0, -1.0, 0.0, 1.0, 24.0, 600.0}) {
            points.push_back({x, y});
        }
    }
    return points;
}

void expectSameBits(const detail::StencilSamples& a, const detail::StencilSamples& b, Vec2 p, double z) {
    for (std::size_t lane = 0; lane < 4; ++lane) {
        ASSERT_EQ(std::bit_cast<std::uint64_t>(a[lane]), std::bit_cast<std::uint64_t>(b[lane]))
            << "lane " << lane << " at " << p.x << ", " << p.y << ", z " << z << ": " << a[lane] << " vs "
            << b[lane];
    }
}

class StreamFunctionStencil : public ::testing::TestWithParam<bool> {};

TEST_P(StreamFunctionStencil, KernelGivesTheNoiseValuesBitForBit) {
    const bool isVector = GetParam();
    if (isVector && !detail::hasAvx2()) {
        GTEST_SKIP() << "no AVX2 on this processor";
    }
    const PerlinNoise noise(123);
    const detail::Permutation permutation = bytePermutation(noise);
    const std::vector<Vec2> points = probePoints();
    std::vector<detail::StencilSamples> samples(points.size());
    for (double z : {0.0, 0.37, 41.5, 255.99, 1234.5}) {
        const detail::StencilOctaves octaves = octavesAt(permutation, z);
        if (isVector) {
            detail::streamFunctionStencilAvx2(permutation, octaves, points, samples);
        } else {
            detail::streamFunctionStencilScalar(permutation, octaves, points, samples);
        }
        for (std::size_t i = 0; i < points.size(); ++i) {
            expectSameBits(samples[i], samplesOneByOne(noise, points[i], z), points[i], z);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, StreamFunctionStencil, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& kernel) {
                             return kernel.param ? std::string("Avx2") : std::string("Portable");
                         });

} // namespace
} // namespace pelagrin
