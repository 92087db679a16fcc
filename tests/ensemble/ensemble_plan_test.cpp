// The members' draws: a Latin hypercube's strata, and the grid's combinations.
#include "ensemble/EnsemblePlan.hpp"

#include <cmath>
#include <gtest/gtest.h>

namespace pelagrin::test {
namespace {

struct HypercubeCase {
    std::size_t dimensions;
    std::size_t members;
    std::uint64_t seed;
};

class LatinHypercube : public testing::TestWithParam<HypercubeCase> {};

TEST_P(LatinHypercube, PutsOneMemberInEachStratumOfEachDimensionDecidedByTheSeed) {
    const auto [dimensions, members, seed] = GetParam();
    const std::vector<std::vector<double>> shares = latinHypercube(dimensions, members, seed);
    ASSERT_EQ(shares.size(), members);
    for (std::size_t d = 0; d < dimensions; ++d) {
        std::vector<int> hits(members, 0);
        for (const std::vector<double>& member : shares) {
            ASSERT_GE(member[d], 0.0);
            ASSERT_LT(member[d], 1.0);
            ++hits[static_cast<std::size_t>(std::floor(member[d] * static_cast<double>(members)))];
        }
        EXPECT_EQ(hits, std::vector<int>(members, 1)) << "dimension " << d;
    }
    EXPECT_EQ(shares, latinHypercube(dimensions, members, seed));
    if (members > 2) {
        EXPECT_NE(shares, latinHypercube(dimensions, members, seed + 1));
    }
}

INSTANTIATE_TEST_SUITE_P(Draws, LatinHypercube,
                         testing::Values(HypercubeCase{1, 1, 0}, HypercubeCase{2, 10, 7},
                                         HypercubeCase{3, 100, 12345},
                                         HypercubeCase{8, 37, (1ULL << 53) - 1}));

TEST(EnsemblePlan, GridRunsEveryCombinationOnceFromLowToHighWithConsecutiveSeeds) {
    const EnsemblePlan plan = EnsemblePlan::make(
        40, 6, {Variation::parse("windSpeed=0:10"), Variation::parse("count=500:2000")}, false);
    EXPECT_EQ(plan.members.back().seed, 45u);
    for (const MemberDraw& member : plan.members) {
        EXPECT_EQ(member.values[1], std::round(member.values[1])) << "count is whole";
    }

    const EnsemblePlan grid = EnsemblePlan::make(
        3, 9, {Variation::parse("flowSpeed=0.5:1.5"), Variation::parse("windDirection=90:270")}, true);
    std::vector<std::vector<double>> values;
    for (const MemberDraw& member : grid.members) {
        values.push_back(member.values);
    }
    const std::vector<std::vector<double>> expected{{0.5, 90},  {0.5, 180}, {0.5, 270}, {1.0, 90}, {1.0, 180},
                                                    {1.0, 270}, {1.5, 90},  {1.5, 180}, {1.5, 270}};
    EXPECT_EQ(values, expected);
    EXPECT_EQ(grid.members[4].seed, 7u);
}

} // namespace
} // namespace pelagrin::test
