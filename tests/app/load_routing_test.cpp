// Opening projects in a main window: the welcome's routes, reopening on launch, and failed loads.
#include "tests/app/WindowHarness.hpp"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pelagrin::test {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::StartsWith;

using LoadRouting = WindowTest;

TEST_F(LoadRouting, ARecentRowShowsTheProjectInEveryWindowOnceItsLoadHasFinished) {
    const auto path = projectFile("Lake Study");
    const auto window = launch->openWindow();
    const auto other = launch->openWindow();
    launch->recentProjects.add(path.string());
    EXPECT_EQ(window->state()["welcome"]["recent"],
              json::array({{{"path", path.string()}, {"name", "Lake Study"}, {"isMissing", false}}}));

    send(*window, {{"intent", "openRecent"}, {"path", path.string()}});
    const json loading = window->state();
    EXPECT_EQ(loading["root"]["openHome"], true);
    EXPECT_EQ(loading["project"]["isLoaded"], false) << "the project appears only in a later turn";
    EXPECT_EQ(loading["project"]["parameters"], nullptr);
    for (const char* screen : {"region", "analysis", "simulation"}) {
        EXPECT_EQ(loading["project"][screen], nullptr) << screen << ": no screen before the project is there";
    }

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
    EXPECT_EQ(other->state()["project"]["name"], "Lake Study");
    ASSERT_EQ(launch->objectStore.projects().size(), 2U)
        << "one load per window, though it arrived by several routes";
    EXPECT_EQ(launch->objectStore.projects()[0]->directoryURL.get(), path.string());
    EXPECT_EQ(loaded["project"]["showOnboarding"].get<bool>() +
                  other->state()["project"]["showOnboarding"].get<bool>(),
              1)
        << "the first window to show it takes the one-time overlay";
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

TEST_F(LoadRouting, AFileThatCannotBeOpenedIsNamedInAnAlertAndTheWindowKeepsWhatItShowed) {
    const auto good = projectFile("Lake Study");
    const auto malformed = projects() / "Broken.pelagrinproj";
    writeFile(malformed, R"({"name": "Broken", "created": "yesterday"})");
    const auto folderNamedLikeOne = projects() / "Folder.pelagrinproj";
    std::filesystem::create_directory(folderNamedLikeOne);
    const struct {
        std::filesystem::path file;
        const char* reason;
    } cases[] = {
        {malformed, "created"},
        {projects() / "Gone.pelagrinproj", "No such file or directory"},
        {folderNamedLikeOne, "Folder.pelagrinproj"},
    };
    const auto window = launch->openWindow();
    for (const bool showsProject : {false, true}) {
        if (showsProject) {
            open(*window, good);
            send(*window, {{"intent", "selectSection"}, {"section", "particles"}});
        }
        const auto last = launch->settings.lastOpenedProjectURL.get();
        const auto recent = launch->recentProjects.recent.get();
        for (const auto& [file, reason] : cases) {
            const json before = window->state();
            launch->console.str("");
            launch->notifications.post(NotificationName::loadProjectInHomeView, file);
            launch->settle();
            const std::string printed = launch->console.str();
            EXPECT_THAT(printed, StartsWith("❌ LOAD ERROR: ")) << file;
            EXPECT_THAT(printed, HasSubstr(file.string())) << file;
            EXPECT_THAT(printed, HasSubstr(reason)) << file;
            const json alert = window->state()["alert"];
            EXPECT_EQ(alert["title"], "The project could not be opened.") << file;
            EXPECT_EQ("❌ LOAD ERROR: " + alert["message"].get<std::string>() + "\n", printed) << file;
            send(*window, {{"intent", "dismissAlert"}});
            EXPECT_EQ(window->state(), before) << file;
            EXPECT_EQ(launch->settings.lastOpenedProjectURL.get(), last) << file;
            EXPECT_EQ(launch->recentProjects.recent.get(), recent) << file;
        }
    }
    EXPECT_EQ(launch->objectStore.projects().size(), 1U);
    expectRefused(*window, {{"intent", "dismissAlert"}}, "dismissAlert: not applicable: no alert is shown");
}

TEST_F(LoadRouting, AFileThatNeverEndsDoesNotHoldUpTheWindow) {
    const auto fifo = projects() / "Pipe.pelagrinproj";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto window = launch->openWindow();
    launch->notifications.post(NotificationName::loadProjectInHomeView, fifo);
    EXPECT_EQ(window->state()["project"]["isLoaded"], false) << "the window answers while the file is read";
    // Writers come and go until the reader has seen the end of the pipe (or refused it).
    while (window->state()["alert"].is_null()) {
        if (const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK); writer >= 0) {
            ::close(writer);
        }
        launch->appThread.restart();
        launch->appThread.poll();
        std::this_thread::yield();
    }
    EXPECT_EQ(window->state()["root"]["openHome"], false);
}

TEST_F(LoadRouting, ARecentProjectWhoseFileIsGoneIsMarkedAndCanBeRemoved) {
    const auto kept = projectFile("Lake Study");
    const auto gone = projectFile("Pond");
    launch->recentProjects.add(kept.string());
    launch->recentProjects.add(gone.string());
    std::filesystem::remove(gone);
    {
        const auto window = launch->openWindow();
        EXPECT_EQ(window->state()["welcome"]["recent"],
                  json::array({{{"path", gone.string()}, {"name", "Pond"}, {"isMissing", true}},
                               {{"path", kept.string()}, {"name", "Lake Study"}, {"isMissing", false}}}));
        send(*window, {{"intent", "removeRecent"}, {"path", gone.string()}});
        EXPECT_EQ(launch->recentProjects.recent.get(), std::vector<std::string>{kept.string()});
        expectRefused(*window, {{"intent", "removeRecent"}, {"path", gone.string()}},
                      "removeRecent: no recent project at " + gone.string());
    }
    relaunch();
    EXPECT_EQ(launch->recentProjects.recent.get(), std::vector<std::string>{kept.string()});
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
    send(*window, setControl("parameters", "flowSpeed", 1.5));
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
