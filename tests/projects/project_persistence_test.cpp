#include "projects/ProjectPersistence.hpp"
#include "support/AtomicWrite.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <bit>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>

namespace pelagrin {
namespace {

using pelagrin::test::readFile;
using pelagrin::test::TemporaryFolder;
using pelagrin::test::writeFile;
using ::testing::HasSubstr;
namespace Persistence = ProjectPersistence;

std::shared_ptr<Project> completeProject() {
    auto project = std::make_shared<Project>("Zürichsee", Timestamp{786'000'000.123456});
    auto region = std::make_shared<Region>("Lower lake", 47.2667, 8.6000001, 37.5);
    region->setWaterVertices({{47.2, 8.5}, {47.3, 8.5}, {47.3, 8.7}, {47.2, 8.7}, {47.2, 8.5}});
    region->emissionLat = 47.25;
    region->emissionLon = 8.6;
    project->region = region;
    SimulationParameters::Values values;
    values.flowSpeed = 0.1 + 0.2; // not a short decimal: must survive bit for bit
    values.turbulence = 4.0e-05;
    values.flowDirection = 270.0;
    values.simulationDuration = 7200.0;
    auto parameters = std::make_shared<SimulationParameters>(values);
    parameters->particleSettings = std::make_shared<ParticleSettings>(0.5, 1.38, 12'000, 2);
    project->parameters = parameters;
    return project;
}

std::shared_ptr<Project> loadText(const TemporaryFolder& folder, std::string_view text) {
    const auto path = folder / "Loaded.pelagrinproj";
    writeFile(path, text);
    return Persistence::load(path);
}

std::string loadError(const TemporaryFolder& folder, std::string_view text) {
    try {
        loadText(folder, text);
    } catch (const Persistence::LoadError& error) {
        return error.what();
    }
    return "(loaded without error)";
}

TEST(ProjectPersistence, RoundTripKeepsEveryFileFieldBitForBit) {
    const TemporaryFolder folder;
    const auto path = folder / "Zürichsee.pelagrinproj";
    const auto original = completeProject();
    original->region.get()->emissionRadius = 40.0;
    original->parameters.get()->waterDepth = 25.0;
    original->parameters.get()->windSpeed = 3.0;
    original->parameters.get()->windDirection = 90.0;
    original->parameters.get()->seed = std::uint64_t{9'007'199'254'740'991}; // the largest a file can hold
    Persistence::save(*original, path);
    const auto loaded = Persistence::load(path);

    EXPECT_NE(loaded->id, original->id);
    EXPECT_EQ(loaded->directoryURL.get(), path.string());
    EXPECT_EQ(loaded->name.get(), "Zürichsee");
    EXPECT_EQ(std::bit_cast<std::uint64_t>(loaded->createdAt->secondsSince2001),
              std::bit_cast<std::uint64_t>(original->createdAt->secondsSince2001));
    const Region& region = *loaded->region.get();
    EXPECT_EQ(region.name.get(), "Lower lake");
    EXPECT_EQ(region.longitude.get(), 8.6000001);
    EXPECT_EQ(region.flowDirection.get(), 37.5);
    EXPECT_EQ(region.waterVertices(), original->region.get()->waterVertices());
    EXPECT_EQ(region.emissionLat.get(), 47.25);
    // The loader recomputes the simulation geometry; the closing vertex is mapped too.
    EXPECT_EQ(region.waterVerticesSim().size(), 5u);
    EXPECT_TRUE(region.emissionPointSim());
    const SimulationParameters& parameters = *loaded->parameters.get();
    EXPECT_EQ(std::bit_cast<std::uint64_t>(parameters.flowSpeed.get()),
              std::bit_cast<std::uint64_t>(0.1 + 0.2));
    EXPECT_EQ(parameters.turbulence.get(), 4.0e-05);
    EXPECT_EQ(parameters.flowDirection.get(), 270.0);
    EXPECT_EQ(parameters.simulationDuration.get(), 7200.0);
    const ParticleSettings& particles = *parameters.particleSettings.get();
    EXPECT_EQ(particles.radius.get(), 0.5);
    EXPECT_EQ(particles.density.get(), 1.38);
    EXPECT_EQ(particles.count.get(), 12'000);
    EXPECT_EQ(particles.colorMode.get(), 2);
    EXPECT_EQ(region.emissionRadius.get(), 40.0);
    EXPECT_EQ(parameters.waterDepth.get(), 25.0);
    EXPECT_EQ(parameters.windSpeed.get(), 3.0);
    EXPECT_EQ(parameters.windDirection.get(), 90.0);
    EXPECT_EQ(parameters.seed.get(), std::uint64_t{9'007'199'254'740'991});
    EXPECT_NE(Persistence::load(path)->id, loaded->id);
}

TEST(ProjectPersistence, TransportModelPhysicalParametersAndShapeRoundTrip) {
    const TemporaryFolder folder;
    const auto path = folder / "model.pelagrinproj";
    PhysicalParameters warmAndWindy;
    warmAndWindy.waterTemperature = 40.0;
    warmAndWindy.horizontalDiffusivity = 0.1 + 0.2; // not a short decimal: must survive bit for bit
    warmAndWindy.verticalDiffusivity = 1e-5;
    warmAndWindy.windage = 0.0;
    warmAndWindy.strandingHalfLife = 0.0;
    warmAndWindy.refloatHalfLife = 86400.0;
    warmAndWindy.resuspensionSpeed = 0.25;
    struct Case {
        TransportModel model;
        PhysicalParameters physical;
        ParticleShape shape;
    };
    const Case cases[] = {
        {TransportModel::original, PhysicalParameters{}, ParticleShape::sphere},
        {TransportModel::physical, warmAndWindy, ParticleShape::fragment},
        {TransportModel::physical, PhysicalParameters{}, ParticleShape::fibre},
        {TransportModel::original, warmAndWindy, ParticleShape::sphere},
    };
    for (const Case& c : cases) {
        const auto original = completeProject();
        original->parameters.get()->transportModel = c.model;
        original->parameters.get()->physical = c.physical;
        original->parameters.get()->particleSettings.get()->shape = c.shape;
        Persistence::save(*original, path);
        const auto loadedProject = Persistence::load(path);
        const SimulationParameters& loaded = *loadedProject->parameters.get();
        const std::string label = std::string(keyOf(c.model));
        EXPECT_EQ(loaded.transportModel.get(), c.model) << label;
        EXPECT_EQ(loaded.physical.get(), c.physical) << label;
        EXPECT_EQ(loaded.particleSettings.get()->shape.get(), c.shape) << label;
        EXPECT_EQ(loaded.particleSettings.get()->radius.get(), 0.5) << label;
    }
}

TEST(ProjectPersistence, BareProjectAndRegionWithoutPolygonWriteOnlyWhatTheyHave) {
    const TemporaryFolder folder;
    const auto path = folder / "bare.pelagrinproj";
    Project project("Bare", Timestamp{1.5});
    ::testing::internal::CaptureStdout();
    Persistence::save(project, path);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "💾 Saved project to: " + path.string() + "\n");
    EXPECT_EQ(nlohmann::json::parse(readFile(path)), (nlohmann::json{{"name", "Bare"}, {"created", 1.5}}));
    EXPECT_FALSE(Persistence::load(path)->region.get());
    EXPECT_FALSE(Persistence::load(path)->parameters.get());

    project.region = std::make_shared<Region>("Spot", 10.0, 20.0);
    Persistence::save(project, path);
    const auto stored = nlohmann::json::parse(readFile(path))["region"];
    EXPECT_EQ(stored["waterVertices"], nlohmann::json::array());
    EXPECT_EQ(stored["emissionPoint"], (nlohmann::json{{"latitude", 0.0}, {"longitude", 0.0}}));
    const auto loaded = Persistence::load(path);
    EXPECT_FALSE(loaded->region.get()->waterVerticesSimData.get());
    EXPECT_FALSE(loaded->region.get()->emissionPointSim());
}

TEST(ProjectPersistence, ReadsTheOriginalEncodersLayoutAndSkipsUnknownKeys) {
    const TemporaryFolder folder;
    const auto project = loadText(folder, R"({
  "parameters" : {
    "turbulence" : 4.0e-05,
    "gravityScale" : 1,
    "viscosity" : 1,
    "flowSpeed" : 0.5,
    "windSpeed" : null,
    "extra" : [1, 2],
    "particles" : { "colorMode" : 1, "count" : 2.0e3, "density" : 1.05, "radius" : 1 }
  },
  "region" : { "flowDirection" : 0, "longitude" : 8.25, "latitude" : 47.5, "name" : "Lake", "note" : null },
  "created" : 786000000.5,
  "name" : "Old file",
  "version" : 3
})");
    EXPECT_EQ(project->name.get(), "Old file");
    EXPECT_EQ(project->parameters.get()->turbulence.get(), 4.0e-05);
    // Missing optional keys, and those given as null, take their documented values.
    const SimulationParameters& parameters = *project->parameters.get();
    EXPECT_EQ(parameters.flowDirection.get(), 0.0);
    EXPECT_EQ(parameters.simulationDuration.get(), 43200.0);
    EXPECT_EQ(parameters.waterDepth.get(), 10.0);
    EXPECT_EQ(parameters.windSpeed.get(), 0.0);
    EXPECT_EQ(parameters.windDirection.get(), 0.0);
    EXPECT_FALSE(parameters.seed.get()) << "without a seed every run draws its own";
    EXPECT_EQ(parameters.transportModel.get(), TransportModel::original);
    EXPECT_EQ(parameters.physical.get(), PhysicalParameters{});
    EXPECT_EQ(parameters.particleSettings.get()->shape.get(), ParticleShape::sphere);
    EXPECT_EQ(project->region.get()->emissionRadius.get(), 10.0);
    EXPECT_EQ(project->parameters.get()->particleSettings.get()->count.get(), 2000);
    EXPECT_TRUE(project->region.get()->waterVertices().empty());
}

TEST(ProjectPersistence, StrictDecodingNamesTheKeyAndTheProblem) {
    const TemporaryFolder folder;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"({"name": "x", "created": "2024-01-01"})", R"("created": expected a number, got a string)"},
        {R"({"created": 1})", R"("name": missing)"},
        {R"({"name": "x", "created": 1, "parameters": {"flowSpeed": 1, "turbulence": 1, "viscosity": 1,
          "gravityScale": 1, "particles": {"radius": 1, "density": 1, "count": 2.5, "colorMode": 0}}})",
         R"("parameters.particles.count": expected a whole number, got 2.5)"},
        {R"({"name": "x", "created": 1, "region": {"name": "r", "latitude": 1, "longitude": 1,
          "flowDirection": 0, "waterVertices": [{"latitude": 1, "longitude": 1}, {"latitude": 1}]}})",
         R"("region.waterVertices[1].longitude": missing)"},
        {R"({"name": "x", "created": 1, "parameters": {"flowSpeed": 1, "turbulence": 1, "viscosity": 1,
          "gravityScale": 1, "seed": -1}})",
         R"("parameters.seed": -1 is outside [0, 9007199254740991])"},
        {R"({"name": "x", "created": 1, "parameters": {"flowSpeed": 1, "turbulence": 1, "viscosity": 1,
          "gravityScale": 1, "seed": 9007199254740992}})",
         R"("parameters.seed": 9007199254740992 is outside [0, 9007199254740991])"},
        {R"({"name": "x", "created": 1, "parameters": {"flowSpeed": 1, "turbulence": 1, "viscosity": 1,
          "gravityScale": 1, "seed": 2.5}})",
         R"("parameters.seed": expected a whole number, got 2.5)"},
        {R"({"name": "x", "created": 1, "parameters": {"flowSpeed": 1, "turbulence": 1, "viscosity": 1,
          "gravityScale": 1, "seed": "7"}})",
         R"("parameters.seed": expected a number, got a string)"},
        {R"({"name": "x", "created": 1, "parameters": {"flowSpeed": 1, "turbulence": 1, "viscosity": 1,
          "gravityScale": 1, "transportModel": "lagrangian"}})",
         R"("parameters.transportModel": expected one of original, physical, got "lagrangian")"},
        {R"({"name": "x", "created": 1, "parameters": {"flowSpeed": 1, "turbulence": 1, "viscosity": 1,
          "gravityScale": 1, "particles": {"radius": 1, "density": 1, "count": 1, "colorMode": 0,
          "shape": "cube"}}})",
         R"("parameters.particles.shape": expected one of sphere, fragment, fibre, got "cube")"},
        {R"({"name": "x", "created": 1, "parameters": {"flowSpeed": 1, "turbulence": 1, "viscosity": 1,
          "gravityScale": 1, "refloatHalfLife": -1}})",
         R"("parameters.refloatHalfLife": -1 is outside [0, 1000000000])"},
        {R"({"name": "x", "created": 1, "parameters": {"flowSpeed": 1, "turbulence": 1, "viscosity": 1,
          "gravityScale": 1, "waterTemperature": 41.5}})",
         R"("parameters.waterTemperature": 41.5 is outside [0, 40])"},
        {R"({"name": "x", "created": 1, "parameters": {"flowSpeed": 1, "turbulence": 1, "viscosity": 1,
          "gravityScale": 1, "windage": "3 %"}})",
         R"("parameters.windage": expected a number, got a string)"},
        {R"([1, 2])", "expected an object, got an array"},
        {R"({"name": "x", "created": 1)", "invalid JSON"},
        {"", "invalid JSON"},
        {R"({"name": "x", "created": 1e999})", "invalid JSON"},
    };
    for (const auto& [text, message] : cases) {
        EXPECT_THAT(loadError(folder, text), HasSubstr(message)) << text;
    }
}

TEST(ProjectPersistence, FailedSaveLeavesThePreviousFileIntact) {
    const TemporaryFolder folder;
    const auto path = folder / "p.pelagrinproj";
    const auto project = completeProject();
    Persistence::save(*project, path);
    const std::string before = readFile(path);

    project->parameters.get()->flowSpeed = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(Persistence::save(*project, path), FileWriteError);
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);

    EXPECT_THROW(Persistence::save(*completeProject(), folder / "no-such-folder" / "p.pelagrinproj"),
                 FileWriteError);
}

} // namespace
} // namespace pelagrin
