// The two parameter screens: the model's defaults before the first write creates it, value texts, ranges and
// steps.
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

TEST_F(ParameterScreens, BothScreensShowTheirControlsInOrderWithTheirTexts) {
    std::vector<std::vector<std::string>> ids;
    std::vector<std::string> texts;
    const json state = window->state();
    for (const json& section : state["project"]["parameters"]["sections"]) {
        ids.emplace_back();
        for (const json& c : section["controls"]) {
            ids.back().push_back(c["id"]);
            if (c.contains("text")) {
                texts.push_back(c["text"]);
            }
        }
    }
    const decltype(ids) expectedIds{{"simulationDuration"},
                                    {"waterDepth", "windSpeed", "windDirection"},
                                    {"flowSpeed", "turbulence"},
                                    {"viscosity", "gravityScale"},
                                    {"transportModel"}};
    EXPECT_EQ(ids, expectedIds);
    EXPECT_EQ(texts, (std::vector<std::string>{"10.0 m", "0.0 m/s", "0°", "1.00 m/s", "30 %", "1.00 × water",
                                               "1.00 × g"}));
    EXPECT_EQ(control("particles", "count")["label"], "Count: 5000");
}

TEST_F(ParameterScreens, EveryControlShowsBeforeTheFirstEditWhatTheModelHoldsAfterIt) {
    const json before = window->state()["project"];
    EXPECT_EQ(project().parameters.get(), nullptr) << "showing the defaults creates nothing";
    // The first edit on each screen creates its model objects; every other control must not move.
    const struct {
        const char* screen;
        const char* edited;
        double value;
    } edits[] = {{"parameters", "windSpeed", 5.0}, {"particles", "count", 5500}};
    for (const auto& edit : edits) {
        set(edit.screen, edit.edited, edit.value);
        EXPECT_EQ(control(edit.screen, edit.edited)["value"], edit.value);
    }
    ASSERT_NE(project().parameters.get(), nullptr);
    ASSERT_NE(project().parameters.get()->particleSettings.get(), nullptr);
    int compared = 0;
    for (const auto& edit : edits) {
        for (const json& section : before[edit.screen]["sections"]) {
            for (const json& shown : section["controls"]) {
                if (shown["id"] != edit.edited) {
                    EXPECT_EQ(control(edit.screen, shown["id"]), shown) << edit.screen << " " << shown["id"];
                    ++compared;
                }
            }
        }
    }
    EXPECT_EQ(compared, 9 + 6 - 2);
}

TEST_F(ParameterScreens, ControlsRoundToTheirStepAndTruncateTheirTexts) {
    const struct {
        const char* screen;
        const char* id;
        double sent, shown;
        const char* text; // empty: not checked
    } cases[] = {
        {"parameters", "waterDepth", 7.4, 7.0, ""},
        {"parameters", "flowSpeed", 0.37, 0.35, ""},
        {"parameters", "windDirection", 359.9, 359.9, "359°"},
        {"parameters", "turbulence", 0.05, 0.05, "5 %"},
        {"parameters", "turbulence", 10.0, 10.0, "1000 %"},
        {"particles", "density", 1.38, 1.4, "1.40 g/cm³"},
        {"particles", "radius", 0.1, 0.1, "0.10 mm"},
        {"parameters", "waterDepth", 50.0, 50.0, "50.0 m"},
        {"particles", "count", 5250, 5250, ""},
    };
    for (const auto& c : cases) {
        set(c.screen, c.id, c.sent);
        const json shown = control(c.screen, c.id);
        EXPECT_EQ(shown["value"], c.shown) << c.id << " " << c.sent;
        if (*c.text != '\0') {
            EXPECT_EQ(shown["text"], c.text) << c.id << " " << c.sent;
        }
    }
    EXPECT_EQ(control("parameters", "windDirection")["iconRotation"], 359.9);
}

TEST_F(ParameterScreens, ThePhysicalModelsControlsComeWithItAndStoreTheirValuesInTheirUnits) {
    const auto lastSectionTitle = [&] {
        return window->state()["project"]["parameters"]["sections"].back()["title"];
    };
    EXPECT_EQ(lastSectionTitle(), "Transport");
    EXPECT_FALSE(control("particles", "radius").contains("tooltip"));
    const auto physical = [&] { return project().parameters.get()->physical.get(); };
    const auto particles = [&]() -> ParticleSettings& {
        return *project().parameters.get()->particleSettings.get();
    };
    const struct {
        const char* screen;
        const char* id;
        double sent, shown;
        const char* text; // empty: not checked
        std::function<double()> stored;
        double expectedStored;
    } cases[] = {
        {"parameters", "transportModel", 1, 1, "",
         [&] { return static_cast<double>(project().parameters.get()->transportModel.get()); }, 1},
        {"parameters", "windage", 7.0, 7.0, "7.0", [&] { return physical().windage; }, 0.07},
        {"parameters", "waterTemperature", 22.3, 22.5, "22.5", [&] { return physical().waterTemperature; },
         22.5},
        {"parameters", "strandingHalfLife", 1830, 1860, "1860", [&] { return physical().strandingHalfLife; },
         1860},
        {"parameters", "refloatHalfLife", 0, 0, "never", [&] { return physical().refloatHalfLife; }, 0},
        {"parameters", "resuspensionSpeed", 0.25, 0.25, "0.25", [&] { return physical().resuspensionSpeed; },
         0.25},
        {"particles", "polymer", 4, 4, "", [&] { return particles().density.get(); }, 1.4},
        {"particles", "shape", 2, 2, "", [&] { return static_cast<double>(particles().shape.get()); }, 2},
    };
    for (const auto& c : cases) {
        set(c.screen, c.id, c.sent);
        const json shown = control(c.screen, c.id);
        EXPECT_EQ(shown["value"], c.shown) << c.id;
        if (*c.text != '\0') {
            EXPECT_EQ(shown["text"], c.text) << c.id;
        }
        EXPECT_NEAR(c.stored(), c.expectedStored, 1e-12) << c.id;
    }
    EXPECT_EQ(lastSectionTitle(), "Physical Model");
    EXPECT_EQ(control("particles", "radius")["label"], "Diameter");
    EXPECT_EQ(control("particles", "radius")["tooltip"],
              "The physical model reads this size as the particle's diameter.");
    set("particles", "density", 1.0);
    EXPECT_EQ(control("particles", "polymer")["value"], -1) << "a density no polymer is centred on";

    set("parameters", "transportModel", 0);
    EXPECT_EQ(lastSectionTitle(), "Transport");
    EXPECT_EQ(physical().windage, 0.07) << "the hidden numbers are kept";
}

TEST_F(ParameterScreens, EveryTurbulenceStepShowsThePercentageOfItsDecimal) {
    for (int k = 0; k <= 200; ++k) {
        const std::string expected = std::to_string(5 * k) + " %";
        // As the page reads the slider's "1.15", and as a sum of steps in binary would give it.
        for (const double sent : {k / 20.0, k * 0.05}) {
            set("parameters", "turbulence", sent);
            const json shown = control("parameters", "turbulence");
            EXPECT_EQ(shown["value"], k / 20.0) << "position " << k;
            EXPECT_EQ(shown["text"], expected) << "position " << k;
        }
    }
}

TEST_F(ParameterScreens, AStoredValueOutsideTheRangeIsShownAsStored) {
    set("parameters", "waterDepth", 10.0);
    project().parameters.get()->waterDepth = 120.0;
    project().parameters.get()->simulationDuration = 1000.0;
    EXPECT_EQ(control("parameters", "waterDepth")["value"], 120.0);
    EXPECT_EQ(control("parameters", "waterDepth")["text"], "120.0 m");
    EXPECT_EQ(control("parameters", "simulationDuration")["value"], 1000.0);
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
    refused("particles", "count", 20500,
            "setControl: \"value\" must be a number from 500 to 20000 for count");
    refused("parameters", "flowSpeed", -3.0, "\"value\" must be a number from 0.1 to 2 for flowSpeed");
    refused("parameters", "flowDirection", 1.0, "setControl: no control \"flowDirection\"");
    refused("physics", "flowSpeed", 1.0, "setControl: \"screen\" must be");
    refused("parameters", "windage", 3.0, "setControl: no control \"windage\" on Physical Parameters");
    refused("particles", "polymer", -1, "is not one of the choices of polymer");
    EXPECT_EQ(project().parameters.get()->simulationDuration.get(), 43200.0);
}

} // namespace
} // namespace pelagrin::test
