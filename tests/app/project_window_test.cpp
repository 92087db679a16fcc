// The project window: edit marking, saving, the close paths, the toolbar and the onboarding.
#include "tests/app/RegionHarness.hpp"

#include <gmock/gmock.h>

namespace pelagrin::test {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class ProjectWindowTest : public WindowTest {
protected:
    /// A window showing `name`, loaded from a file with or without parameters.
    std::unique_ptr<MainWindow> windowWith(const std::string& name, bool parameters = true,
                                           bool outline = false) {
        auto window = launch->openWindow();
        open(*window, projectFile(name, parameters, outline));
        return window;
    }
};

TEST_F(ProjectWindowTest, EveryControlOfEveryScreenMarksTheProjectEdited) {
    const auto click = [](double latitude, double longitude, bool alt = false) {
        return mapClick(latitude, longitude, alt ? Keys::alt : Keys::none);
    };
    const json triangle = {click(47.0, 8.0), click(47.1, 8.0), click(47.1, 8.1)};
    const struct {
        bool hasParameters;
        json before; // saved before the edit, so that the window starts clean
        json edit;
    } cases[] = {
        // A bare project: the first edit on either screen creates the parameters, even with the value the
        // creation gives.
        {false, json::array(), setControl("parameters", "simulationDuration", 3600)},
        {false, json::array(), setControl("parameters", "turbulence", 0.3)},
        {false, json::array(), setControl("particles", "radius", 2.0)},
        {false, json::array(), setControl("particles", "count", 1000)},
        // Parameters and settings that exist already.
        {true, json::array(), setControl("parameters", "turbulence", 2.0)},
        {true, json::array(), setControl("particles", "colorMode", 1)},
        // A click and the sliders of the region screen mark it there.
        {true, json::array({click(47.0, 8.0, true)}), {{"intent", "setEmissionRadius"}, {"value", 50}}},
        {true, json::array({click(47.0, 8.0)}), {{"intent", "clearRegion"}}},
        {true, json::array({click(47.0, 8.0), click(47.1, 8.0)}), {{"intent", "undo"}}},
        {true, triangle, {{"intent", "applyRegion"}}},
    };
    int index = 0;
    for (const auto& [hasParameters, before, edit] : cases) {
        const std::string name = "Case " + std::to_string(++index);
        const auto window = windowWith(name, hasParameters);
        for (const json& intent : before) {
            send(*window, intent);
        }
        send(*window, {{"intent", "toolbarSave"}});
        ASSERT_FALSE(isDirty(*window)) << name;
        send(*window, edit);
        EXPECT_TRUE(isDirty(*window)) << name << ": " << edit.dump();
        EXPECT_EQ(window->state()["root"]["isDocumentEdited"], true) << name;
    }
}

TEST_F(ProjectWindowTest, WritingBackTheSameValuesLeavesTheProjectClean) {
    const auto window = windowWith("Lake Study");
    send(*window, setControl("parameters", "flowSpeed", 1.0));
    send(*window, setControl("particles", "count", 500));
    send(*window, {{"intent", "setMapType"}, {"value", 0}});
    send(*window, {{"intent", "setAutoDetect"}, {"value", true}});
    send(*window, {{"intent", "selectSection"}, {"section", "parameters"}});
    EXPECT_FALSE(isDirty(*window));
    send(*window, {{"intent", "closeRequest"}});
    EXPECT_EQ(window->state()["project"], nullptr) << "closed without asking";
}

TEST_F(ProjectWindowTest, AFailedSaveKeepsTheProjectDirtyButSaveInTheCloseAlertStillCloses) {
    const auto window = windowWith("Lake Study");
    send(*window, setControl("parameters", "flowSpeed", 0.5));
    send(*window, {{"intent", "toolbarSave"}});
    const auto path = projects() / "Lake Study.pelagrinproj";
    EXPECT_EQ(ProjectPersistence::load(path)->parameters.get()->flowSpeed.get(), 0.5);

    send(*window, setControl("parameters", "flowSpeed", 0.75));
    std::filesystem::remove_all(projects());
    send(*window, {{"intent", "toolbarSave"}});
    EXPECT_THAT(launch->console.str(), StartsWith("Error saving project: "));
    EXPECT_THAT(launch->console.str(), HasSubstr(path.string()));
    EXPECT_TRUE(isDirty(*window));

    send(*window, {{"intent", "closeRequest"}});
    send(*window, {{"intent", "closeAlert"}, {"choice", "save"}});
    EXPECT_EQ(window->state()["root"]["openHome"], false);
}

TEST_F(ProjectWindowTest, CloseRequestStopsARunAndAsksCancelKeepsTheEditsAndDiscardWritesNothing) {
    const auto window = windowWith("Lake Study", true, true);
    const auto path = projects() / "Lake Study.pelagrinproj";
    const std::string before = readFile(path);
    send(*window, {{"intent", "toolbarPlayPause"}});
    ASSERT_EQ(window->state()["controller"]["isRunning"], true);
    send(*window, setControl("parameters", "flowSpeed", 1.5));
    send(*window, {{"intent", "closeRequest"}});
    EXPECT_EQ(window->state()["project"]["showCloseAlert"], true);
    send(*window, {{"intent", "closeAlert"}, {"choice", "cancel"}});
    json state = window->state();
    EXPECT_EQ(state["project"]["showCloseAlert"], false);
    EXPECT_EQ(state["project"]["isDirty"], true);
    EXPECT_EQ(state["root"]["openHome"], true);
    EXPECT_EQ(state["controller"]["isRunning"], false) << "the run stops first, even when cancelled";

    send(*window, {{"intent", "closeRequest"}});
    send(*window, {{"intent", "closeAlert"}, {"choice", "discard"}});
    EXPECT_EQ(window->state()["root"]["openHome"], false);
    EXPECT_EQ(readFile(path), before);
}

TEST_F(ProjectWindowTest, TheMenusCloseProjectAsksEveryEditedWindowAndItsSaveProjectSaves) {
    const auto edited = windowWith("Lake Study", true, true);
    const auto clean = launch->openWindow(); // reopens the same file
    launch->settle();
    ASSERT_EQ(clean->state()["project"]["isLoaded"], true);
    send(*edited, {{"intent", "toolbarPlayPause"}});
    send(*edited, setControl("parameters", "flowSpeed", 1.5));

    send(*clean, {{"intent", "closeProject"}});
    EXPECT_EQ(clean->state()["root"]["openHome"], false);
    json state = edited->state();
    EXPECT_EQ(state["root"]["openHome"], true);
    EXPECT_EQ(state["project"]["showCloseAlert"], true);
    EXPECT_EQ(state["controller"]["isRunning"], true) << "the menu's path leaves the run alone";
    send(*edited, {{"intent", "closeAlert"}, {"choice", "cancel"}});

    send(*edited, {{"intent", "saveProject"}});
    EXPECT_FALSE(isDirty(*edited));
    const auto path = projects() / "Lake Study.pelagrinproj";
    EXPECT_EQ(ProjectPersistence::load(path)->parameters.get()->flowSpeed.get(), 1.5);
    send(*edited, {{"intent", "closeProject"}});
    EXPECT_EQ(edited->state()["root"]["openHome"], false) << "saved: closed without asking";
    send(*edited, {{"intent", "saveProject"}}); // on the welcome: nothing to save
}

TEST_F(ProjectWindowTest, PlayRunsAnyProjectWithWaterOnItsDefaultsAndSaysWhatIsMissingOtherwise) {
    auto window = launch->openWindow();
    launch->recentProjects.add(projectFile("Fresh", false, true).string());
    send(*window, {{"intent", "openRecent"}, {"path", (projects() / "Fresh.pelagrinproj").string()}});
    send(*window, {{"intent", "toolbarPlayPause"}});
    EXPECT_EQ(window->state()["controller"]["isRunning"], false) << "still loading";
    launch->settle();

    // A new project, its outline drawn and never applied, no slider touched: Play runs the screens' defaults.
    send(*window, {{"intent", "toolbarPlayPause"}});
    EXPECT_EQ(
        window->state()["controller"],
        json({{"isRunning", true}, {"state", "running"}, {"currentTime", 0.0}, {"totalDuration", 43200.0}}));
    const Project& fresh = project();
    EXPECT_EQ(fresh.parameters.get()->particleSettings.get()->count.get(), 5000);
    EXPECT_EQ(fresh.region.get()->waterVerticesSim().size(), 4u) << "laid out as Apply Region would";
    EXPECT_EQ(launch->controller.displayParticles.get().size(), 5000u);
    send(*window, {{"intent", "toolbarPlayPause"}});
    EXPECT_EQ(window->state()["controller"]["state"], "paused");
    send(*window, {{"intent", "toolbarReset"}});
    EXPECT_EQ(window->state()["controller"]["state"], "idle");

    // Without water: the window says what to do, and nothing is created.
    for (const bool parameters : {false, true}) {
        window = windowWith(parameters ? "Dry" : "Bare", parameters);
        const bool hadParameters = project().parameters.get() != nullptr;
        send(*window, {{"intent", "runPause"}});
        const json state = window->state();
        EXPECT_EQ(state["controller"]["isRunning"], false);
        EXPECT_EQ(state["alert"],
                  json({{"title", "The simulation cannot start."},
                        {"message", "Mark the water body on the Select Region screen first"}}));
        EXPECT_EQ(project().parameters.get() != nullptr, hadParameters);
        EXPECT_FALSE(isDirty(*window));
        send(*window, {{"intent", "dismissAlert"}});
    }
}

TEST_F(ProjectWindowTest, PlayRunsTheOutlineAndEmissionPointTheRegionScreenShowsAndApplySaysWhatItDid) {
    const auto window = windowWith("Lake Study", true, true);
    const auto click = [&](double latitude, double longitude, bool alt) {
        send(*window, mapClick(latitude, longitude, alt ? Keys::alt : Keys::none));
    };
    click(47.25, 8.75, true); // the emission point, never applied
    send(*window, {{"intent", "toolbarPlayPause"}});
    const Region& region = *project().region.get();
    EXPECT_EQ(region.emissionPointSim(), (Vec2{600.0, 450.0}));
    EXPECT_EQ(region.waterVerticesSim().size(), 4u);
    send(*window, {{"intent", "toolbarPlayPause"}});

    click(47.0, 8.5, false); // a fifth vertex on the southern edge: the same box, another outline
    click(47.75, 8.25, true);
    send(*window, {{"intent", "toolbarPlayPause"}});
    EXPECT_EQ(region.emissionPointSim(), (Vec2{200.0, 150.0})) << "a pause does not keep a stale layout";
    EXPECT_EQ(region.waterVerticesSim().size(), 5u);
    EXPECT_EQ(window->state()["controller"]["currentTime"], 0.0) << "an edited setup starts over";

    EXPECT_EQ(window->state()["project"]["region"]["appliedNotice"], nullptr);
    send(*window, {{"intent", "applyRegion"}});
    EXPECT_EQ(window->state()["project"]["region"]["appliedNotice"],
              "Region applied: 5 vertices, emission point at 47.7500, 8.2500");
    click(47.5, 8.5, true);
    EXPECT_EQ(window->state()["project"]["region"]["appliedNotice"], nullptr) << "gone with the next edit";
}

TEST_F(ProjectWindowTest, TheOnboardingAppearsAfterTheFirstLoadOnly) {
    {
        const auto first = windowWith("Lake Study");
        EXPECT_EQ(first->state()["project"]["showOnboarding"], true);
        EXPECT_TRUE(launch->settings.hasSeenOnboarding.get()) << "written when shown, not when dismissed";
        send(*first, {{"intent", "closeRequest"}});
    }
    {
        const auto second = windowWith("Pond");
        EXPECT_EQ(second->state()["project"]["showOnboarding"], false);
        expectRefused(*second, {{"intent", "dismissOnboarding"}}, "dismissOnboarding: not applicable");
    }
    launch->settings.hasSeenOnboarding = false;
    const auto third = windowWith("Bay");
    EXPECT_EQ(third->state()["project"]["showOnboarding"], true);
    send(*third, {{"intent", "dismissOnboarding"}});
    EXPECT_EQ(third->state()["project"]["showOnboarding"], false);
}

} // namespace
} // namespace pelagrin::test
