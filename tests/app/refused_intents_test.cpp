// Intents a main window refuses: unknown, malformed, or not applicable to what it shows.
#include "tests/app/WindowHarness.hpp"

namespace pelagrin::test {
namespace {

using nlohmann::json;
using RefusedIntents = WindowTest;

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
    for (const char* name : {"showNewProject", "showOpenDialog", "openRecent"}) {
        expectRefused(*window, {{"intent", name}, {"path", path.string()}},
                      "not applicable: the welcome is not shown");
    }
}

TEST(IntentShape, AMessageThatIsNoIntentIsRefusedBeforeAnyWindowSeesIt) {
    EXPECT_THROW(Intent(json::array()), IntentError);
    EXPECT_THROW(Intent(json({{"intent", 5}})), IntentError);
}

} // namespace
} // namespace pelagrin::test
