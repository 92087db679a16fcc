// TrajectoryWriter: samples of a few particles written one by one and read back as trajectories.
#include "exports/TrajectoryWriter.hpp"
#include "tests/exports/NetCdfReading.hpp"
#include "tests/support/TemporaryFolder.hpp"

namespace pelagrin::test {
namespace {

const CanvasMapping mapping{.minLatitude = 46.0,
                            .maxLatitude = 47.0,
                            .minLongitude = 8.0,
                            .maxLongitude = 10.0,
                            .width = 800.0,
                            .height = 600.0};

TEST(TrajectoryWriter, SamplesReadBackAsOneTrajectoryPerParticle) {
    TemporaryFolder folder;
    const std::filesystem::path path = folder / "run.nc";
    // Waiting, then drifting, then one strands and one settles on the bottom.
    std::vector<Particle> particles(4);
    TrajectoryWriter writer(path, particles.size(), mapping, 10.0,
                            std::chrono::sys_days{std::chrono::year{2026} / 5 / 1},
                            {{"seed", std::int64_t{7}}});
    TrajectoryWriter::Sample sample;
    auto append = [&](double time) {
        writer.pack(time, particles, sample);
        writer.write(sample);
    };
    append(0.0);
    for (Particle& particle : particles) {
        particle.isActive = true;
    }
    particles[1].position = {200.0, 150.0};
    particles[1].z = 2.5;
    append(60.0);
    particles[2].isStuck = true;
    particles[3].isSedimented = true;
    append(120.0);
    EXPECT_EQ(writer.sampleCount(), 3u);
    EXPECT_FALSE(std::filesystem::exists(path)) << "the file takes its place once complete";
    writer.close();

    const NetCdfReading file(path);
    EXPECT_EQ(file.dimension("trajectory"), 4u);
    EXPECT_EQ(file.dimension("obs"), 3u);
    EXPECT_EQ(file.values<long long>("trajectory"), (std::vector<long long>{0, 1, 2, 3}));
    EXPECT_EQ(file.values<double>("time"), (std::vector{0.0, 60.0, 120.0}));
    // Particle 1 at its second sample: a quarter of the canvas east and south of the north-west corner. The
    // packed step is 1/64,000 of the lake's box and of the water column.
    EXPECT_NEAR(file.unpacked("lon")[1 * 3 + 1], 8.5, 2.0 / 64'000);
    EXPECT_NEAR(file.unpacked("lat")[1 * 3 + 1], 46.75, 1.0 / 64'000);
    EXPECT_NEAR(file.unpacked("z")[1 * 3 + 1], 2.5, 10.0 / 64'000);
    // The box's corners and the column's ends are within the packed range.
    EXPECT_NEAR(file.unpacked("lon")[0], 8.0, 2.0 / 64'000);
    EXPECT_NEAR(file.unpacked("lat")[0], 47.0, 1.0 / 64'000);
    EXPECT_NEAR(file.unpacked("z")[0], 0.0, 10.0 / 64'000);
    EXPECT_EQ(file.values<signed char>("status"),
              (std::vector<signed char>{0, 1, 1, 0, 1, 1, 0, 1, 2, 0, 1, 3}));
    const int status = file.variable("status");
    EXPECT_EQ(file.text(status, "flag_meanings"), "not_released active stranded sedimented");
    EXPECT_EQ(file.text(file.variable("time"), "units"), "seconds since 2026-05-01 00:00:00");
    EXPECT_EQ(file.text(file.variable("z"), "positive"), "down");
    EXPECT_EQ(file.text(NC_GLOBAL, "featureType"), "trajectory");
    EXPECT_EQ(file.number(NC_GLOBAL, "seed"), 7.0);
    const std::string header = ncdumpHeader(path);
    if (!header.empty()) {
        EXPECT_NE(header.find("obs = UNLIMITED ; // (3 currently)"), std::string::npos) << header;
        EXPECT_NE(header.find("status:flag_values = 0b, 1b, 2b, 3b ;"), std::string::npos) << header;
    }
}

} // namespace
} // namespace pelagrin::test
