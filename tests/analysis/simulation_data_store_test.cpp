// The statistics of a snapshot, the timeline's spacing and cap, the histogram's bins and the exact CSV text.
#include "analysis/SimulationDataStore.hpp"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace pelagrin {
namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

Particle moving(double speed) {
    Particle p;
    p.isActive = true;
    p.speed = speed;
    return p;
}

Particle stuck(double speed = 0.0) {
    Particle p = moving(speed);
    p.isStuck = true;
    return p;
}

std::vector<std::int64_t> binCounts(const SimulationDataStore& store) {
    std::vector<std::int64_t> counts;
    for (const SpeedBin& bin : store.speedBuckets.get())
        counts.push_back(bin.count);
    return counts;
}

std::vector<double> sampleTimes(const SimulationDataStore& store) {
    std::vector<double> times;
    for (const TimePoint& sample : store.history.get())
        times.push_back(sample.time);
    return times;
}

TEST(DataStoreStatistics, StuckParticlesCountInTheGlobalAverageButNotTheActiveOne) {
    std::vector<Particle> particles(4, stuck());
    particles.insert(particles.end(), 6, moving(10.0));
    SimulationDataStore store;
    store.update(particles, 3.0);

    EXPECT_EQ(store.totalParticles.get(), 10);
    EXPECT_EQ(store.stuckParticles.get(), 4);
    EXPECT_EQ(store.activeParticles.get(), 6);
    EXPECT_DOUBLE_EQ(store.averageSpeed.get(), 6.0);
    EXPECT_DOUBLE_EQ(store.activeAverageSpeed.get(), 10.0);
    ASSERT_EQ(store.history.get().size(), 1u);
    const TimePoint& sample = store.history.get().front();
    EXPECT_EQ(sample.time, 3.0);
    EXPECT_EQ(sample.stuckCount, 4);
    EXPECT_EQ(sample.activeCount, 6);
    EXPECT_DOUBLE_EQ(sample.averageSpeed, 10.0) << "a sample carries the active average";
}

TEST(DataStoreStatistics, SedimentedCountsAsStuckAndUnreleasedAsActive) {
    Particle sedimented = moving(1.0);
    sedimented.isSedimented = true;
    Particle waiting = moving(0.0);
    waiting.isActive = false;
    SimulationDataStore store;
    store.update(std::vector{sedimented, waiting}, 0.0);
    EXPECT_EQ(store.stuckParticles.get(), 1);
    EXPECT_EQ(store.activeParticles.get(), 1);
    EXPECT_EQ(binCounts(store), (std::vector<std::int64_t>{1, 0, 0, 0, 0}))
        << "the sedimented one is not binned";
}

TEST(DataStoreStatistics, AnInfiniteSpeedIsDroppedFromTheSumButKeptInTheDivisor) {
    SimulationDataStore store;
    store.update(std::vector{moving(infinity), moving(30.0), stuck(infinity)}, 0.0);
    EXPECT_DOUBLE_EQ(store.averageSpeed.get(), 10.0);
    EXPECT_DOUBLE_EQ(store.maxSpeed.get(), 30.0);
    EXPECT_EQ(store.activeAverageSpeed.get(), infinity);
    EXPECT_EQ(store.history.get().front().maxSpeed, 30.0);
    EXPECT_EQ(binCounts(store), (std::vector<std::int64_t>{1, 0, 0, 0, 1}));
}

TEST(DataStoreStatistics, ANotANumberSpeedDoesNotStopTheUpdate) {
    SimulationDataStore store;
    store.update(std::vector{moving(std::nan("")), moving(20.0)}, 0.0);
    EXPECT_DOUBLE_EQ(store.averageSpeed.get(), 10.0);
    EXPECT_EQ(store.maxSpeed.get(), 20.0);
    EXPECT_EQ(store.speedBuckets.get().size(), 5u);
}

TEST(DataStoreStatistics, MaxSpeedOnlyGrowsWhileEachSampleKeepsItsFrameMaximum) {
    SimulationDataStore store;
    const double maxima[] = {50.0, 80.0, 30.0};
    for (int i = 0; i < 3; ++i)
        store.update(std::vector{moving(maxima[i]), moving(1.0)}, i * 1.0);
    EXPECT_EQ(store.maxSpeed.get(), 80.0);
    ASSERT_EQ(store.history.get().size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(store.history.get()[i].maxSpeed, maxima[i]);
}

TEST(DataStoreStatistics, AnEmptySnapshotGivesZerosFiveEmptyBinsAndASample) {
    SimulationDataStore store;
    store.update({}, 7.0);
    EXPECT_EQ(store.totalParticles.get(), 0);
    EXPECT_EQ(store.averageSpeed.get(), 0.0);
    EXPECT_EQ(store.activeAverageSpeed.get(), 0.0);
    EXPECT_EQ(binCounts(store), (std::vector<std::int64_t>(5, 0)));
    EXPECT_EQ(sampleTimes(store), (std::vector<double>{7.0}));
}

TEST(DataStoreHistogram, BinsAreSixtyWideAndTheLastTakesEverythingFaster) {
    SimulationDataStore store;
    store.update(std::vector{moving(59.99), moving(60.0), moving(299.99), moving(300.0), moving(10000.0)},
                 0.0);
    std::vector<std::string> labels;
    for (const SpeedBin& bin : store.speedBuckets.get())
        labels.push_back(bin.range);
    EXPECT_EQ(labels, (std::vector<std::string>{"0-60", "60-120", "120-180", "180-240", "240-300"}));
    EXPECT_EQ(binCounts(store), (std::vector<std::int64_t>{1, 1, 0, 0, 3}));
}

TEST(DataStoreTimeline, SamplesAreMoreThanHalfASecondOfSimulationTimeApart) {
    SimulationDataStore store;
    const std::vector particles{moving(1.0)};
    store.update(particles, 10.0);
    store.update(particles, 10.5);
    store.update(particles, 10.3);
    EXPECT_EQ(sampleTimes(store), (std::vector<double>{10.0}));
    store.update(particles, 10.51);
    EXPECT_EQ(sampleTimes(store), (std::vector<double>{10.0, 10.51}));
    EXPECT_NE(store.history.get()[0].id, store.history.get()[1].id);
}

TEST(DataStoreTimeline, The2001stSampleDropsTheOldest) {
    SimulationDataStore store;
    for (int i = 0; i <= 2000; ++i)
        store.update({}, i * 1.0);
    const std::vector<double> times = sampleTimes(store);
    ASSERT_EQ(times.size(), SimulationDataStore::historyLimit);
    EXPECT_EQ(times.front(), 1.0);
    EXPECT_EQ(times.back(), 2000.0);
    const std::string csv = store.exportCSV();
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2001) << "the header and one line per kept sample";
}

TEST(DataStoreLifecycle, ResetEmptiesTheBinsAndNotifiesItsReaders) {
    SimulationDataStore store;
    store.update(std::vector{moving(100.0)}, 1.0);
    int notifications = 0;
    auto watch = store.speedBuckets.subscribe([&](const std::vector<SpeedBin>&) { ++notifications; });
    store.reset();
    EXPECT_EQ(notifications, 1);
    EXPECT_TRUE(store.speedBuckets.get().empty());
    EXPECT_TRUE(store.history.get().empty());
    EXPECT_EQ(store.maxSpeed.get(), 0.0);
    EXPECT_EQ(store.totalParticles.get(), 0);
    store.update(std::vector{moving(5.0)}, 0.0);
    EXPECT_EQ(sampleTimes(store), (std::vector<double>{0.0})) << "a reset store takes a sample at once";
}

TimePoint sample(double time, std::int64_t stuckCount, std::int64_t activeCount, double averageSpeed,
                 double maxSpeed) {
    return {Uuid::random(), time, stuckCount, activeCount, averageSpeed, maxSpeed};
}

TEST(DataStoreCsv, AnEmptyTimelineIsTheHeaderAlone) {
    const std::string csv = SimulationDataStore().exportCSV();
    EXPECT_EQ(csv,
              "Time (s),Stuck Particles,Active Particles,Avg Speed (Global),Active Avg Speed,Max Speed\n");
    EXPECT_EQ(csv.size(), 88u);
}

TEST(DataStoreCsv, EachSampleIsOneLineWithTheGlobalAverageDerivedFromIt) {
    SimulationDataStore store;
    store.history.set({sample(12.5, 4, 6, 10.0, 31.257), sample(13.0, 0, 0, 42.0, 0.0),
                       sample(1234.567, 1000000, 3, -0.004, 1e6)});
    const std::string csv = store.exportCSV();
    EXPECT_EQ(csv.substr(SimulationDataStore::csvHeader.size()),
              "12.50,4,6,6.00,10.00,31.26\n"
              "13.00,0,0,0.00,42.00,0.00\n"
              "1234.57,1000000,3,-0.00,-0.00,1000000.00\n");
}

} // namespace
} // namespace pelagrin
