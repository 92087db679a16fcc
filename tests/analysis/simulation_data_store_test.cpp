// The statistics of a snapshot, the timeline's spacing and cap, the histogram's bins and the exact CSV text.
#include "analysis/SimulationDataStore.hpp"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace pelagrin {
namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

Particle particle(double speed, bool isStuck = false, bool isSedimented = false, bool isActive = true) {
    Particle p;
    p.isActive = isActive;
    p.isStuck = isStuck;
    p.isSedimented = isSedimented;
    p.speed = speed;
    return p;
}

std::vector<double> sampleTimes(const SimulationDataStore& store) {
    std::vector<double> times;
    for (const TimePoint& sample : store.history.get())
        times.push_back(sample.time);
    return times;
}

TEST(DataStoreStatistics, StuckAndSedimentedCountInTheGlobalAverageOnlyAndInfinitiesAreNotSummed) {
    struct Case {
        const char* name;
        std::vector<Particle> particles;
        std::int64_t stuck, active;
        std::optional<double> average, activeAverage, max;
        std::vector<std::int64_t> bins; // empty: not pinned
    };
    std::vector<Particle> mixed(4, particle(0.0, true));
    mixed.insert(mixed.end(), 6, particle(10.0));
    const std::vector<Case> cases = {
        {"stuck and moving", mixed, 4, 6, 6.0, 10.0, 10.0, {6, 0, 0, 0, 0}},
        {"sedimented and unreleased",
         {particle(1.0, false, true), particle(0.0, false, false, false)},
         1,
         1,
         0.5,
         0.0,
         {},
         {1, 0, 0, 0, 0}},
        {"infinite speeds",
         {particle(infinity), particle(30.0), particle(infinity, true)},
         1,
         2,
         10.0,
         infinity,
         30.0,
         {1, 0, 0, 0, 1}},
        {"not a number", {particle(std::nan("")), particle(20.0)}, 0, 2, 10.0, {}, 20.0, {}},
        {"empty", {}, 0, 0, 0.0, 0.0, 0.0, {0, 0, 0, 0, 0}},
        {"bin edges",
         {particle(59.99), particle(60.0), particle(299.99), particle(300.0), particle(10000.0)},
         0,
         5,
         {},
         {},
         10000.0,
         {1, 1, 0, 0, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimulationDataStore store;
        store.update(c.particles, 3.0);
        EXPECT_EQ(store.totalParticles.get(), static_cast<std::int64_t>(c.particles.size()));
        EXPECT_EQ(store.stuckParticles.get(), c.stuck);
        EXPECT_EQ(store.activeParticles.get(), c.active);
        if (c.average) {
            EXPECT_DOUBLE_EQ(store.averageSpeed.get(), *c.average);
        }
        if (c.activeAverage) {
            EXPECT_DOUBLE_EQ(store.activeAverageSpeed.get(), *c.activeAverage);
        }
        if (c.max) {
            EXPECT_EQ(store.maxSpeed.get(), *c.max);
        }
        std::vector<std::int64_t> counts;
        std::vector<std::string> labels;
        for (const SpeedBin& bin : store.speedBuckets.get()) {
            counts.push_back(bin.count);
            labels.push_back(bin.range);
        }
        EXPECT_EQ(labels, (std::vector<std::string>{"0-60", "60-120", "120-180", "180-240", "240-300"}));
        if (!c.bins.empty()) {
            EXPECT_EQ(counts, c.bins);
        }
        // A fresh store samples its first update; the sample carries the active average.
        ASSERT_EQ(store.history.get().size(), 1u);
        const TimePoint& sample = store.history.get().front();
        EXPECT_EQ(sample.time, 3.0);
        EXPECT_EQ(sample.stuckCount, c.stuck);
        EXPECT_EQ(sample.activeCount, c.active);
        if (c.activeAverage) {
            EXPECT_DOUBLE_EQ(sample.averageSpeed, *c.activeAverage);
        }
    }
}

TEST(DataStoreFittedBins, AFewBarsOfA125WidthSpanTheFinitePartOfTheRange) {
    struct Case {
        const char* name;
        std::vector<Particle> particles; // px/s at 10 px/m
        double width;                    // m/s
        std::vector<std::int64_t> counts;
    };
    std::vector<Particle> outlier(9, particle(0.1));
    outlier.push_back(particle(10.0));
    const std::vector<Case> cases = {
        {"all equal: one top bar", std::vector<Particle>(4, particle(3.0)), 0.05, {0, 0, 0, 0, 0, 4}},
        {"one outlier", outlier, 0.1, {9, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {"zero speeds: 1 mm/s at least",
         std::vector<Particle>(3, particle(0.0)),
         0.0001,
         {3, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"not finite or stuck: left out",
         {particle(infinity), particle(std::nan("")), particle(2.0), particle(50.0, true)},
         0.02,
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimulationDataStore store;
        store.pixelsPerMeter = 10.0;
        store.update(c.particles, 0.0);
        const std::vector<SpeedRange>& bins = store.fittedSpeedBins.get();
        std::vector<std::int64_t> counts;
        for (const SpeedRange& bin : bins) {
            EXPECT_NEAR(bin.to - bin.from, c.width, c.width * 1e-9);
            counts.push_back(bin.count);
        }
        EXPECT_EQ(counts, c.counts);
        EXPECT_EQ(bins.front().from, 0.0);
    }
}

TEST(DataStoreTimeline, SamplesAreMoreThanHalfASecondApartAndKeepTheirFrameMaximum) {
    SimulationDataStore store;
    const std::vector<std::pair<double, double>> frames = {
        {10.0, 50.0}, {10.5, 20.0}, {10.3, 20.0}, {10.51, 80.0}, {12.0, 30.0}};
    for (const auto& [time, fastest] : frames)
        store.update(std::vector{particle(fastest), particle(1.0)}, time);
    EXPECT_EQ(sampleTimes(store), (std::vector<double>{10.0, 10.51, 12.0}));
    EXPECT_EQ(store.maxSpeed.get(), 80.0) << "the maximum only grows";
    const std::vector<TimePoint>& history = store.history.get();
    EXPECT_EQ(history[0].maxSpeed, 50.0);
    EXPECT_EQ(history[1].maxSpeed, 80.0);
    EXPECT_EQ(history[2].maxSpeed, 30.0);
    EXPECT_NE(history[0].id, history[1].id);
}

TEST(DataStoreTimeline, The2001stSampleDropsTheOldest) {
    SimulationDataStore store;
    for (int i = 0; i <= 2000; ++i)
        store.update({}, i * 1.0);
    const std::vector<double> times = sampleTimes(store);
    ASSERT_EQ(times.size(), 2000u);
    EXPECT_EQ(times.front(), 1.0);
    EXPECT_EQ(times.back(), 2000.0);
    const std::string csv = store.exportCSV();
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2001) << "the header and one line per kept sample";
}

TEST(DataStoreLifecycle, ResetEmptiesTheBinsAndNotifiesItsReaders) {
    SimulationDataStore store;
    store.update(std::vector{particle(100.0)}, 1.0);
    int notifications = 0;
    auto watch = store.speedBuckets.subscribe([&](const std::vector<SpeedBin>&) { ++notifications; });
    auto fittedWatch =
        store.fittedSpeedBins.subscribe([&](const std::vector<SpeedRange>&) { ++notifications; });
    store.reset();
    EXPECT_EQ(notifications, 2);
    EXPECT_TRUE(store.speedBuckets.get().empty());
    EXPECT_TRUE(store.fittedSpeedBins.get().empty());
    EXPECT_TRUE(store.history.get().empty());
    EXPECT_EQ(store.maxSpeed.get(), 0.0);
    EXPECT_EQ(store.totalParticles.get(), 0);
    store.update(std::vector{particle(5.0)}, 0.0);
    EXPECT_EQ(sampleTimes(store), (std::vector<double>{0.0})) << "a reset store takes a sample at once";
}

TEST(DataStoreCsv, HeaderThenOneLinePerSampleWithTheGlobalAverageDerivedFromIt) {
    const std::string header =
        "Time (s),Stuck Particles,Active Particles,Avg Speed (Global),Active Avg Speed,Max Speed\n";
    SimulationDataStore store;
    EXPECT_EQ(store.exportCSV(), header);
    store.history.set({{Uuid::random(), 12.5, 4, 6, 10.0, 31.257},
                       {Uuid::random(), 13.0, 0, 0, 42.0, 0.0},
                       {Uuid::random(), 1234.567, 1000000, 3, -0.004, 1e6}});
    EXPECT_EQ(store.exportCSV(), header + "12.50,4,6,6.00,10.00,31.26\n"
                                          "13.00,0,0,0.00,42.00,0.00\n"
                                          "1234.57,1000000,3,-0.00,-0.00,1000000.00\n");
}

} // namespace
} // namespace pelagrin
