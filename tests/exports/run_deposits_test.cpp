// RunDeposits: a finished run's frame over its region, as the deposits' GeoJSON and the bed heatmap take it.
#include "analysis/SimulationDataStore.hpp"
#include "exports/DepositsGeoJson.hpp"
#include "exports/HeatmapNetCdf.hpp"
#include "exports/RunDeposits.hpp"
#include "projects/Project.hpp"
#include "simulation/SimulationController.hpp"

#include <boost/asio/io_context.hpp>
#include <gtest/gtest.h>
#include <numeric>

namespace pelagrin {
namespace {

/// A pond of 200 m whose boundary lies close round the emission, with a strong current and heavy particles
/// in shallow water: some strand, some settle.
std::shared_ptr<Project> pond() {
    auto project = std::make_shared<Project>("Pond");
    auto parameters = std::make_shared<SimulationParameters>(SimulationParameters::Values{
        .flowSpeed = 10.0, .simulationDuration = 120.0, .waterDepth = 0.3, .seed = std::uint64_t{11}});
    parameters->particleSettings = std::make_shared<ParticleSettings>(1.0, 1.05, 300);
    project->parameters = parameters;
    project->region = std::make_shared<Region>("Pond", 47.0, 8.0);
    project->region.get()->setWaterVertices({{47.0, 8.0}, {47.0, 8.002}, {47.002, 8.002}, {47.002, 8.0}});
    project->region.get()->emissionLat = 47.001;
    project->region.get()->emissionLon = 8.001;
    return project;
}

struct Controller {
    boost::asio::io_context context;
    SimulationDataStore store;
    SimulationController controller{context.get_executor(), store, RunPacing::unpaced()};
};

TEST(RunDeposits, AFinishedRunsRestingParticlesAreTheGeoJsonsPointsAndTheHeatmapsCells) {
    const std::shared_ptr<Project> project = pond();
    Controller run;
    EXPECT_FALSE(RunDeposits::of(run.controller, project->region.get().get())) << "before any run";
    run.controller.setCurrentSpeedMultiplier(60.0);
    run.controller.start(*project);
    run.context.run();

    std::int64_t stranded = 0, sedimented = 0;
    for (const Particle& p : run.controller.engine()->particles) {
        stranded += p.isStuck;
        sedimented += p.isSedimented && !p.isStuck;
    }
    ASSERT_GT(stranded, 0);
    ASSERT_GT(sedimented, 0);

    const std::optional<RunDeposits> deposits = RunDeposits::of(run.controller, project->region.get().get());
    ASSERT_TRUE(deposits);
    EXPECT_EQ(deposits->particles.size(), 300u);
    EXPECT_EQ(deposits->seed, 11u);
    EXPECT_GE(deposits->timeS, 120.0) << "the frame that ended the run";

    const nlohmann::json geoJson =
        nlohmann::json::parse(DepositsGeoJson::ofRun(run.controller, *project).value());
    std::int64_t points = 0, onShore = 0;
    for (const auto& feature : geoJson["features"]) {
        points += feature["geometry"]["type"] == "Point";
        onShore += feature["properties"].value("stranded", std::int64_t{0});
    }
    EXPECT_EQ(points, stranded + sedimented);
    EXPECT_EQ(onShore, stranded);
    EXPECT_EQ(geoJson["pelagrin"]["seed"], 11);

    const RunHeatmap heatmap = RunHeatmap::of(run.controller, *project, 60.0).value();
    EXPECT_EQ(std::accumulate(heatmap.bed.counts.begin(), heatmap.bed.counts.end(), std::int64_t{0}),
              sedimented);

    // Regions that cannot be mapped: none of the run's exports is made over them.
    const struct {
        const char* what;
        std::vector<GeoCoordinate> outline;
    } unmappable[] = {
        {"no outline", {}},
        {"two vertices", {{47.0, 8.0}, {47.002, 8.002}}},
        {"no extent north to south", {{47.0, 8.0}, {47.0, 8.001}, {47.0, 8.002}}},
    };
    for (const auto& region : unmappable) {
        project->region.get()->setWaterVertices(region.outline);
        EXPECT_FALSE(RegionOnCanvas::of(project->region.get().get())) << region.what;
        EXPECT_FALSE(RunDeposits::of(run.controller, project->region.get().get())) << region.what;
        EXPECT_FALSE(DepositsGeoJson::ofRun(run.controller, *project)) << region.what;
        EXPECT_FALSE(RunHeatmap::of(run.controller, *project, 60.0)) << region.what;
    }
    EXPECT_FALSE(RunDeposits::of(run.controller, nullptr));
}

} // namespace
} // namespace pelagrin
