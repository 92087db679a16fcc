// ExportedSetting: the deposits' GeoJSON and the NetCDF files' attributes state the run's settings alike.
#include "exports/DepositsGeoJson.hpp"
#include "exports/ExportedSetting.hpp"
#include "exports/RunAttributes.hpp"
#include "projects/Project.hpp"

#include <gtest/gtest.h>

namespace pelagrin {
namespace {

using nlohmann::json;

TEST(ExportedSetting, TheGeoJsonAndTheNetCdfAttributesStateEverySettingAlike) {
    Project project("Pond");
    auto parameters = std::make_shared<SimulationParameters>();
    parameters->flowSpeed = 0.25;
    parameters->waterDepth = 12.5;
    parameters->particleSettings = std::make_shared<ParticleSettings>(0.5, 1.2, 1234, 2);
    parameters->particleSettings.get()->shape = ParticleShape::fibre;
    parameters->transportModel = TransportModel::physical;
    PhysicalParameters physical;
    physical.windage = 0.02;
    parameters->physical = physical;
    project.parameters = parameters;
    const json geoJson = DepositsGeoJson::parametersOf(*parameters);
    const std::vector<NetCdfAttribute> attributes = runAttributes(project, 7, 60.0);
    auto attribute = [&](const std::string& name) {
        const auto found = std::find_if(attributes.begin(), attributes.end(),
                                        [&](const NetCdfAttribute& a) { return a.name == name; });
        return found == attributes.end() ? json() : std::visit([](auto v) { return json(v); }, found->value);
    };

    const struct {
        const char* inGeoJson;
        const char* attribute; // none for what only draws the particles
        json value;
    } cases[] = {
        {"/flowSpeed", "flowSpeed", 0.25},
        {"/waterDepth", "waterDepth", 12.5},
        {"/particleSettings/radius", "particle_radius", 0.5},
        {"/particleSettings/count", "particle_count", 1234},
        {"/particleSettings/colorMode", nullptr, 2},
        {"/transportModel", "transportModel", "physical"},
        {"/windage", "windage", 0.02},
        {"/particleSettings/shape", "particle_shape", "fibre"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(geoJson.at(json::json_pointer(c.inGeoJson)), c.value) << c.inGeoJson;
        if (c.attribute != nullptr) {
            EXPECT_EQ(attribute(c.attribute), c.value) << c.attribute;
        }
    }
    EXPECT_TRUE(attribute("particle_colorMode").is_null());

    // Every setting of the list, in both.
    for (const ExportedSetting& setting : exportedSettings(*parameters)) {
        const std::string path = (setting.isParticle ? "/particleSettings/" : "/") + setting.key;
        EXPECT_TRUE(geoJson.contains(json::json_pointer(path))) << path;
        if (setting.key != "colorMode") {
            EXPECT_FALSE(attribute((setting.isParticle ? "particle_" : "") + setting.key).is_null()) << path;
        }
    }
}

} // namespace
} // namespace pelagrin
