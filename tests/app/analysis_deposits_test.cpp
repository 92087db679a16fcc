// The analysis screen's deposits: the map's grid, stretches and sentences from the last run.
#include "app/analysis/DepositsPanel.hpp"
#include "tests/app/WindowHarness.hpp"
#include "tests/exports/NetCdfReading.hpp"

#include <algorithm>
#include <gmock/gmock.h>
#include <numeric>

namespace pelagrin::test {
namespace {

using nlohmann::json;

class AnalysisDeposits : public WindowTest {
protected:
    AnalysisDeposits() {
        // The square of 47–48° N, 8–9° E, run for an hour at 300x.
        open(*window, projectFile("Square Lake", true, true));
        send(*window, {{"intent", "selectSection"}, {"section", "simulation"}});
        send(*window, {{"intent", "setControl"},
                       {"screen", "parameters"},
                       {"id", "simulationDuration"},
                       {"value", 3600}});
        send(*window, {{"intent", "setSpeed"}, {"value", 300}});
        send(*window, {{"intent", "selectSection"}, {"section", "analysis"}});
    }

    json deposits() const { return window->state()["project"]["analysis"]["deposits"]; }
    void runToEnd() {
        send(*window, {{"intent", "toolbarPlayPause"}});
        launch->runLoop.run();
    }

    std::unique_ptr<MainWindow> window = launch->openWindow();
};

TEST_F(AnalysisDeposits, AfterARunTheMapsFiguresAddUpToItsRestingParticlesAndResetClearsThem) {
    EXPECT_EQ(deposits(), nullptr) << "before any run";
    for (const char* intent : {"exportDeposits", "exportHeatmap"}) {
        expectRefused(*window, {{"intent", intent}},
                      std::string(intent) + ": not applicable: no run has deposits");
    }
    runToEnd();
    const json shown = deposits();
    ASSERT_TRUE(shown.is_object()) << shown.dump();

    const json& totals = shown["totals"];
    EXPECT_EQ(totals["particles"], 500);
    EXPECT_GT(totals["stranded"].get<int>() + totals["sedimented"].get<int>(), 0);
    EXPECT_EQ(shown["outline"].size(), 4u);
    EXPECT_EQ(shown["outline"][0], (json{{"latitude", 47.0}, {"longitude", 8.0}}));

    // The bed: a grid of about square cells over the outline's box, 111 km north-south by 75 km east-west.
    const json& heatmap = shown["heatmap"];
    EXPECT_EQ(heatmap["legend"], "Sediment (particles/km²)");
    EXPECT_EQ(heatmap["rows"], 50);
    EXPECT_EQ(heatmap["columns"], 34);
    EXPECT_EQ(heatmap["south"], 47.0);
    EXPECT_DOUBLE_EQ(heatmap["east"].get<double>(), 9.0);
    const std::vector<double> density = heatmap["particlesPerKm2"];
    ASSERT_EQ(density.size(), 50u * 34u);
    EXPECT_EQ(heatmap["max"], *std::max_element(density.begin(), density.end()));
    EXPECT_EQ(heatmap["max"].get<double>() > 0, totals["sedimented"].get<int>() > 0);

    // The shore: its stretches hold every stranded particle.
    const json& shore = shown["shore"];
    EXPECT_EQ(shore["legend"], "Stranded (particles per 100 m of shore)");
    std::int64_t onShore = 0;
    for (const json& segment : shore["segments"]) {
        onShore += segment["stranded"].get<std::int64_t>();
        EXPECT_GE(segment["points"].size(), 2u);
    }
    EXPECT_EQ(onShore, totals["stranded"]);

    // The sentences under the map.
    ASSERT_LE(shown["top"].size(), DepositsPanel::topCount);
    EXPECT_EQ(shown["top"].empty(), totals["stranded"] == 0);
    for (const json& sentence : shown["top"]) {
        EXPECT_THAT(
            sentence.get<std::string>(),
            ::testing::MatchesRegex("Shore at 4[78]\\.[0-9]{4}° N, [89]\\.[0-9]{4}° E: [0-9]+ particles?, "
                                    "[0-9]+\\.[0-9] % of all"));
    }
    if (totals["sedimented"] > 0) {
        EXPECT_THAT(
            shown["hotspot"].get<std::string>(),
            ::testing::MatchesRegex("Bed at 4[78]\\.[0-9]{4}° N, [89]\\.[0-9]{4}° E: [0-9]+ particles?, "
                                    "[0-9]+\\.[0-9] % of all \\([0-9]+ particles/km²\\)"));
    }

    // "Export Deposits": the save dialog for a GeoJSON file, whose points are the resting particles.
    send(*window, {{"intent", "exportDeposits"}});
    EXPECT_EQ(window->state()["fileDialog"]["fileName"], "Deposits.geojson");
    expectRefused(*window, {{"intent", "fileDialogSave"}, {"folder", projects().string()}, {"name", "d.csv"}},
                  "fileDialogSave: \"name\" must be a file name ending in .geojson");
    send(*window,
         {{"intent", "fileDialogSave"}, {"folder", projects().string()}, {"name", "Deposits.geojson"}});
    const json file = json::parse(readFile(projects() / "Deposits.geojson"));
    std::int64_t points = 0;
    for (const json& feature : file["features"]) {
        points += feature["geometry"]["type"] == "Point";
    }
    EXPECT_EQ(points, totals["stranded"].get<std::int64_t>() + totals["sedimented"].get<std::int64_t>());
    EXPECT_EQ(file["pelagrin"]["seed"], launch->controller.seed().value());

    // "Export Heatmap": the bed as a NetCDF grid whose cells hold the sedimented particles.
    send(*window, {{"intent", "exportHeatmap"}});
    EXPECT_EQ(window->state()["fileDialog"]["fileName"], "BedHeatmap.nc");
    send(*window, {{"intent", "fileDialogSave"}, {"folder", projects().string()}, {"name", "BedHeatmap.nc"}});
    const NetCdfReading grid(projects() / "BedHeatmap.nc");
    const std::vector<long long> cells = grid.values<long long>("sediment_count");
    EXPECT_EQ(std::accumulate(cells.begin(), cells.end(), 0LL), totals["sedimented"].get<long long>());
    EXPECT_EQ(grid.number(NC_GLOBAL, "seed"), static_cast<double>(launch->controller.seed().value()));

    send(*window, {{"intent", "toolbarReset"}});
    EXPECT_EQ(deposits(), nullptr) << "a fresh run has no deposits yet";
}

} // namespace
} // namespace pelagrin::test
