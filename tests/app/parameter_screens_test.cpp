// The two parameter screens: screen defaults, creation on first write, value texts, ranges and steps.
#include "tests/app/WindowHarness.hpp"

namespace pelagrin::test {
namespace {

using nlohmann::json;

class ParameterScreens : public WindowTest {
protected:
    ParameterScreens() { open(*window, projectFile("Bare", false)); }

    /// The control `id` of `screen` as the window state shows it.
    json control(const char* screen, const std::string& id) const {
        const json state = window->state();
        for (const json& section : state["project"][screen]["sections"]) {
            for (const json& c : section["controls"]) {
                if (c["id"] == id) {
                    return c;
                }
            }
        }
        ADD_FAILURE() << "no control " << id << " on " << screen;
        return nullptr;
    }
    void set(const char* screen, const char* id, double value) {
        send(*window, {{"intent", "setControl"}, {"screen", screen}, {"id", id}, {"value", value}});
    }
    Project& project() const { return *launch->objectStore.projects().back(); }

    std::unique_ptr<MainWindow> window = launch->openWindow();
};

TEST_F(ParameterScreens, PhysicalParametersShowTheScreenDefaultsInOrderWithoutCreatingAnything) {
    const json screen = window->state()["project"]["parameters"];
    EXPECT_EQ(screen["title"], "Physical Parameters");
    EXPECT_EQ(screen["subtitle"], "Configure fluid dynamics and environmental variables.");
    std::vector<std::pair<std::string, std::vector<std::string>>> layout;
    std::vector<std::string> texts;
    for (const json& section : screen["sections"]) {
        layout.emplace_back(section["title"], std::vector<std::string>{});
        for (const json& c : section["controls"]) {
            layout.back().second.push_back(c["label"]);
            if (c.contains("text")) {
                texts.push_back(c["text"]);
            }
        }
    }
    const decltype(layout) expectedLayout{{"Experiment Duration", {"Run Simulation For"}},
                                          {"Environment", {"Water Depth", "Wind Speed", "Wind Direction"}},
                                          {"Flow Field", {"Mean Flow Speed", "Turbulence Intensity"}},
                                          {"Medium Properties", {"Relative Viscosity", "Gravity Scale"}}};
    EXPECT_EQ(layout, expectedLayout);
    EXPECT_EQ(texts, (std::vector<std::string>{"10.0 m", "0.0 m/s", "0°", "1.00 m/s", "30 %", "1.00 × water",
                                               "1.00 × g"}));
    EXPECT_EQ(control("parameters", "simulationDuration")["value"], 43200);
    EXPECT_EQ(project().parameters.get(), nullptr);
}

TEST_F(ParameterScreens, PhysicalControlsCarryTheirRangesStepsAndTooltips) {
    EXPECT_EQ(control("parameters", "waterDepth"), json({{"id", "waterDepth"},
                                                         {"kind", "slider"},
                                                         {"label", "Water Depth"},
                                                         {"value", 10.0},
                                                         {"text", "10.0 m"},
                                                         {"min", 2.0},
                                                         {"max", 50.0},
                                                         {"step", 1.0},
                                                         {"tooltip", "Total depth of the water column."}}));
    EXPECT_EQ(control("parameters", "windSpeed")["tooltip"],
              "Surface wind speed affecting shallow particles.");
    const json direction = control("parameters", "windDirection");
    EXPECT_EQ(direction["step"], nullptr);
    EXPECT_EQ(direction["iconRotation"], 0.0);
    EXPECT_FALSE(direction.contains("tooltip"));
    const json duration = control("parameters", "simulationDuration");
    EXPECT_EQ(duration["kind"], "picker");
    EXPECT_EQ(duration["choices"], json::parse(R"([{"label": "1 Hour", "value": 3600},
        {"label": "6 Hours", "value": 21600}, {"label": "12 Hours", "value": 43200},
        {"label": "24 Hours", "value": 86400}, {"label": "1 Week", "value": 604800}])"));
}

TEST_F(ParameterScreens, TheFirstPhysicalWriteCreatesTheParametersWithCreationDefaults) {
    set("parameters", "windSpeed", 5.0);
    const std::shared_ptr<SimulationParameters> parameters = project().parameters;
    ASSERT_NE(parameters, nullptr);
    EXPECT_EQ(parameters->windSpeed.get(), 5.0);
    EXPECT_EQ(parameters->waterDepth.get(), 10.0);
    EXPECT_EQ(parameters->turbulence.get(), 0.3);
    EXPECT_EQ(parameters->particleSettings.get(), nullptr);
    set("parameters", "simulationDuration", 604800);
    EXPECT_EQ(parameters->simulationDuration.get(), 604800.0);
    EXPECT_EQ(control("parameters", "windSpeed")["text"], "5.0 m/s");
}

TEST_F(ParameterScreens, ValueTextsTruncateDegreesAndPercent) {
    set("parameters", "windDirection", 359.9);
    EXPECT_EQ(control("parameters", "windDirection")["text"], "359°");
    EXPECT_EQ(control("parameters", "windDirection")["iconRotation"], 359.9);
    set("parameters", "turbulence", 0.05);
    EXPECT_EQ(control("parameters", "turbulence")["text"], "5 %");
    set("parameters", "turbulence", 10.0);
    EXPECT_EQ(control("parameters", "turbulence")["text"], "1000 %");
}

TEST_F(ParameterScreens, SlidersClampToTheirRangeAndRoundToTheirStep) {
    set("parameters", "waterDepth", 80.0);
    EXPECT_EQ(control("parameters", "waterDepth")["value"], 50.0);
    set("parameters", "waterDepth", 7.4);
    EXPECT_EQ(control("parameters", "waterDepth")["value"], 7.0);
    set("parameters", "flowSpeed", 0.37);
    EXPECT_EQ(control("parameters", "flowSpeed")["value"], 0.35);
    set("parameters", "flowSpeed", -3.0);
    EXPECT_EQ(control("parameters", "flowSpeed")["value"], 0.1);
    set("parameters", "windDirection", 123.456); // continuous
    EXPECT_EQ(control("parameters", "windDirection")["value"], 123.456);
    set("particles", "density", 1.38);
    EXPECT_EQ(control("particles", "density")["value"], 1.4);
    EXPECT_EQ(control("particles", "density")["text"], "1.40 g/cm³");
}

TEST_F(ParameterScreens, AStoredValueOutsideTheRangeIsShownAsStored) {
    set("parameters", "waterDepth", 10.0);
    project().parameters.get()->waterDepth = 120.0;
    project().parameters.get()->simulationDuration = 1000.0;
    EXPECT_EQ(control("parameters", "waterDepth")["value"], 120.0);
    EXPECT_EQ(control("parameters", "waterDepth")["text"], "120.0 m");
    EXPECT_EQ(control("parameters", "simulationDuration")["value"], 1000.0);
}

TEST_F(ParameterScreens, ParticleSettingsShowTheScreenDefaults) {
    const json screen = window->state()["project"]["particles"];
    EXPECT_EQ(screen["title"], "Particle Settings");
    EXPECT_EQ(screen["subtitle"],
              "Define particle characteristics for the Stokes-based microplastic simulation.");
    EXPECT_EQ(control("particles", "radius")["text"], "1.00 mm");
    EXPECT_EQ(control("particles", "radius")["label"], "Diameter");
    EXPECT_EQ(control("particles", "density")["text"], "0.90 g/cm³");
    EXPECT_EQ(control("particles", "colorMode"),
              json::parse(R"({"id": "colorMode", "kind": "segmented", "label": "Color Mode", "value": 0,
                  "choices": [{"label": "Uniform", "value": 0}, {"label": "By Speed", "value": 1},
                              {"label": "By Depth", "value": 2}]})"));
    EXPECT_EQ(control("particles", "count"),
              json::parse(R"({"id": "count", "kind": "stepper", "label": "Count: 5000", "value": 5000,
                  "min": 500, "max": 20000, "step": 500})"));
    EXPECT_EQ(project().parameters.get(), nullptr);
}

TEST_F(ParameterScreens, TheFirstParticleWriteCreatesParametersAndSettingsWithCreationDefaults) {
    set("particles", "count", 5500);
    const std::shared_ptr<SimulationParameters> parameters = project().parameters;
    ASSERT_NE(parameters, nullptr);
    const std::shared_ptr<ParticleSettings> settings = parameters->particleSettings;
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->count.get(), 5500);
    EXPECT_EQ(settings->density.get(), 1.05) << "the creation default, not the 0.9 shown before";
    EXPECT_EQ(settings->radius.get(), 1.0);
    EXPECT_EQ(parameters->flowSpeed.get(), 1.0);
    EXPECT_EQ(control("particles", "density")["text"], "1.05 g/cm³");
    EXPECT_EQ(control("particles", "count")["label"], "Count: 5500");
}

TEST_F(ParameterScreens, TheStepperStaysInItsRange) {
    set("particles", "count", 0);
    EXPECT_EQ(control("particles", "count")["value"], 500);
    set("particles", "count", 20500);
    EXPECT_EQ(control("particles", "count")["value"], 20000);
    set("particles", "radius", 0.1);
    EXPECT_EQ(control("particles", "radius")["text"], "0.10 mm");
    set("particles", "colorMode", 1);
    EXPECT_EQ(project().parameters.get()->particleSettings.get()->colorMode.get(), 1);
}

TEST_F(ParameterScreens, ValuesNoControlCanTakeAreRefused) {
    set("particles", "count", 5000);
    const auto refused = [&](const char* screen, const char* id, json value, const std::string& message) {
        expectRefused(*window, {{"intent", "setControl"}, {"screen", screen}, {"id", id}, {"value", value}},
                      message);
    };
    refused("parameters", "simulationDuration", 7200, "setControl: \"value\" is not one of the choices");
    refused("particles", "colorMode", 3, "is not one of the choices");
    refused("particles", "count", 5000.5, "\"value\" must be a whole number");
    refused("parameters", "flowDirection", 1.0, "setControl: no control \"flowDirection\"");
    refused("physics", "flowSpeed", 1.0, "setControl: \"screen\" must be");
    refused("parameters", "flowSpeed", "fast", "setControl: \"value\" must be a number");
    EXPECT_EQ(project().parameters.get()->simulationDuration.get(), 43200.0);
}

} // namespace
} // namespace pelagrin::test
