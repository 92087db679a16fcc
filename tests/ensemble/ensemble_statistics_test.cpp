// Across members: percentiles as numpy takes them, and the timelines' bands.
#include "ensemble/EnsembleStatistics.hpp"

#include <gtest/gtest.h>

namespace pelagrin::test {
namespace {

struct PercentileCase {
    std::vector<double> sorted;
    double percent;
    double expected; // numpy.percentile(sorted, percent), worked out by hand
};

class Percentile : public testing::TestWithParam<PercentileCase> {};

TEST_P(Percentile, InterpolatesLinearlyBetweenOrderStatistics) {
    const PercentileCase& c = GetParam();
    EXPECT_DOUBLE_EQ(percentile(c.sorted, c.percent), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    HandChecked, Percentile,
    testing::Values(PercentileCase{{1, 2, 3, 4, 5}, 5, 1.2}, PercentileCase{{1, 2, 3, 4, 5}, 50, 3},
                    PercentileCase{{1, 2, 3, 4, 5}, 95, 4.8}, PercentileCase{{1, 2, 3, 4, 5}, 100, 5},
                    PercentileCase{{10}, 95, 10}, PercentileCase{{0, 10}, 5, 0.5},
                    PercentileCase{{1, 3, 7, 15}, 50, 5}, PercentileCase{{1, 3, 7, 15}, 95, 13.8}));

TEST(TimelineSummary, BandsEachColumnAtEachTimeAndCountsSharesOfMembers) {
    const std::string header =
        "Time (s),Stuck Particles,Active Particles,Avg Speed (Global),Active Avg Speed,Max Speed\n";
    std::vector<MemberResult> members(3);
    members[0].csv = header + "1.00,0,10,1.00,1.00,2.00\n2.00,4,6,0.60,1.00,3.00\n";
    members[1].csv = header + "1.00,2,8,2.00,2.50,4.00\n2.00,6,4,0.40,1.00,5.00\n";
    members[2].csv = header + "1.00,1,9,3.00,3.00,6.00\n2.00,10,0,0.00,0.00,0.00\n";
    members[0].bedCells = {1, 0, 0};
    members[1].bedCells = {1, 1, 0};
    members[2].bedCells = {1, 0, 0};

    const TimelineSummary summary = TimelineSummary::of(members);
    EXPECT_EQ(summary.timeColumn, "Time (s)");
    EXPECT_EQ(summary.columns.size(), 5u);
    EXPECT_EQ(summary.times, (std::vector<double>{1.0, 2.0}));
    const Band stuckLater = summary.bands[0][1]; // 4, 6, 10
    EXPECT_DOUBLE_EQ(stuckLater.mean, 20.0 / 3.0);
    EXPECT_DOUBLE_EQ(stuckLater.p5, 4.2);
    EXPECT_DOUBLE_EQ(stuckLater.p50, 6.0);
    EXPECT_DOUBLE_EQ(stuckLater.p95, 9.6);
    EXPECT_DOUBLE_EQ(summary.bands[4][0].p50, 4.0); // max speeds 2, 4, 6

    EXPECT_EQ(shareOfMembers(members, &MemberResult::bedCells), (std::vector<double>{1.0, 1.0 / 3.0, 0.0}));
}

} // namespace
} // namespace pelagrin::test
