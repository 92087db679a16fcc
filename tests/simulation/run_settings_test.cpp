// A project turned into a run: the transport model's own settings and refusals.
#include "projects/Project.hpp"
#include "projects/Region.hpp"
#include "simulation/RunSettings.hpp"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace pelagrin {
namespace {

/// A small lake with a closed square outline, 0.8 mm particles at density 1.2 in a project of `model`.
std::shared_ptr<Project> lakeProject(TransportModel model) {
    auto project = std::make_shared<Project>("Run Settings");
    auto region = std::make_shared<Region>("Lake", 47.25, 8.6, 0.0);
    region->setWaterVertices({{47.2, 8.5}, {47.3, 8.5}, {47.3, 8.7}, {47.2, 8.7}, {47.2, 8.5}});
    region->emissionLat = 47.25;
    region->emissionLon = 8.6;
    project->region = region;
    auto parameters = std::make_shared<SimulationParameters>();
    parameters->transportModel = model;
    auto particles = std::make_shared<ParticleSettings>(0.8, 1.2, 100);
    particles->shape = ParticleShape::fibre;
    parameters->particleSettings = particles;
    project->parameters = parameters;
    return project;
}

void setPhysical(Project& project, const std::function<void(PhysicalParameters&)>& change) {
    PhysicalParameters physical = project.parameters.get()->physical;
    change(physical);
    project.parameters.get()->physical = physical;
}

TEST(RunSettings, ThePhysicalModelReadsTheSizeAsADiameterAndRefusesWhatItCannotRun) {
    const auto original = lakeProject(TransportModel::original);
    const RunSettings originalRun = runSettingsOf(*original, 1.0);
    struct Case {
        const char* name;
        TransportModel model;
        std::function<void(Project&)> change;
        std::string refusal; // empty: the run is set up
    };
    const Case cases[] = {
        {"physical", TransportModel::physical,
         [](Project& p) { setPhysical(p, [](PhysicalParameters& f) { f.windage = 0.05; }); }, ""},
        {"original ignores the physical numbers", TransportModel::original,
         [](Project& p) { setPhysical(p, [](PhysicalParameters& f) { f.waterTemperature = 90.0; }); }, ""},
        {"too warm", TransportModel::physical,
         [](Project& p) { setPhysical(p, [](PhysicalParameters& f) { f.waterTemperature = 45.0; }); },
         "waterTemperature: 45 is outside [0, 40]"},
        {"negative half-life", TransportModel::physical,
         [](Project& p) { setPhysical(p, [](PhysicalParameters& f) { f.refloatHalfLife = -1.0; }); },
         "refloatHalfLife: -1 is outside [0, 1000000000]"},
        {"windage not a number", TransportModel::physical,
         [](Project& p) { setPhysical(p, [](PhysicalParameters& f) { f.windage = std::nan(""); }); },
         "windage: nan is outside [0, 1]"},
        {"no outline", TransportModel::physical, [](Project& p) { p.region.get()->setWaterVertices({}); },
         "region.waterVertices: 0 vertices make no water outline; the physical model needs at least 3"},
        {"no region", TransportModel::physical, [](Project& p) { p.region = nullptr; },
         "region.waterVertices: 0 vertices make no water outline; the physical model needs at least 3"},
    };
    for (const Case& c : cases) {
        const auto project = lakeProject(c.model);
        c.change(*project);
        try {
            const RunSettings run = runSettingsOf(*project, 1.0);
            EXPECT_EQ(c.refusal, "") << c.name << ": set up";
            EXPECT_EQ(run.model, c.model) << c.name;
            ASSERT_TRUE(run.mapping) << c.name;
            EXPECT_EQ(run.mapping->toCanvas({47.3, 8.5}).x, 0.0) << c.name;
            EXPECT_EQ(run.mapping->toCanvas({47.2, 8.7}).y, kCanvasHeight) << c.name;
            RunSettings withoutModel = run;
            withoutModel.model = TransportModel::original;
            withoutModel.physical = {};
            if (c.model == TransportModel::physical) {
                EXPECT_EQ(run.radiusMm, 0.4) << c.name;
                EXPECT_EQ(run.physical.windage, 0.05) << c.name;
                EXPECT_EQ(run.physical.shape, ParticleShape::fibre) << c.name;
                withoutModel.radiusMm = originalRun.radiusMm;
            }
            EXPECT_EQ(withoutModel, originalRun) << c.name << ": only the model's own fields differ";
        } catch (const std::invalid_argument& error) {
            EXPECT_EQ(std::string(error.what()), c.refusal) << c.name;
        }
    }
    EXPECT_EQ(originalRun.radiusMm, 0.8);
    EXPECT_EQ(originalRun.physical, PhysicalParameters{});
}

} // namespace
} // namespace pelagrin
