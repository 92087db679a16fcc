// Uniform draws: the closed interval filled evenly, reproducibility with a seed, independence without one.
#include "simulation/RandomSource.hpp"

#include <algorithm>
#include <gtest/gtest.h>

namespace pelagrin {
namespace {

TEST(RandomSource, DrawsFillTheClosedIntervalAndASeedRepeatsThem) {
    RandomSource random(7);
    RandomSource again(7);
    double low = 1;
    double high = 0;
    double sum = 0;
    constexpr int kDraws = 20000;
    for (int i = 0; i < kDraws; ++i) {
        const double value = random.uniformRandom(0.1, 0.3);
        ASSERT_EQ(value, again.uniformRandom(0.1, 0.3));
        ASSERT_GE(value, 0.1);
        ASSERT_LE(value, 0.3);
        low = std::min(low, value);
        high = std::max(high, value);
        sum += value;
    }
    EXPECT_LT(low, 0.1001);
    EXPECT_GT(high, 0.2999);
    EXPECT_NEAR(sum / kDraws, 0.2, 0.002);
    EXPECT_EQ(random.uniformRandom(2.5, 2.5), 2.5) << "an empty interval gives its only point";

    RandomSource c;
    RandomSource d;
    int equal = 0;
    for (int i = 0; i < 10; ++i) {
        equal += c.uniformRandom(0, 1) == d.uniformRandom(0, 1);
    }
    EXPECT_LT(equal, 10) << "unseeded sources differ";
}

} // namespace
} // namespace pelagrin
