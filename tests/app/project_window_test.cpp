// The project window: dirty tracking, saving, the close paths, the toolbar and the onboarding.
#include "tests/app/WindowHarness.hpp"

#include <gmock/gmock.h>

namespace pelagrin::test {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class ProjectWindowTest : public WindowTest {
protected:
    /// A window showing `name`, loaded from a file with or without parameters.
    std::unique_ptr<MainWindow> windowWith(const std::string& name, bool parameters = true) {
        auto window = launch->openWindow();
        open(*window, projectFile(name, parameters));
        return window;
    }

    /// The shown project, as the object store holds it.
    Project& shownProject() const { return *launch->objectStore.projects().back(); }

    static void set(MainWindow& window, const char* screen, const char* id, double value) {
        send(window, {{"intent", "setControl"}, {"screen", screen}, {"id", id}, {"value", value}});
    }
    static bool isDirty(const MainWindow& window) { return window.state()["project"]["isDirty"]; }
};

TEST_F(ProjectWindowTest, OnlyFlowSpeedCountAndTheWaterPolygonMakeTheProjectDirty) {
    const auto window = windowWith("Lake Study");
    set(*window, "parameters", "turbulence", 2.0);
    set(*window, "parameters", "waterDepth", 30.0);
    set(*window, "particles", "radius", 3.0);
    set(*window, "particles", "colorMode", 2);
    set(*window, "parameters", "flowSpeed", 1.0); // the value it already has
    EXPECT_FALSE(isDirty(*window));

    set(*window, "parameters", "flowSpeed", 1.5);
    EXPECT_TRUE(isDirty(*window));
    EXPECT_EQ(window->state()["root"]["isDocumentEdited"], true);

    send(*window, {{"intent", "toolbarSave"}});
    EXPECT_FALSE(isDirty(*window));
    set(*window, "particles", "count", 1000);
    EXPECT_TRUE(isDirty(*window));

    send(*window, {{"intent", "toolbarSave"}});
    auto region = std::make_shared<Region>("Lake", 47.0, 8.0);
    shownProject().region = region; // appearing counts
    EXPECT_TRUE(isDirty(*window));
    send(*window, {{"intent", "toolbarSave"}});
    region->setWaterVertices({{47.0, 8.0}, {47.1, 8.0}, {47.1, 8.1}});
    EXPECT_TRUE(isDirty(*window));
}

TEST_F(ProjectWindowTest, CreatingMissingParametersIsNoEditSoCloseReturnsToTheWelcomeWithoutAsking) {
    const auto window = windowWith("Bare", false);
    set(*window, "parameters", "turbulence", 0.5);
    set(*window, "particles", "density", 1.2);
    EXPECT_FALSE(isDirty(*window));
    send(*window, {{"intent", "closeRequest"}});
    const json state = window->state();
    EXPECT_EQ(state["root"], json({{"openHome", false}, {"title", "Pelagrin"}, {"isDocumentEdited", false}}));
    EXPECT_EQ(state["project"], nullptr);
}

TEST_F(ProjectWindowTest, AFailedSaveKeepsTheProjectDirtyButSaveInTheCloseAlertStillCloses) {
    const auto window = windowWith("Lake Study");
    set(*window, "parameters", "flowSpeed", 0.5);
    send(*window, {{"intent", "toolbarSave"}});
    const auto path = projects() / "Lake Study.pelagrinproj";
    EXPECT_EQ(ProjectPersistence::load(path)->parameters.get()->flowSpeed.get(), 0.5);

    set(*window, "parameters", "flowSpeed", 0.75);
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
    const auto window = windowWith("Lake Study");
    const auto path = projects() / "Lake Study.pelagrinproj";
    const std::string before = readFile(path);
    send(*window, {{"intent", "toolbarPlayPause"}});
    ASSERT_EQ(window->state()["controller"]["isRunning"], true);
    set(*window, "parameters", "flowSpeed", 1.5);
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

TEST_F(ProjectWindowTest, TheMenusCloseProjectKeepsARunAndDoesNotAsk) {
    const auto window = windowWith("Lake Study");
    send(*window, {{"intent", "toolbarPlayPause"}});
    set(*window, "parameters", "flowSpeed", 1.5);
    send(*window, {{"intent", "closeProject"}});
    const json state = window->state();
    EXPECT_EQ(state["root"]["openHome"], false);
    EXPECT_EQ(state["controller"]["isRunning"], true);
}

TEST_F(ProjectWindowTest, PlayStartsARunOnlyOnALoadedProjectWithParametersAndResetStopsIt) {
    auto window = launch->openWindow();
    launch->recentProjects.add(projectFile("Lake Study").string());
    send(*window, {{"intent", "openRecent"}, {"path", (projects() / "Lake Study.pelagrinproj").string()}});
    send(*window, {{"intent", "toolbarPlayPause"}});
    EXPECT_EQ(window->state()["controller"]["isRunning"], false) << "still loading";
    launch->settle();
    send(*window, {{"intent", "toolbarPlayPause"}});
    EXPECT_EQ(window->state()["controller"],
              json({{"isRunning", true}, {"currentTime", 0.0}, {"totalDuration", 43200.0}}));
    send(*window, {{"intent", "toolbarReset"}});
    EXPECT_EQ(window->state()["controller"]["isRunning"], false);

    window = windowWith("Bare", false);
    send(*window, {{"intent", "toolbarPlayPause"}});
    EXPECT_EQ(window->state()["controller"]["isRunning"], false) << "no parameters";
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
