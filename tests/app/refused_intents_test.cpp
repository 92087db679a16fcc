// Intents refused: a message of the wrong shape, and intents a main window finds unknown, malformed, or not
// applicable to what it shows.
#include "tests/app/WindowHarness.hpp"

#include <limits>

namespace pelagrin::test {
namespace {

using nlohmann::json;
using RefusedIntents = WindowTest;

std::string refusal(const json& message, const char* key = nullptr) {
    try {
        const Intent intent(message);
        if (key != nullptr) {
            (void)intent.number(key);
        }
    } catch (const IntentError& error) {
        return error.what();
    }
    return "";
}

TEST(Intent, AMessageMustBeAnObjectWithAStringNameAndItsArgumentsOfTheirType) {
    EXPECT_EQ(refusal(json::array()), "an intent must be a JSON object");
    EXPECT_EQ(refusal("selectSection"), "an intent must be a JSON object");
    EXPECT_EQ(refusal({{"section", "region"}}), "an intent must have a string \"intent\"");
    EXPECT_EQ(refusal({{"intent", 4}}), "an intent must have a string \"intent\"");
    EXPECT_EQ(refusal({{"intent", "setControl"}}, "value"), "setControl: \"value\" is missing");
    for (const json& notANumber : {json("1"), json(nullptr), json(std::numeric_limits<double>::infinity())}) {
        EXPECT_EQ(refusal({{"intent", "setControl"}, {"value", notANumber}}, "value"),
                  "setControl: \"value\" must be a number")
            << notANumber;
    }
}

TEST_F(RefusedIntents, UnknownOrMalformedIntentsAreRefusedWithTheirReason) {
    const auto window = launch->openWindow();
    expectRefused(*window, {{"intent", "launchRocket"}}, "launchRocket: unknown intent");
    expectRefused(*window, {{"intent", "setAutoOpenLastProject"}},
                  "setAutoOpenLastProject: \"value\" is missing");
    expectRefused(*window, {{"intent", "setAutoOpenLastProject"}, {"value", "yes"}},
                  "\"value\" must be true or false");
    expectRefused(*window, {{"intent", "openRecent"}, {"path", 3}}, "openRecent: \"path\" must be a string");
    expectRefused(*window, {{"intent", "openRecent"}, {"path", "/nowhere/x.pelagrinproj"}},
                  "openRecent: no recent project at /nowhere/x.pelagrinproj");
    EXPECT_TRUE(launch->settings.autoOpenLastProject.get());
}

TEST_F(RefusedIntents, IntentsOfContentThatIsNotShownAreRefused) {
    const auto window = launch->openWindow();
    for (const char* name : {"setProjectName", "chooseFolder", "createProject", "cancelCreateProject"}) {
        expectRefused(*window, {{"intent", name}, {"value", "x"}},
                      "not applicable: no creation sheet is shown");
    }
    for (const char* name : {"fileDialogNavigate", "fileDialogChoose", "fileDialogCancel"}) {
        expectRefused(*window, {{"intent", name}, {"path", "/"}}, "not applicable: no file dialog is shown");
    }
    for (const char* name : {"selectSection", "toolbarReset", "toolbarPlayPause", "toolbarSave",
                             "closeRequest", "dismissOnboarding"}) {
        expectRefused(*window, {{"intent", name}, {"section", "region"}},
                      "not applicable: no project is shown");
    }
}

TEST_F(RefusedIntents, ProjectIntentsNeedTheirStateToApply) {
    const auto window = launch->openWindow();
    const auto path = projectFile("Lake Study");
    launch->recentProjects.add(path.string());
    send(*window, {{"intent", "openRecent"}, {"path", path.string()}});
    // Shown but not yet loaded.
    expectRefused(*window,
                  {{"intent", "setControl"}, {"screen", "parameters"}, {"id", "flowSpeed"}, {"value", 1.0}},
                  "setControl: not applicable: no project is loaded");
    launch->settle();
    expectRefused(*window, {{"intent", "closeAlert"}, {"choice", "save"}},
                  "closeAlert: not applicable: the keep-changes alert is not shown");
    expectRefused(*window, {{"intent", "closeAlert"}, {"choice", "later"}}, "\"choice\" must be");
    expectRefused(*window, {{"intent", "selectSection"}, {"section", "charts"}},
                  "selectSection: \"section\"");
    for (const char* name : {"showNewProject", "showOpenDialog", "openRecent"}) {
        expectRefused(*window, {{"intent", name}, {"path", path.string()}},
                      "not applicable: the welcome is not shown");
    }
}

TEST_F(RefusedIntents, PlayOnAProjectWhoseNumbersCannotMakeARunNamesTheField) {
    Project stormy("Stormy");
    stormy.region = squareRegion();
    stormy.region.get()->applyLayout(GeoCoordinate{47.5, 8.5}); // applied: Play has nothing to write
    stormy.parameters = std::make_shared<SimulationParameters>();
    stormy.parameters.get()->particleSettings = std::make_shared<ParticleSettings>();
    stormy.parameters.get()->turbulence = 1e308;
    const auto path = projects() / "Stormy.pelagrinproj";
    ProjectPersistence::save(stormy, path);
    const auto window = launch->openWindow();
    open(*window, path);
    expectRefused(
        *window, {{"intent", "toolbarPlayPause"}},
        "toolbarPlayPause: turbulence: 1e+308 over the run's 43207 s overflows the turbulence's clock");
    EXPECT_EQ(window->state()["controller"]["isRunning"], false);
}

} // namespace
} // namespace pelagrin::test
