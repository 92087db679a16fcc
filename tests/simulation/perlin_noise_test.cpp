// The turbulence noise: its table, its lattice zeros and its values against an independent computation.
#include "simulation/PerlinNoise.hpp"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <vector>

namespace pelagrin {
namespace {

// The expected entries come from a separate Python rendering of the LCG, Lemire's bounded draw and the
// front-to-back Fisher–Yates shuffle; the engine's turbulence field depends on every one of them.
TEST(PerlinNoiseTable, EachSeedShufflesAPermutationOf256RepeatedOnceAsTheLcgDictates) {
    const std::vector<std::int64_t> seed123{131, 64,  230, 39, 13,  3,  126, 160,
                                            103, 237, 124, 95, 123, 43, 151, 44};
    const std::vector<std::int64_t> seed0{20, 26, 155, 104, 100, 145, 25, 95};
    for (const auto& [seed, expected] : {std::pair{123, seed123}, std::pair{0, seed0}}) {
        const PerlinNoise noise(seed);
        const auto& p = noise.permutation();
        ASSERT_EQ(p.size(), 512u);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), p.begin())) << "seed " << seed;
        std::array<int, 256> seen{};
        for (std::size_t i = 0; i < 256; ++i) {
            ASSERT_GE(p[i], 0);
            ASSERT_LT(p[i], 256);
            ++seen[static_cast<std::size_t>(p[i])];
            EXPECT_EQ(p[i], p[i + 256]) << "at " << i;
        }
        EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));
    }
    EXPECT_NE(PerlinNoise(123).permutation(), PerlinNoise(124).permutation());
}

TEST(PerlinNoiseValue, MatchesTheIndependentComputationBitForBit) {
    const PerlinNoise noise(123);
    EXPECT_EQ(noise.noise(0, 0, 0), 0.0);
    EXPECT_EQ(noise.noise(3, -7, 12), 0.0) << "zero on every lattice point";
    EXPECT_EQ(noise.noise(-256, 511, -1), 0.0);
    EXPECT_EQ(noise.noise(0.5, 0.25, 0.125), 0.09389705955982208);
    EXPECT_EQ(noise.noise(12.345, -6.789, 0.001), -0.1549517575881025);
    EXPECT_EQ(noise.noise(100.3, 200.7, -3.3), 0.12610217824349934);
    // -0.25 lies in cell -1 (table index 255) at fraction 0.75.
    EXPECT_EQ(noise.noise(-0.25, 3.7, 1.1), -0.024082505522812624);
    // Cells 256 apart share their hashes, so the field repeats with that period.
    EXPECT_EQ(noise.noise(-0.25, 3.7, 1.1), noise.noise(255.75, 3.7, 1.1));
}

} // namespace
} // namespace pelagrin
