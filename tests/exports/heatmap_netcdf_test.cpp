// HeatmapNetCdf: a grid written and read back as the tools that open it see it.
#include "exports/HeatmapNetCdf.hpp"
#include "tests/exports/NetCdfReading.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <numeric>

namespace pelagrin::test {
namespace {

TEST(HeatmapNetCdf, AGridReadsBackWithItsCoordinatesCellsAndAttributes) {
    TemporaryFolder folder;
    const std::filesystem::path path = folder / "bed.nc";
    BedHeatmap heatmap{.south = 46.5,
                       .west = 8.25,
                       .cellLatitude = 0.5,
                       .cellLongitude = 0.25,
                       .rows = 2,
                       .columns = 3,
                       .counts = {0, 1, 2, 3, 4, 5},
                       .particlesPerKm2 = {0.0, 0.5, 1.0, 1.5, 2.0, 2.5}};
    writeHeatmapNetCdf(
        path, heatmap,
        {{"project", std::string("Kettle Pond")}, {"seed", std::int64_t{7}}, {"flowSpeed", 1.5}},
        std::chrono::sys_days{std::chrono::year{2026} / 5 / 1});

    const NetCdfReading file(path);
    EXPECT_EQ(file.dimension("lat"), 2u);
    EXPECT_EQ(file.dimension("lon"), 3u);
    EXPECT_EQ(file.values<double>("lat"), (std::vector{46.75, 47.25}));
    EXPECT_EQ(file.values<double>("lon"), (std::vector{8.375, 8.625, 8.875}));
    EXPECT_EQ(file.values<double>("sediment_density"), heatmap.particlesPerKm2);
    const std::vector<long long> counts = file.values<long long>("sediment_count");
    EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), 0LL), 15);
    EXPECT_EQ(counts[4], 4) << "row-major from the south-west cell";
    EXPECT_EQ(file.text(file.variable("lat"), "units"), "degrees_north");
    EXPECT_EQ(file.text(file.variable("lon"), "standard_name"), "longitude");
    EXPECT_EQ(file.text(file.variable("sediment_density"), "units"), "km-2");
    EXPECT_EQ(file.text(NC_GLOBAL, "Conventions"), "CF-1.8");
    EXPECT_EQ(file.text(NC_GLOBAL, "source"), "Pelagrin");
    EXPECT_EQ(file.text(NC_GLOBAL, "history"), "2026-05-01T00:00:00Z created by Pelagrin");
    EXPECT_EQ(file.text(NC_GLOBAL, "project"), "Kettle Pond");
    EXPECT_EQ(file.number(NC_GLOBAL, "seed"), 7.0);
    EXPECT_EQ(file.number(NC_GLOBAL, "flowSpeed"), 1.5);

    const std::string header = ncdumpHeader(path);
    if (!header.empty()) {
        EXPECT_NE(header.find("double sediment_density(lat, lon) ;"), std::string::npos) << header;
        EXPECT_NE(header.find("int64 sediment_count(lat, lon) ;"), std::string::npos) << header;
        EXPECT_NE(header.find(":Conventions = \"CF-1.8\" ;"), std::string::npos) << header;
        EXPECT_NE(header.find(":seed = 7LL ;"), std::string::npos) << header;
    }
}

} // namespace
} // namespace pelagrin::test
