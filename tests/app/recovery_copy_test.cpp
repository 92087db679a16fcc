// The recovery copy: kept when a window goes with unsaved changes, offered on the next opening, and gone
// once saved or discarded.
#include "app/AppStop.hpp"
#include "tests/app/WindowHarness.hpp"

#include <chrono>
#include <cstdlib>
#include <gmock/gmock.h>

namespace pelagrin::test {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class RecoveryCopyTest : public WindowTest {
protected:
    std::filesystem::path lake() const { return projects() / "Lake Study.pelagrinproj"; }
    std::filesystem::path lakeCopy() const { return projects() / "Lake Study.pelagrinproj.recovery"; }

    /// A new window showing "Lake Study" (a new window may have reopened it already).
    std::unique_ptr<MainWindow> showLake() {
        auto window = launch->openWindow();
        open(*window, lake());
        return window;
    }
    static json flowSpeed(const MainWindow& window) {
        return window.state()["project"]["parameters"]["sections"][2]["controls"][0]["value"];
    }
};

TEST_F(RecoveryCopyTest, AClosedBrowserWindowKeepsTheEditsWhichTheNextOpeningRestores) {
    projectFile("Lake Study");
    auto window = showLake();
    const std::string saved = readFile(lake());
    send(*window, {{"intent", "toolbarPlayPause"}});
    send(*window, setControl("parameters", "flowSpeed", 1.5));

    window->closedByBrowser();
    window.reset();
    EXPECT_EQ(launch->console.str(), "Kept unsaved changes of Lake Study in " + lakeCopy().string() + "\n");
    EXPECT_FALSE(launch->controller.isRunning.get()) << "the window's own run stops with it";
    EXPECT_EQ(readFile(lake()), saved);
    EXPECT_EQ(ProjectPersistence::load(lakeCopy())->parameters.get()->flowSpeed.get(), 1.5);

    window = showLake();
    json project = window->state()["project"];
    EXPECT_EQ(project["showRestoreAlert"], true);
    EXPECT_EQ(flowSpeed(*window), 1.0) << "shown as the file has it until restored";
    send(*window, {{"intent", "restoreAlert"}, {"choice", "restore"}});
    project = window->state()["project"];
    EXPECT_EQ(project["showRestoreAlert"], false);
    EXPECT_EQ(project["isDirty"], true);
    EXPECT_EQ(flowSpeed(*window), 1.5);

    send(*window, {{"intent", "toolbarSave"}});
    EXPECT_FALSE(std::filesystem::exists(lakeCopy()));
    EXPECT_EQ(ProjectPersistence::load(lake())->parameters.get()->flowSpeed.get(), 1.5);
    window->closedByBrowser();
    EXPECT_FALSE(std::filesystem::exists(lakeCopy())) << "a clean window keeps nothing";
}

TEST_F(RecoveryCopyTest, OnlyACopyNotOlderThanTheFileIsOfferedAndAnUnreadableOneIsKept) {
    const struct {
        const char* copy;
        std::chrono::hours age; // before the file
        const char* choice;     // empty: no alert expected
        bool copyRemains;
        const char* console;
    } cases[] = {
        {R"({"name": "Lake Study", "created": 0})", std::chrono::hours(1), "", true, ""},
        {R"({"name": "Lake Study", "created": 0})", std::chrono::hours(0), "discard", false, ""},
        {R"({"name": "Lake Study", "created": "soon"})", std::chrono::hours(0), "restore", true,
         "❌ LOAD ERROR: "},
    };
    for (const auto& [copy, age, choice, copyRemains, console] : cases) {
        const std::string name = std::string(copy) + " " + choice;
        projectFile("Lake Study");
        writeFile(lakeCopy(), copy);
        std::filesystem::last_write_time(lakeCopy(), std::filesystem::last_write_time(lake()) - age);
        launch->console.str("");
        const auto window = showLake();
        ASSERT_EQ(window->state()["project"]["showRestoreAlert"], *choice != '\0') << name;
        if (*choice != '\0') {
            send(*window, {{"intent", "restoreAlert"}, {"choice", choice}});
        }
        const json project = window->state()["project"];
        EXPECT_EQ(project["showRestoreAlert"], false) << name;
        EXPECT_EQ(project["isDirty"], false) << name;
        EXPECT_EQ(project["name"], "Lake Study") << name;
        EXPECT_THAT(launch->console.str(), StartsWith(console)) << name;
        if (*console != '\0') {
            EXPECT_THAT(launch->console.str(), HasSubstr(lakeCopy().string())) << name;
        }
        EXPECT_EQ(std::filesystem::exists(lakeCopy()), copyRemains) << name;
        if (copyRemains) {
            EXPECT_EQ(readFile(lakeCopy()), copy) << name;
        }
        expectRefused(*window, {{"intent", "restoreAlert"}, {"choice", "restore"}},
                      "restoreAlert: not applicable: no recovery copy is offered");
    }
}

TEST_F(RecoveryCopyTest, StoppingTheAppKeepsEveryEditedProjectAndSaysWhere) {
    const char* const previous = std::getenv("XDG_DATA_HOME");
    const std::string previousValue = previous ? previous : "";
    setenv("XDG_DATA_HOME", (folder / "data-home").c_str(), 1);

    projectFile("Lake Study");
    const auto edited = showLake();
    const auto unsaved = showLake();
    const auto clean = showLake();
    send(*edited, setControl("parameters", "flowSpeed", 1.5));
    send(*edited, {{"intent", "toolbarPlayPause"}});
    Project& neverSaved = *launch->objectStore.projects()[1];
    neverSaved.directoryURL = std::nullopt;
    const auto dataCopy = folder / "data-home" / "Pelagrin" / "Recovery" /
                          (neverSaved.id.toString() + ".pelagrinproj.recovery");
    expectRefused(*edited, {{"intent", "restoreAlert"}, {"choice", "later"}},
                  "restoreAlert: \"choice\" must be \"restore\" or \"discard\"");

    stopApp(launch->environment);
    EXPECT_EQ(launch->console.str(), "Kept unsaved changes of Lake Study in " + lakeCopy().string() +
                                         "\nKept unsaved changes of Lake Study in " + dataCopy.string() +
                                         "\n");
    EXPECT_TRUE(std::filesystem::exists(dataCopy));
    EXPECT_FALSE(launch->controller.isRunning.get());
    const std::string kept = launch->console.str();
    edited->closedByBrowser(); // the server closes the sockets next
    EXPECT_EQ(launch->console.str(), kept) << "kept once";
    if (previous) {
        setenv("XDG_DATA_HOME", previousValue.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
}

} // namespace
} // namespace pelagrin::test
