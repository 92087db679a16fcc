// Opening projects in a main window: the welcome's routes, reopening on launch, and failed loads.
#include "tests/app/WindowHarness.hpp"

#include <gmock/gmock.h>

namespace pelagrin::test {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::StartsWith;

using LoadRouting = WindowTest;

TEST_F(LoadRouting, ARecentRowShowsTheProjectOnceItsLoadHasFinished) {
    const auto path = projectFile("Lake Study");
    const auto window = launch->openWindow();
    launch->recentProjects.add(path.string());
    EXPECT_EQ(window->state()["welcome"]["recent"],
              json::array({{{"path", path.string()}, {"name", "Lake Study"}}}));

    send(*window, {{"intent", "openRecent"}, {"path", path.string()}});
    const json loading = window->state();
    EXPECT_EQ(loading["root"]["openHome"], true);
    EXPECT_EQ(loading["project"]["isLoaded"], false) << "the project appears only in a later turn";
    EXPECT_EQ(loading["project"]["parameters"], nullptr);
    EXPECT_EQ(loading["project"]["region"], nullptr) << "no screen before the project is there";

    const int changesBefore = launch->stateChanges;
    launch->settle();
    const json loaded = window->state();
    EXPECT_GT(launch->stateChanges, changesBefore) << "the deferred step changed the state outside handle()";
    EXPECT_EQ(loaded["root"],
              json({{"openHome", true}, {"title", "Lake Study"}, {"isDocumentEdited", false}}));
    EXPECT_EQ(loaded["project"]["isLoaded"], true);
    EXPECT_EQ(loaded["project"]["name"], "Lake Study");
    EXPECT_EQ(loaded["project"]["selectedSection"], "region");
    EXPECT_EQ(launch->settings.lastOpenedProjectURL.get(), path.string());
    ASSERT_EQ(launch->objectStore.projects().size(), 1U) << "read once, though it arrived by several routes";
    EXPECT_EQ(launch->objectStore.projects()[0]->directoryURL.get(), path.string());
}

TEST_F(LoadRouting, TheWelcomesOpenDialogOpensNothingWhenCancelledAndTheChosenFileOtherwise) {
    const auto path = projectFile("Pond");
    const auto window = launch->openWindow();
    launch->settle();
    const json first = window->state();
    EXPECT_EQ(first["root"], json({{"openHome", false}, {"title", "Pelagrin"}, {"isDocumentEdited", false}}));
    EXPECT_EQ(first["welcome"]["recent"], json::array());
    send(*window, {{"intent", "showOpenDialog"}});
    send(*window, {{"intent", "fileDialogCancel"}});
    launch->settle();
    EXPECT_EQ(window->state(), first);

    send(*window, {{"intent", "showOpenDialog"}});
    send(*window, {{"intent", "fileDialogChoose"}, {"path", path.string()}});
    launch->settle();
    EXPECT_EQ(window->state()["fileDialog"], nullptr);
    EXPECT_EQ(window->state()["project"]["name"], "Pond");
    EXPECT_EQ(launch->recentProjects.recent.get(), std::vector<std::string>{path.string()});
}

TEST_F(LoadRouting, RelaunchReopensTheLastProjectWhileThePreferenceAllowsAndTheFileIsThere) {
    const auto path = projectFile("Lake Study");
    open(*launch->openWindow(), path);
    relaunch();
    {
        const auto window = launch->openWindow();
        launch->settle();
        EXPECT_EQ(window->state()["project"]["name"], "Lake Study");
        send(*window, {{"intent", "setAutoOpenLastProject"}, {"value", false}});
    }
    relaunch();
    {
        const auto window = launch->openWindow();
        launch->settle();
        EXPECT_EQ(window->state()["root"]["openHome"], false);
        send(*window, {{"intent", "setAutoOpenLastProject"}, {"value", true}});
    }
    std::filesystem::rename(path, projects() / "Elsewhere.pelagrinproj");
    relaunch();
    const auto window = launch->openWindow();
    launch->settle();
    EXPECT_EQ(window->state()["root"]["openHome"], false) << "a moved last project leaves the welcome";
    EXPECT_EQ(launch->console.str(), "");
}

TEST_F(LoadRouting, AMalformedFilePrintsTheLoadErrorAndChangesNothing) {
    const auto good = projectFile("Lake Study");
    const auto bad = projects() / "Broken.pelagrinproj";
    writeFile(bad, R"({"name": "Broken", "created": "yesterday"})");
    const auto window = launch->openWindow();
    open(*window, good);
    send(*window, {{"intent", "selectSection"}, {"section", "particles"}});
    const json before = window->state();

    launch->notifications.post(NotificationName::loadProjectInHomeView, bad);
    launch->settle();
    EXPECT_THAT(launch->console.str(), StartsWith("❌ LOAD ERROR: "));
    EXPECT_THAT(launch->console.str(), HasSubstr("Broken.pelagrinproj"));
    EXPECT_THAT(launch->console.str(), HasSubstr("created"));
    // The window still shows the good project; only the routing's own bookkeeping moved on.
    json after = window->state();
    EXPECT_EQ(after["project"], before["project"]);
    EXPECT_EQ(after["root"], before["root"]);
    EXPECT_EQ(launch->objectStore.projects().size(), 1U);
}

TEST_F(LoadRouting, TheShownFileIsNotReadAgainEvenWhenItChangedOnDisk) {
    const auto path = projectFile("Lake Study");
    const auto window = launch->openWindow();
    open(*window, path);
    writeFile(path, R"({"name": "Renamed On Disk", "created": 0})");
    launch->notifications.post(NotificationName::loadProjectInHomeView, path);
    launch->settle();
    EXPECT_EQ(window->state()["project"]["name"], "Lake Study");
    EXPECT_EQ(launch->objectStore.projects().size(), 1U);
}

TEST_F(LoadRouting, AnotherProjectReplacesADirtyOneWithoutAsking) {
    const auto window = launch->openWindow();
    open(*window, projectFile("Lake Study"));
    send(*window, {{"intent", "setControl"}, {"screen", "parameters"}, {"id", "flowSpeed"}, {"value", 1.5}});
    ASSERT_EQ(window->state()["project"]["isDirty"], true);
    send(*window, {{"intent", "openProject"}});
    send(*window, {{"intent", "fileDialogChoose"}, {"path", projectFile("Pond").string()}});
    launch->settle();
    const json state = window->state();
    EXPECT_EQ(state["project"]["name"], "Pond");
    EXPECT_EQ(state["project"]["isDirty"], false);
    EXPECT_EQ(state["project"]["showCloseAlert"], false);
}

TEST_F(LoadRouting, ANotificationWithoutALocationIsIgnored) {
    const auto window = launch->openWindow();
    const json before = window->state();
    launch->notifications.post(NotificationName::loadProjectInHomeView);
    launch->notifications.post(NotificationName::openProjectFromWelcome);
    launch->settle();
    EXPECT_EQ(window->state(), before);
}

} // namespace
} // namespace pelagrin::test
